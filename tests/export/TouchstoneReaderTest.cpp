// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "export/TouchstoneReader.h"

using namespace corvane;

namespace {

// One two-port point written three ways. S21 = 0.5 at -30 degrees: RI (0.4330127, -0.25), MA (0.5, -30),
// DB (-6.0205999, -30); S11 = 0.1 at 90 degrees; S12 = 0.25 at 180 degrees; S22 = 1 at 0 degrees.
struct FormatCase {
    const char* name;
    const char* text;
};

const FormatCase kFormats[] = {
    {"RI", "# MHz S RI R 50\n10 0 0.1 0.4330127019 -0.25 -0.25 0 1 0\n"},
    {"MA", "! a comment line\n# mhz s ma r 50 ! and one after the options\n10 0.1 90 0.5 -30 0.25 180 1 0\n"},
    {"DB", "#MHZ S DB R 50\n10 -20 90\n-6.0205999133 -30\n-12.041199827 180 0 0\n"},
};

class TouchstoneFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(TouchstoneFormat, EveryPairFormatGivesTheSameParameters)
{
    const TwoPortData data = ParseTouchstone(GetParam().text, "part.s2p");
    ASSERT_EQ(data.points.size(), 1u);
    const TwoPortPoint& p = data.points[0];
    EXPECT_DOUBLE_EQ(p.frequencyHz, 10e6);
    EXPECT_NEAR(std::abs(p.S11 - std::polar(0.1, M_PI / 2)), 0.0, 1e-9);
    EXPECT_NEAR(std::abs(p.S21 - std::polar(0.5, -M_PI / 6)), 0.0, 1e-9);
    EXPECT_NEAR(std::abs(p.S12 - std::polar(0.25, M_PI)), 0.0, 1e-9);
    EXPECT_NEAR(std::abs(p.S22 - 1.0), 0.0, 1e-9);
    EXPECT_EQ(data.referenceOhms[0], 50.0);
}

INSTANTIATE_TEST_SUITE_P(Formats, TouchstoneFormat, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TouchstoneReader, TheOptionDefaultsAreGigahertzMagnitudeAngleAndFiftyOhm)
{
    const TwoPortData data = ParseTouchstone("1.5 1 0 1 0 1 0 1 0\n", "x.s2p");
    EXPECT_DOUBLE_EQ(data.points[0].frequencyHz, 1.5e9);
    EXPECT_EQ(data.referenceOhms[1], 50.0);
}

TEST(TouchstoneReader, NoiseDataAfterTheNetworkDataIsSkipped)
{
    // Noise rows (five numbers) start again at a frequency no higher than the last network point.
    const TwoPortData data = ParseTouchstone("# GHz S MA R 50\n1 0 0 1 0 1 0 0 0\n2 0 0 1 0 1 0 0 0\n"
                                             "1 0.5 0.6 45 0.3\n2 0.6 0.5 50 0.3\n",
                                             "amp.s2p");
    EXPECT_EQ(data.points.size(), 2u);
}

TEST(TouchstoneReader, VersionTwoKeepsAReferencePerPortAndItsDataOrder)
{
    const char* text = "[Version] 2.0\n# Hz S RI R 50\n[Number of Ports] 2\n[Two-Port Data Order] 12_21\n"
                       "[Number of Frequencies] 2\n[Reference] 75\n50\n[Network Data]\n"
                       "100 0 0 0.2 0 0.7 0 0 0\n200 0 0 0.2 0 0.7 0 0 0\n[Noise Data]\n100 1 2 3 4\n[End]\n";
    const TwoPortData data = ParseTouchstone(text, "any.ts");
    ASSERT_EQ(data.points.size(), 2u);
    EXPECT_EQ(data.referenceOhms[0], 75.0);
    EXPECT_EQ(data.referenceOhms[1], 50.0);
    // 12_21: the second pair is S12, the third S21.
    EXPECT_DOUBLE_EQ(data.points[1].S12.real(), 0.2);
    EXPECT_DOUBLE_EQ(data.points[1].S21.real(), 0.7);
}

struct BadCase {
    const char* name;
    const char* fileName;
    const char* text;
    const char* message; // the whole message the user sees
};

const BadCase kBad[] = {
    {"NotANumber", "f.s2p", "# MHz S MA R 50\n1 0 0 1 O 1 0 0 0\n", "f.s2p, line 2: \"O\" is no number."},
    {"ShortPoint", "f.s2p", "# MHz S MA R 50\n1 0 0 1 0\n2 0 0\n", "f.s2p, line 3: the data ends within a frequency point (9 numbers each)."},
    {"Z", "f.s2p", "# MHz Z RI R 50\n", "f.s2p, line 1: Z-parameters are not read; the file must hold S-parameters."},
    {"OnePort", "f.s1p", "# MHz S MA R 50\n1 0 0\n", "f.s1p, line 1: the file holds 1 port; a two-port file (.s2p) is needed."},
    {"Empty", "f.s2p", "! nothing\n", "f.s2p, line 1: no network data."},
    {"BadReference", "f.s2p", "# MHz S MA R -5\n", "f.s2p, line 1: the reference resistance must be positive."},
    {"CountMismatch", "f.s2p",
     "[Version] 2.0\n# Hz S RI R 50\n[Number of Ports] 2\n[Two-Port Data Order] 21_12\n[Number of Frequencies] 3\n"
     "[Network Data]\n1 0 0 0 0 0 0 0 0\n[End]\n",
     "f.s2p, line 8: [Number of Frequencies] is 3 but the file holds 1."},
    {"Descending", "f.ts",
     "[Version] 2.0\n# Hz S RI R 50\n[Number of Ports] 2\n[Two-Port Data Order] 21_12\n[Network Data]\n"
     "2 0 0 0 0 0 0 0 0\n1 0 0 0 0 0 0 0 0\n",
     "f.ts, line 7: the frequencies must ascend."},
    {"EmptyReference", "f.ts",
     "[Version] 2.0\n# Hz S RI R 50\n[Number of Ports] 2\n[Reference]\n[Network Data]\n1 0 0 0 0 0 0 0 0\n",
     "f.ts, line 4: [Reference] holds 0 of the two ports' reference resistances."},
    {"OneReference", "f.ts",
     "[Version] 2.0\n# Hz S RI R 50\n[Number of Ports] 2\n[Reference] 75\n[Network Data]\n1 0 0 0 0 0 0 0 0\n",
     "f.ts, line 4: [Reference] holds 1 of the two ports' reference resistances."},
    {"Infinite", "f.s2p", "# MHz S MA R 50\n1 0 0 1e999 0 1 0 0 0\n", "f.s2p, line 2: \"1e999\" is no number."},
};

class TouchstoneBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(TouchstoneBad, IsRefusedNamingTheFileAndTheLine)
{
    try {
        ParseTouchstone(GetParam().text, GetParam().fileName);
        FAIL() << "accepted";
    } catch (const TouchstoneError& error) {
        EXPECT_STREQ(error.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, TouchstoneBad, ::testing::ValuesIn(kBad),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
