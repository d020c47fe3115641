// SPDX-License-Identifier: Apache-2.0
#include "export/Renormalise.h"

#include <cmath>

namespace corvane {

TwoPortData RenormalisedTo(const TwoPortData& data, double port1Ohms, double port2Ohms)
{
    using C = std::complex<double>;
    const double newOhms[2] = {port1Ohms, port2Ohms};
    double g[2], a[2];
    for (int i = 0; i < 2; ++i) {
        const double old = data.referenceOhms[static_cast<size_t>(i)];
        g[i] = (newOhms[i] - old) / (newOhms[i] + old);
        a[i] = std::sqrt(1.0 - g[i] * g[i]);
    }
    TwoPortData result;
    result.referenceOhms = {port1Ohms, port2Ohms};
    result.points.reserve(data.points.size());
    for (const TwoPortPoint& p : data.points) {
        // (I - G S)^-1, written out for two ports.
        const C m11 = 1.0 - g[0] * p.S11, m12 = -g[0] * p.S12;
        const C m21 = -g[1] * p.S21, m22 = 1.0 - g[1] * p.S22;
        const C det = m11 * m22 - m12 * m21;
        const C i11 = m22 / det, i12 = -m12 / det, i21 = -m21 / det, i22 = m11 / det;
        const C d11 = p.S11 - g[0], d22 = p.S22 - g[1];
        const C r11 = d11 * i11 + p.S12 * i21, r12 = d11 * i12 + p.S12 * i22;
        const C r21 = p.S21 * i11 + d22 * i21, r22 = p.S21 * i12 + d22 * i22;
        result.points.push_back({p.frequencyHz, r11, r21 * a[0] / a[1], r12 * a[1] / a[0], r22});
    }
    return result;
}

std::vector<MeasuredPoint> MeasuredPointsAt(const TwoPortData& data, double RS, double RL)
{
    std::vector<MeasuredPoint> points;
    for (const TwoPortPoint& p : RenormalisedTo(data, RS, RL).points)
        points.push_back({p.frequencyHz, p.S11, p.S21, p.S22});
    return points;
}

} // namespace corvane
