// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "run/LadderOfRun.h"
#include "analysis/NetworkResponse.h"
#include "filtermath/Failure.h"

namespace {

TEST(NetworkFrequencies, LogSweepPutsEachDecadeOnItsOwnPoint)
{
    const std::vector<double> f = NetworkFrequencies({1.0, 1000.0, 301, SweepSpacing::Log});
    ASSERT_EQ(f.size(), 301u);
    EXPECT_EQ(f.front(), 1.0);
    EXPECT_NEAR(f[100], 10.0, 1e-13);
    EXPECT_NEAR(f[200], 100.0, 1e-12);
    EXPECT_EQ(f.back(), 1000.0);
    for (size_t i = 1; i < f.size(); ++i) EXPECT_NEAR(f[i] / f[i - 1], std::pow(10.0, 0.01), 1e-14) << i;
}

TEST(NetworkFrequencies, LinearSweepHasEvenStepsEitherWay)
{
    const std::vector<double> up = NetworkFrequencies({0.0, 100.0, 101, SweepSpacing::Linear});
    EXPECT_EQ(up[0], 1e-10);
    for (size_t i = 1; i < up.size(); ++i) EXPECT_NEAR(up[i], static_cast<double>(i), 1e-13) << i;
    const std::vector<double> down = NetworkFrequencies({5.0, -5.0, 1001, SweepSpacing::Linear});
    EXPECT_EQ(down.front(), 5.0);
    EXPECT_EQ(down.back(), -5.0);
    EXPECT_NEAR(down[250], 2.5, 1e-14);
}

TEST(NetworkFrequencies, RefusesWhatHasNoSweep)
{
    EXPECT_THROW(NetworkFrequencies({1, 10, kMinNetworkPoints - 1, SweepSpacing::Linear}), std::invalid_argument);
    EXPECT_THROW(NetworkFrequencies({1, 10, kMaxNetworkPoints + 1, SweepSpacing::Linear}), std::invalid_argument);
    EXPECT_THROW(NetworkFrequencies({0, 10, 101, SweepSpacing::Log}), ArithmeticError);
    EXPECT_THROW(NetworkFrequencies({-1, 10, 101, SweepSpacing::Log}), ArithmeticError);
    EXPECT_THROW(NetworkFrequencies({1, NAN, 101, SweepSpacing::Linear}), ArithmeticError);
}

TEST(AnalyseDesign, EvenLadderConservesPowerAtBothPorts)
{
    // Between 50 and 99.2 ohm a lossless ladder still sends every watt it does not reflect, and
    // reflects equally at both ports; lossy parts take some away.
    const DesignState state = ComputeDesign({3, LadderTopology::Pi, 6, 1.0, 10, 0, 0, 50, 1e6});
    const std::vector<double> f = NetworkFrequencies({0.1, 100, 201, SweepSpacing::Log});
    const DesignAnalysis ideal = AnalyseDesign(state, LadderTopology::Pi, {}, f);
    ASSERT_NE(ideal.ladder.RS, ideal.ladder.RL);
    ASSERT_EQ(ideal.curves.NetS22.size(), f.size());
    AnalysisOptions lossyOptions;
    lossyOptions.quality = {50, 200};
    const DesignAnalysis lossy = AnalyseDesign(state, LadderTopology::Pi, lossyOptions, f);
    for (size_t i = 0; i < f.size(); ++i) {
        const double t = std::pow(10.0, ideal.curves.NetS21[i] / 10);
        if (ideal.curves.NetS21[i] < -200) continue;
        EXPECT_NEAR(t + std::pow(10.0, ideal.curves.NetS11[i] / 10), 1.0, 1e-12) << f[i];
        EXPECT_NEAR(t + std::pow(10.0, ideal.curves.NetS22[i] / 10), 1.0, 1e-12) << f[i];
        EXPECT_LT(std::pow(10.0, lossy.curves.NetS21[i] / 10) + std::pow(10.0, lossy.curves.NetS11[i] / 10), 1.0);
    }
}

TEST(AnalyseDesign, RoundsTheTableItAnalysesAndLeavesTheDesignAlone)
{
    // 3-pole Butterworth low-pass, 10 MHz, 50 ohm: L = 0.796 uH -> 0.82 uH, C = 637 pF -> 620 pF
    // in E24; the band-pass resonators of 9 to 11 MHz: 3.98 uH -> 3.9 uH, 64.3 pF -> 62 pF.
    const DesignState low = ComputeDesign({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
    AnalysisOptions e24;
    e24.series = ESeries::E24;
    const DesignAnalysis rounded = AnalyseDesign(low, LadderTopology::T, e24, {10.0});
    EXPECT_NEAR(rounded.ladder.branches[0].L, 8.2e-7, 1e-20);
    EXPECT_NEAR(rounded.ladder.branches[1].C, 6.2e-10, 1e-23);
    EXPECT_NEAR(rounded.changes.ElementChange[2], (6.2e-10 / low.ElementValues[2] - 1) * 100, 1e-9);
    EXPECT_TRUE(rounded.changes.BandLChange.empty());
    EXPECT_NEAR(low.ElementValues[1], 7.9577e-7, 1e-11);

    const DesignState band = ComputeDesign({2, LadderTopology::T, 3, 0, 0, 9, 11, 50, 1e6});
    const DesignAnalysis resonators = AnalyseDesign(band, LadderTopology::T, e24, {10.0});
    EXPECT_NEAR(resonators.ladder.branches[0].L, 3.9e-6, 1e-19);
    EXPECT_NEAR(resonators.ladder.branches[0].C, 6.2e-11, 1e-24);
    EXPECT_EQ(resonators.changes.BandCChange.size(), 5u);
    EXPECT_TRUE(resonators.changes.ElementChange.empty());
}

} // namespace
