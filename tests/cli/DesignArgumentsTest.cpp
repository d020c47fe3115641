// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/DesignArguments.h"
#include "tests/cli/CliHarness.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

namespace {

// A design file in a fresh temporary folder, removed at the end.
class DesignOnDisk {
public:
    explicit DesignOnDisk(const DesignFile& design, const char* name = "design.corvane") : path_(folder_.Path(name))
    {
        WriteDesignFile(path_, design);
    }
    const std::string& Path() const { return path_; }

private:
    TempFolder folder_;
    std::string path_;
};

DesignFile BandPass()
{
    DesignFile d;
    d.selectors = {2, 1, 1, 1};
    d.fields = {"5", "0.2", "10", "88", "108", "75", "1", "201"};
    d.logarithmic = true;
    d.exactResponse.series = "E12";
    return d;
}

TEST(DesignArguments, FileSetsTheOptionsAndTheCommandLineOverridesIt)
{
    const DesignOnDisk file(BandPass());
    const DesignArguments expanded = ExpandDesignArguments({"--design", file.Path()});
    CliOptions fromFile = ParseOptions(expanded.args);
    fromFile.fromFile = expanded.fromFile;
    EXPECT_EQ(DesignOfOptions(fromFile, BandPass()), BandPass());

    const DesignArguments both = ExpandDesignArguments({"--design=" + file.Path(), "--poles", "7", "--unit=MHz"});
    const CliOptions overridden = ParseOptions(both.args);
    EXPECT_EQ(overridden.texts.N, "7");
    EXPECT_EQ(overridden.unit, "MHz");
    EXPECT_EQ(overridden.texts.Fmax, "108");
    EXPECT_EQ(both.base, BandPass());
}

TEST(DesignArguments, SaveTakesItsFileAndBadUseIsRefused)
{
    const DesignArguments save = ExpandDesignArguments({"--poles", "4", "--save-design", "out.corvane", "--json"});
    EXPECT_EQ(save.savePath, "out.corvane");
    EXPECT_EQ(save.args, (std::vector<std::string>{"--poles", "4", "--json"}));
    EXPECT_THROW(ExpandDesignArguments({"--design"}), std::invalid_argument);
    EXPECT_THROW(ExpandDesignArguments({"--design", "/nonexistent/x.corvane"}), DesignFileError);
    DesignFile typed;
    typed.selectors[3] = -1;
    typed.selectorTexts[3] = "THz";
    const DesignOnDisk file(typed, "typed.corvane");
    try {
        ExpandDesignArguments({"--design", file.Path()});
        FAIL() << "accepted";
    } catch (const DesignFileError& error) {
        EXPECT_NE(std::string(error.what()).find(file.Path()), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("\"THz\" is no item"), std::string::npos);
    }
}

TEST(DesignArguments, TheProgramSavesWhatTheWindowOpens)
{
    const DesignOnDisk in(BandPass(), "in.corvane");
    const TempFolder folder;
    const std::string out = folder.Path("out.corvane");
    const CliOutcome viaFile = RunCli({"--design", in.Path(), "--save-design", out, "--json"});
    EXPECT_EQ(ReadDesignFile(out), BandPass());
    std::remove(out.c_str());
    // The same run as the file's options typed out, with its standard series; the sweep points
    // it holds play no part without an analysis.
    const CliOutcome typed = RunCli({"--type",  "BPF", "--model",  "Chebyshev", "--topology", "Pi",  "--unit", "kHz",
                                     "--poles", "5",   "--ripple", "0.2",       "--fmin",     "88",  "--fmax", "108",
                                     "--rl",    "75",  "--stop",   "201",       "--series",   "E12", "--json"});
    EXPECT_EQ(viaFile.status, typed.status);
    EXPECT_EQ(viaFile.out, typed.out);
    EXPECT_EQ(viaFile.errLines, typed.errLines);
    // A run that does not complete writes no file.
    const CliOutcome refused = RunCli({"--poles", "0", "--save-design", out});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

// Every setting the file holds survives a trip through the command line, for a classic design
// and for a design panel's, with changes typed on the way.
TEST(DesignArguments, RoundTripsKeepEverySetting)
{
    DesignFile panel = BandPass();
    panel.exactResponse.panel = DesignPanelSettings{};
    panel.exactResponse.panel->family = "Elliptic";
    panel.exactResponse.panel->shown = true;
    panel.exactResponse.panel->rs = "75";
    panel.exactResponse.inductorQ = "100";
    panel.exactResponse.points = 201;
    panel.exactResponse.logarithmic = true;
    panel.exactResponse.load = "source";
    const TempFolder folder;
    const std::string out = folder.Path("trip.corvane");
    for (const DesignFile& design : {BandPass(), panel}) {
        const DesignOnDisk in(design, "trip-in.corvane");
        ASSERT_EQ(RunCli({"--design", in.Path(), "--save-design", out}).status, 0);
        EXPECT_EQ(ReadDesignFile(out), design);
        std::remove(out.c_str());
    }
    DesignFile changed = BandPass();
    changed.exactResponse.series = "E24";
    changed.exactResponse.capacitorQ = "400";
    changed.exactResponse.points = 5001;
    changed.exactResponse.logarithmic = true;
    changed.Text(Field::R) = "600";
    const DesignOnDisk in(BandPass(), "trip-in.corvane");
    ASSERT_EQ(RunCli({"--design", in.Path(), "--series", "E24", "--q-c", "400", "--points", "5001", "--log-sweep",
                      "--rl", "600", "--save-design", out})
                  .status,
              0);
    EXPECT_EQ(ReadDesignFile(out), changed);
    std::remove(out.c_str());
}

// The stress inputs travel with the design: the power in its unit, the VSWR and the ratings run as
// their options; a power typed in watts is saved with its unit, so that the workbench's field reads
// it in watts too.
TEST(DesignArguments, StressInputsSurviveADesignFile)
{
    DesignFile design = BandPass();
    design.exactResponse.stress = StressFileSettings{"100 W", "2", "50", ""};
    // The analysis sweeps as the workbench does: to the stop typed below, from the band's own start.
    design.exactResponse.sweepStop = "201";
    const DesignOnDisk in(design, "stress.corvane");
    const CliOutcome viaFile = RunCli({"--design", in.Path(), "--json"});
    const CliOutcome typed =
        RunCli({"--type",    "BPF", "--model",  "Chebyshev", "--topology", "Pi",  "--unit",   "kHz",
                "--poles",   "5",   "--ripple", "0.2",       "--fmin",     "88",  "--fmax",   "108",
                "--rl",      "75",  "--stop",   "201",       "--series",   "E12", "--points", "1001",
                "--power-w", "100", "--vswr",   "2",         "--rating-c", "50",  "--json"});
    ASSERT_EQ(typed.status, 0);
    EXPECT_EQ(viaFile.out, typed.out);
    EXPECT_EQ(viaFile.errLines, typed.errLines);
    EXPECT_EQ(nlohmann::json::parse(viaFile.out).at("Stress").size(), 10u);

    const TempFolder folder;
    const std::string out = folder.Path("stress-out.corvane");
    const auto savedStress = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"--save-design", out});
        EXPECT_EQ(RunCli(args).status, 0);
        return ReadDesignFile(out).exactResponse.stress;
    };
    EXPECT_EQ(savedStress({"--design", in.Path()}), design.exactResponse.stress);
    EXPECT_EQ(savedStress({"--design", in.Path(), "--power-dbm", "30"}), (StressFileSettings{"30", "2", "50", ""}));
    EXPECT_EQ(savedStress({"--design", in.Path(), "--power-w", "5", "--vswr", "1.5"}),
              (StressFileSettings{"5 W", "1.5", "50", ""}));
    EXPECT_EQ(savedStress({"--poles", "3"}), std::nullopt);
}

// The file's design panel design is the one run, with the exact response window's settings; a
// Q the window refuses is refused here too.
TEST(DesignArguments, TheWholeFileIsRead)
{
    DesignFile design;
    design.exactResponse.panel = DesignPanelSettings{};
    design.exactResponse.panel->shown = true; // an Elliptic low-pass of order 5
    design.exactResponse.series = "E24";
    design.exactResponse.points = 201;
    const DesignOnDisk file(design, "panel.corvane");
    const CliOutcome viaFile = RunCli({"--design", file.Path(), "--network", "--json"});
    const CliOutcome typed = RunCli({"--model", "Elliptic", "--poles", "5", "--ripple", "0.5", "--stop-att", "40",
                                     "--series", "E24", "--points", "201", "--network", "--json"});
    ASSERT_EQ(typed.status, 0);
    EXPECT_EQ(viaFile.status, 0);
    EXPECT_EQ(viaFile.out, typed.out);
    EXPECT_EQ(nlohmann::json::parse(viaFile.out).at("NetFreq").size(), 201u);

    design.exactResponse.inductorQ = "-5";
    const DesignOnDisk bad(design, "bad-q.corvane");
    const CliOutcome refused = RunCli({"--design", bad.Path(), "--network"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.empty());
}

TEST(DesignArguments, FurtherFamiliesAreSavedAsTheDesignPanelsDesign)
{
    const TempFolder folder;
    const std::string out = folder.Path("bessel.corvane");
    const CliOutcome saved =
        RunCli({"--model", "Bessel", "--type", "HPF", "--poles", "6", "--rs", "75", "--save-design", out});
    ASSERT_EQ(saved.status, 0);
    const DesignFile file = ReadDesignFile(out);
    ASSERT_TRUE(file.exactResponse.panel.has_value());
    const DesignPanelSettings& p = *file.exactResponse.panel;
    EXPECT_TRUE(p.shown);
    EXPECT_EQ(p.family, "Bessel");
    EXPECT_EQ(p.type, "HPF");
    EXPECT_EQ(p.order, "6");
    EXPECT_EQ(p.rs, "75");
    EXPECT_EQ(p.rl, "50");
    std::remove(out.c_str());
}

// A top-C band-pass and an equiripple delay design with their own phase error come back from their
// design files as they were saved: the same form, the same resonator inductors, the same values.
TEST(DesignArguments, CoupledFormsAndPhaseErrorsSurviveADesignFile)
{
    const TempFolder folder;
    const std::string path = folder.Path("coupled.corvane");
    const std::vector<std::string> topC{"--model", "Chebyshev", "--ripple", "0.1",   "--poles",       "5",
                                        "--type",  "BPF",       "--fmin",   "99",    "--fmax",        "101",
                                        "--unit",  "MHz",       "--form",   "top-c", "--resonator-l", "100n"};
    std::vector<std::string> saving = topC;
    saving.insert(saving.end(), {"--json", "--save-design", path});
    const CliOutcome saved = RunCli(saving);
    ASSERT_EQ(saved.status, 0);
    const CliOutcome reopened = RunCli({"--design", path, "--json"});
    ASSERT_EQ(reopened.status, 0);
    const nlohmann::json a = nlohmann::json::parse(saved.out), b = nlohmann::json::parse(reopened.out);
    EXPECT_EQ(b.at("BandPassForm"), "top-c");
    EXPECT_EQ(b.at("Elements"), a.at("Elements"));
    int resonators = 0;
    for (const auto& e : b.at("Elements"))
        if (e.at("Place") == "Shunt") {
            EXPECT_NEAR(e.at("L").get<double>(), 100e-9, 1e-15);
            ++resonators;
        }
    EXPECT_EQ(resonators, 5);

    // Options typed over the file: another type leaves the form behind, the ladder form the inductance.
    EXPECT_EQ(nlohmann::json::parse(RunCli({"--design", path, "--type", "LPF", "--passband", "100", "--json"}).out)
                  .at("BandPassForm"),
              "ladder");
    const CliOutcome ladder = RunCli({"--design", path, "--form", "ladder", "--json"});
    ASSERT_EQ(ladder.status, 0);
    EXPECT_EQ(nlohmann::json::parse(ladder.out).at("BandPassForm"), "ladder");

    const std::string delayPath = folder.Path("delay.corvane");
    const std::vector<std::string> delay{"--model", "EquirippleDelay", "--poles", "6", "--delay-error",
                                         "0.5",     "--json"};
    saving = delay;
    saving.insert(saving.end(), {"--save-design", delayPath});
    const CliOutcome delaySaved = RunCli(saving);
    ASSERT_EQ(delaySaved.status, 0);
    const nlohmann::json c = nlohmann::json::parse(delaySaved.out);
    const nlohmann::json d = nlohmann::json::parse(RunCli({"--design", delayPath, "--json"}).out);
    EXPECT_EQ(d.at("DelayError"), 0.5);
    EXPECT_EQ(d.at("Elements"), c.at("Elements"));
}

} // namespace

// A design file holds what decided the run: the points as counted, the order and ripple designed
// with even where the command line's defaults chose them.
TEST(DesignArguments, SavedFileRunsAsTheCommandLineDid)
{
    const TempFolder folder;
    const std::string path = folder.Path("saved.corvane");
    const auto runTwice = [&](std::vector<std::string> args) {
        std::vector<std::string> save = args;
        save.insert(save.end(), {"--json", "--save-design", path});
        const CliOutcome typed = RunCli(save);
        EXPECT_EQ(typed.status, 0);
        const bool network = std::find(args.begin(), args.end(), "--network") != args.end();
        const CliOutcome reopened = RunCli(network ? std::vector<std::string>{"--design", path, "--network", "--json"}
                                                   : std::vector<std::string>{"--design", path, "--json"});
        EXPECT_EQ(reopened.status, 0);
        return std::pair{nlohmann::json::parse(typed.out), nlohmann::json::parse(reopened.out)};
    };
    {
        const auto [typed, reopened] = runTwice({"--points", "1k", "--network"});
        EXPECT_EQ(typed.at("NetFreq").size(), 1000u);
        EXPECT_EQ(reopened.at("NetFreq").size(), 1000u);
    }
    const std::vector<std::vector<std::string>> synthesised = {
        {"--rs", "75"},
        {"--model", "Elliptic", "--stop-att", "50"},
        {"--model", "Bessel"},
        {"--model", "Chebyshev", "--rs", "75"},
    };
    for (const std::vector<std::string>& args : synthesised) {
        const auto [typed, reopened] = runTwice(args);
        EXPECT_EQ(typed.at("Order"), reopened.at("Order")) << args[1];
        EXPECT_EQ(typed.at("Ripple"), reopened.at("Ripple")) << args[1];
        EXPECT_EQ(typed.at("Elements"), reopened.at("Elements")) << args[1];
    }
}
