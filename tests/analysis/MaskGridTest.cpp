// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/MaskGrid.h"
#include "analysis/Tolerance.h"
#include "analysis/TrialParts.h"
#include "tests/analysis/ToleranceLadders.h"

using namespace corvane;

namespace {

// The worst margin by brute force: the extended-precision analysis at 10 000 points per band, in
// equal ratios over a band wider than a decade (from 1e-4 of its upper edge when it starts at DC)
// and equal steps otherwise, each kind's figure worked out here from its definition.
double DenseMarginDb(const Ladder& ladder, const PartQuality& quality, const Mask& m)
{
    double margin = INFINITY;
    for (const MaskBand& b : m.bands) {
        const double low = b.lowHz > 0 ? b.lowHz : 1e-4 * b.highHz;
        for (double f : b.highHz / low > 10 ? LogHz(low, b.highHz, 10000) : LinearHz(low, b.highHz, 10000)) {
            const NetworkPoint p = AnalyseAt(ladder, f, quality);
            if (b.kind == MaskKind::Pass) margin = std::min(margin, b.value + p.S21dB);
            if (b.kind == MaskKind::Stop) margin = std::min(margin, -p.S21dB - b.value);
            if (b.kind == MaskKind::ReturnLoss) margin = std::min(margin, -p.S11dB - b.value);
        }
    }
    return margin;
}

Mask MaskOf(std::vector<MaskBand> bands)
{
    Mask m;
    m.bands = std::move(bands);
    return m;
}

struct MaskCase {
    const char* name;
    Ladder ladder;
    PartQuality quality;
    double tolerancePercent;
    Mask mask;
};

void PrintTo(const MaskCase& c, std::ostream* os)
{
    *os << c.name;
}

class AgainstDenseGrid : public ::testing::TestWithParam<MaskCase> {};

ToleranceSettings Settings(const MaskCase& c, int trials)
{
    ToleranceSettings s;
    s.trials = trials;
    s.inductorPercent = s.capacitorPercent = c.tolerancePercent;
    s.seed = 77;
    return s;
}

// Each trial's margin from the mask grid is the brute-force margin: never better by more than
// the refinement's last bracket (1e-6 dB), never worse by more than the dense grid can miss.
// The run's yield counts the same trials.
TEST_P(AgainstDenseGrid, EveryTrialPassesOrFailsAsTheDenseGridSays)
{
    const MaskCase& c = GetParam();
    const int trials = 16;
    int densePassed = 0, mixed = 0;
    double worst = INFINITY;
    for (int t = 0; t < trials; ++t) {
        const Ladder trial = TrialLadder(c.ladder, Settings(c, trials), t);
        const double dense = DenseMarginDb(trial, c.quality, c.mask);
        const double ours = MaskMarginDb(trial, c.quality, c.mask);
        EXPECT_LE(ours, dense + 1e-6) << "trial " << t;
        EXPECT_GE(ours, dense - 2e-3) << "trial " << t;
        EXPECT_EQ(ours >= 0, dense >= 0) << "trial " << t;
        densePassed += dense >= 0;
        mixed += std::fabs(dense) < 0.5;
        worst = std::min(worst, ours);
    }
    EXPECT_GT(densePassed, 0);
    EXPECT_LT(densePassed, trials);
    const ToleranceResult r =
        RunTolerance(ModelOfLadder(c.ladder), c.quality, LinearHz(1e3, 2e3, 11), c.mask, Settings(c, trials));
    EXPECT_EQ(r.passed, densePassed);
    EXPECT_EQ(r.worstMarginDb, worst);
}

const double kF0Squared = 9e6 * 11e6;

const MaskKind kPass = MaskKind::Pass, kStop = MaskKind::Stop, kRl = MaskKind::ReturnLoss;

INSTANTIATE_TEST_SUITE_P(
    Masks, AgainstDenseGrid,
    ::testing::Values(
        MaskCase{"ChebyshevBandPass",
                 BandPassLadder(kChebyshev05dB7, 9e6, 11e6, 50, true),
                 {},
                 1.0,
                 MaskOf({{kPass, 9e6, 11e6, 1.0}, {kStop, 0, kF0Squared / 14e6, 60}, {kStop, 14e6, 420e6, 60}})},
        MaskCase{"ChebyshevLowPassLossy",
                 LowPassLadder(kChebyshev05dB7, 10e6, 50, true),
                 {150, 0},
                 3.0,
                 MaskOf({{kPass, 0, 10e6, 1.0}, {kStop, 20e6, 600e6, 50}})},
        MaskCase{"ChebyshevLowPassReturnLoss",
                 LowPassLadder(kChebyshev05dB7, 10e6, 50, true),
                 {},
                 2.0,
                 MaskOf({{kPass, 0, 10e6, 1.0}, {kRl, 1e6, 9.5e6, 9.0}})},
        MaskCase{"ButterworthHighPass",
                 HighPassLadder(kButterworth5, 1e3, 600, false),
                 {},
                 4.0,
                 MaskOf({{kPass, 1e3, 30e3, 3.5}, {kStop, 0, 500, 29}})},
        MaskCase{"ChebyshevBandStop",
                 BandStopLadder(kChebyshev05dB7, 9e6, 11e6, 50, false),
                 {},
                 1.0,
                 MaskOf({{kPass, 0, 9e6, 1.0}, {kPass, 11e6, 330e6, 1.0}, {kStop, 9.8e6, kF0Squared / 9.8e6, 40}})}),
    [](const ::testing::TestParamInfo<MaskCase>& info) { return std::string(info.param.name); });

// The mask's figures come from its own frequencies: no display sweep changes them.
TEST(MaskGrid, YieldDoesNotDependOnTheDisplaySweep)
{
    const Ladder ladder = BandPassLadder(kChebyshev05dB7, 9e6, 11e6, 50, true);
    const Mask mask = MaskOf({{kPass, 9e6, 11e6, 1.0}, {kStop, 0, kF0Squared / 14e6, 60}, {kStop, 14e6, 420e6, 60}});
    ToleranceSettings s;
    s.trials = 2000;
    s.inductorPercent = s.capacitorPercent = 1.0;
    const ToleranceResult first = RunTolerance(ModelOfLadder(ladder), {}, LinearHz(5e6, 15e6, 1001), mask, s);
    EXPECT_GT(first.passed, 0);
    EXPECT_LT(first.passed, 2000);
    for (const std::vector<double>& sweep :
         {LogHz(5e6, 15e6, 1001), LogHz(1e6, 101e6, 1001), LinearHz(9.9e6, 10.1e6, 7), LinearHz(1, 2, 2)}) {
        const ToleranceResult r = RunTolerance(ModelOfLadder(ladder), {}, sweep, mask, s);
        EXPECT_EQ(r.passed, first.passed);
        EXPECT_EQ(r.margins.counts, first.margins.counts);
        EXPECT_EQ(r.nominalMarginDb, first.nominalMarginDb);
        ASSERT_EQ(r.sensitivities.size(), first.sensitivities.size());
        for (std::size_t k = 0; k < r.sensitivities.size(); ++k)
            EXPECT_EQ(r.sensitivities[k].dbPerPercent, first.sensitivities[k].dbPerPercent);
    }
}

// Every band of the mask is on the grid with both its edges exactly (a band from DC from 1e-4 of
// its upper edge), with its own grid or with 1001 points in all, shared out between the three bands.
TEST(MaskGrid, BandsHoldTheirEdges)
{
    const Mask mask = MaskOf({{kPass, 9e6, 11e6, 1.0}, {kStop, 0, 7e6, 40}, {kStop, 14e6, 420e6, 40}});
    for (const std::size_t total : {std::size_t{0}, std::size_t{1001}}) {
        const MaskGrid grid = MakeMaskGrid(mask, 5, {}, total);
        ASSERT_EQ(grid.bands.size(), 3u);
        if (total) {
            EXPECT_EQ(grid.frequenciesHz.size(), total);
            for (int points : grid.points) EXPECT_NEAR(points, 1001 / 3, 1);
        }
        for (std::size_t b = 0; b < 3; ++b) {
            const std::vector<double> f(grid.frequenciesHz.begin() + grid.firstPoint[b],
                                        grid.frequenciesHz.begin() + grid.firstPoint[b + 1]);
            ASSERT_EQ(static_cast<int>(f.size()), grid.points[b]);
            EXPECT_TRUE(std::is_sorted(f.begin(), f.end()));
            EXPECT_DOUBLE_EQ(f.front(), b == 1 ? 7e2 : grid.bands[b].lowHz);
            EXPECT_EQ(f.back(), grid.bands[b].highHz);
        }
    }
    EXPECT_TRUE(MakeMaskGrid(Mask{}, 5).bands.empty());
}

// A ladder with part models gets its parts' resonances on the grid with a neighbourhood, and a
// logarithmic spacing no coarser than 1 % from a decade below them: a coil's self-resonance at
// 1.2 GHz and a capacitor's with 1 nH of leads.
TEST(MaskGrid, PartResonancesAreOnTheGrid)
{
    LadderModel ladder = ModelOfLadder(LowPassLadder(kChebyshev05dB7, 10e6, 50, true));
    ladder.inductorModel.srfHz = 1.2e9;
    ladder.strays.leadL = 1e-9;
    const GridFeatures features = FeaturesOf(ladder, {});
    EXPECT_TRUE(features.dense);
    const double C2 = ladder.branches[1].parts[0].value;
    const double leadResonance = 1 / (2 * M_PI * std::sqrt(1e-9 * C2));
    const MaskGrid grid = MakeMaskGrid(MaskOf({{kStop, 20e6, 3e9, 40}}), ladder.branches.size(), features);
    const std::vector<double>& f = grid.frequenciesHz;
    for (double resonance : {1.2e9, leadResonance}) {
        SCOPED_TRACE(resonance);
        const auto above = std::upper_bound(f.begin(), f.end(), resonance);
        ASSERT_TRUE(above != f.begin() && above != f.end());
        EXPECT_LT(*above / resonance - 1, 0.0011);
        EXPECT_LT(resonance / *(above - 1) - 1, 0.0011);
    }
    const double from = 0.1 * std::min(1.2e9, leadResonance);
    for (std::size_t i = 1; i < f.size(); ++i)
        if (f[i - 1] >= from) EXPECT_LT(f[i] / f[i - 1], 1.0101) << f[i];
    // Without part models the trap zeros alone are features.
    EXPECT_FALSE(FeaturesOf(ModelOfLadder(LowPassLadder(kChebyshev05dB7, 10e6, 50, true)), {}).dense);
}

} // namespace
