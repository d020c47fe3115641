// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/InputRules.h"
#include "rules/BuildSettings.h"

using namespace corvane;

namespace {

// A 7-pole low-pass at 30 MHz, typed in MHz.
BuildContext LowPass30()
{
    return {1e6, {BandShape::LowPass, 0.0, 30e6}, 50.0};
}

std::string Refusal(const BuildTexts& texts, const BuildNames& names)
{
    try {
        ReadBuild(texts, names, LowPass30());
    } catch (const InputError& refusal) {
        return refusal.what();
    }
    return {};
}

struct Case {
    const char* what;
    void (*set)(BuildTexts&);
    const char* cliName; // the start of the command line's refusal; nullptr: accepted
    const char* workbenchName;
};

const Case kCases[] = {
    {"growing Q", [](BuildTexts& t) { t.inductorQ = "80 @ 100 MHz"; }, nullptr, nullptr},
    {"negative Q", [](BuildTexts& t) { t.capacitorQ = "-3"; }, "--q-c", "Q of capacitors"},
    {"SRF with its unit", [](BuildTexts& t) { t.models.srfL = "1.2G"; }, nullptr, nullptr},
    {"SRF not a number", [](BuildTexts& t) { t.models.srfC = "fast"; }, "--srf-c", "SRF of capacitors"},
    {"ESL beside SRF",
     [](BuildTexts& t) {
         t.models.eslC = "0.4n";
         t.models.srfC = "2G";
     },
     "--esl-c", "ESL of capacitors"},
    {"node stray at a node", [](BuildTexts& t) { t.models.nodeC = "1.5p, n3 4p"; }, nullptr, nullptr},
    {"negative lead", [](BuildTexts& t) { t.models.leadL = "-1n"; }, "--lead-l", "Lead L of each part"},
    {"own model", [](BuildTexts& t) { t.models.ownModels["L2"] = "Q 80, SRF 1.2 GHz"; }, nullptr, nullptr},
    {"own model of no part", [](BuildTexts& t) { t.models.ownModels["X2"] = "Q 80"; }, "--part-model", "Model of"},
    {"load typed", [](BuildTexts& t) { t.load = "value", t.loadValue = "0"; }, "--load", "Load"},
    {"points 1k", [](BuildTexts& t) { t.points = "1k"; }, nullptr, nullptr},
    {"points too few", [](BuildTexts& t) { t.points = "100"; }, "--points", "Points"},
    {"descending sweep",
     [](BuildTexts& t) {
         t.points = "201";
         t.sweepStart = "50";
         t.sweepStop = "10";
     },
     "--start", "Sweep start"},
    {"logarithmic from DC",
     [](BuildTexts& t) {
         t.logarithmic = true;
         t.sweepStart = "0";
     },
     "--start", "Sweep start"},
    {"power in watts", [](BuildTexts& t) { t.stress.power = "10 W"; }, nullptr, nullptr},
    {"VSWR below 1",
     [](BuildTexts& t) {
         t.stress.power = "30";
         t.stress.vswr = "0.5";
     },
     "--vswr", "Load VSWR"},
    {"rating not a number",
     [](BuildTexts& t) {
         t.stress.power = "30";
         t.stress.capacitorRating = "high";
     },
     "--rating-c", "Voltage rating of capacitors"},
};

} // namespace

// Each front end names the setting as its user knows it, and refuses or takes the same texts.
TEST(BuildSettings, EveryFrontEndGivesTheSameVerdict)
{
    for (const Case& c : kCases) {
        BuildTexts texts;
        c.set(texts);
        const std::string cli = Refusal(texts, kCommandLineNames);
        const std::string workbench = Refusal(texts, kWorkbenchNames);
        if (!c.cliName) {
            EXPECT_EQ(cli, "") << c.what;
            EXPECT_EQ(workbench, "") << c.what;
            continue;
        }
        EXPECT_EQ(cli.rfind(c.cliName, 0), 0u) << c.what << ": " << cli;
        EXPECT_EQ(workbench.rfind(c.workbenchName, 0), 0u) << c.what << ": " << workbench;
    }
}

// What a design file keeps reads back as what was typed, and gives the same request.
TEST(BuildSettings, FileKeepsWhatReadsBack)
{
    for (const Case& c : kCases) {
        if (c.cliName) continue;
        BuildTexts typed;
        c.set(typed);
        ExactResponseSettings file;
        KeepBuildTexts(typed, file);
        const BuildTexts reopened = BuildTextsOfFile(file);
        const BuildRequest before = ReadBuild(typed, kCommandLineNames, LowPass30());
        const BuildRequest after = ReadBuild(reopened, kCommandLineNames, LowPass30());
        EXPECT_EQ(before.analysis.quality.QL, after.analysis.quality.QL) << c.what;
        EXPECT_EQ(before.analysis.ownModels, after.analysis.ownModels) << c.what;
        EXPECT_EQ(before.analysis.inductorModel.has_value(), after.analysis.inductorModel.has_value()) << c.what;
        EXPECT_EQ(before.stress.has_value(), after.stress.has_value()) << c.what;
        if (before.plan) {
            ASSERT_TRUE(after.plan) << c.what;
            EXPECT_EQ(before.plan->points, after.plan->points) << c.what;
        }
    }
}

// "1k" points is a thousand in the run and in the file; the file never holds a count the reader refuses.
TEST(BuildSettings, PointsWrittenWithAPrefixAreSavedAsTheirCount)
{
    BuildTexts typed;
    typed.points = "1k";
    ExactResponseSettings file;
    KeepBuildTexts(typed, file);
    EXPECT_EQ(file.points, 1000);
    typed.points = "12";
    KeepBuildTexts(typed, file);
    EXPECT_EQ(file.points, 1000);
}

// Empty start and stop follow the design's band, the same for every front end: from a tenth of a
// low-pass edge to three times it, a band-pass's band with twice its width on each side.
TEST(BuildSettings, EmptySweepFollowsTheBand)
{
    BuildTexts texts;
    texts.points = "201";
    const BuildRequest lowPass = ReadBuild(texts, kWorkbenchNames, LowPass30());
    ASSERT_TRUE(lowPass.plan);
    EXPECT_DOUBLE_EQ(lowPass.plan->start, 3.0);
    EXPECT_DOUBLE_EQ(lowPass.plan->stop, 90.0);
    const BuildRequest bandPass =
        ReadBuild(texts, kWorkbenchNames, {1e6, {BandShape::BandPass, 99.5e6, 100.5e6}, 50.0});
    EXPECT_DOUBLE_EQ(bandPass.plan->start, 97.5);
    EXPECT_DOUBLE_EQ(bandPass.plan->stop, 102.5);
    texts.points.clear();
    EXPECT_FALSE(ReadBuild(texts, kCommandLineNames, LowPass30()).plan) << "the front end's own sweep";
    BuildContext workbench = LowPass30();
    workbench.ownPoints = 1001;
    EXPECT_EQ(ReadBuild(texts, kWorkbenchNames, workbench).plan->points, 1001);
}

// A growing Q's frequency and a self-resonance without a unit are in the design's unit.
TEST(BuildSettings, BareFrequenciesAreInTheDesignsUnit)
{
    BuildTexts texts;
    texts.models.srfL = "1200";
    texts.inductorQ = "80 @ 100";
    const BuildRequest request = ReadBuild(texts, kCommandLineNames, LowPass30());
    ASSERT_TRUE(request.analysis.inductorModel);
    EXPECT_DOUBLE_EQ(request.analysis.inductorModel->srfHz, 1.2e9);
    EXPECT_DOUBLE_EQ(request.analysis.inductorModel->QHz, 100e6);
}
