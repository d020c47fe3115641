// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cfloat>
#include <sstream>

#include "tests/cli/CliHarness.h"
#include "cli/BuildOptions.h"
#include "cli/CliRun.h"
#include "cli/Reports.h"
#include "cli/SynthesisStage.h"
#include "design/Names.h"
#include "filtermath/FrequencyUnits.h"
#include "design/SelectorItems.h"

using namespace corvane;

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

// Every key of a table is a choice of its option, and names the classic drop-down's item that
// stands for the same value, or none where the classic window lacks it.
template <typename Value, size_t Count, size_t Items>
void ExpectEveryKeyIsAChoice(const char* option, const NameTable<Value, Count>& table,
                             const std::array<Value, Items>& items, int (*itemIndex)(const std::string&),
                             std::string CliOptions::*chosen)
{
    for (const NameEntry<Value>& entry : table) {
        SCOPED_TRACE(std::string(option) + " " + entry.key);
        EXPECT_EQ(ParseOptions({option, entry.key}).*chosen, entry.key);
        const auto item = std::find(items.begin(), items.end(), entry.value);
        EXPECT_EQ(itemIndex(entry.key), item == items.end() ? -1 : static_cast<int>(item - items.begin()));
    }
    // A drop-down's text is not a key, nor is a key in other letter case.
    EXPECT_THROW(ParseOptions({option, std::string(table.back().key) + "x"}), CLI::ParseError);
}

TEST(CliOptions, EveryTableKeyIsAChoice)
{
    ExpectEveryKeyIsAChoice("--type", kFilterTypeNames, kTypeItems, TypeIndex, &CliOptions::type);
    ExpectEveryKeyIsAChoice("--model", kFamilyNames, kModelItems, ModelIndex, &CliOptions::model);
    ExpectEveryKeyIsAChoice("--topology", kFormNames, kTopologyItems, TopologyIndex, &CliOptions::topology);
    EXPECT_THROW(ParseOptions({"--topology", "Pi - Type"}), CLI::ParseError);
    EXPECT_THROW(ParseOptions({"--type", "bpf"}), CLI::ParseError);
    for (size_t i = 0; i < kFrequencyUnits.size(); ++i)
        EXPECT_EQ(UnitIndex(ParseOptions({"--unit", kFrequencyUnits[i].name}).unit), static_cast<int>(i));
    for (const NameEntry<ToleranceDistribution>& entry : kDistributionNames)
        EXPECT_EQ(ParseOptions({"--distribution", entry.key}).tolerance.distribution, entry.key);
    for (const NameEntry<std::optional<ESeries>>& entry : kSeriesNames) {
        // Leaving --series out is what keeps the designed values.
        if (!entry.value)
            EXPECT_THROW(ParseOptions({"--series", entry.key}), CLI::ParseError);
        else
            EXPECT_EQ(ReadBuildOptions(ParseOptions({"--series", entry.key}), {}).analysis.series, entry.value);
    }
}

// A unit that reaches the synthesis past the option's own check (a program filling the options)
// is refused, naming the option; it once became hertz without a word.
TEST(CliOptions, AnUnknownUnitIsRefusedNamingTheOption)
{
    CliOptions options = ParseOptions({"--model", "Elliptic"});
    options.unit = "furlong";
    std::ostringstream out, err;
    EXPECT_EQ(RunSynthesisDesign(options, out, err), kExitEndedEarly);
    EXPECT_NE(err.str().find("--unit: \"furlong\" is no frequency unit; give Hz, kHz, MHz or GHz."), std::string::npos)
        << err.str();
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
