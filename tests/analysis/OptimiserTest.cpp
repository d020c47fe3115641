// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/Optimiser.h"
#include "analysis/ToleranceMask.h"
#include "tests/analysis/ToleranceLadders.h"

using namespace corvane;

namespace {

const std::vector<double> kButterworth3{1.0, 2.0, 1.0};

// A low-pass ladder of published prototype values between 50 ohm, with its mask.
struct Case {
    LadderModel ladder;
    ToleranceMask mask;
};

Case LowPass(const std::vector<double>& g, double passLossDb, double stopRatio, double stopAttDb)
{
    const double edge = 30e6;
    return {ModelOfLadder(LowPassLadder(g, edge, 50.0, true)),
            MaskOfEdges({BandShape::LowPass, 0.0, edge}, passLossDb, stopRatio * edge, stopAttDb)};
}

// Every combination of the parts' candidates, measured one by one: the best margin there is.
double ExhaustiveBest(const LadderModel& designed, const PartQuality& quality, const ToleranceMask& mask,
                      const OptimiseRequest& request)
{
    std::vector<std::vector<Candidate>> options;
    for (const ModelBranch& b : designed.branches)
        for (const ModelPart& p : b.parts)
            options.push_back(CandidatesNear(request.stock, p.kind, p.value, request.allowPairs));
    std::vector<std::size_t> at(options.size(), 0);
    double best = -INFINITY;
    for (;;) {
        LadderModel trial = designed;
        std::size_t k = 0;
        for (ModelBranch& b : trial.branches)
            for (ModelPart& p : b.parts) {
                p.value = options[k][at[k]].choice.value;
                ++k;
            }
        best = std::max(best, MaskMarginDb(LadderOfModel(trial), quality, mask));
        k = 0;
        while (k < at.size() && ++at[k] == options[k].size()) at[k++] = 0;
        if (k == at.size()) return best;
    }
}

// The worst margin of a ladder on a dense grid by the exact analysis: a second route to the mask.
double DenseMarginDb(const LadderModel& model, const PartQuality& quality, double edge, double stopHz,
                     double passLossDb, double stopAttDb)
{
    const Ladder ladder = LadderOfModel(model);
    double margin = INFINITY;
    for (int i = 1; i <= 20000; ++i) {
        const double f = edge * i / 20000.0;
        margin = std::min(margin, passLossDb + AnalyseAt(ladder, f, quality).S21dB);
    }
    for (int i = 0; i <= 20000; ++i) {
        const double f = stopHz * std::pow(100.0, i / 20000.0);
        margin = std::min(margin, -AnalyseAt(ladder, f, quality).S21dB - stopAttDb);
    }
    return margin;
}

// Where the candidates are few enough, the optimiser finds the best of them all, which plain
// rounding misses; its ladder measures as it says on a dense grid of the exact analysis.
TEST(Optimiser, FindsTheExhaustiveBestAndItsLadderMeasuresSo)
{
    struct Row {
        const char* name;
        Case c;
        ESeries series;
        bool pairs;
        PartQuality quality;
    };
    const Row rows[] = {
        {"Butterworth5E12", LowPass(kButterworth5, 3.5, 2.5, 35), ESeries::E12, false, {}},
        {"Butterworth5E6Lossy", LowPass(kButterworth5, 3.5, 2.5, 35), ESeries::E6, false, {80, 300}},
        {"Butterworth3E6Pairs", LowPass(kButterworth3, 3.5, 3.0, 25), ESeries::E6, true, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OptimiseRequest request;
        request.stock = StockOfSeries(row.series, 1e-12, 1e-5);
        request.allowPairs = row.pairs;
        const OptimiseResult result = OptimiseParts(row.c.ladder, row.quality, row.c.mask, request);
        const double best = ExhaustiveBest(row.c.ladder, row.quality, row.c.mask, request);
        EXPECT_NEAR(result.marginAfterDb, best, 1e-9);
        EXPECT_GT(result.marginAfterDb, result.marginBeforeDb + 0.05);
        EXPECT_NEAR(DenseMarginDb(result.ladder, row.quality, 30e6, row.c.mask.stopAboveHz, row.c.mask.maxPassLossDb,
                                  row.c.mask.stopAttDb),
                    result.marginAfterDb, 2e-3);
        for (const PartChoice& choice : result.choices) {
            double sum = 0.0;
            for (const CataloguePart& m : choice.members) sum += m.value;
            EXPECT_NEAR(sum, choice.value, 1e-9 * choice.value) << choice.designator;
        }
    }
}

// Nine parts have too many combinations to try them all; the optimiser still does at least as
// well as every combination of the two values bracketing each part.
TEST(Optimiser, NinePartsBeatEveryBracketingCombination)
{
    const Case c = LowPass({1.1956, 1.4425, 2.1345, 1.6167, 2.2054, 1.6167, 2.1345, 1.4425, 1.1956}, 0.4, 1.6, 40);
    OptimiseRequest request;
    request.stock = StockOfSeries(ESeries::E24, 1e-12, 1e-5);
    const OptimiseResult result = OptimiseParts(c.ladder, {}, c.mask, request);
    std::vector<std::vector<double>> brackets;
    for (const ModelBranch& b : c.ladder.branches) {
        const double x = b.parts[0].value;
        brackets.push_back({RoundToESeries(x, ESeries::E24)});
        for (double v : ESeriesValues(ESeries::E24, x, x))
            if (v != brackets.back()[0] && std::fabs(std::log(v / x)) < std::log(1.11)) brackets.back().push_back(v);
    }
    double best = -INFINITY;
    for (int mask = 0; mask < (1 << 9); ++mask) {
        LadderModel trial = c.ladder;
        for (int k = 0; k < 9; ++k) {
            const std::vector<double>& v = brackets[static_cast<std::size_t>(k)];
            trial.branches[static_cast<std::size_t>(k)].parts[0].value =
                v[std::min<std::size_t>((mask >> k) & 1, v.size() - 1)];
        }
        best = std::max(best, MaskMarginDb(LadderOfModel(trial), {}, c.mask));
    }
    EXPECT_GE(result.marginAfterDb, best - 1e-9);
}

TEST(Optimiser, KeptPartsStayAndTunedPartsFindTheirBestValue)
{
    const Case c = LowPass(kButterworth5, 3.2, 2.5, 35);
    OptimiseRequest request;
    request.stock = StockOfSeries(ESeries::E6, 1e-12, 1e-5);
    request.keep = {"L1"};
    request.tune = {"C4"};
    const OptimiseResult result = OptimiseParts(c.ladder, {}, c.mask, request);
    EXPECT_EQ(result.ladder.branches[0].parts[0].value, c.ladder.branches[0].parts[0].value);
    EXPECT_EQ(result.choices[0].form, ChoiceForm::Own);
    EXPECT_TRUE(result.choices[3].tuned);
    // A fine scan of the trimmer with every other part as chosen finds no better margin.
    const double designed = c.ladder.branches[3].parts[0].value;
    LadderModel scan = result.ladder;
    double best = -INFINITY;
    for (int i = 0; i <= 2000; ++i) {
        scan.branches[3].parts[0].value = designed * std::pow(1.5, -1.0 + i / 1000.0);
        best = std::max(best, MaskMarginDb(LadderOfModel(scan), {}, c.mask));
    }
    EXPECT_GE(result.marginAfterDb, best - 0.01);
    EXPECT_THROW(OptimiseParts(c.ladder, {}, c.mask,
                               [&] {
                                   OptimiseRequest bad = request;
                                   bad.keep = {"L9"};
                                   return bad;
                               }()),
                 std::invalid_argument);
}

// The yield the optimiser reports is the tolerance analysis's yield of the same ladder with the
// same settings, and no worse than plain rounding's.
TEST(Optimiser, YieldAgreesWithTheToleranceAnalysis)
{
    const Case c = LowPass(kButterworth5, 3.5, 2.5, 35);
    OptimiseRequest request;
    request.stock = StockOfSeries(ESeries::E12, 1e-12, 1e-5);
    request.goal = OptimiseGoal::Yield;
    request.yield.trials = 500;
    request.yield.inductorPercent = 5;
    request.yield.capacitorPercent = 5;
    request.yield.seed = 7;
    const OptimiseResult result = OptimiseParts(c.ladder, {}, c.mask, request);
    ASSERT_TRUE(result.yieldBefore && result.yieldAfter);
    EXPECT_GE(*result.yieldAfter, *result.yieldBefore);
    ToleranceSettings settings = request.yield;
    settings.threads = 1;
    const ToleranceResult check = RunTolerance(result.ladder, {}, {30e6}, c.mask, settings);
    EXPECT_DOUBLE_EQ(check.yield, *result.yieldAfter);
}

} // namespace
