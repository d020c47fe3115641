// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "analysis/Mask.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/ToleranceStage.h"
#include "tests/cli/CliHarness.h"
#include "filtermath/Failure.h"

using namespace corvane;

namespace {

// A mask half given is refused, naming what is missing; each value's own rule is tested across
// the front ends.
TEST(ToleranceOptions, AHalfGivenMaskIsRefused)
{
    struct Case {
        const char* option;
        void (*set)(ToleranceOptions&);
    };
    const Case cases[] = {
        {"--stop-freq", [](ToleranceOptions& o) { o.stopAtt = "40"; }},
        {"--mask-stop-freq", [](ToleranceOptions& o) { o.maskStopFreq = "0", o.stopAtt = "40"; }},
        {"--mask-stop-att", [](ToleranceOptions& o) { o.maskStopAtt = "40"; }},
        {"--stop-att", [](ToleranceOptions& o) { o.stopFreq = "20"; }},
    };
    for (const Case& c : cases) {
        ToleranceOptions options;
        options.trials = "100";
        c.set(options);
        try {
            ReadToleranceOptions(options, 1e6);
            ADD_FAILURE() << c.option << " accepted";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.option), std::string::npos) << failure.what();
        }
    }
    ToleranceOptions usable;
    usable.trials = "100";
    usable.distribution = "normal";
    usable.capacitorPercent = "34";
    usable.seed = "18446744073709551615";
    EXPECT_NO_THROW(ReadToleranceOptions(usable, 1e6));
}

const std::vector<std::string> kChebyshevMonteCarlo{
    "--model", "Chebyshev", "--ripple",        "0.5", "--poles",       "7",    "--passband", "10",
    "--start", "1",         "--stop",          "100", "--monte-carlo", "2000", "--tol-l",    "5",
    "--tol-c", "5",         "--max-pass-loss", "1",   "--stop-freq",   "20",   "--stop-att", "40"};

// The JSON report: the trials, a yield inside its interval, ordered envelopes on the sweep and
// one sensitivity per part.
TEST(ToleranceCli, JsonCarriesYieldEnvelopesAndSensitivities)
{
    std::vector<std::string> args = kChebyshevMonteCarlo;
    args.push_back("--json");
    const CliOutcome outcome = RunCli(args);
    ASSERT_EQ(outcome.status, 0) << outcome.out;
    const nlohmann::json json = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(json["Trials"], 2000);
    const double yield = json["Yield"];
    EXPECT_GT(yield, 0.0);
    EXPECT_LT(yield, 1.0);
    EXPECT_LE(json["YieldLow"].get<double>(), yield);
    EXPECT_GE(json["YieldHigh"].get<double>(), yield);
    const std::size_t points = json["TolFreq"].size();
    EXPECT_EQ(points, 100u);
    for (const char* curve : {"S21", "S11"}) {
        const std::string c = curve;
        for (std::size_t i = 0; i < points; ++i) {
            const double order[5] = {json[c + "Min"][i], json[c + "P05"][i], json[c + "P50"][i], json[c + "P95"][i],
                                     json[c + "Max"][i]};
            for (int k = 0; k < 4; ++k) ASSERT_LE(order[k], order[k + 1]) << c << " point " << i;
        }
    }
    EXPECT_EQ(json["Sensitivity"].size(), 7u);
    EXPECT_TRUE(json["Sensitivity"].contains("C4"));
}

// A synthesised ladder (an elliptic low-pass, its traps included) runs the same trials.
TEST(ToleranceCli, SynthesisedDesignsRunTheTrialsOnTheirLadder)
{
    const CliOutcome elliptic =
        RunCli({"--model",    "Elliptic", "--poles", "5", "--ripple",        "0.5", "--stop-att",    "50",
                "--passband", "10",       "--start", "1", "--stop",          "40",  "--monte-carlo", "500",
                "--tol-l",    "3",        "--tol-c", "3", "--max-pass-loss", "1",   "--stop-freq",   "15",
                "--json"});
    ASSERT_EQ(elliptic.status, 0) << elliptic.out;
    const nlohmann::json json = nlohmann::json::parse(elliptic.out);
    EXPECT_EQ(json["Trials"], 500);
    EXPECT_LE(json["YieldLow"].get<double>(), json["Yield"].get<double>());
    EXPECT_GE(json["YieldHigh"].get<double>(), json["Yield"].get<double>());
    EXPECT_GT(json["Sensitivity"].size(), 5u);
}

// The mask's own stopband options replace the design's in the mask alone: the elliptic keeps its
// 50 dB design, the mask holds 45 dB from 16 MHz.
TEST(ToleranceCli, MaskOptionsOfTheirOwnLeaveTheDesign)
{
    const std::vector<std::string> elliptic{
        "--model",       "Elliptic", "--poles", "5", "--ripple",        "0.5", "--stop-att",  "50", "--passband", "10",
        "--monte-carlo", "100",      "--tol-l", "1", "--max-pass-loss", "1",   "--stop-freq", "15", "--json"};
    std::vector<std::string> own = elliptic;
    own.insert(own.end(), {"--mask-stop-freq", "16", "--mask-stop-att", "45"});
    const CliOutcome asDesigned = RunCli(elliptic), masked = RunCli(own);
    ASSERT_EQ(asDesigned.status, 0) << asDesigned.out;
    ASSERT_EQ(masked.status, 0) << masked.out;
    const nlohmann::json a = nlohmann::json::parse(asDesigned.out), b = nlohmann::json::parse(masked.out);
    EXPECT_EQ(a["Elements"], b["Elements"]);
    ASSERT_EQ(a["MaskBands"].size(), 2u);
    ASSERT_EQ(b["MaskBands"].size(), 2u);
    EXPECT_EQ(a["MaskBands"][1]["From"], 15.0);
    EXPECT_EQ(a["MaskBands"][1]["Limit"], 50.0);
    EXPECT_EQ(b["MaskBands"][1]["From"], 16.0);
    EXPECT_EQ(b["MaskBands"][1]["Limit"], 45.0);
    EXPECT_EQ(b["MaskBands"][1]["To"], 16.0 * kStopbandUpperRatio);
}

// A band-stop design's mask: passbands outside its band edges, the stopband between the stop
// frequency and its geometric mirror.
TEST(ToleranceCli, BandStopDesignsHaveAMask)
{
    const CliOutcome bandStop =
        RunCli({"--type",           "BSF", "--poles",         "3",  "--fmin",  "5", "--fmax",          "8",
                "--monte-carlo",    "200", "--tol-l",         "1",  "--tol-c", "1", "--max-pass-loss", "3.5",
                "--mask-stop-freq", "6",   "--mask-stop-att", "20", "--json"});
    ASSERT_EQ(bandStop.status, 0) << bandStop.out;
    const nlohmann::json json = nlohmann::json::parse(bandStop.out);
    const nlohmann::json& bands = json["MaskBands"];
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[0]["Band"], "pass");
    EXPECT_EQ(bands[0]["To"], 5.0);
    EXPECT_EQ(bands[1]["From"], 8.0);
    EXPECT_EQ(bands[1]["To"], 8.0 * kStopbandUpperRatio);
    EXPECT_EQ(bands[2]["Band"], "stop");
    EXPECT_EQ(bands[2]["From"], 6.0);
    EXPECT_NEAR(bands[2]["To"].get<double>(), 40.0 / 6.0, 1e-12);
    EXPECT_GT(json["Yield"].get<double>(), 0.5);
}

// --mask's bands join the shorthands': the JSON lists them all, states the mask's text and where the
// worst margin lies, and the text says how far the shorthand stopband reaches.
TEST(ToleranceCli, MaskBandsJoinTheShorthands)
{
    const std::vector<std::string> args{"--model",          "Chebyshev",
                                        "--ripple",         "0.1",
                                        "--poles",          "7",
                                        "--passband",       "30",
                                        "--monte-carlo",    "100",
                                        "--tol-l",          "2",
                                        "--tol-c",          "2",
                                        "--max-pass-loss",  "1",
                                        "--mask-stop-freq", "60",
                                        "--mask-stop-att",  "40",
                                        "--mask",           "rl 0 25M 12; stop 200 400 60"};
    std::vector<std::string> json = args;
    json.push_back("--json");
    const CliOutcome run = RunCli(json);
    ASSERT_EQ(run.status, 0) << run.out;
    const nlohmann::json j = nlohmann::json::parse(run.out);
    ASSERT_EQ(j["MaskBands"].size(), 4u);
    EXPECT_EQ(j["MaskBands"][2]["Band"], "rl");
    EXPECT_EQ(j["MaskBands"][2]["To"], 25.0);
    EXPECT_EQ(j["MaskBands"][3]["From"], 200.0);
    EXPECT_EQ(j["Mask"], "pass 0 30M 1; stop 60M 1.8G 40; rl 0 25M 12; stop 200M 400M 60");
    const std::size_t worst = j["WorstBand"].get<std::size_t>();
    ASSERT_LT(worst, 4u);
    EXPECT_GE(j["WorstFreq"].get<double>(), j["MaskBands"][worst]["From"].get<double>());
    EXPECT_LE(j["WorstFreq"].get<double>(), j["MaskBands"][worst]["To"].get<double>());
    const CliOutcome text = RunCli(args);
    ASSERT_EQ(text.status, 0) << text.out;
    EXPECT_NE(text.out.find("  stopband 60 to 1800 MHz: loss at least 40 dB"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("ends at 30 times its edge"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Worst margin: nominal "), std::string::npos) << text.out;
}

// A mask that contradicts itself is refused with its reason, the run ending with an error.
TEST(ToleranceCli, ContradictoryMaskIsRefused)
{
    const CliOutcome run = RunCli({"--model", "Chebyshev", "--poles", "5", "--passband", "30", "--monte-carlo", "100",
                                   "--max-pass-loss", "1", "--mask", "stop 20M 300M 40"});
    EXPECT_NE(run.status, 0);
    std::string said = run.out;
    for (const std::string& line : run.errLines) said += line + "\n";
    EXPECT_NE(said.find("band 1 (pass) and band 2 (stop) both hold 20.0 MHz"), std::string::npos) << said;
}

// The optimiser states the mask it works to, and warns where it has no stopband.
TEST(ToleranceCli, OptimiserStatesItsMaskAndWarnsWithoutAStopband)
{
    const CliOutcome run = RunCli({"--model", "Chebyshev", "--ripple", "0.1", "--poles", "5", "--passband", "30",
                                   "--series", "E12", "--optimise", "margin", "--max-pass-loss", "1"});
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("against the mask \"pass 0 30M 1\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Warning: the optimiser's mask has no stopband"), std::string::npos) << run.out;
}

// An inverse Chebyshev's passband frequency is its 3.01 dB point: with parts all but exact, a mask
// just above that loss passes every trial and one just below passes none.
TEST(ToleranceCli, InverseChebyshevDesignsMeetTheirPassbandEdgeLoss)
{
    for (const auto& [limit, expected] : {std::pair{"3.06", 1.0}, std::pair{"2.96", 0.0}}) {
        const CliOutcome run =
            RunCli({"--model", "InverseChebyshev", "--poles", "5", "--stop-att", "40", "--monte-carlo", "100",
                    "--tol-l", "0.001", "--tol-c", "0.001", "--max-pass-loss", limit, "--mask-stop-freq", "30",
                    "--mask-stop-att", "35", "--json"});
        ASSERT_EQ(run.status, 0) << run.out;
        EXPECT_EQ(nlohmann::json::parse(run.out)["Yield"].get<double>(), expected) << limit;
    }
}

TEST(ToleranceCli, RefusedToleranceEndsTheRunAndUnusedOptionsWarn)
{
    std::vector<std::string> args = kChebyshevMonteCarlo;
    *(std::find(args.begin(), args.end(), "--tol-l") + 1) = "150";
    const CliOutcome refused = RunCli(args);
    EXPECT_EQ(refused.status, 1);
    ASSERT_FALSE(refused.errLines.empty());
    EXPECT_NE(refused.errLines.back().find("--tol-l"), std::string::npos) << refused.errLines.back();

    const CliOutcome unused = RunCli({"--tol-c", "5"});
    EXPECT_EQ(unused.status, 0);
    ASSERT_FALSE(unused.errLines.empty());
    EXPECT_EQ(unused.errLines.front(), "Warning: --tol-c is not used without --monte-carlo.");
}

} // namespace
