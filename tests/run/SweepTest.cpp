// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "tests/run/RunHarness.h"

namespace {

TEST(Sweep, CreationSetsKindUnitAndDefaultSweep)
{
    Harness h;
    const DesignState& s = h.run.State();
    EXPECT_EQ(s.FilterKind, 0);
    EXPECT_EQ(s.UnitScale, 1e6);
    EXPECT_EQ(s.FStep, 1.0);
    EXPECT_EQ(h.form.stepTexts, std::vector<std::string>{"1.000"});
    for (int i = 0; i < SweepPoints; ++i) EXPECT_EQ(s.Freq[i], i + 1.0) << i;
    EXPECT_TRUE(h.form.titles.empty());
}

struct SweepCase {
    const char* start;
    const char* stop;
    const char* stepText;
    double step;
    double first, middle, last; // points 0, 50 and 99
};

TEST(Sweep, PointsAndStepDisplay)
{
    const SweepCase cases[] = {
        {"1", "101", "1.000", 1.0, 1.0, 51.0, 100.0},
        {"0", "100", "1.000", 1.0, 1e-10, 50.0, 99.0},
        {"-50", "50", "1.000", 1.0, -50.0, 1e-10, 49.0},
        {"0", "200000", "2.000e+03", 2000.0, 1e-10, 100000.0, 198000.0},
        {"0", "100000", "1000.000", 1000.0, 1e-10, 50000.0, 99000.0},
        {"101", "1", "-1.000", -1.0, 101.0, 51.0, 2.0},
        {"5", "5", "0.000", 0.0, 5.0, 5.0, 5.0},
        {"0", "25", "0.250", 0.25, 1e-10, 12.5, 24.75},
        {" 1e3", "1.5e5 ", "1.490e+03", 1490.0, 1000.0, 75500.0, 148510.0},
    };
    for (const SweepCase& c : cases) {
        Harness h;
        h.form.texts[Field::FStart] = c.start;
        h.form.texts[Field::Stop] = c.stop;
        h.run.UpdateSweep();
        const DesignState& s = h.run.State();
        EXPECT_EQ(h.form.stepTexts.back(), c.stepText) << c.start << ".." << c.stop;
        EXPECT_EQ(s.FStep, c.step) << c.start << ".." << c.stop;
        EXPECT_EQ(s.Freq[0], c.first) << c.start << ".." << c.stop;
        EXPECT_EQ(s.Freq[50], c.middle) << c.start << ".." << c.stop;
        EXPECT_EQ(s.Freq[99], c.last) << c.start << ".." << c.stop;
    }
}

TEST(Sweep, EmptyOrBadTextKeepsThePreviousSweep)
{
    struct Case {
        const char* start;
        const char* stop;
        const char* failure; // empty when the update just returns
    };
    const Case cases[] = {{"", "50", ""},
                          {"0", "", ""},
                          {"", "", ""},
                          {"0", "x", "'x' is not a valid floating point value"},
                          {"x", "50", "'x' is not a valid floating point value"},
                          {"a", "b", "'b' is not a valid floating point value"}};
    for (const Case& c : cases) {
        Harness h;
        const DesignState before = h.run.State();
        h.form.texts[Field::FStart] = c.start;
        h.form.texts[Field::Stop] = c.stop;
        std::string failure;
        try {
            h.run.UpdateSweep();
        } catch (const ConvertError& error) {
            failure = error.what();
        }
        EXPECT_EQ(failure, c.failure) << c.start << ".." << c.stop;
        EXPECT_EQ(h.run.State().Freq, before.Freq);
        EXPECT_EQ(h.run.State().FStep, before.FStep);
        EXPECT_EQ(h.form.stepTexts.size(), 1u);
    }
}

TEST(Sweep, RunUsesTheKeptSweepWhenAFieldIsEmpty)
{
    Harness h;
    h.form.texts[Field::Stop] = "";
    EXPECT_EQ(h.Press(), kCompleted);
    EXPECT_EQ(h.run.State().Freq[99], 100.0);
}

TEST(Sweep, ApplyChecksTheStepFirst)
{
    struct Case {
        const char* start;
        const char* stop;
        std::vector<std::string> events;
    };
    const std::vector<std::string> warned{kStartStopText, "<plot>", "<grid>"};
    const Case cases[] = {{"1", "101", kCompleted}, {"5", "5", kCompleted}, {"101", "1", warned}};
    for (const Case& c : cases) {
        Harness h;
        h.form.texts[Field::FStart] = c.start;
        h.form.texts[Field::Stop] = c.stop;
        h.run.UpdateSweep();
        EXPECT_EQ(h.Press(&CalculationRun::Apply), c.events) << c.start << ".." << c.stop;
    }
}

TEST(Sweep, ApplyJudgesTheStepOfTheLastUpdate)
{
    Harness h;
    h.form.texts[Field::FStart] = "101";
    h.form.texts[Field::Stop] = "1"; // typed, but no update has seen it yet
    EXPECT_EQ(h.Press(&CalculationRun::Apply), kCompleted);
    EXPECT_EQ(h.Press(&CalculationRun::Apply), (std::vector<std::string>{kStartStopText, "<plot>", "<grid>"}));
}

TEST(Units, ScaleChangeFollowsTheItemIndex)
{
    const std::pair<int, double> cases[] = {{0, 1.0}, {1, 1000.0}, {2, 1e6}, {3, 1e9}, {-1, 1e9}, {4, 1e9}};
    Harness h;
    for (const auto& [index, scale] : cases) {
        h.form.indices[3] = index;
        h.run.ScaleChange();
        EXPECT_EQ(h.run.State().UnitScale, scale) << index;
    }
}

TEST(Kind, SelectorsGiveTheKind)
{
    struct Case {
        int type, model, kind;
    };
    // Each case starts from the previous kind, which a selector without an item keeps.
    const Case cases[] = {{0, 0, 0}, {1, 0, 1},  {2, 0, 2},  {0, 1, 3}, {1, 1, 4},
                          {2, 1, 5}, {-1, 0, 5}, {0, -1, 5}, {1, 0, 1}, {-1, -1, 1}};
    Harness h;
    for (const Case& c : cases) {
        h.Select(c.type, c.model);
        EXPECT_EQ(h.run.State().FilterKind, c.kind) << c.type << "," << c.model;
    }
}

TEST(Kind, OrderParity)
{
    struct Case {
        const char* text;
        bool even;
        double order;
    };
    const Case cases[] = {{"4", true, 4},  {"0", true, 0},    {"-2", true, -2}, {"3", false, 3},
                          {"1", false, 1}, {"-3", false, -3}, {"", false, 42},  {"2.5", false, 2.5}};
    for (const Case& c : cases) {
        Harness h;
        h.run.State().Order = 42;
        h.form.texts[Field::N] = c.text;
        EXPECT_EQ(h.run.IsOrderEven(), c.even) << "'" << c.text << "'";
        EXPECT_EQ(h.run.State().Order, c.order) << "'" << c.text << "'";
    }
}

TEST(Kind, OrderParityOfABadTextKeepsOrder)
{
    Harness h;
    h.run.State().Order = 42;
    h.form.texts[Field::N] = "x";
    EXPECT_THROW(h.run.IsOrderEven(), ConvertError);
    EXPECT_EQ(h.run.State().Order, 42.0);
}

} // namespace
