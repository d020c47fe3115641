// SPDX-License-Identifier: Apache-2.0
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/cli/CliHarness.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(PartFlagsCli, TheNarrowBandPassLadderHasEachUnbuildablePartFlagged)
{
    // A 5-pole 0.1 dB Chebyshev band-pass from 99.5 to 100.5 MHz: 0.28 pF and 9.1 uH in the series
    // arms (positions 1, 3, 5), 4.4 nF with 0.58 nH in the shunt arms (2, 4). A 9.1 uH coil has
    // 2 pi 100.5 MHz 9.1 uH = 5.7 kOhm at the upper band edge.
    const std::vector<std::string> args{"--type",  "BPF",       "--fmin",   "99.5", "--fmax",  "100.5",
                                        "--model", "Chebyshev", "--ripple", "0.1",  "--poles", "5"};
    std::vector<std::string> json = args;
    json.push_back("--json");
    const CliOutcome run = RunCli(json);
    ASSERT_EQ(run.status, 0);
    std::vector<std::string> flagged;
    const nlohmann::json parsed = nlohmann::json::parse(run.out);
    for (const auto& flag : parsed.at("PartFlags")) {
        flagged.push_back(flag.at("Designator"));
        const std::string reason = flag.at("Reason");
        EXPECT_EQ(reason.rfind(flagged.back() + " = ", 0), 0u) << reason;
    }
    const std::vector<std::string> expected{"L1", "C1", "L2", "L3", "C3", "L4", "L5", "C5"};
    EXPECT_EQ(flagged, expected);

    const CliOutcome text = RunCli(args);
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("Parts hard to build:\n  L1 = 9.13 \u00b5H has 5.76 k\u03a9 reactance at 100.5 MHz"),
              std::string::npos)
        << text.out;

    // The same band ten times wider needs none of this.
    const CliOutcome wide = RunCli({"--type", "BPF", "--fmin", "90", "--fmax", "110", "--model", "Chebyshev",
                                    "--ripple", "0.1", "--poles", "5", "--json"});
    ASSERT_EQ(wide.status, 0);
    EXPECT_TRUE(nlohmann::json::parse(wide.out).at("PartFlags").empty()) << wide.out.substr(0, 300);
}

TEST(PartFlagsCli, ZerosAndLimitsSurviveADesignFile)
{
    // A 200 pF floor flags the harmonic-notch low-pass's five capacitors; saved and read back, the
    // design keeps its zeros and its limits.
    TempFolder folder;
    const std::string path = folder.Path("notch.corvane");
    const std::vector<std::string> design{"--model", "Chebyshev",     "--ripple",  "0.1",     "--poles",
                                          "7",       "--passband",    "30",        "--zeros", "60,90",
                                          "--json",  "--part-limits", "200p,5n,2k"};
    std::vector<std::string> saving = design;
    saving.insert(saving.end(), {"--save-design", path});
    const CliOutcome first = RunCli(saving);
    ASSERT_EQ(first.status, 0);
    const CliOutcome again = RunCli({"--design", path, "--json"});
    ASSERT_EQ(again.status, 0);
    const nlohmann::json a = nlohmann::json::parse(first.out), b = nlohmann::json::parse(again.out);
    EXPECT_EQ(b.at("Zeros"), nlohmann::json::parse("[60, 90]"));
    EXPECT_EQ(b.at("Elements"), a.at("Elements"));
    EXPECT_EQ(b.at("PartFlags").size(), 5u);
    EXPECT_EQ(b.at("PartFlags"), a.at("PartFlags"));
}

} // namespace
