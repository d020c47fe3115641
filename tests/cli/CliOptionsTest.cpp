// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include <cfloat>
#include <sstream>

#include "tests/cli/CliHarness.h"
#include "cli/Reports.h"

namespace {

TEST(CliOptions, DefaultsAreTheWindowsStartUpTexts)
{
    const CliOptions o = ParseOptions({});
    EXPECT_EQ(o.type, "LPF");
    EXPECT_EQ(o.model, "Butterworth");
    EXPECT_EQ(o.topology, "T");
    EXPECT_EQ(o.unit, "MHz");
    EXPECT_EQ(o.texts.N, "3");
    EXPECT_EQ(o.texts.Ripple, "0");
    EXPECT_EQ(o.texts.PassF, "10");
    EXPECT_EQ(o.texts.Fmin, "");
    EXPECT_EQ(o.texts.Fmax, "");
    EXPECT_EQ(o.texts.R, "50");
    EXPECT_EQ(o.texts.FStart, "1");
    EXPECT_EQ(o.texts.Stop, "101");
    EXPECT_FALSE(o.json);
}

TEST(CliOptions, RippleFollowsTheModelUnlessGiven)
{
    struct Case {
        std::vector<std::string> args;
        std::string ripple;
    };
    const Case cases[] = {{{"--model", "Chebyshev"}, "0.5"},
                          {{"--model", "Butterworth"}, "0"},
                          {{"--model", "Chebyshev", "--ripple", "1"}, "1"},
                          {{"--ripple", "0.5"}, "0.5"},
                          {{"--ripple", ""}, ""}};
    for (const Case& c : cases) EXPECT_EQ(ParseOptions(c.args).texts.Ripple, c.ripple) << c.args.back();
}

TEST(CliOptions, FieldTextsOfAnyLengthAndNoSwallowedOptions)
{
    EXPECT_EQ(ParseOptions({"--rl", "49.999000000000001"}).texts.R, "49.999000000000001");
    EXPECT_EQ(ParseOptions({"--poles", "0000000003"}).texts.N, "0000000003");
    // "--name=" with nothing after it is an option without a value, never "--json" as its value.
    EXPECT_THROW(ParseOptions({"--stop=", "--json"}), CLI::ParseError);
    EXPECT_EQ(ParseOptions({"--stop=7"}).texts.Stop, "7");
    EXPECT_EQ(ParseOptions({"--stop", ""}).texts.Stop, "");
}

TEST(CliOptions, SelectorIndices)
{
    EXPECT_EQ(TypeIndex("BPF"), 2);
    EXPECT_EQ(TypeIndex("bpf"), -1);
    EXPECT_EQ(ModelIndex("Chebyshev"), 1);
    EXPECT_EQ(TopologyIndex("Pi"), 1);
    EXPECT_EQ(TopologyItemText("Pi"), "Pi - Type");
    EXPECT_EQ(TopologyItemText("T"), "T - Type");
    EXPECT_EQ(UnitIndex("Hz"), 0);
    EXPECT_EQ(UnitIndex("GHz"), 3);
}

TEST(CliJsonText, ShortestRoundTripDigits)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{0.1, "0.1"},
                          {1e-10, "1e-10"},
                          {1.0 / 3.0, "0.3333333333333333"},
                          {5e-324, "5e-324"},
                          {DBL_MAX, "1.7976931348623157e+308"},
                          {-3.0102999566398121, "-3.010299956639812"},
                          {7.957747154594767e-07, "7.957747154594767e-07"}};
    DesignState state;
    for (const Case& c : cases) state.GValues.push_back(c.value);
    const CliForm form;
    const CliResults results;
    const std::string text = StateJson(state, form, results).dump();
    std::string expected = "\"GValues\":[";
    for (size_t i = 0; i < std::size(cases); ++i) expected += (i ? "," : "") + std::string(cases[i].text);
    EXPECT_NE(text.find(expected + "]"), std::string::npos) << text;
    const auto back = nlohmann::json::parse(text)["GValues"];
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(back[i].get<double>(), cases[i].value) << cases[i].text;
}

} // namespace
