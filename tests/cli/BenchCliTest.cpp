// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <string>
#include <vector>

#include "tests/cli/CliHarness.h"
#include "tests/support/TempFolder.h"

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

namespace {

// The ladder rounded to E12, written as a Touchstone file, is the "measured" filter: the fit of the
// unrounded design must find each part moved by its rounding.
TEST(BenchCli, FitFindsTheRoundingOfEveryPart)
{
    TempFolder folder;
    const std::string file = folder.Path("built.s2p");
    const std::vector<std::string> design{"--model", "Chebyshev", "--poles", "5",  "--ripple", "0.5",
                                          "--start", "1",         "--stop",  "30", "--points", "801"};
    std::vector<std::string> write = design;
    for (const char* more : {"--series", "E12", "--touchstone", file.c_str(), "--json"}) write.push_back(more);
    const CliOutcome written = RunCli(write);
    ASSERT_EQ(written.status, 0);
    const nlohmann::json rounding = nlohmann::json::parse(written.out).at("PartChange");
    std::vector<std::string> fit = design;
    for (const char* more : {"--measured", file.c_str(), "--fit", "--json"}) fit.push_back(more);
    const CliOutcome run = RunCli(fit);
    ASSERT_EQ(run.status, 0) << (run.errLines.empty() ? "" : run.errLines.front());
    const nlohmann::json json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json.at("Fit").size(), rounding.size());
    for (const auto& [name, change] : rounding.items()) {
        EXPECT_NEAR(json.at("Fit").at(name).at("ChangePercent").get<double>(), change.get<double>(), 1e-3) << name;
        EXPECT_EQ(json.at("Fit").at(name).at("Confidence"), "high") << name;
    }
    EXPECT_LT(json.at("FitResidualDb").get<double>(), 1e-4);
    EXPECT_NEAR(json.at("Measured").at("PassLossDb").get<double>(),
                json.at("MeasuredDesign").at("PassLossDb").get<double>(), 0.5);
}

// The filter measured on a board with 2 pF at every node: --fit-stray finds the board's stray.
TEST(BenchCli, FitStrayFindsTheBoardsCapacitance)
{
    TempFolder folder;
    const std::string file = folder.Path("board.s2p");
    const std::vector<std::string> design{"--model", "Chebyshev", "--poles", "5",  "--ripple", "0.5",
                                          "--start", "1",         "--stop",  "30", "--points", "801"};
    std::vector<std::string> write = design;
    for (const char* more : {"--node-c", "2p", "--touchstone", file.c_str()}) write.push_back(more);
    ASSERT_EQ(RunCli(write).status, 0);
    std::vector<std::string> fit = design;
    for (const char* more : {"--measured", file.c_str(), "--fit", "--fit-stray", "--json"}) fit.push_back(more);
    const CliOutcome run = RunCli(fit);
    ASSERT_EQ(run.status, 0) << (run.errLines.empty() ? "" : run.errLines.front());
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_NEAR(json.at("FitStrayC").get<double>(), 2e-12, 1e-15);
    for (const auto& part : json.at("Fit").items())
        EXPECT_NEAR(part.value().at("ChangePercent").get<double>(), 0.0, 1e-3) << part.key();
}

// A file cut off in the middle of its data is refused as a whole, naming the file and its line.
TEST(BenchCli, PartialMeasuredFileIsRefused)
{
    TempFolder folder;
    const std::string file = folder.Path("cut.s2p");
    std::ofstream(file) << "# MHz S RI R 50\n1 0.1 0 0.9 0 0.9 0 0.1 0\n2 0.1 0 0.9\n";
    const CliOutcome run = RunCli({"--measured", file});
    EXPECT_EQ(run.status, 1);
    ASSERT_FALSE(run.errLines.empty());
    EXPECT_NE(run.errLines.front().find("cut.s2p"), std::string::npos) << run.errLines.front();
}

} // namespace
