// SPDX-License-Identifier: Apache-2.0
#include "tests/analysis/ToleranceLadders.h"

#include <cmath>

const std::vector<double> kChebyshev05dB7{1.7372, 1.2583, 2.6381, 1.3444, 2.6381, 1.2583, 1.7372};
const std::vector<double> kButterworth5{0.618034, 1.618034, 2.0, 1.618034, 0.618034};

namespace {

BranchPlace PlaceOf(std::size_t i, bool seriesFirst)
{
    return (i % 2 == 0) == seriesFirst ? BranchPlace::Series : BranchPlace::Shunt;
}

} // namespace

Ladder LowPassLadder(const std::vector<double>& g, double edgeHz, double R, bool seriesFirst)
{
    const double w = 2 * M_PI * edgeHz;
    Ladder ladder{R, R, {}};
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (PlaceOf(i, seriesFirst) == BranchPlace::Series)
            ladder.branches.push_back({BranchPlace::Series, BranchKind::Inductor, g[i] * R / w, 0.0});
        else
            ladder.branches.push_back({BranchPlace::Shunt, BranchKind::Capacitor, 0.0, g[i] / (R * w)});
    }
    return ladder;
}

Ladder HighPassLadder(const std::vector<double>& g, double edgeHz, double R, bool seriesFirst)
{
    const double w = 2 * M_PI * edgeHz;
    Ladder ladder{R, R, {}};
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (PlaceOf(i, seriesFirst) == BranchPlace::Series)
            ladder.branches.push_back({BranchPlace::Series, BranchKind::Capacitor, 0.0, 1.0 / (g[i] * R * w)});
        else
            ladder.branches.push_back({BranchPlace::Shunt, BranchKind::Inductor, R / (g[i] * w), 0.0});
    }
    return ladder;
}

Ladder BandPassLadder(const std::vector<double>& g, double lowHz, double highHz, double R, bool seriesFirst)
{
    const double w1 = 2 * M_PI * lowHz, w2 = 2 * M_PI * highHz;
    const double bw = w2 - w1, w0sq = w1 * w2;
    Ladder ladder{R, R, {}};
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (PlaceOf(i, seriesFirst) == BranchPlace::Series)
            ladder.branches.push_back(
                {BranchPlace::Series, BranchKind::Resonator, g[i] * R / bw, bw / (g[i] * R * w0sq)});
        else
            ladder.branches.push_back(
                {BranchPlace::Shunt, BranchKind::Resonator, bw * R / (g[i] * w0sq), g[i] / (R * bw)});
    }
    return ladder;
}

Ladder BandStopLadder(const std::vector<double>& g, double lowHz, double highHz, double R, bool seriesFirst)
{
    const double w1 = 2 * M_PI * lowHz, w2 = 2 * M_PI * highHz;
    const double bw = w2 - w1, w0sq = w1 * w2;
    Ladder ladder{R, R, {}};
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (PlaceOf(i, seriesFirst) == BranchPlace::Series)
            ladder.branches.push_back(
                {BranchPlace::Series, BranchKind::ParallelLC, g[i] * R * bw / w0sq, 1.0 / (g[i] * R * bw)});
        else
            ladder.branches.push_back(
                {BranchPlace::Shunt, BranchKind::SeriesLC, R / (g[i] * bw), g[i] * bw / (R * w0sq)});
    }
    return ladder;
}

std::vector<double> LinearHz(double start, double stop, int points)
{
    std::vector<double> f;
    for (int i = 0; i < points; ++i) f.push_back(start + (stop - start) * i / (points - 1));
    return f;
}

std::vector<double> LogHz(double start, double stop, int points)
{
    std::vector<double> f;
    for (int i = 0; i < points; ++i) f.push_back(start * std::pow(stop / start, static_cast<double>(i) / (points - 1)));
    return f;
}
