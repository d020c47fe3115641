// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "tests/run/RunHarness.h"
#include "filtermath/UGain.h"

using namespace corvane;

namespace {

using Rows = std::vector<std::array<std::string, 3>>;

TEST(Calculate, DefaultsGiveTheKnownGrid)
{
    Harness h;
    EXPECT_EQ(h.Press(), kCompleted);
    EXPECT_EQ(h.run.GridRows(), (Rows{{"G1", "", "7.96e-07"}, {"G2", "6.37e-10", ""}, {"G3", "", "7.96e-07"}}));
    EXPECT_EQ(h.form.titles.back(), "Butterworth  LPF");
    const DesignState& s = h.run.State();
    EXPECT_EQ(s.GValues.size(), 5u);
    EXPECT_NEAR(s.GValues[2], 2.0, 1e-15);
    EXPECT_EQ(s.ElementUnits, (std::vector<std::string>{"Ohm", "H", "F", "H", "Ohm"}));
    EXPECT_NEAR(s.Att[9], -3.0103, 5e-5); // f = 10 is the passband edge
    // There the reflected and transmitted powers are equal.
    EXPECT_NEAR(s.S11[9], -3.0103, 5e-5);
    EXPECT_EQ(h.recorder.plottedAtt, s.Att);
    EXPECT_EQ(h.recorder.plottedS11, s.S11);
}

struct GridCase {
    const char* name;
    int type, model, topology;
    std::map<Field, std::string> texts;
    Rows rows;
};

TEST(Calculate, GridTextsOfEachFamilyAndTopology)
{
    const GridCase cases[] = {
        {"LPF Pi", 0, 0, 1, {}, {{"G1", "3.18e-10", ""}, {"G2", "", "1.59e-06"}, {"G3", "3.18e-10", ""}}},
        {"HPF T", 1, 0, 0, {}, {{"G1", "3.18e-10", ""}, {"G2", "", "3.98e-07"}, {"G3", "3.18e-10", ""}}},
        {"HPF Pi", 1, 0, 1, {}, {{"G1", "", "7.96e-07"}, {"G2", "1.59e-10", ""}, {"G3", "", "7.96e-07"}}},
        {"Chebyshev LPF T",
         0,
         1,
         0,
         {{Field::Ripple, "0.5"}},
         {{"G1", "", "1.27e-06"}, {"G2", "3.49e-10", ""}, {"G3", "", "1.27e-06"}}},
        {"Chebyshev LPF T, 4 poles",
         0,
         1,
         0,
         {{Field::Ripple, "0.5"}, {Field::N, "4"}},
         {{"G1", "", "1.33e-06"}, {"G2", "3.80e-10", ""}, {"G3", "", "1.88e-06"}, {"G4", "2.68e-10", ""}}},
        {"BPF T",
         2,
         0,
         0,
         {{Field::Fmin, "9"}, {Field::Fmax, "11"}},
         {{"G1", "6.43e-11", "3.98e-06"}, {"G2", "3.18e-09", "8.04e-08"}, {"G3", "6.43e-11", "3.98e-06"}}},
        {"BPF Pi",
         2,
         0,
         1,
         {{Field::Fmin, "9"}, {Field::Fmax, "11"}},
         {{"G1", "1.59e-09", "1.61e-07"}, {"G2", "3.22e-11", "7.96e-06"}, {"G3", "1.59e-09", "1.61e-07"}}},
        {"BPF, passband frequency not used",
         2,
         0,
         0,
         {{Field::Fmin, "9"}, {Field::Fmax, "11"}, {Field::PassF, "-10"}},
         {{"G1", "6.43e-11", "3.98e-06"}, {"G2", "3.18e-09", "8.04e-08"}, {"G3", "6.43e-11", "3.98e-06"}}},
    };
    for (const GridCase& c : cases) {
        Harness h;
        h.Select(c.type, c.model, c.topology);
        for (const auto& [field, text] : c.texts) h.form.texts[field] = text;
        EXPECT_EQ(h.Press(), kCompleted) << c.name;
        EXPECT_EQ(h.run.GridRows(), c.rows) << c.name;
    }
}

TEST(Calculate, EveryRowOfALongLadderIsListed)
{
    Harness h;
    h.form.texts[Field::N] = "12";
    ASSERT_EQ(h.Press(), kCompleted);
    const Rows rows = h.run.GridRows();
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[11][0], "G12");
    // A count typed after the run never reads past the arrays of that run.
    h.form.texts[Field::N] = "99";
    EXPECT_EQ(h.run.GridRows().size(), 12u);
}

void Texts(Harness& h, std::map<Field, std::string> texts)
{
    for (const auto& [field, text] : texts) h.form.texts[field] = text;
}

std::string Fault(const char* text)
{
    return std::string("!") + text;
}

const std::string kEnter = kEnterInputsText;

struct FailureCase {
    const char* name;
    int type, model;
    std::map<Field, std::string> texts;
    std::vector<std::string> events;
};

using F = Field;
const FailureCase kFailures[] = {
    {"empty pole count, LPF", 0, 0, {{F::N, ""}}, {kEnter}},
    {"empty pole count, BPF", 2, 0, {{F::N, ""}, {F::Fmin, "9"}, {F::Fmax, "11"}}, {kEnter}},
    {"BPF with passband emptied", 2, 0, {{F::PassF, ""}, {F::Fmin, "9"}, {F::Fmax, "11"}}, {kEnter}},
    {"BPF without band edges", 2, 1, {{F::Ripple, "0.5"}}, {kEnter}},
    {"BPF with band edge 0", 2, 0, {{F::Fmin, "0"}, {F::Fmax, "11"}}, {kEnter}},
    {"empty ripple", 0, 0, {{F::Ripple, ""}}, {kEnter}},
    {"empty resistance", 0, 0, {{F::R, ""}}, {kEnter}},
    {"pole count 0", 0, 0, {{F::N, "0"}}, {kEnter}},
    {"passband 0", 0, 0, {{F::PassF, "0"}}, {kEnter}},
    {"resistance 0", 0, 0, {{F::R, "0"}}, {kEnter}},
    {"pole count not a number", 0, 0, {{F::N, "x"}}, {"!'x' is not a valid floating point value"}},
    {"pole count not whole", 0, 0, {{F::N, "1."}}, {"!'1.' is not a valid integer value"}},
    {"pole count, trailing blank", 0, 0, {{F::N, "5 "}}, {"!'5 ' is not a valid integer value"}},
    {"ripple not a number", 0, 0, {{F::Ripple, "a"}}, {"!'a' is not a valid floating point value"}},
    {"resistance not a number", 0, 0, {{F::R, "abc"}}, {"!'abc' is not a valid floating point value"}},
    {"band edge not a number", 2, 0, {{F::Fmin, "9"}, {F::Fmax, "1e"}}, {"!'1e' is not a valid floating point value"}},
    {"sweep not a number", 0, 0, {{F::Stop, "-"}, {F::FStart, "+"}}, {"!'-' is not a valid floating point value"}},
    {"passband 0.0, LPF", 0, 0, {{F::PassF, "0.0"}}, {kPassbandZeroText}},
    {"passband 0.0, Chebyshev HPF", 1, 1, {{F::PassF, "0.0"}, {F::Ripple, "0.5"}}, {kPassbandZeroText}},
    {"band edge 0.0, Butterworth", 2, 0, {{F::Fmin, "9"}, {F::Fmax, "0.0"}}, {kBandEdgeZeroText}},
    {"band edge 0.0, Chebyshev", 2, 1, {{F::Fmin, "0.0"}, {F::Fmax, "11"}, {F::Ripple, "0.5"}}, {kBandEdgeZeroText}},
    {"passband -0", 0, 0, {{F::PassF, "-0"}}, {kPassbandZeroText}},
    {"Chebyshev ripple 0", 0, 1, {}, {Fault(kDivisionByZeroText)}},
    {"Chebyshev negative ripple", 0, 1, {{F::Ripple, "-1"}}, {Fault(kInvalidOperationText)}},
    {"Chebyshev huge ripple", 0, 1, {{F::Ripple, "400"}}, {Fault(kDivisionByZeroText)}},
    {"resistance 0.0", 0, 0, {{F::R, "0.0"}}, {Fault(kDivisionByZeroText)}},
    {"resistance -0", 0, 0, {{F::R, "-0"}}, {Fault(kDivisionByZeroText)}},
    {"response beyond the extended range",
     1,
     0,
     {{F::N, "99"}, {F::FStart, "1e-300"}, {F::Stop, "2e-300"}},
     {Fault(kOverflowText)}},
};

void Prepare(Harness& h, const FailureCase& c)
{
    h.Select(c.type, c.model);
    Texts(h, c.texts);
}

TEST(Calculate, EveryFailureEndsTheRunWithItsText)
{
    for (const FailureCase& c : kFailures) {
        Harness h;
        Prepare(h, c);
        EXPECT_EQ(h.Press(), c.events) << c.name;
    }
}

TEST(Calculate, ApplyWarnsOnceBeforeTheSameFailures)
{
    for (const FailureCase& c : kFailures) {
        Harness h;
        h.form.texts[Field::FStart] = "101";
        h.form.texts[Field::Stop] = "1";
        h.run.UpdateSweep();
        Prepare(h, c);
        std::vector<std::string> expected{kStartStopText};
        expected.insert(expected.end(), c.events.begin(), c.events.end());
        EXPECT_EQ(h.Press(&CalculationRun::Apply), expected) << c.name;
    }
}

// A completed run whose state a failing run must keep.
Harness& RunOnce(Harness& h)
{
    EXPECT_EQ(h.Press(), kCompleted);
    return h;
}

TEST(Calculate, MissingInputKeepsStateButRefreshesSweep)
{
    Harness h;
    RunOnce(h);
    const DesignState before = h.run.State();
    Texts(h, {{Field::N, ""}, {Field::PassF, "20"}, {Field::FStart, "2"}});
    EXPECT_EQ(h.Press(), std::vector<std::string>{kEnter});
    const DesignState& s = h.run.State();
    EXPECT_EQ(s.Freq[0], 2.0);
    EXPECT_EQ(s.PassF, before.PassF);
    EXPECT_EQ(s.Att, before.Att);
    EXPECT_EQ(s.GValues, before.GValues);
    EXPECT_EQ(s.ElementValues, before.ElementValues);
}

struct RefusedCase {
    const char* name;
    int type, model;
    std::map<Field, std::string> texts;
    const char* message;
};

// Inputs outside the design's domain. Where several are wrong, the first field in the
// validators' order decides, even before a later field that does not convert.
const RefusedCase kRefused[] = {
    {"pole count -0", 0, 0, {{F::N, "-0"}}, kEnterInputsText},
    {"pole count 00, Chebyshev BPF", 2, 1, {{F::N, "00"}}, kEnterInputsText},
    {"pole count before a text that does not convert", 0, 0, {{F::N, "00"}, {F::PassF, "x"}}, kEnterInputsText},
    {"negative passband, LPF", 0, 0, {{F::PassF, "-10"}}, kPassbandPositiveText},
    {"negative passband, Chebyshev HPF", 1, 1, {{F::PassF, "-1e-3"}}, kPassbandPositiveText},
    {"passband before the resistance", 0, 0, {{F::PassF, "-1"}, {F::R, "x"}}, kPassbandPositiveText},
    {"negative resistance", 0, 0, {{F::R, "-50"}}, kResistancePositiveText},
    {"negative resistance, BPF", 2, 0, {{F::R, "-1e-9"}}, kResistancePositiveText},
    {"negative lower edge", 2, 0, {{F::Fmin, "-5"}, {F::Fmax, "10"}}, kEdgesPositiveText},
    {"negative upper edge", 2, 1, {{F::Fmax, "-11"}}, kEdgesPositiveText},
    {"negative edges", 2, 1, {{F::Fmin, "-10"}, {F::Fmax, "-5"}}, kEdgesPositiveText},
    {"negative edge beside a zero edge", 2, 0, {{F::Fmin, "-5"}, {F::Fmax, "0.0"}}, kEdgesPositiveText},
    {"edges before the resistance", 2, 0, {{F::Fmin, "-9"}, {F::R, "-50"}}, kEdgesPositiveText},
    {"reversed edges", 2, 0, {{F::Fmin, "11"}, {F::Fmax, "9"}}, kEdgeOrderText},
    {"equal edges", 2, 1, {{F::Fmin, "5"}, {F::Fmax, "5"}}, kEdgeOrderText},
    {"equal tiny edges", 2, 0, {{F::Fmin, "1e-30"}, {F::Fmax, "1e-30"}}, kEdgeOrderText},
    {"order before a resistance that does not convert", 2, 0, {{F::Fmin, "11"}, {F::R, "x"}}, kEdgeOrderText},
};

// Each refusal shows its one message and computes nothing: the previous design, its curves,
// its title and everything the displays show stay as they were.
TEST(Calculate, RefusedInputsEndTheRunWithTheStateKept)
{
    for (const RefusedCase& c : kRefused) {
        Harness h;
        h.Select(c.type, c.model);
        Texts(h, {{F::Ripple, c.model == 0 ? "0" : "0.5"}, {F::Fmin, "9"}, {F::Fmax, "11"}});
        RunOnce(h);
        const DesignState before = h.run.State();
        const auto titles = h.form.titles;
        Texts(h, c.texts);
        EXPECT_EQ(h.Press(), std::vector<std::string>{c.message}) << c.name;
        const DesignState& s = h.run.State();
        EXPECT_EQ((std::array<double, 7>{s.Order, s.Ripple, s.PassF, s.Fmin, s.Fmax, s.F0, s.RL}),
                  (std::array<double, 7>{before.Order, before.Ripple, before.PassF, before.Fmin, before.Fmax, before.F0,
                                         before.RL}))
            << c.name;
        EXPECT_EQ(s.GValues, before.GValues) << c.name;
        EXPECT_EQ(s.Att, before.Att) << c.name;
        EXPECT_EQ(s.S11, before.S11) << c.name;
        EXPECT_EQ(s.ElementValues, before.ElementValues) << c.name;
        EXPECT_EQ(s.BandL, before.BandL) << c.name;
        EXPECT_EQ(h.form.titles, titles) << c.name;
    }
}

TEST(Calculate, BandPassWithMissingEdgesEndsWithEdgesKept)
{
    Harness h;
    h.Select(2, 0);
    Texts(h, {{Field::Fmin, "9"}, {Field::Fmax, "11"}});
    RunOnce(h);
    const DesignState before = h.run.State();
    Texts(h, {{Field::Fmin, ""}, {Field::N, "5"}});
    EXPECT_EQ(h.Press(), std::vector<std::string>{kEnter});
    const DesignState& s = h.run.State();
    EXPECT_EQ(s.Fmin, 9.0);
    EXPECT_EQ(s.Fmax, 11.0);
    EXPECT_EQ(s.F0, before.F0);
    EXPECT_EQ(s.Order, 3.0);
    EXPECT_EQ(s.BandL, before.BandL);
}

TEST(Calculate, ZeroPassbandEndsAtTheResponseWithCurveKept)
{
    Harness h;
    RunOnce(h);
    const DesignState before = h.run.State();
    h.form.texts[Field::PassF] = "0.0";
    EXPECT_EQ(h.Press(), std::vector<std::string>{kPassbandZeroText});
    const DesignState& s = h.run.State();
    EXPECT_EQ(s.PassF, 0.0);
    EXPECT_EQ(s.Att, before.Att);
    EXPECT_EQ(s.ElementValues, before.ElementValues);
}

TEST(Calculate, PrototypeFaultKeepsTheNewCurve)
{
    Harness h;
    h.Select(0, 1); // Chebyshev with the ripple still "0": flat 0 dB curve, then the fault
    h.run.State().Att.fill(-1.0);
    EXPECT_EQ(h.Press(), std::vector<std::string>{Fault(kDivisionByZeroText)});
    for (double att : h.run.State().Att) EXPECT_EQ(att, 0.0);
    EXPECT_EQ(h.run.State().GValues.size(), 5u);
}

TEST(Calculate, ConversionFailureKeepsTitleAndEarlierFields)
{
    Harness h;
    Texts(h, {{Field::R, "abc"}, {Field::PassF, "20"}});
    h.Select(1, 0);
    h.Press();
    EXPECT_EQ(h.run.State().PassF, 20.0);
    EXPECT_EQ(h.run.State().RL, 0.0);
    EXPECT_EQ(h.form.titles, std::vector<std::string>{"Butterworth  HPF"});
}

TEST(Calculate, EachFamilyLeavesTheOtherArraysAlone)
{
    Harness h;
    h.Select(2, 0);
    Texts(h, {{Field::Fmin, "9"}, {Field::Fmax, "11"}});
    RunOnce(h);
    const DesignState bandPass = h.run.State();
    h.Select(0, 0);
    Texts(h, {{Field::Fmin, "1"}, {Field::Fmax, "2"}});
    RunOnce(h);
    const DesignState lowPass = h.run.State();
    EXPECT_EQ(lowPass.BandL, bandPass.BandL);
    EXPECT_EQ(lowPass.BandC, bandPass.BandC);
    EXPECT_EQ(lowPass.Fmin, 9.0);
    EXPECT_EQ(lowPass.F0, bandPass.F0);
    h.Select(2, 0);
    Texts(h, {{Field::Fmin, "9"}, {Field::Fmax, "11"}});
    RunOnce(h);
    EXPECT_EQ(h.run.State().ElementValues, lowPass.ElementValues);
    EXPECT_EQ(h.run.State().ElementUnits, lowPass.ElementUnits);
}

TEST(Calculate, ResizingKeepsOldEntriesAndZeroesNewOnes)
{
    Harness h;
    h.Select(2, 0);
    Texts(h, {{Field::Fmin, "9"}, {Field::Fmax, "11"}});
    RunOnce(h);
    h.Select(0, 0);
    h.form.texts[Field::N] = "5";
    RunOnce(h);
    const DesignState& s = h.run.State();
    ASSERT_EQ(s.BandL.size(), 7u);
    EXPECT_EQ(s.BandL[4], 50.0); // the load termination of the three-pole band-pass
    EXPECT_EQ(s.BandL[5], 0.0);
    EXPECT_EQ(s.BandL[6], 0.0);
}

TEST(Calculate, RepeatedRunsAreIdentical)
{
    Harness h;
    h.Select(2, 1, 1);
    Texts(h, {{Field::Fmin, "9"}, {Field::Fmax, "11"}, {Field::Ripple, "0.5"}, {Field::N, "7"}});
    RunOnce(h);
    const DesignState first = h.run.State();
    const Rows rows = h.run.GridRows();
    RunOnce(h);
    EXPECT_EQ(h.run.State().Att, first.Att);
    EXPECT_EQ(h.run.State().BandC, first.BandC);
    EXPECT_EQ(h.run.GridRows(), rows);
}

TEST(Calculate, UnitScalesTheElementsOnly)
{
    Harness h;
    RunOnce(h);
    const DesignState mega = h.run.State();
    h.form.indices[3] = 1;
    h.run.ScaleChange();
    EXPECT_EQ(h.run.State().UnitScale, 1000.0);
    RunOnce(h);
    const DesignState& kilo = h.run.State();
    EXPECT_EQ(kilo.Att, mega.Att);
    for (int i : {1, 2, 3}) EXPECT_NEAR(kilo.ElementValues[i] / mega.ElementValues[i], 1000.0, 1e-9) << i;
    EXPECT_EQ(h.run.GridRows(), (Rows{{"G1", "", "7.96e-04"}, {"G2", "6.37e-07", ""}, {"G3", "", "7.96e-04"}}));
}

} // namespace
