// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "tests/cli/CliHarness.h"
#include "tests/support/TempFolder.h"

namespace {

using Args = std::vector<std::string>;

std::string Joined(const Args& args)
{
    std::string text;
    for (const auto& a : args) text += "[" + a + "]";
    return text;
}

// A file sent to standard output is all that standard output carries: the netlist ends at its
// ".end", the Touchstone file holds only its comments, option line and data rows.
TEST(CliOutputs, StandardOutputCarriesOnlyTheFile)
{
    const Args elliptic{"--model", "Elliptic", "--poles", "5", "--stop-att", "50"};
    for (const Args& design : {Args{}, Args{"--network"}, elliptic}) {
        Args spice = design;
        spice.insert(spice.end(), {"--spice", "-"});
        const CliOutcome netlist = RunCli(spice);
        ASSERT_EQ(netlist.status, 0) << Joined(spice);
        ASSERT_GE(netlist.out.size(), 5u);
        EXPECT_EQ(netlist.out.substr(netlist.out.size() - 5), ".end\n") << Joined(spice);
        EXPECT_EQ(netlist.out.find(".end\n"), netlist.out.size() - 5) << Joined(spice);

        Args touchstone = design;
        touchstone.insert(touchstone.end(), {"--touchstone", "-"});
        const CliOutcome file = RunCli(touchstone);
        ASSERT_EQ(file.status, 0) << Joined(touchstone);
        std::istringstream lines(file.out);
        std::string line;
        int rows = 0;
        while (std::getline(lines, line)) {
            if (line.empty() || line[0] == '!' || line[0] == '#' || line[0] == '[') continue;
            std::istringstream numbers(line);
            double f, value;
            EXPECT_TRUE(numbers >> f >> value) << Joined(touchstone) << ": " << line;
            ++rows;
        }
        EXPECT_GT(rows, 50) << Joined(touchstone);
    }
}

TEST(CliOutputs, TwoOutputsIntoOneFileAreRefused)
{
    const TempFolder folder;
    const std::string file = folder.Path("both.out");
    const std::string sameFile = folder.Path("./both.out");
    const Args cases[] = {{"--spice", file, "--touchstone", file},
                          {"--spice", file, "--touchstone", sameFile},
                          {"--model", "Elliptic", "--touchstone", file, "--save-design", sameFile},
                          {"--spice", "-", "--touchstone", "-"},
                          {"--json", "--touchstone", "-"}};
    for (const Args& args : cases) {
        const CliOutcome outcome = RunCli(args);
        EXPECT_EQ(outcome.status, 2) << Joined(args);
        EXPECT_TRUE(outcome.out.empty()) << Joined(args);
        ASSERT_EQ(outcome.errLines.size(), 1u) << Joined(args);
        EXPECT_FALSE(std::filesystem::exists(file)) << Joined(args);
    }
}

TEST(CliOutputs, HelpBeginsWithTheProgramsName)
{
    const CliOutcome help = RunCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("corvane-cli ", 0), 0u) << help.out.substr(0, 80);
    EXPECT_NE(help.out.find("Usage: corvane-cli "), std::string::npos);
}

// With --monte-carlo the trials analyse the ladder over the analysis sweep and with the load
// asked for: both change the result, so neither is reported unused.
TEST(CliOutputs, OptionsTheTrialsUseAreNotReportedUnused)
{
    const Args base{"--model", "Chebyshev", "--poles",         "5", "--monte-carlo", "200",
                    "--tol-l", "2",         "--max-pass-loss", "1", "--json"};
    const CliOutcome plain = RunCli(base);
    ASSERT_EQ(plain.status, 0);
    for (const Args& extra : {Args{"--load", "75"}, Args{"--points", "201", "--log-sweep"}}) {
        Args args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        const CliOutcome outcome = RunCli(args);
        ASSERT_EQ(outcome.status, 0) << Joined(args);
        EXPECT_NE(outcome.out, plain.out) << Joined(extra) << " changed nothing";
        for (const std::string& line : outcome.errLines)
            EXPECT_EQ(line.find("is not used"), std::string::npos) << Joined(extra) << ": " << line;
    }
    const CliOutcome unused = RunCli({"--load", "75"});
    ASSERT_EQ(unused.errLines.size(), 1u);
    EXPECT_EQ(unused.errLines[0], "Warning: --load is not used without --network, --spice or --touchstone.");
    // The load's VSWR only shapes the stress, which needs a power.
    const CliOutcome vswr = RunCli({"--network", "--vswr", "0.5"});
    ASSERT_EQ(vswr.errLines.size(), 1u);
    EXPECT_EQ(vswr.errLines[0], "Warning: --vswr is not used without --power-dbm or --power-w.");
}

} // namespace
