// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "export/AtomicFile.h"
#include "export/DesignFile.h"
#include "tests/cli/CliHarness.h"
#include "tests/support/SeriesPartFile.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

namespace {

using Args = std::vector<std::string>;

// A 1.6 uH coil with its loss and self-resonance, measured from 1 to 50 MHz.
std::string WriteCoil(const TempFolder& folder, const std::string& name)
{
    const std::vector<double> f = LogFrequencies(1e6, 50e6, 31);
    const std::string path = folder.Path(name);
    WriteFileAtomically(path, SeriesPartFile(f, CoilImpedances(1.6e-6, 0.05, 60, 300e6, f)));
    return path;
}

const Args kLowpass = {"--model", "Chebyshev", "--poles", "5", "--ripple", "0.5", "--passband", "10"};

Args With(Args args, const Args& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

bool ErrorHas(const CliOutcome& run, const std::string& text)
{
    for (const std::string& line : run.errLines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

// The JSON names the part from the file with the file's range; a sweep past the data's top warns
// once, naming the part and the range.
TEST(MeasuredPartsCli, JsonListsThePartFromItsFileAndTheSweepPastItWarnsOnce)
{
    TempFolder folder;
    const std::string coil = WriteCoil(folder, "coil.s2p");
    const CliOutcome run =
        RunCli(With(kLowpass, {"--network", "--points", "201", "--stop", "100", "--part", "L3=" + coil, "--json"}));
    ASSERT_EQ(run.status, 0);
    const nlohmann::json json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["MeasuredParts"].size(), 1u);
    EXPECT_EQ(json["MeasuredParts"][0]["Part"], "L3");
    EXPECT_EQ(json["MeasuredParts"][0]["File"], coil);
    EXPECT_NEAR(json["MeasuredParts"][0]["L"].get<double>(), 1.6e-6, 0.02e-6);
    EXPECT_DOUBLE_EQ(json["MeasuredParts"][0]["HighHz"].get<double>(), 50e6);
    int warnings = 0;
    for (const std::string& line : run.errLines) warnings += line.find("L3 (" + coil + ")") != std::string::npos;
    EXPECT_EQ(warnings, 1);
}

TEST(MeasuredPartsCli, RefusesAPartGivenTwiceAnUnknownOneAndABadFile)
{
    TempFolder folder;
    const std::string coil = WriteCoil(folder, "coil.s2p");
    const std::string broken = folder.Path("broken.s2p");
    WriteFileAtomically(broken, "# MHz S RI R 50\n1 0 0 1 0 1 0 0 0\n2 0 0\n");
    const struct {
        Args args;
        std::string message;
    } cases[] = {
        {{"--part", "L3=" + coil, "--part", "L3=" + coil}, "--part: L3 is given twice"},
        {{"--part", "L9=" + coil}, "no part L9 for " + coil},
        {{"--part", "R1=" + coil}, "no inductor or capacitor designator"},
        {{"--part", "L3"}, "give a part and its file"},
        {{"--part", "L3=" + broken}, broken + ", line 3: "},
    };
    for (const auto& c : cases) {
        const CliOutcome run = RunCli(With(kLowpass, With({"--network"}, c.args)));
        EXPECT_NE(run.status, 0) << c.message;
        EXPECT_TRUE(ErrorHas(run, c.message)) << c.message << "\n" << (run.errLines.empty() ? "" : run.errLines[0]);
    }
}

// The design file keeps the part's file relative to itself, so the two move together.
TEST(MeasuredPartsCli, DesignFileKeepsThePartFileRelativeToItself)
{
    TempFolder folder;
    const std::string coil = WriteCoil(folder, "coil.s2p");
    const std::string design = folder.Path("filter.corvane");
    ASSERT_EQ(RunCli(With(kLowpass, {"--network", "--part", "L3=" + coil, "--save-design", design})).status, 0);
    EXPECT_NE(ReadFile(design).find("\"L3\": \"coil.s2p\""), std::string::npos) << ReadFile(design);
    const CliOutcome reopened = RunCli({"--design", design, "--json"});
    ASSERT_EQ(reopened.status, 0);
    EXPECT_EQ(nlohmann::json::parse(reopened.out)["MeasuredParts"][0]["File"], coil);
}

// A part's own model travels in the design file; one given again on the command line replaces the
// file's for that part alone.
TEST(MeasuredPartsCli, DesignFileKeepsAPartsOwnModel)
{
    TempFolder folder;
    const std::string design = folder.Path("filter.corvane");
    const Args own = {"--network", "--json", "--points", "1001", "--part-model", "L3=Q 40 @ 10, SRF 80", "--part-model", "C2=ESR 0.3"};
    const CliOutcome saved = RunCli(With(kLowpass, With(own, {"--save-design", design})));
    ASSERT_EQ(saved.status, 0);
    const nlohmann::json S21 = nlohmann::json::parse(saved.out)["NetS21"];
    EXPECT_NE(nlohmann::json::parse(RunCli(With(kLowpass, {"--network", "--json"})).out)["NetS21"], S21);
    const CliOutcome reopened = RunCli({"--design", design, "--network", "--json"});
    ASSERT_EQ(reopened.status, 0);
    EXPECT_EQ(nlohmann::json::parse(reopened.out)["NetS21"], S21);
    const CliOutcome replaced = RunCli({"--design", design, "--network", "--json", "--part-model", "L3=Q 40 @ 10, SRF 80, Rdc 1"});
    ASSERT_EQ(replaced.status, 0);
    const nlohmann::json lossier = nlohmann::json::parse(replaced.out)["NetS21"];
    ASSERT_EQ(lossier.size(), S21.size());
    EXPECT_LT(lossier[0].get<double>(), S21[0].get<double>() - 0.05);
}

// The capacitors' ESL given to the kind is the same circuit as each capacitor's own; it cannot
// stand beside their self-resonance, which says the same thing another way.
TEST(MeasuredPartsCli, CapacitorsEslForTheKindEqualsEachOnesOwn)
{
    const Args three = {"--poles", "3", "--passband", "10", "--network", "--json"};
    const CliOutcome kind = RunCli(With(three, {"--esl-c", "2n"}));
    const CliOutcome own = RunCli(With(three, {"--part-model", "C2=ESL 2n"}));
    ASSERT_EQ(kind.status, 0);
    const nlohmann::json S21 = nlohmann::json::parse(kind.out)["NetS21"];
    EXPECT_EQ(S21, nlohmann::json::parse(own.out)["NetS21"]);
    EXPECT_NE(S21, nlohmann::json::parse(RunCli(three).out)["NetS21"]);
    const CliOutcome both = RunCli(With(three, {"--esl-c", "2n", "--srf-c", "90"}));
    EXPECT_NE(both.status, 0);
    EXPECT_TRUE(ErrorHas(both, "--esl-c: give the capacitors' ESL or their SRF (--srf-c), not both."));
}

} // namespace
