// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "analysis/MeasuredParts.h"
#include "analysis/PartModels.h"
#include "analysis/Tolerance.h"
#include "tests/support/Designs.h"
#include "tests/support/SeriesPartFile.h"

using namespace corvane;

namespace {

// A 5-pole Chebyshev low-pass at 10 MHz with every kind of model: a coil Q growing with sqrt(f) and
// its self-resonance, capacitor ESR and ESL, leads, node strays, and C4 a measured part.
LadderModel EveryModel()
{
    LadderModel ladder = DesignModel(Design{3, LadderTopology::T, 5, 0.5, 10, 0, 0, 50, 1e6});
    ladder.inductorModel = {40, QGrowth::SqrtF, 10e6, 0.1, 250e6, 0};
    ladder.capacitorModel = {0, QGrowth::Constant, 0, 0.2, 0, 0.8e-9};
    ladder.strays.leadL = 1e-9;
    ladder.strays.nodeC = 1.5e-12;
    const double C4 = ladder.branches[3].parts[0].value;
    const std::vector<double> f = LogFrequencies(1e6, 200e6, 41);
    std::vector<std::complex<double>> z;
    for (double hz : f) z.emplace_back(0.15, 2 * M_PI * hz * 0.6e-9 - 1.0 / (2 * M_PI * hz * C4));
    ApplyMeasuredParts(
        ladder, {{"C4", std::make_shared<const MeasuredPart>(MakeMeasuredPart(PartKind::Capacitor, "c4.s2p", f, z))}});
    return ladder;
}

// Trials that barely move the parts run through the trial analysis and must give the exact
// response with the models, which is far from the ideal ladder's.
TEST(ModelTrials, NearZeroToleranceGivesTheExactResponseWithModels)
{
    const LadderModel ladder = EveryModel();
    const std::vector<double> f = LogFrequencies(1e6, 150e6, 37);
    ToleranceSettings settings;
    settings.trials = 64;
    settings.inductorPercent = settings.capacitorPercent = 1e-9;
    ToleranceMask mask;
    mask.passHighHz = 10e6;
    mask.maxPassLossDb = 2.0;
    const ToleranceResult result = RunTolerance(ladder, {}, f, mask, settings);
    const Ladder ideal = LadderOfModel(ladder);
    double modelsMatter = 0.0;
    for (size_t i = 0; i < f.size(); ++i) {
        const NetworkPoint exact = AnalyseLadderAt(ladder, f[i], {});
        EXPECT_NEAR(result.s21.min[i], exact.S21dB, 1e-6 * (1 + std::fabs(exact.S21dB))) << f[i];
        EXPECT_NEAR(result.s21.max[i], exact.S21dB, 1e-6 * (1 + std::fabs(exact.S21dB))) << f[i];
        EXPECT_NEAR(result.s11.max[i], exact.S11dB, 1e-5 * (1 + std::fabs(exact.S11dB))) << f[i];
        modelsMatter = std::max(modelsMatter, std::fabs(exact.S21dB - AnalyseAt(ideal, f[i], {}).S21dB));
    }
    EXPECT_GT(modelsMatter, 3.0);
    EXPECT_EQ(result.passed, settings.trials);
    EXPECT_NEAR(result.worstMarginDb, result.nominalMarginDb, 1e-6);
}

// Only C2 of a 3-pole low-pass varies, uniformly by 10 %, with Q, ESR, leads and node strays on
// every part; the stopband loss at 20 MHz grows with C2. The yield against a loss that C2 reaches at
// 1.03 times its value is the share of the uniform spread above 1.03: (1.10 - 1.03) / 0.20 = 35 %,
// the threshold found by bisection on the exact analysis at that one frequency.
TEST(ModelTrials, YieldOfOnePartAgainstTheShareOfItsSpreadThatPasses)
{
    LadderModel ladder = DesignModel(Design{0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6}); // L1 C2 L3
    ladder.inductorModel = {30, QGrowth::Constant, 0, 0.3, 0, 0};
    ladder.capacitorModel = {0, QGrowth::Constant, 0, 0.5, 0, 0};
    ladder.strays.leadL = 3e-9;
    ladder.strays.nodeC = 20e-12;
    const auto lossAt20 = [&](double factor) {
        LadderModel changed = ladder;
        changed.branches[1].parts[0].value *= factor;
        return -AnalyseLadderAt(changed, 20e6, {}).S21dB;
    };
    ToleranceMask mask;
    mask.passHighHz = 10e6;
    mask.stopAboveHz = 20e6;
    mask.stopAttDb = lossAt20(1.03);
    ToleranceSettings settings;
    settings.trials = 4000;
    settings.capacitorPercent = 10;
    const ToleranceResult result = RunTolerance(ladder, {}, {10e6, 20e6}, mask, settings);
    const double expected = (1.10 - 1.03) / 0.20;
    const double sigma = std::sqrt(expected * (1 - expected) / settings.trials);
    EXPECT_NEAR(result.yield, expected, 4 * sigma);
    // The ideal ladder would pass far more often: the strays and losses are in the trials.
    ASSERT_GT(lossAt20(1.0), 0.0);
    EXPECT_LT(std::fabs(result.nominalMarginDb - (lossAt20(1.0) - mask.stopAttDb)), 1e-6);
}

} // namespace
