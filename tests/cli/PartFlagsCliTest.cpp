// SPDX-License-Identifier: Apache-2.0
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/cli/CliHarness.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(PartFlagsCli, TheClassicNarrowBandPassHasItsUnbuildablePartsFlagged)
{
    // A 5-pole 0.1 dB Chebyshev band-pass from 99.5 to 100.5 MHz: 0.28 pF and 9.1 uH in the series
    // arms (1, 3, 5), 0.58 nH in the shunt arms (2, 4).
    const CliOutcome run = RunCli({"--type", "BPF", "--fmin", "99.5", "--fmax", "100.5", "--model", "Chebyshev",
                                   "--ripple", "0.1", "--poles", "5", "--json"});
    ASSERT_EQ(run.status, 0);
    const nlohmann::json parsed = nlohmann::json::parse(run.out);
    std::vector<std::string> flagged;
    for (const auto& flag : parsed.at("PartFlags")) flagged.push_back(flag.at("Designator"));
    EXPECT_EQ(flagged, (std::vector<std::string>{"L1", "C1", "L2", "L3", "C3", "L4", "L5", "C5"}));
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
