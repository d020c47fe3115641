// SPDX-License-Identifier: Apache-2.0

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/cli/CliHarness.h"
#include "tests/support/Ngspice.h"
#include "tests/support/TempFolder.h"

namespace {

nlohmann::json JsonOf(const CliOutcome& run)
{
    return nlohmann::json::parse(run.out);
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines) all += line + '\n';
    return all;
}

// The family's transfer function (Att) against the exact analysis of the printed ladder (NetS21).
void ExpectAttMatchesLadder(const nlohmann::json& json)
{
    const std::vector<double> att = json.at("NetAtt");
    const std::vector<double> s21 = json.at("NetS21");
    ASSERT_EQ(att.size(), s21.size());
    int compared = 0;
    for (size_t i = 0; i < att.size(); ++i) {
        if (att[i] < -80.0) continue;
        EXPECT_NEAR(s21[i], att[i], 0.01) << "point " << i;
        ++compared;
    }
    EXPECT_GT(compared, 20);
}

TEST(SynthesisCli, NewFamiliesAndBandStopPrintALadderThatMatchesTheirResponse)
{
    const std::vector<std::vector<std::string>> designs = {
        {"--model", "Elliptic", "--poles", "5", "--ripple", "0.1", "--stop-att", "50", "--passband", "40"},
        {"--model", "Bessel", "--type", "HPF", "--poles", "6", "--topology", "Pi", "--passband", "30"},
        {"--model", "InverseChebyshev", "--type", "BPF", "--poles", "5", "--fmin", "30", "--fmax", "60", "--stop-att",
         "60"},
        {"--model", "Legendre", "--type", "BSF", "--poles", "4", "--fmin", "40", "--fmax", "55", "--rs", "75",
         "--topology", "Pi"},
        {"--model", "Chebyshev", "--poles", "4", "--rl", "150", "--rs", "50", "--passband", "40"},
        {"--model", "EquirippleDelay", "--poles", "7", "--delay-error", "0.5", "--passband", "30"},
        {"--model", "Gaussian", "--type", "BPF", "--poles", "5", "--fmin", "30", "--fmax", "45"}};
    for (std::vector<std::string> args : designs) {
        SCOPED_TRACE(args[1] + " " + args[3]);
        args.insert(args.end(), {"--json", "--network", "--start", "1", "--stop", "101"});
        const CliOutcome run = RunCli(args);
        ASSERT_EQ(run.status, 0) << Joined(run.errLines);
        const nlohmann::json json = JsonOf(run);
        EXPECT_FALSE(json.at("Elements").empty());
        ExpectAttMatchesLadder(json);
    }
}

TEST(SynthesisCli, StopRequirementPicksTheOrderAndComparesFamilies)
{
    // Butterworth, 3 dB at 10 MHz, 40 dB at 15 MHz: log10(10^4 - 1) / (2 log10 1.5) = 11.36 -> 12.
    const CliOutcome run = RunCli({"--model", "Butterworth", "--passband", "10", "--stop-freq", "15", "--stop-att",
                                   "40", "--json", "--stop", "30"});
    ASSERT_EQ(run.status, 0) << Joined(run.errLines);
    const nlohmann::json json = JsonOf(run);
    EXPECT_EQ(json.at("Order"), 12);
    EXPECT_EQ(json.at("OrderNeeded"), 12);
    EXPECT_GE(json.at("StopAttReached").get<double>(), 40.0);
    EXPECT_EQ(json.at("OrderByFamily").at("Butterworth"), 12);
    EXPECT_LT(json.at("OrderByFamily").at("Elliptic").get<int>(), 12);
    EXPECT_EQ(json.at("Elements").size(), 12u);
}

TEST(SynthesisCli, InverseChebyshevOrderKeepsThePassbandWithinThreeDecibels)
{
    // 3 dB or less at 10 MHz (sweep point 10), 50 dB or more from 16 MHz (sweep point 16) on.
    const CliOutcome run = RunCli({"--model", "InverseChebyshev", "--passband", "10", "--stop-freq", "16", "--stop-att",
                                   "50", "--json", "--start", "0", "--stop", "100"});
    ASSERT_EQ(run.status, 0) << Joined(run.errLines);
    const nlohmann::json json = JsonOf(run);
    const std::vector<double> att = json.at("Att");
    EXPECT_GE(att[10], -10 * std::log10(2.0) - 1e-9);
    for (size_t i = 16; i < att.size(); ++i) EXPECT_LE(att[i], -50.0 + 1e-6) << i;
}

TEST(SynthesisCli, ClassicDesignsKeepTheClassicRun)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--model", "Chebyshev", "--poles", "5", "--json"},
          std::vector<std::string>{"--model", "Butterworth", "--type", "BPF", "--fmin", "5", "--fmax", "9", "--rs",
                                   "50", "--rl", "50", "--json"}}) {
        const CliOutcome run = RunCli(args);
        ASSERT_EQ(run.status, 0) << Joined(run.errLines);
        const nlohmann::json json = JsonOf(run);
        EXPECT_TRUE(json.contains("GValues"));
        EXPECT_FALSE(json.contains("Elements"));
    }
}

// The analysis sweep of a synthesised design follows --points and --log-sweep over Start to
// Stop, within the same limits as a classic design's.
TEST(SynthesisCli, AnalysisSweepFollowsPointsAndSpacing)
{
    const CliOutcome run = RunCli({"--model", "Elliptic", "--poles", "5", "--stop-att", "50", "--points", "1001",
                                   "--log-sweep", "--start", "1", "--stop", "100", "--network", "--json"});
    ASSERT_EQ(run.status, 0) << Joined(run.errLines);
    const std::vector<double> f = JsonOf(run).at("NetFreq");
    ASSERT_EQ(f.size(), 1001u);
    EXPECT_DOUBLE_EQ(f.front(), 1.0);
    EXPECT_DOUBLE_EQ(f.back(), 100.0);
    // Two decades in 1000 equal ratios.
    for (size_t i = 1; i < f.size(); ++i) EXPECT_NEAR(f[i] / f[i - 1], std::pow(100.0, 1.0 / 1000), 1e-9) << i;

    const CliOutcome synthesised = RunCli({"--model", "Elliptic", "--points", "50", "--network"});
    const CliOutcome classic = RunCli({"--points", "50", "--network"});
    EXPECT_EQ(synthesised.status, 1);
    EXPECT_EQ(classic.status, 1);
    EXPECT_EQ(synthesised.errLines, classic.errLines);
}

// Elliptic 5, 75 to 50 ohms, 0.5 dB: the ladder's own passband loss reaches 0.677 dB, and the
// output states that figure and the flat part of it.
TEST(SynthesisCli, UnequalTerminationsStateThePassbandLoss)
{
    const CliOutcome run =
        RunCli({"--model", "Elliptic", "--poles", "5", "--ripple", "0.5", "--stop-att", "50", "--rs", "75", "--start",
                "0.01", "--stop", "10", "--points", "20001", "--network", "--json"});
    ASSERT_EQ(run.status, 0) << Joined(run.errLines);
    const nlohmann::json json = JsonOf(run);
    const std::vector<double> s21 = json.at("NetS21");
    double worst = 0.0;
    for (double db : s21) worst = std::max(worst, -db);
    EXPECT_NEAR(worst, 0.677, 0.001);
    EXPECT_NEAR(json.at("FlatLossDb").get<double>() + 0.5, worst, 1e-4);
    const CliOutcome text =
        RunCli({"--model", "Elliptic", "--poles", "5", "--ripple", "0.5", "--stop-att", "50", "--rs", "75"});
    EXPECT_NE(text.out.find("Passband loss up to 0.677"), std::string::npos) << text.out;
}

TEST(SynthesisCli, ElementsReadInEngineeringNotation)
{
    const CliOutcome run = RunCli({"--model", "Elliptic", "--poles", "5", "--stop-att", "50"});
    ASSERT_EQ(run.status, 0) << Joined(run.errLines);
    const size_t table = run.out.find("Elements, source to load\n");
    ASSERT_NE(table, std::string::npos);
    std::istringstream lines(run.out.substr(table));
    std::string line;
    std::getline(lines, line);
    int rows = 0;
    while (std::getline(lines, line) && !line.empty()) {
        EXPECT_EQ(line.find("e-"), std::string::npos) << line;
        EXPECT_TRUE(line.find(" \xC2\xB5H") != std::string::npos || line.find(" nH") != std::string::npos) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 5);
}

TEST(SynthesisCli, RefusalsEndWithAMessage)
{
    // With --rs the load is --rl, even where the classic design would choose its own.
    const CliOutcome equal = RunCli({"--model", "Chebyshev", "--poles", "4", "--rs", "50", "--rl", "50"});
    EXPECT_EQ(equal.status, 1);
    EXPECT_TRUE(equal.out.empty());
    EXPECT_NE(Joined(equal.errLines).find("odd order"), std::string::npos) << Joined(equal.errLines);
    EXPECT_NE(Joined(equal.errLines).find("99.21 ohms"), std::string::npos) << Joined(equal.errLines);
    EXPECT_EQ(RunCli({"--model", "Chebyshev", "--poles", "4", "--rs", "50", "--rl", "99.21"}).status, 0);
    EXPECT_EQ(RunCli({"--model", "Chebyshev", "--poles", "4", "--rl", "50"}).status, 0);

    const CliOutcome even = RunCli({"--model", "Chebyshev", "--poles", "4", "--rs", "50", "--rl", "60"});
    EXPECT_EQ(even.status, 1);
    EXPECT_TRUE(even.out.empty());
    EXPECT_NE(Joined(even.errLines).find("odd order"), std::string::npos) << Joined(even.errLines);

    const CliOutcome bad = RunCli({"--model", "Elliptic", "--poles", "5", "--stop-att", "forty"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(Joined(bad.errLines).find("--stop-att"), std::string::npos) << Joined(bad.errLines);

    const CliOutcome band = RunCli({"--model", "Bessel", "--type", "BSF", "--poles", "3"});
    EXPECT_EQ(band.status, 1);
    EXPECT_NE(Joined(band.errLines).find("--fmin"), std::string::npos) << Joined(band.errLines);

    for (const char* error : {"0", "2.5", "half"}) {
        const CliOutcome phase = RunCli({"--model", "EquirippleDelay", "--delay-error", error});
        EXPECT_EQ(phase.status, 1) << error;
        EXPECT_NE(Joined(phase.errLines).find("--delay-error"), std::string::npos) << Joined(phase.errLines);
    }
    const CliOutcome other = RunCli({"--model", "Bessel", "--delay-error", "0.5"});
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(Joined(other.errLines).find("EquirippleDelay"), std::string::npos) << Joined(other.errLines);
}

TEST(SynthesisCli, DelayErrorReachesTheDesignAndItsJson)
{
    std::vector<double> previous;
    for (const char* error : {"0.05", "0.5"}) {
        const CliOutcome run = RunCli({"--model", "EquirippleDelay", "--poles", "6", "--delay-error", error, "--json",
                                       "--network", "--stop", "30"});
        ASSERT_EQ(run.status, 0) << Joined(run.errLines);
        const nlohmann::json json = JsonOf(run);
        EXPECT_DOUBLE_EQ(json.at("DelayError").get<double>(), std::stod(error));
        ExpectAttMatchesLadder(json);
        // The error asked for changes the design.
        const std::vector<double> att = json.at("Att");
        if (!previous.empty()) {
            EXPECT_NE(att, previous);
        }
        previous = att;
    }
}

TEST(SynthesisCli, SpiceNetlistOfTrapArmsSimulatesToTheSameResponse)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    TempFolder folder;
    for (const std::string type : {"BPF", "BSF"}) {
        const std::string netlist = folder.Path(type + ".cir");
        const CliOutcome run = RunCli({"--model",  "Elliptic",  "--type",     type,
                                       "--poles",  "5",         "--fmin",     "40",
                                       "--fmax",   "60",        "--stop-att", "45",
                                       "--ripple", "0.2",       "--topology", type == "BPF" ? "Pi" : "T",
                                       "--rs",     "50",        "--rl",       "75",
                                       "--json",   "--network", "--spice",    netlist,
                                       "--start",  "20",        "--stop",     "100"});
        ASSERT_EQ(run.status, 0) << Joined(run.errLines);
        const std::vector<double> s21 = JsonOf(run).at("NetS21");

        const NgspiceRun simulation = RunNgspice(netlist);
        ASSERT_EQ(simulation.status, 0) << simulation.output.substr(0, 2000);
        const std::vector<SimulatedPoint> points = ParseNgspiceTable(simulation.output);
        ASSERT_EQ(points.size(), s21.size()) << simulation.output.substr(0, 2000);
        int compared = 0;
        for (size_t i = 0; i < points.size(); ++i) {
            if (s21[i] < -80.0) continue;
            EXPECT_NEAR(points[i].s21db, s21[i], 0.01) << type << " at " << points[i].hz << " Hz";
            ++compared;
        }
        EXPECT_GT(compared, 20) << simulation.output.substr(0, 2000);
    }
}

TEST(SynthesisCli, HarmonicNotchesOfTheNetlistSimulateDeepAndThePassbandFlat)
{
    // A transmitter's 7-pole 0.1 dB low-pass at 30 MHz with zeros on its 2nd and 3rd harmonic,
    // simulated by ngspice from the program's own netlist: 0 to 100 MHz in 0.5 MHz steps hits the
    // edge and both zeros.
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    TempFolder folder;
    for (const std::string form : {"T", "Pi"}) {
        const std::string netlist = folder.Path(form + ".cir");
        const CliOutcome run =
            RunCli({"--model", "Chebyshev", "--poles", "7",          "--ripple", "0.1",      "--passband",
                    "30",      "--zeros",   "60,90",   "--topology", form,       "--json",   "--spice",
                    netlist,   "--start",   "0",       "--stop",     "100",      "--points", "201"});
        ASSERT_EQ(run.status, 0) << Joined(run.errLines);
        EXPECT_EQ(JsonOf(run).at("Zeros"), nlohmann::json::parse("[60, 90]"));
        const NgspiceRun simulation = RunNgspice(netlist);
        ASSERT_EQ(simulation.status, 0) << simulation.output.substr(0, 2000);
        const std::vector<SimulatedPoint> points = ParseNgspiceTable(simulation.output);
        int passband = 0, zeros = 0;
        for (const SimulatedPoint& p : points) {
            const double mhz = p.hz / 1e6;
            if (mhz < 30.01) {
                EXPECT_GT(p.s21db, -0.11) << form << " at " << mhz << " MHz";
                ++passband;
            }
            if (std::fabs(mhz - 60) < 0.01 || std::fabs(mhz - 90) < 0.01) {
                EXPECT_LT(p.s21db, -100.0) << form << " at " << mhz << " MHz";
                ++zeros;
            }
        }
        EXPECT_GE(passband, 60) << simulation.output.substr(0, 2000);
        EXPECT_EQ(zeros, 2) << simulation.output.substr(0, 2000);
    }
}

TEST(SynthesisCli, TopCBandPassOfEqualInductorsSimulatesWithinItsRipple)
{
    // 5-pole 0.1 dB Chebyshev, 99 to 101 MHz, 100 nH resonators: the netlist that the program
    // writes, simulated by ngspice, stays within 0.15 dB of loss across the band.
    TempFolder folder;
    const std::string netlist = folder.Path("topc.cir");
    const CliOutcome run =
        RunCli({"--model", "Chebyshev", "--ripple", "0.1",   "--poles", "5",     "--type",        "BPF",
                "--fmin",  "99",        "--fmax",   "101",   "--form",  "top-c", "--resonator-l", "100n",
                "--json",  "--network", "--spice",  netlist, "--start", "99",    "--stop",        "101"});
    ASSERT_EQ(run.status, 0) << Joined(run.errLines);
    const nlohmann::json json = JsonOf(run);
    EXPECT_EQ(json.at("BandPassForm"), "top-c");
    EXPECT_TRUE(json.at("MeetsResponse").get<bool>());
    const nlohmann::json& elements = json.at("Elements");
    ASSERT_EQ(elements.size(), 11u);
    for (const nlohmann::json& e : elements) {
        const std::string kind = e.at("Kind");
        if (kind == "ParallelLC") {
            EXPECT_EQ(e.at("L").get<double>(), 100e-9);
            EXPECT_EQ(e.at("Designators").size(), 2u);
        } else {
            EXPECT_EQ(kind, "Capacitor");
            EXPECT_EQ(e.at("Place"), "Series");
        }
        if (kind != "Capacitor") {
            EXPECT_GT(e.at("L").get<double>(), 0.0);
        }
        EXPECT_GT(e.at("C").get<double>(), 0.0);
    }

    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    std::ifstream deck(netlist);
    const std::string text((std::istreambuf_iterator<char>(deck)), std::istreambuf_iterator<char>());
    for (const nlohmann::json& e : elements)
        for (const std::string name : e.at("Designators")) EXPECT_NE(text.find(name), std::string::npos) << name;
    const NgspiceRun simulation = RunNgspice(netlist);
    ASSERT_EQ(simulation.status, 0) << simulation.output.substr(0, 2000);
    const std::vector<SimulatedPoint> points = ParseNgspiceTable(simulation.output);
    ASSERT_GT(points.size(), 50u) << simulation.output.substr(0, 2000);
    for (const SimulatedPoint& p : points) {
        if (p.hz < 99e6 || p.hz > 101e6) continue;
        EXPECT_GT(p.s21db, -0.15) << p.hz << " Hz";
    }
}

TEST(SynthesisCli, ResonatorInductanceNeedsACoupledFormAndAnInductance)
{
    const std::vector<std::string> band = {"--model", "Chebyshev", "--poles", "5",      "--type",
                                           "BPF",     "--fmin",    "99",      "--fmax", "101"};
    std::vector<std::string> ladder = band;
    ladder.insert(ladder.end(), {"--resonator-l", "100n"});
    std::vector<std::string> bad = band;
    bad.insert(bad.end(), {"--form", "top-l", "--resonator-l", "100 nF"});
    for (const std::vector<std::string>& args : {ladder, bad}) {
        const CliOutcome run = RunCli(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(Joined(run.errLines).find("--resonator-l"), std::string::npos) << Joined(run.errLines);
    }
}

// The synthesised ladder's network table is headed by the part models it holds.
TEST(SynthesisCli, NetworkTableNamesThePartModels)
{
    const CliOutcome run = RunCli({"--model", "Elliptic", "--poles", "5", "--passband", "10", "--stop-att", "40",
                                   "--network", "--q-l", "80", "--esr-c", "0.05"});
    ASSERT_EQ(run.status, 0) << Joined(run.errLines);
    const std::string heading = "Network analysis. Models: inductors Q 80; capacitors ESR 50 mOhm; no node strays";
    EXPECT_NE(run.out.find("\n" + heading + "\n"), std::string::npos) << run.out.substr(0, 3000);
}

} // namespace
