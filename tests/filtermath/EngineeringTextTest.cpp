// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "filtermath/EngineeringText.h"

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

TEST(EngineeringText, NoNaNOrInfinityEverReadsAsANumber)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double value : {nan, inf, -inf}) EXPECT_EQ(EngineeringText(value, "H"), kNoValueText);
}

} // namespace
