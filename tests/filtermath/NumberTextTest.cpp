// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"

using namespace corvane;

namespace {

struct RealCase {
    const char* text;
    double value;
};

TEST(StrToFloat, AcceptsSignDigitsPointExponentAndBlanks)
{
    const RealCase cases[] = {
        {"1", 1},
        {"-2.5", -2.5},
        {"+3", 3},
        {" 4 ", 4},
        {"\t5\t", 5},
        {"  -6.25e1  ", -62.5},
        {"1e3", 1000},
        {"1E-3", 0.001},
        {"1.5e+2", 150},
        {"12.5e-1", 1.25},
        {"1.", 1},
        {".5", 0.5},
        {"-.5", -0.5},
        {"1.e2", 100},
        {"007", 7},
        {"0", 0},
        {"0.0", 0},
        {"10", 10},
        {"0.1", 0.1},
        {"1e-400", 0},
        {"0.001e-330", 0},
        {"-1e-99999999999999999999999", -0.0},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"0.000001e314", 1e308},
        {"4.9406564584124654e-324", 4.9406564584124654e-324},
    };
    for (const RealCase& c : cases) {
        double value = -1;
        EXPECT_NO_THROW(value = StrToFloat(c.text)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    EXPECT_TRUE(std::signbit(StrToFloat("-0")));
}

TEST(StrToFloat, RefusesAnythingElseWithTheOriginalText)
{
    const char* const texts[] = {
        "",
        " ",
        "abc",
        "0x10",
        "0X1p3",
        "inf",
        "-inf",
        "infinity",
        "nan",
        "NaN",
        "1e400",
        "-1e400",
        "1,5",
        ".",
        "-",
        "+",
        "e5",
        "1e",
        "1e+",
        "1 2",
        "1.2.3",
        "--1",
        "+-1",
        "1e5.5",
        " 1 x",
        "1\n",
        "1d5",
        "$10",
        "1.7976931348623159e308",
        "10000000000e300",
        "\v1",
        "1e 5",
    };
    for (const char* text : texts) {
        try {
            StrToFloat(text);
            ADD_FAILURE() << "'" << text << "' was accepted";
        } catch (const ConvertError& error) {
            EXPECT_EQ(std::string(error.what()), "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
}

struct IntCase {
    const char* text;
    int value;
};

TEST(StrToInt, AcceptsLeadingBlanksSignAndDigits)
{
    const IntCase cases[] = {
        {"3", 3},
        {" 3", 3},
        {"\t-7", -7},
        {"+12", 12},
        {"007", 7},
        {"00", 0},
        {"-0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0000000000002147483647", 2147483647},
    };
    for (const IntCase& c : cases) {
        int value = -1;
        EXPECT_NO_THROW(value = StrToInt(c.text)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(StrToInt, RefusesAnythingElseWithTheOriginalText)
{
    const char* const texts[] = {
        "",  " ", "3 ",  "1.5", "0x10", "$10", "2147483648", "-2147483649", "99999999999999999999",
        "-", "+", "1e3", "a",   "- 1",  "1-",  "١",
    };
    for (const char* text : texts) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "'" << text << "' was accepted";
        } catch (const ConvertError& error) {
            EXPECT_EQ(std::string(error.what()), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

struct FormatCase {
    double value;
    const char* text;
};

TEST(FormatSci2, OneDigitTwoDecimalsSignedExponent)
{
    const FormatCase cases[] = {
        {1.5915e-7, "1.59e-07"},   {50, "5.00e+01"},     {0, "0.00e+00"},           {-0.0, "0.00e+00"},
        {-1.5915e-7, "-1.59e-07"}, {9.999, "1.00e+01"},  {-9.999e-10, "-1.00e-09"}, {7.9577e-07, "7.96e-07"},
        {6.3662e-10, "6.37e-10"},  {1e100, "1.00e+100"}, {1e-300, "1.00e-300"},     {0.996, "9.96e-01"},
        {123456, "1.23e+05"},
    };
    for (const FormatCase& c : cases) EXPECT_EQ(FormatSci2(c.value), c.text) << c.value;
}

TEST(FormatSci3, OneDigitThreeDecimalsSignedExponent)
{
    const FormatCase cases[] = {
        {1500, "1.500e+03"}, {2000, "2.000e+03"},   {9999.9, "1.000e+04"}, {-1500, "-1.500e+03"},
        {1e9, "1.000e+09"},  {1000.4, "1.000e+03"}, {0, "0.000e+00"},
    };
    for (const FormatCase& c : cases) EXPECT_EQ(FormatSci3(c.value), c.text) << c.value;
}

TEST(FormatFixed3, ThreeDecimalsWithoutThousandsSeparator)
{
    const FormatCase cases[] = {
        {1, "1.000"},           {0.25, "0.250"},    {1000, "1000.000"},
        {-1, "-1.000"},         {0, "0.000"},       {-0.0, "0.000"},
        {999.9996, "1000.000"}, {-0.0001, "0.000"}, {123456.789, "123456.789"},
        {0.0014, "0.001"},      {-2.5, "-2.500"},
    };
    for (const FormatCase& c : cases) EXPECT_EQ(FormatFixed3(c.value), c.text) << c.value;
}

struct ReportCase {
    const char* message;
    const char* report;
};

TEST(ErrorReportText, FullStopAfterACharacterThatSortsAfterIt)
{
    const ReportCase cases[] = {
        {"Floating point overflow", "Floating point overflow."},
        {"Invalid floating point operation", "Invalid floating point operation."},
        {"'abc' is not a valid floating point value", "'abc' is not a valid floating point value."},
        {"Passband Frequency cannot be zero!", "Passband Frequency cannot be zero!"},
        {"Enter the inputs.", "Enter the inputs."},
        {"ends in 9", "ends in 9."},
        {"ends in /", "ends in /."},
        {"ends in -", "ends in -"},
        {"ends in )", "ends in )"},
        {"ends in '", "ends in '"},
        {"", ""},
    };
    for (const ReportCase& c : cases) EXPECT_EQ(ErrorReportText(c.message), c.report) << c.message;
}

} // namespace
