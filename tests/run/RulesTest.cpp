// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "filtermath/Failure.h"
#include "run/Rules.h"

using namespace corvane;

namespace {

TEST(Rules, UnitScaleByItemIndex)
{
    struct Case {
        int index;
        bool known;
        double scale;
    };
    const Case cases[] = {{0, true, 1.0}, {1, true, 1000.0}, {2, true, 1e6},
                          {3, true, 1e9}, {-1, false, 7.0},  {4, false, 7.0}};
    for (const Case& c : cases) {
        double scale = 7.0;
        EXPECT_EQ(UnitScaleForIndex(c.index, scale), c.known) << c.index;
        EXPECT_EQ(scale, c.scale) << c.index;
    }
}

TEST(Rules, LabelAndTitleTexts)
{
    EXPECT_EQ(UnitLabelText("MHz"), "(MHz)");
    EXPECT_EQ(UnitLabelText("kHz"), "(kHz)");
    EXPECT_EQ(ChartTitle("Butterworth", "LPF"), "Butterworth  LPF");
    EXPECT_EQ(ChartTitle("Chebyshev", "BPF"), "Chebyshev  BPF");
    EXPECT_EQ(GridRowLabel(1), "G1");
    EXPECT_EQ(GridRowLabel(12), "G12");
    EXPECT_STREQ(kGridHeader[0], "Poles");
    EXPECT_STREQ(kGridHeader[1], "C, [F]");
    EXPECT_STREQ(kGridHeader[2], "L, [H]");
}

TEST(Rules, RipplePresetByModel)
{
    struct Case {
        int model;
        bool enabled;
        std::string text;
    };
    const Case cases[] = {{0, false, "0"}, {1, true, "0.5"}, {-1, true, "0.5"}};
    for (const Case& c : cases) {
        const RipplePreset preset = RipplePresetFor(c.model);
        EXPECT_EQ(preset.enabled, c.enabled) << c.model;
        EXPECT_EQ(preset.text, c.text) << c.model;
    }
}

TEST(Rules, BandEdgesOnlyForBandPass)
{
    const std::pair<int, bool> cases[] = {{-1, false}, {0, false}, {1, false}, {2, true}, {3, false}};
    for (const auto& [type, enabled] : cases) EXPECT_EQ(BandEdgesEnabledFor(type), enabled) << type;
}

TEST(Rules, FieldLengthLimits)
{
    const std::pair<Field, int> cases[] = {{Field::N, 2},    {Field::Ripple, 5}, {Field::PassF, 5},  {Field::Fmin, 5},
                                           {Field::Fmax, 5}, {Field::R, 5},      {Field::FStart, 0}, {Field::Stop, 0}};
    for (const auto& [field, limit] : cases) EXPECT_EQ(FieldMaxLength(field), limit) << static_cast<int>(field);
}

TEST(Rules, FloorOnlyBelowMinus120)
{
    struct Case {
        double deepest;
        bool floor;
    };
    const Case cases[] = {{-60.0, false}, {-120.0, false}, {-120.000001, true}, {-21780.0, true}, {0.0, false}};
    for (const Case& c : cases) {
        Sweep att{};
        att.fill(-1.0);
        att[37] = c.deepest;
        EXPECT_EQ(AttenuationNeedsFloor(att), c.floor) << c.deepest;
    }
}

TEST(Rules, S11WorkedValues)
{
    struct Case {
        double att;
        double s11;
        double tolerance;
    };
    // 1 + 1e-14 in the 64-bit significand carries 1e-14 to about five digits: "about -140 dB".
    const Case cases[] = {{0.0, -140.0, 5e-5},       {-0.5, -9.6357, 5e-5},  {-3.0103, -3.0103, 5e-5},
                          {-10.0, -0.4576, 5e-5},    {-20.0, -0.0436, 5e-5}, {-60.0, -0.0000043, 1e-7},
                          {-21780.0, 4.3e-14, 1e-15}};
    Sweep att{};
    for (size_t i = 0; i < std::size(cases); ++i) att[i] = cases[i].att;
    Sweep s11{};
    ComputeS11(att, s11);
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_NEAR(s11[i], cases[i].s11, cases[i].tolerance) << cases[i].att;
    EXPECT_NEAR(s11[99], -140.0, 5e-5); // untouched entries are 0 dB
}

TEST(Rules, S11FaultsAboveZeroDecibels)
{
    struct Case {
        double att;
        const char* text;
    };
    const Case cases[] = {{1e-3, kInvalidOperationText},
                          {0.5, kInvalidOperationText},
                          {1e6, kOverflowText},
                          {std::numeric_limits<double>::max(), kOverflowText}};
    for (const Case& c : cases) {
        Sweep att{};
        att[5] = c.att;
        Sweep s11{};
        s11.fill(3.0);
        try {
            ComputeS11(att, s11);
            ADD_FAILURE() << "no fault for " << c.att;
        } catch (const ArithmeticError& error) {
            EXPECT_STREQ(error.what(), c.text) << c.att;
        }
        // The points before the fault are written, the ones after it are not.
        EXPECT_NEAR(s11[4], -140.0, 5e-5);
        EXPECT_EQ(s11[6], 3.0);
    }
}

} // namespace
