// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "tests/run/RunHarness.h"

namespace {

// Design-state numbers a validator may write, to see whether a refusal changed anything.
std::array<double, 6> Inputs(const DesignState& s)
{
    return {s.Order, s.Ripple, s.PassF, s.Fmin, s.Fmax, s.RL};
}

struct Refusal {
    Field field;
    const char* text;
    bool byReadInputs; // ReadAllInputs refuses every case of the table
};

const Refusal kRefusals[] = {
    {Field::N, "", true},
    {Field::Ripple, "", true},
    {Field::PassF, "", true},
    {Field::R, "", true},
    {Field::N, "0", true},
    {Field::PassF, "0", true},
    {Field::R, "0", true},
    {Field::Fmin, "", false},
    {Field::Fmax, "", false},
    {Field::Fmin, "0", false},
    {Field::Fmax, "0", false},
    // Outside the ladder's data model: no room for the terminations, or more poles than typed.
    {Field::N, "-1", true},
    {Field::N, "-9", true},
    {Field::N, "-0.5", true},
    {Field::N, "100", true},
    {Field::N, "1e3", true},
};

TEST(Validators, RefusalsChangeNothing)
{
    for (bool all : {false, true}) {
        for (const Refusal& r : kRefusals) {
            Harness h;
            h.form.texts[Field::Fmin] = "9";
            h.form.texts[Field::Fmax] = "11";
            h.form.texts[r.field] = r.text;
            const auto before = Inputs(h.run.State());
            const bool passed = all ? h.run.ReadAllInputs() : h.run.ReadInputs();
            const bool refused = all || r.byReadInputs;
            EXPECT_EQ(passed, !refused) << (all ? "all " : "basic ") << static_cast<int>(r.field) << " '" << r.text
                                        << "'";
            if (refused) {
                EXPECT_EQ(Inputs(h.run.State()), before) << static_cast<int>(r.field) << " '" << r.text << "'";
                EXPECT_TRUE(h.form.titles.empty());
            }
        }
    }
}

TEST(Validators, OnlyTheExactTextZeroIsRefused)
{
    for (const char* text : {"00", "0.0", "-0", " 0", "0 "}) {
        Harness h;
        h.form.texts[Field::R] = text;
        h.form.texts[Field::PassF] = text;
        EXPECT_TRUE(h.run.ReadInputs()) << "'" << text << "'";
        EXPECT_EQ(h.run.State().RL, 0.0);
        EXPECT_EQ(h.run.State().PassF, 0.0);
    }
    Harness h; // the ripple field takes "0", the text the window puts there for Butterworth
    EXPECT_TRUE(h.run.ReadInputs());
    EXPECT_EQ(h.run.State().Ripple, 0.0);
}

TEST(Validators, ReadInputsWritesInputsAndTitle)
{
    Harness h;
    h.form.texts[Field::N] = "5";
    h.form.texts[Field::Ripple] = "0.25";
    h.form.texts[Field::PassF] = "2.5e1";
    h.form.texts[Field::R] = " 75 ";
    h.form.texts[Field::Fmin] = "abc"; // not read by the basic validator
    h.Select(1, 1);
    ASSERT_TRUE(h.run.ReadInputs());
    EXPECT_EQ(Inputs(h.run.State()), (std::array<double, 6>{5.0, 0.25, 25.0, 0.0, 0.0, 75.0}));
    EXPECT_EQ(h.form.titles, std::vector<std::string>{"Chebyshev  HPF"});
}

TEST(Validators, ReadAllInputsWritesBandEdges)
{
    Harness h;
    h.form.texts[Field::Fmin] = "9";
    h.form.texts[Field::Fmax] = "11";
    ASSERT_TRUE(h.run.ReadAllInputs());
    EXPECT_EQ(Inputs(h.run.State()), (std::array<double, 6>{3.0, 0.0, 10.0, 9.0, 11.0, 50.0}));
    EXPECT_EQ(h.form.titles, std::vector<std::string>{"Butterworth  LPF"});
}

// Other equal edges are refused; zero ones pass on to the response, which reports them.
TEST(Validators, ZeroBandEdgesAreKeptApart)
{
    Harness h;
    h.form.texts[Field::Fmin] = "0.0";
    h.form.texts[Field::Fmax] = "-0";
    ASSERT_TRUE(h.run.ReadAllInputs());
    EXPECT_EQ(h.run.State().Fmin, 0.0);
    EXPECT_EQ(h.run.State().Fmax, 1e-20);
}

TEST(Validators, ConversionFailureKeepsFieldsConvertedBeforeIt)
{
    struct Case {
        bool all;
        Field bad;
        std::array<double, 6> inputs;
        bool titled;
    };
    // Start from inputs that differ from every value the form gives.
    const Case cases[] = {
        {false, Field::N, {-7, -7, -7, -7, -7, -7}, false},   {false, Field::Ripple, {3, -7, -7, -7, -7, -7}, false},
        {false, Field::PassF, {3, 0, -7, -7, -7, -7}, false}, {false, Field::R, {3, 0, 10, -7, -7, -7}, true},
        {true, Field::Fmin, {3, 0, 10, -7, -7, -7}, false},   {true, Field::Fmax, {3, 0, 10, 9, -7, -7}, false},
        {true, Field::R, {3, 0, 10, 9, 11, -7}, false},
    };
    for (const Case& c : cases) {
        Harness h;
        DesignState& s = h.run.State();
        s.Order = s.Ripple = s.PassF = s.Fmin = s.Fmax = s.RL = -7;
        h.form.texts[Field::Fmin] = "9";
        h.form.texts[Field::Fmax] = "11";
        h.form.texts[c.bad] = "1,5";
        try {
            c.all ? h.run.ReadAllInputs() : h.run.ReadInputs();
            ADD_FAILURE() << "converted '1,5'";
        } catch (const ConvertError& error) {
            EXPECT_STREQ(error.what(), "'1,5' is not a valid floating point value");
        }
        EXPECT_EQ(Inputs(s), c.inputs) << static_cast<int>(c.bad) << (c.all ? " all" : " basic");
        EXPECT_EQ(h.form.titles.size(), c.titled ? 1u : 0u) << static_cast<int>(c.bad);
    }
}

} // namespace
