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

struct Band {
    bool pass;
    double low, high;
};

// The bands a mask holds, open ends cut at 1e-4 and 1e4 of their edge, written out here from
// the mask's definition.
std::vector<Band> BandsOf(const ToleranceMask& m)
{
    std::vector<Band> bands;
    if (m.bandStop) {
        bands = {{true, m.passLowHz * 1e-4, m.passLowHz}, {true, m.passHighHz, m.passHighHz * 1e4}};
        if (m.HasStopband()) bands.push_back({false, m.stopBelowHz, m.stopAboveHz});
        return bands;
    }
    bands.push_back({true, m.passLowHz > 0 ? m.passLowHz : m.passHighHz * 1e-4,
                     std::isinf(m.passHighHz) ? m.passLowHz * 1e4 : m.passHighHz});
    if (m.stopBelowHz > 0) bands.push_back({false, m.stopBelowHz * 1e-4, m.stopBelowHz});
    if (std::isfinite(m.stopAboveHz)) bands.push_back({false, m.stopAboveHz, m.stopAboveHz * 1e4});
    return bands;
}

// The worst margin by brute force: the extended-precision analysis at 10 000 points per band,
// in equal steps over a closed band and equal ratios over one cut from an open end.
double DenseMarginDb(const Ladder& ladder, const PartQuality& quality, const ToleranceMask& m)
{
    double margin = INFINITY;
    for (const Band& b : BandsOf(m))
        for (double f : b.high / b.low > 100 ? LogHz(b.low, b.high, 10000) : LinearHz(b.low, b.high, 10000)) {
            const double loss = -AnalyseAt(ladder, f, quality).S21dB;
            margin = std::min(margin, b.pass ? m.maxPassLossDb - loss : loss - m.stopAttDb);
        }
    return margin;
}

ToleranceMask Mask(double passLow, double passHigh, double maxLoss, double stopBelow, double stopAbove, double att,
                   bool bandStop = false)
{
    ToleranceMask m;
    m.passLowHz = passLow;
    m.passHighHz = passHigh;
    m.maxPassLossDb = maxLoss;
    m.stopBelowHz = stopBelow;
    m.stopAboveHz = stopAbove;
    m.stopAttDb = att;
    m.bandStop = bandStop;
    return m;
}

struct MaskCase {
    const char* name;
    Ladder ladder;
    PartQuality quality;
    double tolerancePercent;
    ToleranceMask mask;
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

INSTANTIATE_TEST_SUITE_P(Masks, AgainstDenseGrid,
                         ::testing::Values(MaskCase{"ChebyshevBandPass",
                                                    BandPassLadder(kChebyshev05dB7, 9e6, 11e6, 50, true),
                                                    {},
                                                    1.0,
                                                    Mask(9e6, 11e6, 1.0, kF0Squared / 14e6, 14e6, 60)},
                                           MaskCase{"ChebyshevLowPassLossy",
                                                    LowPassLadder(kChebyshev05dB7, 10e6, 50, true),
                                                    {150, 0},
                                                    3.0,
                                                    Mask(0, 10e6, 1.0, NAN, 20e6, 50)},
                                           MaskCase{"ButterworthHighPass",
                                                    HighPassLadder(kButterworth5, 1e3, 600, false),
                                                    {},
                                                    4.0,
                                                    Mask(1e3, INFINITY, 3.5, 500, NAN, 29)},
                                           MaskCase{"ChebyshevBandStop",
                                                    BandStopLadder(kChebyshev05dB7, 9e6, 11e6, 50, false),
                                                    {},
                                                    1.0,
                                                    Mask(9e6, 11e6, 1.0, 9.8e6, kF0Squared / 9.8e6, 40, true)}),
                         [](const ::testing::TestParamInfo<MaskCase>& info) { return std::string(info.param.name); });

// The mask's figures come from its own frequencies: no display sweep changes them.
TEST(MaskGrid, YieldDoesNotDependOnTheDisplaySweep)
{
    const Ladder ladder = BandPassLadder(kChebyshev05dB7, 9e6, 11e6, 50, true);
    const ToleranceMask mask = Mask(9e6, 11e6, 1.0, kF0Squared / 14e6, 14e6, 60);
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

// Every band of the mask is on the grid with its finite edges exactly.
// With its own grid or with 1001 points in all, shared out between the three bands.
TEST(MaskGrid, BandsHoldTheirEdges)
{
    for (const std::size_t total : {std::size_t{0}, std::size_t{1001}}) {
        const MaskGrid grid = MakeMaskGrid(Mask(9e6, 11e6, 1.0, 7e6, 14e6, 40), 5, total);
        ASSERT_EQ(grid.bands.size(), 3u);
        if (total) {
            EXPECT_EQ(grid.frequenciesHz.size(), total);
            for (const MaskBand& band : grid.bands) EXPECT_NEAR(band.points, 1001 / 3, 1);
        }
        for (std::size_t b = 0; b < 3; ++b) {
            const std::vector<double> f(grid.frequenciesHz.begin() + grid.firstPoint[b],
                                        grid.frequenciesHz.begin() + grid.firstPoint[b + 1]);
            ASSERT_EQ(static_cast<int>(f.size()), grid.bands[b].points);
            EXPECT_TRUE(std::is_sorted(f.begin(), f.end()));
            if (grid.bands[b].lowHz > 0) {
                EXPECT_EQ(f.front(), grid.bands[b].lowHz);
            }
            if (std::isfinite(grid.bands[b].highHz)) {
                EXPECT_EQ(f.back(), grid.bands[b].highHz);
            }
        }
        EXPECT_EQ(grid.bands[0].lowHz, 9e6);
        EXPECT_EQ(grid.bands[1].highHz, 7e6);
        EXPECT_TRUE(std::isinf(grid.bands[2].highHz));
    }
    EXPECT_TRUE(MakeMaskGrid(ToleranceMask{}, 5).bands.empty());
    // The open stopband reaches 10^4 times its edge, or the ratio asked.
    EXPECT_DOUBLE_EQ(MakeMaskGrid(Mask(9e6, 11e6, 1.0, 7e6, 14e6, 40), 5).frequenciesHz.back(), 14e10);
    EXPECT_DOUBLE_EQ(MakeMaskGrid(Mask(9e6, 11e6, 1.0, 7e6, 14e6, 40), 5, 0, 10.0).frequenciesHz.back(), 14e7);
}

} // namespace
