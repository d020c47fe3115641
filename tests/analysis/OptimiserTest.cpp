// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/Optimiser.h"
#include "analysis/PartModels.h"
#include "analysis/Mask.h"
#include "tests/analysis/ToleranceLadders.h"

using namespace corvane;

namespace {

const std::vector<double> kButterworth3{1.0, 2.0, 1.0};

// A low-pass ladder of published prototype values between 50 ohm, with its mask.
struct Case {
    LadderModel ladder;
    Mask mask; // the passband, then the stopband

    double Edge() const { return mask.bands[0].highHz; }
    const MaskBand& Stop() const { return mask.bands[1]; }
};

Case LowPass(const std::vector<double>& g, double passLossDb, double stopRatio, double stopAttDb)
{
    const double edge = 30e6;
    return {ModelOfLadder(LowPassLadder(g, edge, 50.0, true)),
            MaskOfEdges({BandShape::LowPass, 0.0, edge}, passLossDb, stopRatio * edge, stopAttDb)};
}

// Every combination of the parts' candidates, measured one by one: the best margin there is.
double ExhaustiveBest(const LadderModel& designed, const PartQuality& quality, const Mask& mask,
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
        EXPECT_NEAR(DenseMarginDb(result.ladder, row.quality, 30e6, row.c.Stop().lowHz, row.c.mask.bands[0].value,
                                  row.c.Stop().value),
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

// The worst margin by the exact analysis of the part models on a dense grid of the case's bands.
double DenseModelMarginDb(const LadderModel& ladder, const Case& c)
{
    double margin = INFINITY;
    for (int i = 1; i <= 4000; ++i)
        margin = std::min(margin, c.mask.bands[0].value + AnalyseLadderAt(ladder, c.Edge() * i / 4000.0, {}).S21dB);
    const double low = c.Stop().lowHz, ratio = c.Stop().highHz / low;
    for (int i = 0; i <= 20000; ++i)
        margin =
            std::min(margin, -AnalyseLadderAt(ladder, low * std::pow(ratio, i / 20000.0), {}).S21dB - c.Stop().value);
    return margin;
}

// Stock of E12 values as catalogue parts; the inductor of value lowSrfValue resonates at srfHz.
PartStock E12Stock(double lowSrfValue, double srfHz)
{
    PartStock stock = StockOfSeries(ESeries::E12, 1e-12, 1e-5);
    for (CataloguePart& part : stock.inductors)
        if (part.value == lowSrfValue) part.srfHz = srfHz;
    return stock;
}

// An inductor whose self-resonance lies inside the passband is useless there: where ideal parts
// would take it, the optimiser now takes others, the chosen parts keep their models in the ladder
// it returns, and that ladder measures as the optimiser says by the exact analysis of its models.
TEST(Optimiser, AChoiceWithALowSelfResonanceIsAvoided)
{
    const Case c = LowPass(kChebyshev05dB7, 0.6, 1.6, 30);
    OptimiseRequest ideal;
    ideal.stock = StockOfSeries(ESeries::E12, 1e-12, 1e-5);
    const OptimiseResult before = OptimiseParts(c.ladder, {}, c.mask, ideal);
    double taken = 0.0;
    for (const PartChoice& choice : before.choices)
        if (choice.designator[0] == 'L') taken = choice.value;
    ASSERT_GT(taken, 0.0);
    OptimiseRequest real = ideal;
    real.stock = E12Stock(taken, 0.8 * c.Edge());
    const OptimiseResult after = OptimiseParts(c.ladder, {}, c.mask, real);
    for (const ModelBranch& b : after.ladder.branches)
        for (const ModelPart& p : b.parts) {
            if (p.kind != PartKind::Inductor) continue;
            EXPECT_NE(p.value, taken) << p.designator;
            EXPECT_FALSE(p.model && p.model->srfHz > 0.0) << p.designator;
        }
    EXPECT_NEAR(DenseModelMarginDb(after.ladder, c), after.marginAfterDb, 0.02);
    // The ideal choice built with that inductor misses the mask by far.
    LadderModel idealBuilt = before.ladder;
    for (ModelBranch& b : idealBuilt.branches)
        for (ModelPart& p : b.parts)
            if (p.kind == PartKind::Inductor && p.value == taken)
                p.model = PartModel{0, QGrowth::Constant, 0, 0, 0.8 * c.Edge(), 0};
    EXPECT_LT(DenseModelMarginDb(idealBuilt, c), after.marginAfterDb - 1.0);
    // Where the self-resonance lies far above the mask, the choice is the ideal one.
    real.stock = E12Stock(taken, 1e6 * c.Edge());
    const OptimiseResult far = OptimiseParts(c.ladder, {}, c.mask, real);
    EXPECT_NEAR(far.marginAfterDb, before.marginAfterDb, 0.02);
}

// Ideal stock parts, but a ladder built with self-resonant inductors on a board with stray
// capacitance: the margin the optimiser reports is that of the exact analysis of the ladder it
// returns, models and strays included.
TEST(Optimiser, ModelsAndStraysOfTheBuildAreMeasured)
{
    Case c = LowPass(kChebyshev05dB7, 0.6, 1.6, 30);
    c.ladder.inductorModel.srfHz = 2.5 * c.Edge();
    c.ladder.strays.nodeC = 10e-12;
    OptimiseRequest request;
    request.stock = StockOfSeries(ESeries::E12, 1e-12, 1e-5);
    const OptimiseResult result = OptimiseParts(c.ladder, {}, c.mask, request);
    EXPECT_EQ(result.ladder.strays, c.ladder.strays);
    EXPECT_NEAR(DenseModelMarginDb(result.ladder, c), result.marginAfterDb, 0.02);
    // Measured without them, the same ladder tells another margin.
    LadderModel bare = result.ladder;
    bare.inductorModel = {};
    bare.strays = {};
    EXPECT_GT(std::fabs(DenseModelMarginDb(bare, c) - result.marginAfterDb), 0.05);
}

// The model a built part gets from its catalogue parts, worked by hand: the lower Q and where it
// is stated (an inductor's growing with frequency), the lower self-resonance, and resistances in
// series adding and in parallel combining as conductances; the kind's model where nothing is stated.
TEST(Optimiser, ModelOfChoiceCombinesTheMembersFigures)
{
    const double nan = std::nan("");
    const auto part = [&](PartKind kind, double Q, double qHz, double srf, double ohms) {
        CataloguePart p;
        p.kind = kind;
        p.value = 1e-9;
        p.Q = Q;
        p.qFrequencyHz = qHz;
        p.srfHz = srf;
        p.seriesOhms = ohms;
        return p;
    };
    const PartModel base{0, QGrowth::Constant, 0, 0.05, 2e9, 0};
    struct Row {
        const char* name;
        PartKind kind;
        ChoiceForm form;
        std::vector<CataloguePart> members;
        bool some;
        PartModel expected;
    };
    const Row rows[] = {
        {"InductorQGrows",
         PartKind::Inductor,
         ChoiceForm::Single,
         {part(PartKind::Inductor, 40, 100e6, 900e6, 0.2)},
         true,
         {40, QGrowth::SqrtF, 100e6, 0.2, 900e6, 0}},
        {"SeriesInductors",
         PartKind::Inductor,
         ChoiceForm::Series,
         {part(PartKind::Inductor, 60, 50e6, 700e6, 0.1), part(PartKind::Inductor, 45, 25e6, 1.1e9, 0.3)},
         true,
         {45, QGrowth::SqrtF, 25e6, 0.4, 700e6, 0}},
        {"ParallelCapacitors",
         PartKind::Capacitor,
         ChoiceForm::Parallel,
         {part(PartKind::Capacitor, 500, 100e6, nan, 0.2), part(PartKind::Capacitor, 800, 100e6, nan, 0.3)},
         true,
         {500, QGrowth::Constant, 0, 0.12, 2e9, 0}},
        {"NothingStated",
         PartKind::Capacitor,
         ChoiceForm::Single,
         {part(PartKind::Capacitor, nan, nan, nan, nan)},
         false,
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PartChoice choice{"X1", row.form, row.members, 1e-9, false};
        const std::optional<PartModel> model = ModelOfChoice(base, choice, row.kind);
        ASSERT_EQ(model.has_value(), row.some);
        if (!model) continue;
        EXPECT_EQ(model->Q, row.expected.Q);
        EXPECT_EQ(model->growth, row.expected.growth);
        EXPECT_EQ(model->QHz, row.expected.QHz);
        EXPECT_NEAR(model->seriesR, row.expected.seriesR, 1e-12);
        EXPECT_EQ(model->srfHz, row.expected.srfHz);
    }
}

// The yield the optimiser reports is the tolerance analysis's yield of the ladder it returns with
// the same settings, part models and strays included, and no worse than plain rounding's.
TEST(Optimiser, YieldAgreesWithTheToleranceAnalysis)
{
    struct Row {
        const char* name;
        Case c;
        PartStock stock;
    };
    Case built = LowPass(kChebyshev05dB7, 1.2, 1.6, 30);
    built.ladder.inductorModel = {60, QGrowth::Constant, 0, 0, 4.0 * built.Edge(), 0};
    built.ladder.strays.nodeC = 5e-12;
    PartStock figures = StockOfSeries(ESeries::E12, 1e-12, 1e-5);
    for (CataloguePart& part : figures.inductors) part.Q = 50, part.qFrequencyHz = 30e6, part.srfHz = 150e6;
    const Row rows[] = {
        {"IdealParts", LowPass(kButterworth5, 3.5, 2.5, 35), StockOfSeries(ESeries::E12, 1e-12, 1e-5)},
        {"BuildWithModelsAndStrays", built, StockOfSeries(ESeries::E12, 1e-12, 1e-5)},
        {"StockFigures", LowPass(kChebyshev05dB7, 1.4, 1.6, 30), figures},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OptimiseRequest request;
        request.stock = row.stock;
        request.goal = OptimiseGoal::Yield;
        request.yield.trials = 300;
        request.yield.inductorPercent = 5;
        request.yield.capacitorPercent = 5;
        request.yield.seed = 7;
        const OptimiseResult result = OptimiseParts(row.c.ladder, {}, row.c.mask, request);
        ASSERT_TRUE(result.yieldBefore && result.yieldAfter);
        EXPECT_GE(*result.yieldAfter, *result.yieldBefore);
        ToleranceSettings settings = request.yield;
        settings.threads = 1;
        const ToleranceResult check = RunTolerance(result.ladder, {}, {30e6}, row.c.mask, settings);
        EXPECT_DOUBLE_EQ(check.yield, *result.yieldAfter);
    }
}

// Where the parts' models push the loss over the mask, the yield falls with them: the same ladder
// (every part held) and trials with the models' Q alone as the kind's (none: ideal parts) meet the
// mask far more often.
TEST(Optimiser, YieldSeesThePartModels)
{
    const Case c = LowPass(kChebyshev05dB7, 1.0, 1.6, 30);
    const double edge = c.Edge();
    OptimiseRequest request;
    request.stock = StockOfSeries(ESeries::E12, 1e-12, 1e-5);
    request.keep = {"L1", "C2", "L3", "C4", "L5", "C6", "L7"};
    request.goal = OptimiseGoal::Yield;
    request.yield.trials = 300;
    request.yield.inductorPercent = 3;
    request.yield.capacitorPercent = 3;
    const auto yieldWith = [&](const PartModel& inductors, const PartQuality& quality) {
        LadderModel ladder = c.ladder;
        ladder.inductorModel = inductors;
        return *OptimiseParts(ladder, quality, c.mask, request).yieldAfter;
    };
    struct Row {
        const char* name;
        PartModel model;
        double qAlone;
    };
    const Row rows[] = {
        {"QStatedAboveTheBand", {300, QGrowth::SqrtF, 10 * edge, 0, 0, 0}, 300},
        {"SelfResonanceNearTheStopband", {300, QGrowth::Constant, 0, 0, 2.2 * edge, 0}, 300},
        {"DcResistance", {0, QGrowth::Constant, 0, 1.0, 0, 0}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const double real = yieldWith(row.model, {});
        const double qAlone = yieldWith({}, {row.qAlone, 0});
        EXPECT_LT(real, qAlone - 0.3);
    }
}

} // namespace
