// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "filtermath/EngineeringText.h"

using namespace corvane;

namespace {

struct EngineeringCase {
    double value;
    const char* unit;
    bool trimZeros;
    const char* text;
};

// Element values of a 3-pole 1 MHz Butterworth low-pass at 50 Ω (796 nH, 637 pF) and the
// edges where rounding carries the value into the next prefix.
TEST(EngineeringText, ThreeDigitsAndThePrefixOfTheRoundedValue)
{
    const EngineeringCase cases[] = {
        {7.957747154594767e-6, "H", false, "7.96 \u00b5H"},
        {7.957747154594767e-7, "H", false, "796 nH"},
        {6.366197723675814e-10, "F", false, "637 pF"},
        {3.183098861837907e-9, "F", false, "3.18 nF"},
        {1200.0, "\u03a9", false, "1.20 k\u03a9"},
        {1200.0, "\u03a9", true, "1.2 k\u03a9"},
        {50.0, "\u03a9", false, "50.0 \u03a9"},
        {50.0, "\u03a9", true, "50 \u03a9"},
        {999.6e-9, "H", false, "1.00 \u00b5H"},
        {999.4e-9, "H", false, "999 nH"},
        {9.996, "Hz", false, "10.0 Hz"},
        {99.96e6, "Hz", false, "100 MHz"},
        {0.9996e-3, "s", false, "1.00 ms"},
        {0.001, "", false, "1.00 m"},
        {12.0, "", false, "12.0"},
        {0.0, "H", false, "0 H"},
        {-0.0, "F", true, "0 F"},
        {-7.957747154594767e-7, "H", false, "-796 nH"},
        {-999.6e-9, "H", true, "-1 \u00b5H"},
        {1.0e-24, "F", false, "1.00 yF"},
        {999e24, "Hz", false, "999 YHz"},
        {1.0e-30, "F", false, "1.00e-30 F"},
        {1.5e30, "H", true, "1.5e+30 H"},
        {4.9406564584124654e-324, "F", false, "4.94e-324 F"},
        {1.7976931348623157e308, "F", false, "1.80e+308 F"},
    };
    for (const EngineeringCase& c : cases) EXPECT_EQ(EngineeringText(c.value, c.unit, c.trimZeros), c.text) << c.value;
}

// The prefix follows the digits shown: a box that shows six digits turns to the next prefix only
// where those digits round up to 1000.
TEST(SiPrefix, IsChosenAfterRoundingToTheDigitsShown)
{
    struct Case {
        double value;
        int digits;
        const char* symbol;
        int exponent;
    };
    const Case cases[] = {
        {999.6e-9, 3, "\u00b5", -6},    {999.4e-9, 3, "n", -9},    {999.5e-9, 3, "n", -9}, // stored as 999.4999...e-9
        {999.9996e-9, 6, "\u00b5", -6}, {999.9994e-9, 6, "n", -9}, {1.0, 6, "", 0},        {-47e3, 3, "k", 3},
        {0.99996e-3, 4, "m", -3},       {1e-25, 3, nullptr, 0},    {0.0, 3, nullptr, 0},   {NAN, 3, nullptr, 0},
    };
    for (const Case& c : cases) {
        const SiPrefix prefix = PrefixOf(c.value, c.digits);
        EXPECT_EQ(prefix.exponent, c.exponent) << c.value << " to " << c.digits;
        EXPECT_EQ(prefix.symbol ? std::string(prefix.symbol) : "none", c.symbol ? c.symbol : "none") << c.value;
    }
}

TEST(EngineeringText, NoNaNOrInfinityEverReadsAsANumber)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double value : {nan, inf, -inf}) EXPECT_EQ(EngineeringText(value, "H"), kNoValueText);
}

struct TypedCase {
    const char* text;
    const char* unit;
    bool reads;
    double value;
    bool absolute;
};

// Each prefixed text against the same value written with an exponent, which C++ rounds once.
TEST(ReadEngineeringText, PrefixesAndUnitsAsAnEngineerTypesThem)
{
    const TypedCase cases[] = {
        {"100n", "F", true, 100e-9, true},
        {"4.7p", "F", true, 4.7e-12, true},
        {"4.7pF", "F", true, 4.7e-12, true},
        {" 4.7 pF ", "F", true, 4.7e-12, true},
        {"1.5k", "\u03a9", true, 1.5e3, true},
        {"1.5 k\u03a9", "\u03a9", true, 1.5e3, true},
        {"1.5 k\u2126", "\u03a9", true, 1.5e3, true},
        {"1.5kohm", "\u03a9", true, 1.5e3, true},
        {"2.4G", "Hz", true, 2.4e9, true},
        {"2.4GHz", "Hz", true, 2.4e9, true},
        {"10 Hz", "Hz", true, 10.0, true},
        {"3T", "Hz", true, 3e12, true},
        {"1M", "", true, 1e6, true},
        {"1m", "", true, 1e-3, true},
        {"22u", "H", true, 22e-6, true},
        {"22\u00b5H", "H", true, 22e-6, true},
        {"22\u03bcH", "H", true, 22e-6, true},
        {"7f", "F", true, 7e-15, true},
        {"1.5e3k", "", true, 1.5e6, true},
        {"1e-3M", "", true, 1e3, true},
        {"-2.5m", "dB", true, -2.5e-3, true},
        {"0.5 dB", "dB", true, 0.5, true},
        {"5%", "%", true, 5.0, true},
        {"10", "Hz", true, 10.0, false},
        {"1e3", "", true, 1e3, false},
        {".5", "", true, 0.5, false},
        {"1e308k", "", false, 0, false},
        {"1e-400k", "", true, 0.0, true},
        {"2.4g", "Hz", false, 0, false},
        {"2.4 GHZ", "Hz", false, 0, false},
        {"10 MHz", "\u03a9", false, 0, false},
        {"1.5 k \u03a9", "\u03a9", false, 0, false},
        {"1kk", "", false, 0, false},
        {"k", "", false, 0, false},
        {"1e", "", false, 0, false},
        {"1E", "", false, 0, false},
        {"0x10", "", false, 0, false},
        {"nan", "", false, 0, false},
        {"inf", "", false, 0, false},
        {"", "", false, 0, false},
        {"1,5k", "", false, 0, false},
        {"5", "", true, 5.0, false},
    };
    for (const TypedCase& c : cases) {
        TypedValue typed;
        ASSERT_EQ(ReadEngineeringText(c.text, c.unit, typed), c.reads) << c.text;
        if (!c.reads) continue;
        EXPECT_EQ(typed.value, c.value) << c.text;
        EXPECT_EQ(typed.absolute, c.absolute) << c.text;
    }
}

// What the element list shows reads back as the value it shows.
TEST(ReadEngineeringText, ReadsWhatEngineeringTextWrites)
{
    const struct {
        double value;
        const char* unit;
    } cases[] = {{7.957747154594767e-7, "H"},
                 {6.366197723675814e-10, "F"},
                 {1200.0, "\u03a9"},
                 {2.2e-15, "F"},
                 {4.5e12, "Hz"},
                 {-3.3e-3, "H"}};
    for (const auto& c : cases) {
        const std::string shown = EngineeringText(c.value, c.unit);
        TypedValue typed;
        ASSERT_TRUE(ReadEngineeringText(shown, c.unit, typed)) << shown;
        EXPECT_NEAR(typed.value, c.value, std::fabs(c.value) * 5e-3) << shown;
    }
}

} // namespace
