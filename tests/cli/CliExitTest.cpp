// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "tests/cli/CliHarness.h"

namespace {

using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;

const std::string kEnter = "Enter the inputs.";
// The classic run's general texts name no field; the command line names the option instead.
const std::string kPassband = "--passband must be a frequency above zero.";
const std::string kRl = "--rl must be a resistance above zero.";
const std::string kFmin = "--fmin must be a frequency above zero.";
const std::string kChebyshevRipple = "--ripple must be above 0 dB for a Chebyshev design.";
const std::string kButterworthRipple = "Warning: --ripple is not used by a Butterworth design.";

struct Case {
    Args args;
    int status;
    Lines err;
};

std::string Joined(const Args& args)
{
    std::string text;
    for (const auto& a : args) text += "[" + a + "]";
    return text;
}

TEST(CliExit, EveryOutcomeWithItsStandardError)
{
    const Case cases[] = {
        {{}, 0, {}},
        {{"--unit", "GHz", "--type", "HPF", "--topology", "Pi"}, 0, {}},
        {{"--poles", ""}, 1, {"--poles must be a whole number from 1 to 99."}},
        {{"--poles", "-1"}, 1, {"--poles must be a whole number from 1 to 99."}},
        {{"--poles=-9"}, 1, {"--poles must be a whole number from 1 to 99."}},
        {{"--poles", "0"}, 1, {"--poles must be a whole number from 1 to 99."}},
        {{"--poles", "00", "--model", "Chebyshev"}, 1, {"--poles must be a whole number from 1 to 99."}},
        {{"--poles", "x"}, 1, {"'x' is not a valid floating point value."}},
        {{"--poles", "1."}, 1, {"'1.' is not a valid integer value."}},
        {{"--ripple", ""}, 1, {kButterworthRipple, kEnter}},
        {{"--ripple", "0.1234"}, 0, {kButterworthRipple}},
        {{"--poles", "123"}, 1, {"--poles must be a whole number from 1 to 99."}},
        {{"--rl", "50.0001"}, 0, {}},
        {{"--passband", "123456"}, 0, {}},
        {{"--fmin", "1.2345e"}, 0, {"Warning: --fmin is not used by a low-pass design."}},
        {{"--passband", ""}, 1, {kPassband}},
        {{"--passband", "0"}, 1, {kPassband}},
        {{"--passband", "0.0"}, 1, {kPassband}},
        {{"--passband", "0.0", "--type", "HPF", "--model", "Chebyshev"}, 1, {kPassband}},
        {{"--rl", "0"}, 1, {kRl}},
        {{"--rl", "0.0"}, 1, {kRl}},
        {{"--rl", "abc"}, 1, {"'abc' is not a valid floating point value."}},
        {{"--rl", "\xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5"},
         1,
         {"'\xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5' is not a valid floating point value."}},
        {{"--type", "BPF"}, 1, {kFmin}},
        {{"--type", "BPF", "--fmin", "9", "--fmax", "11", "--passband", ""}, 1, {kEnter}},
        {{"--type", "BPF", "--fmin", "9", "--fmax", "11"}, 0, {}},
        {{"--type", "BPF", "--fmin", "5", "--fmax", "5"}, 1, {"--fmin must be less than --fmax."}},
        {{"--type", "BPF", "--fmin", "0.0", "--fmax", "11"}, 1, {kFmin}},
        {{"--type", "BPF", "--model", "Chebyshev", "--fmin", "0.0", "--fmax", "11"},
         1,
         {kFmin}},
        {{"--type", "BPF", "--fmin", "-5", "--fmax", "10"}, 1, {kFmin}},
        {{"--rl", "-50"}, 1, {kRl}},
        {{"--model", "Chebyshev", "--ripple", "0"}, 1, {kChebyshevRipple}},
        {{"--model", "Chebyshev", "--ripple", "-1"}, 1, {kChebyshevRipple}},
        {{"--model", "Chebyshev", "--ripple", "400"}, 1, {"Floating point division by zero."}},
        {{"--start", "101", "--stop", "1"}, 0, {"Start must be less then Stop"}},
        {{"--start", "101", "--stop", "1", "--passband", "0.0"},
         1,
         {kPassband}},
        {{"--start", "x"}, 1, {"'x' is not a valid floating point value."}},
        {{"--stop", ""}, 0, {}},
        {{"--start", "0.000000000001", "--stop", "1000000000000"}, 0, {}},
        {{"--type", "HPF", "--poles", "99", "--start", "1e-300", "--stop", "2e-300"}, 1, {"Floating point overflow."}},
    };
    for (const Case& c : cases) {
        const CliOutcome outcome = RunCli(c.args);
        EXPECT_EQ(outcome.status, c.status) << Joined(c.args);
        EXPECT_EQ(outcome.errLines, c.err) << Joined(c.args);
        // Text output only for a completed run.
        EXPECT_EQ(outcome.out.empty(), c.status != 0) << Joined(c.args);
    }
}

TEST(CliExit, UsageErrorsGiveStatusTwo)
{
    const Args cases[] = {{"--rl="},           {"--spice=", "--json"}, {"--type", "lpf"}, {"--model", "Cheby"},
                          {"--topology", "X"}, {"--unit", "mhz"},      {"--bogus"},       {"stray"},
                          {"--poles"}};
    for (const Args& args : cases) {
        const CliOutcome outcome = RunCli(args);
        EXPECT_EQ(outcome.status, 2) << Joined(args);
        EXPECT_TRUE(outcome.out.empty()) << Joined(args);
        EXPECT_FALSE(outcome.errLines.empty()) << Joined(args);
    }
}

TEST(CliExit, HelpListsEveryOption)
{
    const CliOutcome outcome = RunCli({"--help"});
    EXPECT_EQ(outcome.status, 0);
    for (const char* option : {"--type", "--model", "--topology", "--poles", "--ripple", "--passband", "--fmin",
                               "--fmax", "--rl", "--unit", "--start", "--stop", "--json"})
        EXPECT_NE(outcome.out.find(option), std::string::npos) << option;
}

TEST(CliExit, TextShowsEveryRowAndThePrototype)
{
    const CliOutcome outcome = RunCli({"--poles", "14"});
    ASSERT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out.rfind("Poles   C, [F]      L, [H]\n"
                                "G1                  ",
                                0),
              0u);
    EXPECT_NE(outcome.out.find("\nG14     "), std::string::npos);
    EXPECT_NE(outcome.out.find("\nPrototype values\ng[0] = 1\n"), std::string::npos);
    EXPECT_NE(outcome.out.find("\ng[15] = 1\n"), std::string::npos);

    const CliOutcome defaults = RunCli({});
    EXPECT_EQ(defaults.out, "Poles   C, [F]      L, [H]\n"
                            "G1                  7.96e-07\n"
                            "G2      6.37e-10\n"
                            "G3                  7.96e-07\n"
                            "\nPrototype values\n"
                            "g[0] = 1\ng[1] = 1\ng[2] = 2\ng[3] = 1\ng[4] = 1\n"
                            "\nTerminations: source 50 Ohm, load 50 Ohm\n");
}

} // namespace
