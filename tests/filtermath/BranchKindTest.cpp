// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <complex>

#include <gtest/gtest.h>

#include "filtermath/LadderAnalysis.h"

using namespace corvane;

namespace {

Ladder Between50(std::vector<LadderBranch> branches)
{
    Ladder ladder;
    ladder.RS = 50.0;
    ladder.RL = 75.0;
    ladder.branches = std::move(branches);
    return ladder;
}

void ExpectSameResponse(const Ladder& a, const Ladder& b, const PartQuality& q)
{
    for (double f : {3e5, 9.1e5, 1.0e6, 1.23e6, 4e6}) {
        const NetworkPoint x = AnalyseAt(a, f, q);
        const NetworkPoint y = AnalyseAt(b, f, q);
        EXPECT_NEAR(x.S21dB, y.S21dB, 1e-9) << f;
        EXPECT_NEAR(x.S21Deg, y.S21Deg, 1e-9) << f;
        EXPECT_NEAR(x.S11dB, y.S11dB, 1e-9) << f;
        EXPECT_NEAR(x.S22dB, y.S22dB, 1e-9) << f;
        EXPECT_NEAR(x.GroupDelay, y.GroupDelay, 1e-9 * std::fabs(y.GroupDelay) + 1e-18) << f;
    }
}

const PartQuality kIdeal{};
const PartQuality kLossy{80.0, 300.0};

TEST(BranchKinds, ExplicitPairsEqualTheResonatorOnItsOwnPlace)
{
    for (const PartQuality& q : {kIdeal, kLossy}) {
        ExpectSameResponse(Between50({{BranchPlace::Series, BranchKind::SeriesLC, 2e-6, 1.1e-8}}),
                           Between50({{BranchPlace::Series, BranchKind::Resonator, 2e-6, 1.1e-8}}), q);
        ExpectSameResponse(Between50({{BranchPlace::Shunt, BranchKind::ParallelLC, 2e-6, 1.1e-8}}),
                           Between50({{BranchPlace::Shunt, BranchKind::Resonator, 2e-6, 1.1e-8}}), q);
    }
}

TEST(BranchKinds, FourElementArmsEqualTheirPairsSideBySide)
{
    // In series, impedances in a row add; across the line, admittances at one node add.
    LadderBranch seriesArm{BranchPlace::Series, BranchKind::SeriesArm, 3e-6, 8e-9};
    seriesArm.L2 = 1.5e-6;
    seriesArm.C2 = 2.2e-8;
    LadderBranch parallelArm{BranchPlace::Shunt, BranchKind::ParallelArm, 3e-6, 8e-9};
    parallelArm.L2 = 1.5e-6;
    parallelArm.C2 = 2.2e-8;
    for (const PartQuality& q : {kIdeal, kLossy}) {
        ExpectSameResponse(Between50({seriesArm}),
                           Between50({{BranchPlace::Series, BranchKind::SeriesLC, 3e-6, 8e-9},
                                      {BranchPlace::Series, BranchKind::ParallelLC, 1.5e-6, 2.2e-8}}),
                           q);
        ExpectSameResponse(Between50({parallelArm}),
                           Between50({{BranchPlace::Shunt, BranchKind::SeriesLC, 3e-6, 8e-9},
                                      {BranchPlace::Shunt, BranchKind::ParallelLC, 1.5e-6, 2.2e-8}}),
                           q);
    }
}

TEST(BranchKinds, ParallelTrapInSeriesFollowsTheVoltageDivider)
{
    // One series impedance Z between RS and RL: S21 = 2 sqrt(RS RL) / (RS + RL + Z).
    const double L = 4.7e-6, C = 3.3e-9;
    const Ladder ladder = Between50({{BranchPlace::Series, BranchKind::ParallelLC, L, C}});
    for (double f : {1e5, 1.2e6, 1.3e6, 5e6}) {
        const double w = 2 * M_PI * f;
        const std::complex<double> Z = 1.0 / (1.0 / std::complex<double>(0, w * L) + std::complex<double>(0, w * C));
        const std::complex<double> s21 = 2.0 * std::sqrt(50.0 * 75.0) / (125.0 + Z);
        const NetworkPoint p = AnalyseAt(ladder, f, kIdeal);
        EXPECT_NEAR(p.S21dB, 20 * std::log10(std::abs(s21)), 1e-9) << f;
        EXPECT_NEAR(p.S21Deg, std::arg(s21) * 180 / M_PI, 1e-9) << f;
        // Group delay against the phase slope by central difference.
        const double h = f * 1e-6;
        const double phaseUp = std::arg(2.0 / (125.0 + 1.0 / (1.0 / std::complex<double>(0, 2 * M_PI * (f + h) * L) +
                                                              std::complex<double>(0, 2 * M_PI * (f + h) * C))));
        const double phaseDown = std::arg(2.0 / (125.0 + 1.0 / (1.0 / std::complex<double>(0, 2 * M_PI * (f - h) * L) +
                                                                std::complex<double>(0, 2 * M_PI * (f - h) * C))));
        EXPECT_NEAR(p.GroupDelay, -(phaseUp - phaseDown) / (4 * M_PI * h), 1e-6 * std::fabs(p.GroupDelay) + 1e-15);
    }
}

} // namespace
