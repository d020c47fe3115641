// SPDX-License-Identifier: Apache-2.0
#include "analysis/MeasuredFigures.h"

#include <algorithm>
#include <cmath>

#include "filtermath/Failure.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

bool InPassband(double f, const DesignBand& band)
{
    switch (band.shape) {
    case BandShape::LowPass: return f <= band.highHz;
    case BandShape::HighPass: return f >= band.lowHz;
    case BandShape::BandPass: return f >= band.lowHz && f <= band.highHz;
    case BandShape::BandStop: break;
    }
    return f <= band.lowHz || f >= band.highHz;
}

// The frequency between points i and j (neighbours) where s21 crosses level, linear in dB.
double Crossing(const std::vector<double>& hz, const std::vector<double>& s21, size_t i, size_t j, double level)
{
    const double t = (s21[i] - level) / (s21[i] - s21[j]);
    return hz[i] + t * (hz[j] - hz[i]);
}

// Searches from the best point outwards for the first point below best - drop on each side.
void Edges(const std::vector<double>& hz, const std::vector<double>& s21, size_t best, double drop,
           std::optional<double>& low, std::optional<double>& high)
{
    const double level = s21[best] - drop;
    for (size_t i = best; i-- > 0;)
        if (s21[i] < level) {
            low = Crossing(hz, s21, i + 1, i, level);
            break;
        }
    for (size_t i = best + 1; i < s21.size(); ++i)
        if (s21[i] < level) {
            high = Crossing(hz, s21, i - 1, i, level);
            break;
        }
}

std::vector<double> Db(const std::vector<std::complex<double>>& values)
{
    std::vector<double> db;
    for (const std::complex<double>& v : values)
        db.push_back(std::max(20.0 * std::log10(std::abs(v)), kReflectionFloorDb));
    return db;
}

std::vector<double> Degrees(const std::vector<std::complex<double>>& values)
{
    std::vector<double> deg;
    for (const std::complex<double>& v : values) deg.push_back(std::arg(v) * 180.0 / kPi<double>);
    return deg;
}

// -d(phase)/dw from the unwrapped phase: central differences inside, one-sided at the ends.
std::vector<double> DelayOfPhase(const std::vector<double>& hz, const std::vector<std::complex<double>>& s21)
{
    const size_t n = hz.size();
    std::vector<double> phase(n), delay(n, 0.0);
    for (size_t i = 0; i < n; ++i) {
        phase[i] = std::arg(s21[i]);
        if (i > 0) phase[i] -= 2.0 * kPi<double> * std::round((phase[i] - phase[i - 1]) / (2.0 * kPi<double>));
    }
    if (n < 2) return delay;
    for (size_t i = 0; i < n; ++i) {
        const size_t a = i == 0 ? 0 : i - 1;
        const size_t b = i + 1 == n ? n - 1 : i + 1;
        delay[i] = -(phase[b] - phase[a]) / (2.0 * kPi<double> * (hz[b] - hz[a]));
    }
    return delay;
}

} // namespace

ResponseFigures FiguresOf(const std::vector<double>& hz, const std::vector<double>& s21Db,
                          const std::vector<double>& s11Db, const DesignBand& band)
{
    std::optional<size_t> best;
    double lowest = HUGE_VAL, worstReflection = -HUGE_VAL;
    for (size_t i = 0; i < hz.size(); ++i) {
        if (!InPassband(hz[i], band)) continue;
        if (!best || s21Db[i] > s21Db[*best]) best = i;
        lowest = std::min(lowest, s21Db[i]);
        worstReflection = std::max(worstReflection, s11Db[i]);
    }
    if (!best) throw Failure("No point of the measured data lies in the design's passband.");
    ResponseFigures f;
    f.passLossDb = -s21Db[*best];
    f.rippleDb = s21Db[*best] - lowest;
    f.returnLossDb = -worstReflection;
    Edges(hz, s21Db, *best, 3.0, f.edge3LowHz, f.edge3HighHz);
    Edges(hz, s21Db, *best, 20.0, f.edge20LowHz, f.edge20HighHz);
    return f;
}

NetworkCurves CurvesOfMeasured(const std::vector<MeasuredPoint>& data, double unitScale)
{
    std::vector<double> hz;
    std::vector<std::complex<double>> s21, s11, s22;
    for (const MeasuredPoint& p : data) {
        hz.push_back(p.hz);
        s21.push_back(p.S21);
        s11.push_back(p.S11);
        s22.push_back(p.S22);
    }
    NetworkCurves c;
    for (double f : hz) c.NetFreq.push_back(f / unitScale);
    c.NetS21 = Db(s21);
    c.NetS21Deg = Degrees(s21);
    c.NetS11 = Db(s11);
    c.NetS11Deg = Degrees(s11);
    c.NetS22 = Db(s22);
    c.NetS22Deg = Degrees(s22);
    c.NetGroupDelay = DelayOfPhase(hz, s21);
    return c;
}

MeasuredComparison CompareMeasured(const std::vector<MeasuredPoint>& data, const LadderModel& built,
                                   const PartQuality& quality, const DesignBand& band, double unitScale)
{
    MeasuredComparison m;
    m.measured = CurvesOfMeasured(data, unitScale);
    m.design = AnalyseCurves(built, m.measured.NetFreq, unitScale, quality);
    std::vector<double> hz;
    for (const MeasuredPoint& p : data) hz.push_back(p.hz);
    m.measuredFigures = FiguresOf(hz, m.measured.NetS21, m.measured.NetS11, band);
    m.designFigures = FiguresOf(hz, m.design.NetS21, m.design.NetS11, band);
    return m;
}

} // namespace corvane
