// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Designs.h"
#include "tests/support/TempFolder.h"
#include "filtermath/Failure.h"
#include "export/AtomicFile.h"
#include "export/ExportError.h"
#include "export/ExportSweep.h"
#include "export/ModelsNote.h"
#include "export/Touchstone.h"

using namespace corvane;

namespace {

// A small reader for version 1 and 2.0 two-port files: "!" comments (whole or trailing), one
// option line, "[Keyword] value" lines, then nine numbers per frequency, possibly spread over
// several lines.
struct TouchstoneRow {
    double f;
    double s[8]; // S11, S21, S12, S22 as (dB, degrees)
};

struct TouchstoneFile {
    std::string unit, parameter, format;
    double R = 0;
    int optionLines = 0;
    std::vector<std::string> comments;
    std::vector<std::string> keywords; // in file order, "[Version] 2.0" and so on
    std::vector<TouchstoneRow> rows;
};

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TouchstoneFile ParseTouchstone(const std::string& text)
{
    TouchstoneFile file;
    std::istringstream lines(text);
    std::string line;
    std::vector<double> numbers;
    while (std::getline(lines, line)) {
        const size_t bang = line.find('!');
        if (bang != std::string::npos) {
            file.comments.push_back(line.substr(bang + 1));
            line.erase(bang);
        }
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        if (word[0] == '[') {
            while (!line.empty() && line.back() == ' ') line.pop_back();
            file.keywords.push_back(line);
            continue;
        }
        if (word == "#") {
            ++file.optionLines;
            std::string r;
            words >> file.unit >> file.parameter >> file.format >> r >> file.R;
            EXPECT_EQ(Upper(r), "R");
            continue;
        }
        EXPECT_EQ(file.optionLines, 1) << "data before the option line: " << line;
        numbers.push_back(std::stod(word));
        double value;
        while (words >> value) numbers.push_back(value);
        EXPECT_TRUE(words.eof()) << "not a number in: " << line;
    }
    EXPECT_EQ(numbers.size() % 9, 0u);
    for (size_t i = 0; i + 9 <= numbers.size(); i += 9) {
        TouchstoneRow row{};
        row.f = numbers[i];
        std::copy(numbers.begin() + static_cast<long>(i) + 1, numbers.begin() + static_cast<long>(i) + 9, row.s);
        file.rows.push_back(row);
    }
    return file;
}

struct RoundTripCase {
    const char* name;
    Design design;
    Sweep Freq;
    PartQuality quality;
    const char* unit;
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.name;
}

class TouchstoneRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(TouchstoneRoundTrip, ReadsBackTheAnalysedNetwork)
{
    const RoundTripCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.Path("filter.s2p");
    const LadderModel ladder = DesignModel(c.design);
    WriteTouchstone(path, ladder, List(c.Freq), c.design.UnitScale, c.quality, {"Corvane " + DesignName(c.design)});

    const TouchstoneFile file = ParseTouchstone(ReadFile(path));
    EXPECT_EQ(file.optionLines, 1);
    EXPECT_EQ(Upper(file.unit), Upper(c.unit));
    EXPECT_EQ(file.parameter, "S");
    EXPECT_EQ(file.format, "DB");
    EXPECT_EQ(file.R, ladder.RS);
    if (ladder.RS == ladder.RL) {
        EXPECT_TRUE(file.keywords.empty());
    } else {
        const std::vector<std::string> keywords{"[Version] 2.0",
                                                "[Number of Ports] 2",
                                                "[Two-Port Data Order] 12_21",
                                                "[Number of Frequencies] " + std::to_string(file.rows.size()),
                                                "[Reference] " + NumberText(ladder.RS) + " " + NumberText(ladder.RL),
                                                "[Network Data]",
                                                "[End]"};
        EXPECT_EQ(file.keywords, keywords);
        // The version line comes first after the comments, before the option line.
        const std::string text = ReadFile(path);
        EXPECT_LT(text.find("[Version]"), text.find("\n# "));
    }
    ASSERT_EQ(file.comments.size(), 3u);
    EXPECT_NE(file.comments[0].find(DesignName(c.design)), std::string::npos);
    EXPECT_EQ(file.comments[1], std::string(" ") + ModelsNote(ladder, c.quality));
    EXPECT_EQ(file.comments[2], std::string(" ") + kTouchstonePointsNote);

    const std::vector<double> expected = ExportFrequencies(List(c.Freq));
    ASSERT_EQ(file.rows.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TouchstoneRow& row = file.rows[i];
        if (i > 0) {
            EXPECT_GT(row.f, file.rows[i - 1].f);
        }
        EXPECT_NEAR(row.f, expected[i], 1e-14 * expected[i]);
        const NetworkPoint p = AnalyseAt(LadderOfModel(ladder), row.f * c.design.UnitScale, c.quality);
        const double want[8] = {p.S11dB, p.S11Deg, p.S21dB, p.S21Deg, p.S21dB, p.S21Deg, p.S22dB, p.S22Deg};
        for (int k = 0; k < 8; ++k)
            EXPECT_NEAR(row.s[k], want[k], 1e-9 * std::max(1.0, std::fabs(want[k]))) << "row " << i << " " << k;
        // Passive network: no more power out than in, all of it for ideal parts.
        const double power = std::pow(10.0, row.s[0] / 10) + std::pow(10.0, row.s[2] / 10);
        if (c.quality.QL == 0 && c.quality.QC == 0)
            EXPECT_NEAR(power, 1.0, 1e-9) << "row " << i;
        else
            EXPECT_LT(power, 1.0) << "row " << i;
    }
}

Sweep Mixed()
{
    // Descending, through zero (held as 1e-10 by the sweep) into negative frequencies.
    Sweep Freq = LinearSweep(30.0, -19.5);
    for (double& f : Freq) {
        if (f == 0.0) f = 1e-10;
    }
    return Freq;
}

Sweep Repeated()
{
    Sweep Freq{};
    Freq.fill(12.5);
    return Freq;
}

INSTANTIATE_TEST_SUITE_P(
    Designs, TouchstoneRoundTrip,
    ::testing::Values(
        RoundTripCase{
            "ButterworthLowPassMHz", {0, LadderTopology::T, 5, 0, 10, 0, 0, 50, 1e6}, LinearSweep(1, 100), {}, "MHz"},
        RoundTripCase{
            "ChebyshevHighPassGHz", {4, LadderTopology::Pi, 4, 0.5, 2.4, 0, 0, 75, 1e9}, LogSweep(0.1, 10), {}, "GHz"},
        RoundTripCase{"BandPassHzLossy",
                      {2, LadderTopology::T, 3, 0, 0, 900, 1100, 600, 1.0},
                      LinearSweep(500, 1500),
                      {80, 400},
                      "Hz"},
        RoundTripCase{"MixedSweepKHz", {3, LadderTopology::T, 3, 1.0, 10, 0, 0, 50, 1e3}, Mixed(), {}, "kHz"},
        RoundTripCase{"RepeatedPoint", {1, LadderTopology::T, 2, 0, 10, 0, 0, 50, 1e6}, Repeated(), {}, "MHz"}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

TEST(Touchstone, UnequalTerminationsReferEachPortToItsOwnResistance)
{
    // The 4-pole 0.5 dB low-pass between 50 and 99.2 ohm: near DC the ladder is a wire, so the
    // file must show the mismatch of 50 against 99.2 ohm, which is the ripple itself, and the
    // same reflection at both ports. (The prototype's table divisor 17.37 puts the mismatch
    // 5e-5 dB off the exact ripple.)
    const LadderModel ladder = DesignModel({3, LadderTopology::T, 4, 0.5, 10, 0, 0, 50, 1e6});
    ASSERT_NEAR(ladder.RL, 99.2063, 1e-4);
    const TouchstoneFile file = ParseTouchstone(TouchstoneText(ladder, {1e-4, 5.0}, 1e6, {}, {}));
    ASSERT_EQ(file.rows.size(), 2u);
    const double gamma = (ladder.RL - ladder.RS) / (ladder.RL + ladder.RS);
    EXPECT_NEAR(file.rows[0].s[2], -0.5, 1e-4);
    EXPECT_NEAR(file.rows[0].s[0], 20.0 * std::log10(gamma), 1e-6);
    EXPECT_NEAR(file.rows[0].s[6], 20.0 * std::log10(gamma), 1e-6);
    // A lossless two-port reflects equally at both ports at every frequency.
    EXPECT_NEAR(file.rows[1].s[0], file.rows[1].s[6], 1e-9);
}

TEST(Touchstone, ExportsThePositivePointsAscendingAndOnce)
{
    const std::vector<double> f = ExportFrequencies(List(Mixed()));
    ASSERT_EQ(f.size(), 61u); // 30 down to 0.5 in steps of 0.5, and 1e-10 for the zero
    EXPECT_EQ(f.front(), 1e-10);
    EXPECT_EQ(f[1], 0.5);
    EXPECT_EQ(f.back(), 30.0);
    EXPECT_EQ(ExportFrequencies(List(Repeated())), std::vector<double>{12.5});
}

TEST(Touchstone, UnitsFollowTheScale)
{
    EXPECT_EQ(TouchstoneUnit(1.0), "Hz");
    EXPECT_EQ(TouchstoneUnit(1e3), "kHz");
    EXPECT_EQ(TouchstoneUnit(1e6), "MHz");
    EXPECT_EQ(TouchstoneUnit(1e9), "GHz");
    EXPECT_THROW(TouchstoneUnit(2.5), ExportError);
    EXPECT_THROW(TouchstoneUnit(0.0), ExportError);
}

TEST(Touchstone, CommentsStayOnTheirLines)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 1, 0, 10, 0, 0, 50, 1e6});
    const std::string text = TouchstoneText(ladder, {1.0}, 1e6, {}, {"first\nsecond", "third"});
    EXPECT_EQ(text.substr(0, text.find("# ")), std::string("! first second\n! third\n! ") + ModelsNote(ladder, {}) +
                                                   "\n! " + kTouchstonePointsNote + "\n");
    EXPECT_EQ(ParseTouchstone(text).rows.size(), 1u);
}

TEST(Touchstone, SweepWithoutPositivePointsWritesNoFile)
{
    TempFolder folder;
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
    try {
        WriteTouchstone(folder.Path("x.s2p"), ladder, List(LinearSweep(-100, -1)), 1e6, {}, {});
        FAIL() << "negative sweep exported";
    } catch (const ExportError& e) {
        EXPECT_STREQ(e.what(), kNoPositiveFrequencyText);
    }
    EXPECT_TRUE(folder.Names().empty());
}

TEST(Touchstone, AnalysisFaultWritesNoFile)
{
    // A zero capacitor in series divides by zero: the error leaves the old file in place.
    TempFolder folder;
    const std::string path = folder.Path("x.s2p");
    WriteFileAtomically(path, "old\n");
    const LadderModel broken{50.0, 50.0, {MakeBranch(1, BranchPlace::Series, BranchKind::Capacitor, 0, 0)}, {}, {}, {}};
    EXPECT_THROW(WriteTouchstone(path, broken, List(LinearSweep(1, 100)), 1e6, {}, {}), ArithmeticError);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"x.s2p"});
    EXPECT_EQ(ReadFile(path), "old\n");
}

} // namespace
