// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "run/LadderOfRun.h"
#include "analysis/NetworkResponse.h"
#include "filtermath/Failure.h"

using namespace corvane;

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
    const LadderModel designed = ModelOfRun(state, LadderTopology::Pi);
    const DesignAnalysis ideal = AnalyseDesign(designed, {}, f, 1e6);
    ASSERT_NE(ideal.ladder.RS, ideal.ladder.RL);
    ASSERT_EQ(ideal.curves.NetS22.size(), f.size());
    AnalysisOptions lossyOptions;
    lossyOptions.quality = {50, 200};
    const DesignAnalysis lossy = AnalyseDesign(designed, lossyOptions, f, 1e6);
    for (size_t i = 0; i < f.size(); ++i) {
        const double t = std::pow(10.0, ideal.curves.NetS21[i] / 10);
        if (ideal.curves.NetS21[i] < -200) continue;
        EXPECT_NEAR(t + std::pow(10.0, ideal.curves.NetS11[i] / 10), 1.0, 1e-12) << f[i];
        EXPECT_NEAR(t + std::pow(10.0, ideal.curves.NetS22[i] / 10), 1.0, 1e-12) << f[i];
        EXPECT_LT(std::pow(10.0, lossy.curves.NetS21[i] / 10) + std::pow(10.0, lossy.curves.NetS11[i] / 10), 1.0);
    }
}

TEST(AnalyseDesign, RoundsThePartsItAnalysesAndLeavesTheDesignAlone)
{
    // 3-pole Butterworth low-pass, 10 MHz, 50 ohm: L = 0.796 uH -> 0.82 uH, C = 637 pF -> 620 pF
    // in E24; the band-pass resonators of 9 to 11 MHz: 3.98 uH -> 3.9 uH, 64.3 pF -> 62 pF.
    const LadderModel low =
        ModelOfRun(ComputeDesign({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6}), LadderTopology::T);
    AnalysisOptions e24;
    e24.series = ESeries::E24;
    const DesignAnalysis rounded = AnalyseDesign(low, e24, {10.0}, 1e6);
    EXPECT_NEAR(rounded.ladder.branches[0].parts[0].value, 8.2e-7, 1e-20);
    EXPECT_NEAR(rounded.ladder.branches[1].parts[0].value, 6.2e-10, 1e-23);
    ASSERT_EQ(rounded.changePercent.size(), 3u);
    EXPECT_NEAR(rounded.changePercent[1], (6.2e-10 / low.branches[1].parts[0].value - 1) * 100, 1e-9);
    EXPECT_NEAR(low.branches[0].parts[0].value, 7.9577e-7, 1e-11);

    const LadderModel band =
        ModelOfRun(ComputeDesign({2, LadderTopology::T, 3, 0, 0, 9, 11, 50, 1e6}), LadderTopology::T);
    const DesignAnalysis resonators = AnalyseDesign(band, e24, {10.0}, 1e6);
    EXPECT_NEAR(resonators.ladder.branches[0].parts[0].value, 3.9e-6, 1e-19);
    EXPECT_NEAR(resonators.ladder.branches[0].parts[1].value, 6.2e-11, 1e-24);
    EXPECT_EQ(resonators.changePercent.size(), 6u);
    EXPECT_EQ(resonators.ladder.branches[2].parts[1].designator, "C3");

    AnalysisOptions load;
    load.loadOhms = 75.0;
    EXPECT_EQ(AnalyseDesign(band, load, {10.0}, 1e6).ladder.RL, 75.0);
}

// The curves are those of the ladder at each frequency times the unit's scale.
TEST(AnalyseCurves, AppliesTheUnitScale)
{
    const LadderModel model =
        ModelOfRun(ComputeDesign({1, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e3}), LadderTopology::T);
    const Ladder ladder = LadderOfModel(model);
    const std::vector<double> f = NetworkFrequencies({1.0, 100.0, 199, SweepSpacing::Linear});
    const NetworkCurves curves = AnalyseCurves(model, f, 1e3, {});
    ASSERT_EQ(curves.NetS21.size(), f.size());
    for (size_t i = 0; i < f.size(); i += 9) {
        const NetworkPoint p = AnalyseAt(ladder, f[i] * 1e3, {});
        EXPECT_NEAR(curves.NetS21[i], p.S21dB, 1e-9);
        EXPECT_NEAR(curves.NetS11[i], p.S11dB, 1e-9);
        EXPECT_NEAR(curves.NetGroupDelay[i], p.GroupDelay, 1e-9 * std::fabs(p.GroupDelay));
    }
    EXPECT_NEAR(curves.NetS21[18], -3.0103, 1e-4); // 10 kHz is the high-pass edge
}

} // namespace
