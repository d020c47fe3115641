// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "tests/cli/CliHarness.h"

using namespace corvane;

namespace {

// The step's overshoot depends on the family and order alone; published values for the
// classic run's Butterworth and the synthesised Bessel (which reach the bench by two paths).
struct StepCase {
    const char* name;
    std::vector<std::string> args;
    double overshootPercent;
};

class BenchCliStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(BenchCliStep, OvershootOfTheFamily)
{
    std::vector<std::string> args = GetParam().args;
    for (const char* more : {"--step", "--impulse", "--json"}) args.push_back(more);
    const CliOutcome run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.out;
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_NEAR(json.at("Overshoot").get<double>(), GetParam().overshootPercent, 0.01);
    EXPECT_EQ(json.at("Time").size(), json.at("Step").size());
    EXPECT_EQ(json.at("Time").size(), json.at("Impulse").size());
    EXPECT_GT(json.at("SettlingTime").get<double>(), json.at("RiseTime").get<double>());
}

INSTANTIATE_TEST_SUITE_P(Families, BenchCliStep,
                         ::testing::Values(StepCase{"Butterworth3", {"--poles", "3"}, 8.15},
                                           StepCase{"Bessel3", {"--model", "Bessel", "--poles", "3"}, 0.75}),
                         [](const auto& info) { return std::string(info.param.name); });

// A band-pass steps back to zero: nothing to judge its step by.
TEST(BenchCli, BandPassStepHasNoFigures)
{
    const CliOutcome run = RunCli({"--type", "BPF", "--fmin", "9", "--fmax", "11", "--step", "--json"});
    ASSERT_EQ(run.status, 0);
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_TRUE(json.at("Overshoot").is_null());
    EXPECT_FALSE(json.contains("Impulse"));
}

} // namespace
