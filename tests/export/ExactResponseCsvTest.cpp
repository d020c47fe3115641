// SPDX-License-Identifier: Apache-2.0
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "export/ExactResponseCsv.h"

using namespace corvane;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(ExactResponseCsv, OneRowAPointToFifteenDigits)
{
    const double third = 1.0 / 3.0;
    const auto lines = Lines(ExactResponseCsvText({0.5, third, 2e9}, {-0.25, -3.0103, -120.5}, {-40, -3, -1e-13},
                                                  {1.5e-9, 2.25e-9, 0}, "MHz"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Frequency (MHz),S21 (dB),S11 (dB),Group delay (s)");
    EXPECT_EQ(lines[1], "0.5,-0.25,-40,1.5e-09");
    double f = 0, s21 = 0, s11 = 0, delay = 0;
    ASSERT_EQ(std::sscanf(lines[2].c_str(), "%lf,%lf,%lf,%lf", &f, &s21, &s11, &delay), 4);
    EXPECT_NEAR(f, third, 1e-15 * third);
    EXPECT_EQ(s21, -3.0103);
    EXPECT_EQ(delay, 2.25e-9);
    EXPECT_EQ(lines[3], "2000000000,-120.5,-1e-13,0");
}

TEST(ExactResponseCsv, AUnitWithACommaOrAQuoteKeepsFourColumns)
{
    EXPECT_EQ(Lines(ExactResponseCsvText({}, {}, {}, {}, "k,Hz"))[0],
              "\"Frequency (k,Hz)\",S21 (dB),S11 (dB),Group delay (s)");
    EXPECT_EQ(Lines(ExactResponseCsvText({}, {}, {}, {}, "\"x\""))[0],
              "\"Frequency (\"\"x\"\")\",S21 (dB),S11 (dB),Group delay (s)");
}

TEST(ExactResponseCsv, RowsStopAtTheShortestColumn)
{
    EXPECT_EQ(Lines(ExactResponseCsvText({1, 2, 3}, {0, 0}, {0, 0, 0}, {0, 0, 0}, "Hz")).size(), 3u);
}

} // namespace
