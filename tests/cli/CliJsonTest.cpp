// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstring>

#include "cli/CliPorts.h"
#include "cli/CliRun.h"
#include "tests/cli/CliHarness.h"

using namespace corvane;

namespace {

using Args = std::vector<std::string>;
using Values = std::vector<double>;

nlohmann::json RunJson(Args args)
{
    args.push_back("--json");
    const CliOutcome outcome = RunCli(args);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(outcome.errLines.empty());
    return nlohmann::json::parse(outcome.out);
}

// Each value to the digits it is given with: |actual - expected| within half a unit of the last digit.
void ExpectDigits(const nlohmann::json& actual, const Values& expected, double halfUnit, bool relative,
                  const std::string& what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        const double tolerance = relative ? halfUnit * std::fabs(expected[i]) : halfUnit;
        EXPECT_NEAR(actual[i].get<double>(), expected[i], tolerance) << what << " [" << i << "]";
    }
}

TEST(CliJson, PrototypeValues)
{
    struct Case {
        Args args;
        Values g;
    };
    const Args cheb05{"--model", "Chebyshev", "--ripple", "0.5", "--poles"};
    auto with = [](Args base, const char* poles) {
        base.push_back(poles);
        return base;
    };
    const Case cases[] = {
        {{"--poles", "1"}, {1, 2, 1}},
        {{"--poles", "3"}, {1, 1, 2, 1, 1}},
        {{"--poles", "4"}, {1, 0.7654, 1.8478, 1.8478, 0.7654, 1}},
        {with(cheb05, "1"), {1, 0.6987, 1}},
        {with(cheb05, "2"), {1, 1.4029, 0.7071, 1.9841}},
        {with(cheb05, "3"), {1, 1.5963, 1.0967, 1.5963, 1}},
        {with(cheb05, "4"), {1, 1.6704, 1.1925, 2.3662, 0.8419, 1.9841}},
        {with(cheb05, "5"), {1, 1.7058, 1.2296, 2.5409, 1.2296, 1.7058, 1}},
        {{"--model", "Chebyshev", "--ripple", "1", "--poles", "3"}, {1, 2.0237, 0.9941, 2.0237, 1}},
    };
    for (const Case& c : cases) ExpectDigits(RunJson(c.args)["GValues"], c.g, 5e-5, false, c.args.back());
}

TEST(CliJson, ElementValues)
{
    struct Case {
        Args args;
        const char* field;
        Values values;
    };
    const Case cases[] = {
        {{}, "ElementValues", {50, 7.9577e-07, 6.3662e-10, 7.9577e-07, 50}},
        {{"--topology", "Pi"}, "ElementValues", {50, 3.1831e-10, 1.5915e-06, 3.1831e-10, 50}},
        {{"--type", "HPF"}, "ElementValues", {50, 3.1831e-10, 3.9789e-07, 3.1831e-10, 50}},
        {{"--type", "HPF", "--topology", "Pi"}, "ElementValues", {50, 7.9577e-07, 1.5915e-10, 7.9577e-07, 50}},
        {{"--model", "Chebyshev"}, "ElementValues", {50, 1.2703e-06, 3.4908e-10, 1.2703e-06, 50}},
        {{"--model", "Chebyshev", "--poles", "4"},
         "ElementValues",
         {50, 1.3292e-06, 3.7960e-10, 1.8829e-06, 2.6797e-10, 50}},
        {{"--type", "BPF", "--fmin", "9", "--fmax", "11"}, "BandL", {50, 3.9789e-06, 8.0381e-08, 3.9789e-06, 50}},
        {{"--type", "BPF", "--fmin", "9", "--fmax", "11"}, "BandC", {50, 6.4305e-11, 3.1831e-09, 6.4305e-11, 50}},
        {{"--type", "BPF", "--fmin", "9", "--fmax", "11", "--topology", "Pi"},
         "BandL",
         {50, 1.6076e-07, 7.9577e-06, 1.6076e-07, 50}},
        {{"--type", "BPF", "--fmin", "9", "--fmax", "11", "--topology", "Pi"},
         "BandC",
         {50, 1.5915e-09, 3.2153e-11, 1.5915e-09, 50}},
    };
    for (const Case& c : cases) ExpectDigits(RunJson(c.args)[c.field], c.values, 5e-5 / 1.0, true, c.field);

    const auto units = RunJson({"--model", "Chebyshev", "--poles", "4"})["ElementUnits"];
    EXPECT_EQ(units, nlohmann::json({"Ohm", "H", "F", "H", "F", "Ohm"}));
}

TEST(CliJson, AttenuationAtTheWorkedFrequencies)
{
    struct Case {
        Args args;
        std::vector<size_t> points; // sweep 1..100: index = f - 1
        Values att;
    };
    const Args bp{"--type", "BPF", "--fmin", "10", "--fmax", "20"};
    Args cbp = bp;
    cbp.insert(cbp.end(), {"--model", "Chebyshev"});
    const std::vector<size_t> lowHigh{0, 4, 9, 19, 29};
    const std::vector<size_t> band{4, 9, 14, 19, 39};
    const Case cases[] = {
        {{}, lowHigh, {-0.000004, -0.0673, -3.0103, -18.1291, -28.6332}},
        {{"--type", "HPF"}, lowHigh, {-60.0000, -18.1291, -3.0103, -0.0673, -0.0060}},
        {{"--model", "Chebyshev"}, lowHigh, {-0.0462, -0.5000, -0.5000, -19.2161, -30.7806}},
        {{"--type", "HPF", "--model", "Chebyshev"}, lowHigh, {-62.8401, -19.2161, -0.5000, -0.5000, -0.3685}},
        {bp, band, {-18.1291, -3.0103, -0.7114, -3.0103, -18.1291}},
        {cbp, band, {-19.2161, -0.5000, -0.1645, -0.5000, -19.2161}},
    };
    for (const Case& c : cases) {
        const auto att = RunJson(c.args)["Att"];
        for (size_t k = 0; k < c.points.size(); ++k)
            EXPECT_NEAR(att[c.points[k]].get<double>(), c.att[k], k == 0 && c.att[k] > -1e-3 ? 5e-7 : 5e-5)
                << c.args.size() << " f=" << c.points[k] + 1;
    }
}

TEST(CliJson, BandCentreAndExtremes)
{
    const Args centre{"--type",  "BPF",
                      "--fmin",  "10",
                      "--fmax",  "20",
                      "--start", "14.142135623730951",
                      "--stop",  "114.142135623730951"};
    auto json = RunJson(centre);
    EXPECT_NEAR(json["F0"].get<double>(), 14.1421, 5e-5);
    EXPECT_NEAR(json["Att"][0].get<double>(), -0.5115, 5e-5);
    Args chebCentre = centre;
    chebCentre.insert(chebCentre.end(), {"--model", "Chebyshev"});
    EXPECT_NEAR(RunJson(chebCentre)["Att"][0].get<double>(), -0.2572, 5e-5);

    // The sweep point 0 becomes 1e-10: deep but finite, even at 99 poles.
    json = RunJson({"--type", "HPF", "--start", "0", "--stop", "100"});
    EXPECT_EQ(json["Freq"][0].get<double>(), 1e-10);
    EXPECT_NEAR(json["Att"][0].get<double>(), -660.0, 1e-6);
    json = RunJson({"--type", "HPF", "--start", "0", "--stop", "100", "--poles", "99"});
    EXPECT_NEAR(json["Att"][0].get<double>(), -21780.0, 1e-6);
    EXPECT_EQ(json["Grid"].size(), 100u);
}

TEST(CliJson, ReflectionAndTitle)
{
    const auto json = RunJson({});
    EXPECT_EQ(json["Title"], "Butterworth  LPF");
    ASSERT_EQ(json["S11"].size(), 100u);
    // At the band edge the reflected and transmitted powers are equal.
    EXPECT_NEAR(json["S11"][9].get<double>(), -3.0103, 5e-5);
    EXPECT_NEAR(json["S11"][0].get<double>(), -60.0, 5e-5);
    EXPECT_EQ(json["Grid"][0], nlohmann::json({"Poles", "C, [F]", "L, [H]"}));
    EXPECT_EQ(json["Grid"][2], nlohmann::json({"G2", "6.37e-10", ""}));
}

TEST(CliJson, EndedRunStillReportsTheStateReached)
{
    // Ripple 400 dB passes the checks of the options and ends the run in its arithmetic.
    const CliOutcome outcome = RunCli({"--model", "Chebyshev", "--ripple", "400", "--poles", "4", "--json"});
    EXPECT_EQ(outcome.status, 1);
    const auto json = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(json["Ripple"].get<double>(), 400.0);
    EXPECT_EQ(json["GValues"].size(), 6u); // sized, then the arithmetic ended the run
    EXPECT_EQ(json["Grid"].size(), 1u);
}

// The numbers printed by the program read back to exactly the doubles of the same run in memory.
TEST(CliJson, NumbersRoundTripExactly)
{
    const Args cases[] = {{"--start", "0.1", "--stop", "0.7", "--model", "Chebyshev", "--ripple", "0.123"},
                          {"--type", "BPF", "--fmin", "1.1", "--fmax", "3.3", "--unit", "kHz", "--start", "-7"}};
    for (const Args& args : cases) {
        const CliOptions options = ParseOptions(args);
        CliForm form;
        StreamMessages messages(std::cerr);
        CliResults results;
        CalculationRun run(form, messages, results);
        results.Attach(run);
        ChooseAndApply(run, form, options);
        const DesignState& s = run.State();

        const auto json = RunJson(args);
        auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
        EXPECT_TRUE(same(json["FStep"].get<double>(), s.FStep));
        EXPECT_TRUE(same(json["F0"].get<double>(), s.F0));
        for (int i = 0; i < SweepPoints; ++i) {
            EXPECT_TRUE(same(json["Freq"][i].get<double>(), s.Freq[i])) << i;
            EXPECT_TRUE(same(json["Att"][i].get<double>(), s.Att[i])) << i;
            EXPECT_TRUE(same(json["S11"][i].get<double>(), s.S11[i])) << i;
        }
        for (size_t i = 0; i < s.GValues.size(); ++i) {
            EXPECT_TRUE(same(json["GValues"][i].get<double>(), s.GValues[i])) << i;
            EXPECT_TRUE(same(json["BandL"][i].get<double>(), s.BandL[i])) << i;
        }
    }
}

} // namespace
