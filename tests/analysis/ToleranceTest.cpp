// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "analysis/Tolerance.h"
#include "analysis/ToleranceKernel.h"
#include "tests/analysis/ToleranceLadders.h"

using namespace corvane;

namespace {

struct KernelCase {
    const char* name;
    Ladder ladder;
    PartQuality quality;
    std::vector<double> frequenciesHz;
};

void PrintTo(const KernelCase& c, std::ostream* os)
{
    *os << c.name;
}

Ladder WithLoad(Ladder ladder, double RL)
{
    ladder.RL = RL;
    return ladder;
}

// Every arm kind once, with traps in both places; values of a 1 MHz ladder.
Ladder ArmsLadder()
{
    Ladder ladder{50, 50, {}};
    ladder.branches = {{BranchPlace::Series, BranchKind::ParallelLC, 2e-6, 3e-9},
                       {BranchPlace::Shunt, BranchKind::SeriesLC, 4e-6, 2e-9},
                       {BranchPlace::Series, BranchKind::SeriesArm, 5e-6, 8e-9, 1e-6, 9e-9},
                       {BranchPlace::Shunt, BranchKind::ParallelArm, 3e-6, 4e-9, 6e-6, 2e-9},
                       {BranchPlace::Series, BranchKind::SeriesLC, 1e-6, 2e-8},
                       {BranchPlace::Shunt, BranchKind::ParallelLC, 5e-7, 1e-8}};
    return ladder;
}

class KernelAgreement : public ::testing::TestWithParam<KernelCase> {};

// The fast kernel against the extended-precision analysis: |S21| to 1e-9 dB everywhere, |S11|
// to 1e-9 dB down to -100 dB (below it the reflection is a difference of nearly equal terms).
TEST_P(KernelAgreement, MatchesTheExactAnalysis)
{
    const KernelCase& c = GetParam();
    const KernelSweep sweep = MakeKernelSweep(c.frequenciesHz);
    std::vector<KernelBranch> branches;
    for (const LadderBranch& b : c.ladder.branches)
        branches.push_back(MakeKernelBranch(b, {b.L, b.C, b.L2, b.C2}, KernelLossFactor(c.quality.QL),
                                            KernelLossFactor(c.quality.QC)));
    const std::size_t n = c.frequenciesHz.size();
    std::vector<double> den2(n), reflection(n);
    ASSERT_TRUE(EvaluateKernel(branches.data(), branches.size(), sweep, 0, n, c.ladder.RS, c.ladder.RL, den2.data(),
                               reflection.data()));
    for (std::size_t i = 0; i < n; ++i) {
        const NetworkPoint exact = AnalyseAt(c.ladder, c.frequenciesHz[i], c.quality);
        EXPECT_NEAR(KernelS21Db(den2[i], c.ladder.RS, c.ladder.RL), exact.S21dB, 1e-9) << c.frequenciesHz[i];
        if (exact.S11dB > -100.0) {
            EXPECT_NEAR(KernelS11Db(reflection[i]), exact.S11dB, 1e-9) << c.frequenciesHz[i];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ladders, KernelAgreement,
    ::testing::Values(KernelCase{"ChebyshevLowPassSeriesFirst",
                                 LowPassLadder(kChebyshev05dB7, 10e6, 50, true),
                                 {},
                                 LogHz(1e5, 1e9, 1001)},
                      KernelCase{"ButterworthHighPassShuntFirstLossy",
                                 HighPassLadder(kButterworth5, 1e3, 600, false),
                                 {80, 400},
                                 LogHz(10, 1e6, 1001)},
                      KernelCase{"ChebyshevBandPassUnequalEnds",
                                 WithLoad(BandPassLadder(kChebyshev05dB7, 88e6, 108e6, 50, true), 75),
                                 {120, 900},
                                 LinearHz(10e6, 300e6, 1001)},
                      KernelCase{"EveryArmKindLossy", ArmsLadder(), {60, 300}, LogHz(1e4, 1e8, 1001)},
                      KernelCase{"ButterworthBandPassShuntFirst",
                                 BandPassLadder(kButterworth5, 1e3, 3e3, 50, false),
                                 {},
                                 LinearHz(-5e3, 5e3, 100)}),
    [](const ::testing::TestParamInfo<KernelCase>& info) { return std::string(info.param.name); });

Mask LowPassMask(double maxPassLossDb)
{
    Mask mask;
    mask.bands = {{MaskKind::Pass, 0.0, 10e6, maxPassLossDb}, {MaskKind::Stop, 20e6, 600e6, 40.0}};
    return mask;
}

// With no tolerance every trial is the nominal ladder: the envelope is its exact response and
// the yield is all or nothing, on either side of the worst passband loss (found on a dense grid,
// between the points of the sweep).
TEST(Tolerance, ZeroToleranceGivesTheNominalResponse)
{
    const Ladder ladder = LowPassLadder(kChebyshev05dB7, 10e6, 50, true);
    const PartQuality quality{150, 0};
    const std::vector<double> f = LinearHz(1e6, 40e6, 1001);
    double worstPassLoss = 0.0;
    for (double hz : LinearHz(0, 10e6, 100001))
        worstPassLoss = std::max(worstPassLoss, -AnalyseAt(ladder, hz, quality).S21dB);
    ToleranceSettings settings;
    settings.trials = 500;
    for (double maxLoss : {worstPassLoss + 0.001, worstPassLoss - 0.001}) {
        const ToleranceResult r = RunTolerance(ModelOfLadder(ladder), quality, f, LowPassMask(maxLoss), settings);
        for (std::size_t i = 0; i < f.size(); ++i) {
            const NetworkPoint exact = AnalyseAt(ladder, f[i], quality);
            for (const std::vector<double>* v : {&r.s21.min, &r.s21.p05, &r.s21.p50, &r.s21.p95, &r.s21.max})
                ASSERT_NEAR((*v)[i], exact.S21dB, 1e-9);
            for (const std::vector<double>* v : {&r.s11.min, &r.s11.p05, &r.s11.p50, &r.s11.p95, &r.s11.max})
                ASSERT_NEAR((*v)[i], exact.S11dB, 1e-9);
        }
        EXPECT_TRUE(r.masked);
        EXPECT_EQ(r.yield, maxLoss > worstPassLoss ? 1.0 : 0.0) << maxLoss;
        EXPECT_EQ(r.margins.counts, std::vector<int>{500});
    }
}

ToleranceSettings FivePercent(int trials, unsigned threads)
{
    ToleranceSettings s;
    s.trials = trials;
    s.inductorPercent = 10.0;
    s.capacitorPercent = 5.0;
    s.distribution = ToleranceDistribution::Normal;
    s.seed = 20261207;
    s.threads = threads;
    return s;
}

// The same seed gives the same numbers whichever thread analyses which points.
TEST(Tolerance, SameResultOnAnyNumberOfThreads)
{
    const Ladder ladder = LowPassLadder(kChebyshev05dB7, 10e6, 50, true);
    const std::vector<double> f = LinearHz(1e6, 40e6, 1001); // eight blocks of sweep points
    const Mask mask = LowPassMask(1.0);
    const ToleranceResult one = RunTolerance(ModelOfLadder(ladder), {}, f, mask, FivePercent(3000, 1));
    for (unsigned threads : {2u, 3u, 7u}) {
        const ToleranceResult many = RunTolerance(ModelOfLadder(ladder), {}, f, mask, FivePercent(3000, threads));
        EXPECT_EQ(many.s21.p05, one.s21.p05) << threads;
        EXPECT_EQ(many.s21.p50, one.s21.p50) << threads;
        EXPECT_EQ(many.s11.p95, one.s11.p95) << threads;
        EXPECT_EQ(many.s11.min, one.s11.min) << threads;
        EXPECT_EQ(many.passed, one.passed) << threads;
        EXPECT_EQ(many.margins.counts, one.margins.counts) << threads;
        EXPECT_EQ(many.worstMarginDb, one.worstMarginDb) << threads;
    }
    EXPECT_EQ(std::accumulate(one.margins.counts.begin(), one.margins.counts.end(), 0), 3000);
    EXPECT_GT(one.passed, 0);
    EXPECT_LT(one.passed, 3000);
    ToleranceSettings otherSeed = FivePercent(3000, 2);
    otherSeed.seed += 1;
    EXPECT_NE(RunTolerance(ModelOfLadder(ladder), {}, f, mask, otherSeed).s21.p05, one.s21.p05);
}

// Published 95 % Wilson score intervals (Newcombe, Statistics in Medicine 17, 1998, table I).
// The upper bound of 0 of 100 000 trials is 0.0038 %, not "0.00 %": a bound shows its first digits
// where two decimals would round it onto 0 % or 100 %.
TEST(Tolerance, YieldPercentKeepsBoundsOffTheEnds)
{
    double low = 0.0, high = 0.0;
    WilsonInterval(0, 100000, low, high);
    const std::pair<double, const char*> cases[] = {
        {0.0, "0.00 %"},      {high, "0.0038 %"},         {0.5, "50.00 %"},
        {0.12345, "12.35 %"}, {1.0 - high, "99.99616 %"}, {1.0, "100.00 %"}};
    for (const auto& [fraction, text] : cases) EXPECT_EQ(YieldPercentText(fraction), text) << fraction;
}

TEST(Tolerance, WilsonIntervalMatchesPublishedValues)
{
    struct Row {
        int successes, trials;
        double low, high;
    };
    for (const Row& row : {Row{81, 263, 0.2553, 0.3662}, Row{15, 148, 0.0624, 0.1605}, Row{0, 20, 0.0, 0.1611},
                           Row{1, 29, 0.0061, 0.1718}}) {
        double low = -1, high = -1;
        WilsonInterval(row.successes, row.trials, low, high);
        EXPECT_NEAR(low, row.low, 5e-5) << row.successes << "/" << row.trials;
        EXPECT_NEAR(high, row.high, 5e-5) << row.successes << "/" << row.trials;
    }
}

// One series inductor between 50 ohm: loss = 10 log10(1 + (wL / 2R)^2), worst at the passband
// edge, so +1 % on L changes the margin by loss(L) - loss(1.01 L).
TEST(Tolerance, SensitivityOfALoneInductor)
{
    const double R = 50, L = 1e-6, edge = 5e6;
    const Ladder ladder{R, R, {{BranchPlace::Series, BranchKind::Inductor, L, 0.0}}};
    Mask mask;
    mask.bands = {{MaskKind::Pass, 0.0, edge, 3.0}};
    const auto loss = [&](double henry) {
        const double x = 2 * M_PI * edge * henry / (2 * R);
        return 10 * std::log10(1 + x * x);
    };
    const ToleranceResult r =
        RunTolerance(ModelOfLadder(ladder), {}, LinearHz(0, 10e6, 101), mask, ToleranceSettings{});
    ASSERT_EQ(r.sensitivities.size(), 1u);
    EXPECT_EQ(r.sensitivities[0].name, "L1");
    EXPECT_NEAR(r.sensitivities[0].dbPerPercent, loss(L) - loss(1.01 * L), 1e-9);
    EXPECT_NEAR(r.nominalMarginDb, 3.0 - loss(L), 1e-9);
}

// A part's own tolerance replaces its kind's: with the inductor alone at 10 % (uniform), the
// extremes of |S21| over many trials approach those of L (1 - 0.1) and L (1 + 0.1).
TEST(Tolerance, PartToleranceOverridesItsKind)
{
    const double R = 50, L = 1e-6, C = 1e-9, f = 5e6;
    const Ladder ladder{
        R,
        R,
        {{BranchPlace::Series, BranchKind::Inductor, L, 0.0}, {BranchPlace::Shunt, BranchKind::Capacitor, 0.0, C}}};
    ToleranceSettings s;
    s.trials = 20000;
    s.inductorPercent = 30.0;
    s.capacitorPercent = 0.0;
    s.perBranch = {PartTolerance{10.0, -1.0}, PartTolerance{}};
    const ToleranceResult r = RunTolerance(ModelOfLadder(ladder), {}, {f}, {}, s);
    Ladder low = ladder, high = ladder;
    low.branches[0].L = 0.9 * L;
    high.branches[0].L = 1.1 * L;
    const double a = AnalyseAt(low, f, {}).S21dB, b = AnalyseAt(high, f, {}).S21dB;
    EXPECT_NEAR(r.s21.max[0], std::max(a, b), 1e-3);
    EXPECT_NEAR(r.s21.min[0], std::min(a, b), 1e-3);
}

TEST(Tolerance, CancelEndsTheRunWithoutStatistics)
{
    const Ladder ladder = LowPassLadder(kChebyshev05dB7, 10e6, 50, true);
    std::atomic<bool> cancel{false};
    int reports = 0;
    const auto progress = [&](long long, long long) {
        ++reports;
        cancel = true;
    };
    const ToleranceResult r = RunTolerance(ModelOfLadder(ladder), {}, LinearHz(1e6, 40e6, 1001), LowPassMask(1.0),
                                           FivePercent(200000, 2), progress, &cancel);
    EXPECT_TRUE(r.cancelled);
    EXPECT_GE(reports, 1);
    EXPECT_EQ(r.passed, 0);
    EXPECT_TRUE(r.margins.counts.empty());
}

TEST(Tolerance, UnusableSettingsAreRefused)
{
    const Ladder ladder = LowPassLadder(kButterworth5, 1e6, 50, true);
    const std::vector<double> f = LinearHz(1e5, 3e6, 11);
    ToleranceSettings s;
    s.trials = 0;
    EXPECT_THROW(RunTolerance(ModelOfLadder(ladder), {}, f, {}, s), std::invalid_argument);
    s.trials = 10;
    s.inductorPercent = 100.0; // a factor of 0 would be no part
    EXPECT_THROW(RunTolerance(ModelOfLadder(ladder), {}, f, {}, s), std::invalid_argument);
    s.inductorPercent = 40.0;
    s.distribution = ToleranceDistribution::Normal; // the normal tail reaches 8.57 sigma = 114 %
    EXPECT_THROW(RunTolerance(ModelOfLadder(ladder), {}, f, {}, s), std::invalid_argument);
    s.inductorPercent = 30.0;
    EXPECT_NO_THROW(RunTolerance(ModelOfLadder(ladder), {}, f, {}, s));
    s.perBranch.resize(2);
    EXPECT_THROW(RunTolerance(ModelOfLadder(ladder), {}, f, {}, s), std::invalid_argument);
}

} // namespace
