// SPDX-License-Identifier: Apache-2.0
#include "tests/support/SeriesPartFile.h"

#include <cmath>
#include <cstdio>

namespace {

using Cx = std::complex<double>;

std::string Pair(Cx s, TouchstoneLayout layout)
{
    char text[64];
    const double deg = std::arg(s) * 180.0 / M_PI;
    if (layout == TouchstoneLayout::MA)
        std::snprintf(text, sizeof text, " %.15g %.15g", std::abs(s), deg);
    else if (layout == TouchstoneLayout::DB)
        std::snprintf(text, sizeof text, " %.15g %.15g", 20.0 * std::log10(std::abs(s)), deg);
    else
        std::snprintf(text, sizeof text, " %.15g %.15g", s.real(), s.imag());
    return text;
}

} // namespace

std::string SeriesPartFile(const std::vector<double>& f, const std::vector<Cx>& z, TouchstoneLayout layout, double z1,
                           double z2)
{
    const char* format = layout == TouchstoneLayout::MA ? "MA" : layout == TouchstoneLayout::DB ? "DB" : "RI";
    std::string text = "! a part measured in series\n";
    if (layout == TouchstoneLayout::Version2) {
        text += "[Version] 2.0\n# MHz S RI R 50\n[Number of Ports] 2\n[Two-Port Data Order] 21_12\n";
        text += "[Number of Frequencies] " + std::to_string(f.size()) + "\n[Reference] " + std::to_string(z1) + " " +
                std::to_string(z2) + "\n[Network Data]\n";
    } else {
        text += std::string("# MHz S ") + format + " R " + std::to_string(z1) + "\n";
    }
    for (size_t i = 0; i < f.size(); ++i) {
        const Cx den = z[i] + z1 + z2;
        const Cx s21 = 2.0 * std::sqrt(z1 * z2) / den;
        char hz[32];
        std::snprintf(hz, sizeof hz, "%.15g", f[i] / 1e6);
        text += hz + Pair((z[i] + z2 - z1) / den, layout) + Pair(s21, layout) + Pair(s21, layout) +
                Pair((z[i] + z1 - z2) / den, layout) + "\n";
    }
    if (layout == TouchstoneLayout::Version2) text += "[End]\n";
    return text;
}

std::vector<Cx> CoilImpedances(double L, double R, double Q, double srfHz, const std::vector<double>& f)
{
    const double Cp = 1.0 / (std::pow(2.0 * M_PI * srfHz, 2) * L);
    std::vector<Cx> z;
    for (double hz : f) {
        const double w = 2.0 * M_PI * hz;
        const Cx series{R + (Q > 0.0 ? w * L / Q : 0.0), w * L};
        z.push_back(series / (1.0 + Cx{0.0, w * Cp} * series));
    }
    return z;
}

std::vector<double> LogFrequencies(double low, double high, int n)
{
    std::vector<double> f;
    for (int i = 0; i < n; ++i) f.push_back(low * std::pow(high / low, i / (n - 1.0)));
    return f;
}
