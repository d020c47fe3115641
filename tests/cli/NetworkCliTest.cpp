// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "tests/support/Designs.h"
#include "tests/support/SpiceDeck.h"
#include "tests/support/TempFolder.h"
#include "filtermath/ESeries.h"

using namespace corvane;

namespace {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

// corvane-cli in process: the same option parsing and run as its main().
CliResult Cli(const std::vector<std::string>& args)
{
    CLI::App app;
    CliOptions options;
    AddOptions(app, options);
    ParseArguments(app, args);
    ResolveDefaults(options);
    std::ostringstream out, err;
    const int status = RunDesign(options, out, err);
    return {status, out.str(), err.str()};
}

nlohmann::json Json(const std::vector<std::string>& args)
{
    std::vector<std::string> withJson = args;
    withJson.push_back("--json");
    const CliResult r = Cli(withJson);
    EXPECT_EQ(r.status, 0) << r.err;
    return nlohmann::json::parse(r.out);
}

// The lines of a text block after its heading, up to the next empty line.
std::vector<std::string> Block(const std::string& text, const std::string& heading)
{
    std::vector<std::string> lines;
    std::istringstream in(text.substr(text.find(heading)));
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line) && !line.empty()) lines.push_back(line);
    return lines;
}

const Design kDefault{0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6};

TEST(NetworkCli, DefaultsWithE24PrintRoundedValuesAndTheirResponse)
{
    const CliResult r = Cli({"--network", "--series", "E24"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // L1 = L3 = 7.9577e-7 H -> 8.2e-7 (+3.04 %), C2 = 6.3662e-10 F -> 6.2e-10 (-2.61 %).
    const std::vector<std::string> rounded = Block(r.out, "Values rounded to E24");
    ASSERT_EQ(rounded.size(), 4u);
    EXPECT_EQ(rounded[0], "Part    Value       Change, %");
    EXPECT_EQ(rounded[1], "L1      8.20e-07 H  +3.04");
    EXPECT_EQ(rounded[2], "C2      6.20e-10 F  -2.61");
    EXPECT_EQ(rounded[3], "L3      8.20e-07 H  +3.04");

    // The response columns are those of the rounded ladder, not of the designed one.
    Ladder ladder = DesignLadder(kDefault);
    for (LadderBranch& b : ladder.branches) {
        b.L = RoundToESeries(b.L, ESeries::E24);
        b.C = RoundToESeries(b.C, ESeries::E24);
    }
    const std::vector<std::string> rows = Block(r.out, "Network analysis");
    ASSERT_EQ(rows.size(), 101u);
    EXPECT_EQ(rows[0], "Freq, [MHz]   S21, [dB]     S11, [dB]     Delay, [s]");
    for (size_t i = 1; i < rows.size(); ++i) {
        std::istringstream cells(rows[i]);
        double f, s21, s11, delay;
        ASSERT_TRUE(cells >> f >> s21 >> s11 >> delay) << rows[i];
        EXPECT_EQ(f, static_cast<double>(i));
        const NetworkPoint p = AnalyseAt(ladder, f * 1e6, {});
        EXPECT_NEAR(s21, p.S21dB, 5e-5) << rows[i];
        EXPECT_NEAR(s11, p.S11dB, 5e-5) << rows[i];
        EXPECT_NEAR(delay, p.GroupDelay, 1e-4 * p.GroupDelay) << rows[i];
    }
}

TEST(NetworkCli, JsonCarriesTheAnalysisWhichFollowsTheClosedForm)
{
    const nlohmann::json json = Json({"--network"});
    const std::vector<double> s21 = json.at("NetS21");
    const std::vector<double> s11 = json.at("NetS11");
    const std::vector<double> delay = json.at("NetGroupDelay");
    const std::vector<double> att = json.at("Att");
    ASSERT_EQ(s21.size(), 100u);
    ASSERT_EQ(s11.size(), 100u);
    ASSERT_EQ(delay.size(), 100u);
    for (size_t i = 0; i < 100; ++i) {
        EXPECT_NEAR(s21[i], att[i], 0.01) << i; // Butterworth: ladder and closed form agree
        EXPECT_NEAR(std::pow(10, s21[i] / 10) + std::pow(10, s11[i] / 10), 1.0, 1e-9) << i;
        EXPECT_GT(delay[i], 0.0) << i;
    }
    EXPECT_FALSE(json.contains("Series"));
}

TEST(NetworkCli, JsonWithoutNetworkOptionsHasNoNetworkKeys)
{
    const nlohmann::json json = Json({});
    for (const char* key : {"NetS21", "NetS11", "NetGroupDelay", "Series", "RoundedParts"})
        EXPECT_FALSE(json.contains(key)) << key;
}

// Each rounded part, named by its designator, against the run's own table at its position: the
// element table for low-pass and high-pass designs, the resonators for band-pass ones.
TEST(NetworkCli, JsonRoundsEveryPartOfTheRunsTable)
{
    struct Case {
        std::vector<std::string> args;
        const char* series;
        ESeries e;
        size_t parts;
        bool band;
    };
    const Case cases[] = {
        {{"--series", "E6", "--type", "HPF", "--topology", "Pi", "--poles", "4"}, "E6", ESeries::E6, 4, false},
        {{"--type", "BPF", "--fmin", "9", "--fmax", "11", "--series", "E96"}, "E96", ESeries::E96, 6, true},
    };
    for (const Case& c : cases) {
        const nlohmann::json json = Json(c.args);
        EXPECT_EQ(json.at("Series"), c.series);
        const nlohmann::json& rounded = json.at("RoundedParts");
        const nlohmann::json& change = json.at("PartChange");
        ASSERT_EQ(rounded.size(), c.parts) << c.series;
        ASSERT_EQ(change.size(), c.parts) << c.series;
        for (const auto& [name, value] : rounded.items()) {
            const size_t position = std::stoul(name.substr(1));
            const char* table = c.band ? (name[0] == 'L' ? "BandL" : "BandC") : "ElementValues";
            const double designed = json.at(table).at(position);
            EXPECT_DOUBLE_EQ(value.get<double>(), RoundToESeries(designed, c.e)) << name;
            EXPECT_NEAR(change.at(name).get<double>(), (value.get<double>() / designed - 1) * 100, 1e-9) << name;
        }
        EXPECT_FALSE(json.contains("NetS21"));
    }
}

TEST(NetworkCli, QualityFactorsLowerThePassband)
{
    const std::vector<double> ideal = Json({"--network"}).at("NetS21");
    const std::vector<double> lossy = Json({"--network", "--q-l", "20", "--q-c", "50"}).at("NetS21");
    for (size_t i = 0; i < 9; ++i) EXPECT_LT(lossy[i], ideal[i] - 1e-3) << i;
}

// The inductors' self-resonance is typed in the design's unit: 30.5 (MHz) puts the notch of the
// series inductors between the sweep's 30 and 31 MHz points.
TEST(NetworkCli, SelfResonanceInTheDesignUnitPlacesTheNotch)
{
    const nlohmann::json ideal = Json({"--network"});
    const nlohmann::json real = Json({"--network", "--srf-l", "30.5", "--q-l", "80"});
    const std::vector<double> f = real.at("NetFreq");
    const std::vector<double> a = ideal.at("NetS21");
    const std::vector<double> b = real.at("NetS21");
    size_t deepest = 0;
    for (size_t i = 0; i < f.size(); ++i)
        if (b[i] - a[i] < b[deepest] - a[deepest]) deepest = i;
    EXPECT_GE(f[deepest], 30.0);
    EXPECT_LE(f[deepest], 31.0);
}

TEST(NetworkCli, AbsorbStraysShowsBeforeAndAfterAndNamesWhatCannot)
{
    const nlohmann::json json = Json({"--topology", "Pi", "--network", "--node-c", "20p", "--absorb-strays"});
    EXPECT_EQ(json.at("Absorbed"), nlohmann::json::array({"C1", "C3"}));
    const std::vector<double> before = json.at("NetS21BeforeAbsorbing");
    const std::vector<double> after = json.at("NetS21");
    const std::vector<double> ideal = Json({"--topology", "Pi", "--network"}).at("NetS21");
    ASSERT_EQ(before.size(), after.size());
    EXPECT_LT(before[12], after[12] - 0.05); // 13 MHz, just past the edge: the strays pull the edge down
    for (size_t i = 0; i < after.size(); ++i) EXPECT_NEAR(after[i], ideal[i], 1e-9) << i;
    const CliResult r = Cli({"--network", "--node-c", "1n", "--absorb-strays"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("C2 (637 pF) cannot absorb the 1 nF stray"), std::string::npos) << r.err;
}

// The 3-pole Butterworth T at 1 W: |V(C2)|^2 = 100 (1 + x) / (1 + x^3) with x = (f / 10 MHz)^2, largest
// at x = 1/2: 10 sqrt(4/3) V at 7.07 MHz, inside the passband.
TEST(NetworkCli, StressOverThePassbandAt30Dbm)
{
    const std::vector<std::string> sweep{"--points", "1001", "--start", "0", "--stop", "20"};
    std::vector<std::string> dbm = sweep, watts = sweep;
    dbm.insert(dbm.end(), {"--power-dbm", "30"});
    watts.insert(watts.end(), {"--power-w", "1"});
    const nlohmann::json json = Json(dbm);
    EXPECT_EQ(json.at("Stress"), Json(watts).at("Stress"));
    const nlohmann::json& c2 = json.at("Stress").at(1);
    EXPECT_EQ(c2.at("Part"), "C2");
    EXPECT_NEAR(c2.at("Vpeak").get<double>(), 10.0 * std::sqrt(4.0 / 3.0), 1e-4);
    EXPECT_NEAR(c2.at("Freq").get<double>(), 7.07, 0.011);
    EXPECT_EQ(c2.at("Pdiss").get<double>(), 0.0); // ideal parts
    // A rating just under C2's 11.55 V marks C2 alone; the inductors carry at most 0.32 A.
    std::vector<std::string> rated = dbm;
    rated.insert(rated.end(), {"--rating-c", "11.5", "--rating-l", "0.35"});
    std::vector<std::string> over;
    const nlohmann::json ratedJson = Json(rated);
    for (const nlohmann::json& row : ratedJson.at("Stress"))
        if (row.contains("OverRating"))
            over.push_back(row.at("Part").get<std::string>() + " " + row.at("OverRating").dump());
    EXPECT_EQ(over, std::vector<std::string>{"C2 11.5"});
    // Past the passband the sweep finds no higher voltage on C2 (it falls), but the worst load phase does.
    EXPECT_EQ(json.at("StressSweep").at(1).at("Vpeak"), c2.at("Vpeak"));
    dbm.insert(dbm.end(), {"--vswr", "2"});
    EXPECT_GT(Json(dbm).at("Stress").at(1).at("Vpeak").get<double>(), c2.at("Vpeak").get<double>() * 1.05);
}

TEST(NetworkCli, WritesSpiceAndTouchstoneFiles)
{
    TempFolder folder;
    const std::string cir = folder.Path("f.cir");
    const std::string s2p = folder.Path("f.s2p");
    const CliResult r = Cli({"--unit", "kHz", "--spice", cir, "--touchstone", s2p, "--series", "E12"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"f.cir", "f.s2p"}));
    const SpiceDeck deck = ParseSpiceDeck(ReadFile(cir));
    EXPECT_EQ(deck.frequencies.size(), 100u);
    EXPECT_EQ(deck.frequencies.front(), "1000");
    EXPECT_NEAR(std::stod(deck.elements.at("L1").value), 8.2e-4, 1e-18); // E12, kHz: 7.96e-4 -> 8.2e-4
    EXPECT_NE(deck.title.find("E12"), std::string::npos);
    const std::string touchstone = ReadFile(s2p);
    EXPECT_EQ(touchstone.rfind("! Corvane", 0), 0u);
    EXPECT_NE(touchstone.find("\n# kHz S DB R 50\n1 "), std::string::npos);
}

struct FailingCase {
    const char* name;
    std::vector<std::string> args;
    std::string errStart;
};

void PrintTo(const FailingCase& c, std::ostream* os)
{
    *os << c.name;
}

class NetworkCliFailures : public ::testing::TestWithParam<FailingCase> {};

TEST_P(NetworkCliFailures, EndWithStatusOneAMessageAndNoFile)
{
    TempFolder folder;
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args) {
        if (a.rfind("@", 0) == 0) a = folder.Path(a.substr(1));
    }
    const CliResult r = Cli(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    std::string expected = GetParam().errStart;
    if (expected.rfind("@", 0) == 0) expected = "Cannot write file '" + folder.Path(expected.substr(1));
    EXPECT_EQ(r.err.substr(0, expected.size()), expected) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(folder.Names().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NetworkCliFailures,
    ::testing::Values(
        FailingCase{"SpiceInMissingFolder", {"--spice", "@none/x.cir"}, "@none/x.cir': No such file or directory."},
        FailingCase{"TouchstoneInMissingFolder",
                    {"--network", "--touchstone", "@none/x.s2p"},
                    "@none/x.s2p': No such file or directory."},
        FailingCase{"NothingPositiveToExport",
                    {"--start", "-100", "--stop", "-1", "--touchstone", "@x.s2p"},
                    "The sweep holds no positive frequency to export."},
        FailingCase{"RunEndedBeforeTheLadder", {"--poles", "0", "--spice", "@x.cir"}, "--poles must be a whole number"}),
    [](const ::testing::TestParamInfo<FailingCase>& info) { return info.param.name; });

TEST(NetworkCli, MissingOrMalformedOptionsAreUsageErrors)
{
    TempFolder folder;
    const std::string json = folder.Path("--json");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"--series", "E5"},
                                                                                      {"--series", "e24"},
                                                                                      {"--spice"},
                                                                                      {"--spice", ""},
                                                                                      {"--touchstone", ""},
                                                                                      {"--spice=", "--json"},
                                                                                      {"--rl=", "--json"},
                                                                                      {"--points"}}) {
        EXPECT_THROW(Cli(args), CLI::ParseError) << args[0];
    }
    EXPECT_TRUE(folder.Names().empty());
}

struct BadNumberCase {
    std::vector<std::string> args;
    std::string message;
};

TEST(NetworkCli, BadNumbersEndWithStatusOneAndOneMessage)
{
    const BadNumberCase cases[] = {
        {{"--q-l", "-1"}, "--q-l must be 0 (ideal) or a positive number."},
        {{"--log-sweep", "--start", "0"}, "--start must be above zero for a logarithmic sweep."},
        {{"--node-c", "2 pH"}, "--node-c must be 0 (none) or a capacitance above zero."},
        {{"--srf-l", "fast"}, "--srf-l must be 0 (none) or a frequency above zero."},
        {{"--power-w", "1", "--vswr", "0.5"}, "--vswr must be 1 (matched) or above."},
    };
    for (const BadNumberCase& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--network");
        const CliResult r = Cli(args);
        EXPECT_EQ(r.status, 1) << c.args[0];
        EXPECT_EQ(r.out, "") << c.args[0];
        EXPECT_EQ(r.err, c.message + "\n") << c.args[0];
    }
}

TEST(NetworkCli, LongNumbersAreTakenWhole)
{
    const nlohmann::json json = Json({"--rl", "49.99999999999", "--passband", "10.000000000000001", "--poles", "003"});
    EXPECT_EQ(json.at("RL"), 49.99999999999);
    EXPECT_EQ(json.at("Order"), 3.0);
}

TEST(NetworkCli, UnusedOptionsWarnOnStandardError)
{
    const CliResult r = Cli({"--fmin", "3", "--ripple", "1", "--q-l", "20", "--srf-c", "900", "--lead-l", "1n"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Warning: --fmin is not used by a low-pass design.\n"
                     "Warning: --ripple is not used by a Butterworth design.\n"
                     "Warning: --q-l is not used without --network, --spice or --touchstone.\n"
                     "Warning: --srf-c is not used without --network, --spice or --touchstone.\n"
                     "Warning: --lead-l is not used without --network, --spice or --touchstone.\n");
    EXPECT_EQ(Cli({"--type", "BPF", "--fmin", "9", "--fmax", "11", "--model", "Chebyshev", "--ripple", "1"}).err, "");
}

TEST(NetworkCli, StatesTheLoadAndAnalysesWithAChosenOne)
{
    // The 4-pole 0.5 dB Chebyshev low-pass needs 50 * g[5] = 99.2 ohm; its passband loss
    // stays within the ripple there, and grows when the user insists on 50 ohm.
    const std::vector<std::string> design{"--model", "Chebyshev", "--poles", "4", "--stop", "10", "--network"};
    const nlohmann::json own = Json(design);
    EXPECT_NEAR(own.at("LoadOhms").get<double>(), 99.2063, 1e-4);
    std::vector<std::string> chosen = design;
    chosen.insert(chosen.end(), {"--load", "50"});
    const nlohmann::json fifty = Json(chosen);
    EXPECT_EQ(fifty.at("LoadOhms"), 50.0);
    const std::vector<double> ownS21 = own.at("NetS21");
    const std::vector<double> fiftyS21 = fifty.at("NetS21");
    EXPECT_GE(*std::min_element(ownS21.begin(), ownS21.end()), -0.51);
    EXPECT_LT(*std::min_element(fiftyS21.begin(), fiftyS21.end()), -1.5);

    const CliResult text = Cli(chosen);
    EXPECT_NE(text.out.find("\nTerminations: source 50 Ohm, load 50 Ohm (the design needs 99.2063 Ohm)\n"),
              std::string::npos);
}

TEST(NetworkCli, PointsAndLogSweepSetTheAnalysisAndTheExports)
{
    TempFolder folder;
    const std::string cir = folder.Path("f.cir");
    const nlohmann::json json =
        Json({"--network", "--points", "201", "--log-sweep", "--start", "1", "--stop", "100", "--spice", cir});
    const std::vector<double> f = json.at("NetFreq");
    ASSERT_EQ(f.size(), 201u);
    EXPECT_EQ(f.front(), 1.0);
    EXPECT_NEAR(f[100], 10.0, 1e-12); // the geometric middle of two decades
    EXPECT_EQ(f.back(), 100.0);
    EXPECT_EQ(json.at("NetS21").size(), 201u);
    EXPECT_EQ(json.at("Freq").size(), 100u); // the closed-form curve keeps the window's sweep
    EXPECT_EQ(ParseSpiceDeck(ReadFile(cir)).frequencies.size(), 201u);

    const std::vector<double> linear =
        Json({"--network", "--points", "101", "--start", "0", "--stop", "10"}).at("NetFreq");
    ASSERT_EQ(linear.size(), 101u);
    EXPECT_EQ(linear[0], 1e-10); // zero moved off, as in the run's sweep
    EXPECT_NEAR(linear[37], 3.7, 1e-12);
}

// The text's heading names the part models the analysis used, as the exported files do.
TEST(NetworkCli, HeadingStatesThePartModels)
{
    const CliResult r = Cli({"--network", "--q-l", "80", "--srf-l", "1.2G", "--node-c", "2p"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nNetwork analysis, source 50 Ohm, load 50 Ohm. Models: inductors Q 80, SRF 1.2 GHz; "
                         "capacitors ideal; node strays 2 pF at every node\n"),
              std::string::npos)
        << r.out.substr(0, 2000);
}

} // namespace

// A synthesised design (here the same 3-pole Butterworth, designed to a stopband requirement) reports
// the stress as a classic one does: 10 sqrt(4/3) V on C2 at 7.07 MHz for 1 W.
TEST(NetworkCli, SynthesisedDesignsReportTheirStress)
{
    const CliResult r = Cli({"--poles", "3", "--stop-freq", "30", "--stop-att", "10", "--points", "1001", "--start",
                             "0", "--stop", "20", "--power-dbm", "30", "--rating-c", "11.5", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json json = nlohmann::json::parse(r.out);
    ASSERT_TRUE(json.contains("Stress")) << r.out.substr(0, 200);
    const nlohmann::json& c2 = json.at("Stress").at(1);
    EXPECT_EQ(c2.at("Part"), "C2");
    EXPECT_NEAR(c2.at("Vpeak").get<double>(), 10.0 * std::sqrt(4.0 / 3.0), 1e-4);
    EXPECT_NEAR(c2.at("Freq").get<double>(), 7.07, 0.011);
    EXPECT_EQ(c2.at("OverRating"), 11.5);
    const CliResult text = Cli({"--poles", "3", "--stop-freq", "30", "--stop-att", "10", "--power-w", "1"});
    EXPECT_NE(text.out.find("Part stress at 1 W available"), std::string::npos) << text.out;
}
