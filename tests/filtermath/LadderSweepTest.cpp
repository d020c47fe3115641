// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "filtermath/Failure.h"
#include "filtermath/LadderSweep.h"
#include "filtermath/UElement.h"
#include "filtermath/UG.h"

using namespace corvane;

namespace {

// A ladder from the prototype and element procedures, between 50 ohm and a load of loadRatio * 50:
// a low-pass ladder has its inductors in series, a high-pass one its capacitors, and a band-pass
// position is a resonator.
Ladder MakeLadder(int kind, LadderTopology topology, int N, double loadRatio)
{
    const size_t entries = static_cast<size_t>(N) + 2;
    std::vector<double> g(entries), values(entries), L(entries), C(entries);
    std::vector<std::string> units(entries);
    ComputePrototype(kind, N, 0.5, g);
    ComputeElementTable(kind, topology, N, g, 10, 9, 11, 50, 1e6, units, values, L, C);
    Ladder ladder{50, 50 * loadRatio, {}};
    for (int i = 1; i <= N; ++i) {
        const BranchPlace place = PlaceOfPosition(i, topology);
        const bool inSeries = place == BranchPlace::Series;
        if (kind % 3 == 2)
            ladder.branches.push_back({place, BranchKind::Resonator, L[i], C[i]});
        else if (inSeries == (kind % 3 == 0))
            ladder.branches.push_back({place, BranchKind::Inductor, values[i], 0.0});
        else
            ladder.branches.push_back({place, BranchKind::Capacitor, 0.0, values[i]});
    }
    return ladder;
}

double AngleGap(double x, double y)
{
    return std::fabs(std::remainder(x - y, 360.0));
}

// The double-precision sweep against the extended analysis, point by point, over five decades
// around the band and deep into the stopbands, for every kind, both topologies, short and long
// ladders, ideal and lossy parts, equal and unequal terminations.
TEST(AnalyseMany, AgreesWithTheExtendedAnalysis)
{
    std::vector<double> hz;
    for (int i = 0; i <= 500; ++i) hz.push_back(10e6 * std::pow(10.0, -2.5 + 5.0 * i / 500));
    double largestDb = 0.0, largestDeg = 0.0, largestDelay = 0.0;
    for (int kind = 0; kind < 6; ++kind)
        for (LadderTopology topology : {LadderTopology::T, LadderTopology::Pi})
            for (int N : {1, 2, 5, 9, 15})
                for (PartQuality quality : {PartQuality{}, PartQuality{40, 300}})
                    for (double loadRatio : {1.0, 2.5}) {
                        const Ladder ladder = MakeLadder(kind, topology, N, loadRatio);
                        std::vector<NetworkPoint> fast(hz.size());
                        AnalyseMany(ladder, hz.data(), hz.size(), quality, fast.data());
                        for (size_t i = 0; i < hz.size(); ++i) {
                            const NetworkPoint x = AnalyseAt(ladder, hz[i], quality);
                            const NetworkPoint& y = fast[i];
                            const std::string where = "kind " + std::to_string(kind) + " N " + std::to_string(N) +
                                                      " at " + std::to_string(hz[i]);
                            for (auto db : {&NetworkPoint::S21dB, &NetworkPoint::S11dB, &NetworkPoint::S22dB}) {
                                largestDb = std::max(largestDb, std::fabs(x.*db - y.*db));
                                ASSERT_NEAR(y.*db, x.*db, 1e-9) << where;
                            }
                            for (auto deg : {&NetworkPoint::S21Deg, &NetworkPoint::S11Deg, &NetworkPoint::S22Deg}) {
                                largestDeg = std::max(largestDeg, AngleGap(x.*deg, y.*deg));
                                ASSERT_LE(AngleGap(x.*deg, y.*deg), 1e-7) << where;
                            }
                            const double delayGap = std::fabs(x.GroupDelay - y.GroupDelay);
                            largestDelay = std::max(largestDelay, delayGap / std::fabs(x.GroupDelay));
                            ASSERT_LE(delayGap, 1e-9 * std::fabs(x.GroupDelay) + 1e-24) << where;
                        }
                    }
    std::printf("[ MEASURED ] double sweep vs extended: %.1e dB, %.1e degrees, %.1e of the delay\n", largestDb,
                largestDeg, largestDelay);
}

TEST(AnalyseMany, FaultsAsTheExtendedAnalysis)
{
    const Ladder ladder = MakeLadder(1, LadderTopology::T, 3, 1.0); // a capacitor in series
    const double hz[] = {1e6, 0.0};
    NetworkPoint points[2];
    EXPECT_THROW(AnalyseMany(ladder, hz, 2, {}, points), ArithmeticError);
    EXPECT_THROW(AnalyseMany(ladder, hz, 1, {-1, 0}, points), ArithmeticError);
}

} // namespace
