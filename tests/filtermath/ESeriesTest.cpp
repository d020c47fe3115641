// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "filtermath/ESeries.h"
#include "filtermath/Failure.h"

using namespace corvane;

namespace {

const char* Label(ESeries series)
{
    switch (series) {
    case ESeries::E6: return "E6";
    case ESeries::E12: return "E12";
    case ESeries::E24: return "E24";
    case ESeries::E48: return "E48";
    case ESeries::E96: return "E96";
    case ESeries::E192: return "E192";
    }
    return "?";
}

// The decade as the rounding sees it: every distinct result over a sweep from 1 to 10 whose
// steps (0.1 %) are far finer than the closest neighbours of E192 (about 1.2 %).
std::vector<double> DecadeByRounding(ESeries series)
{
    std::vector<double> decade;
    for (double v = 1.0; v < 10.0; v *= 1.001) {
        const double r = RoundToESeries(v, series);
        if (r < 10.0 && (decade.empty() || decade.back() != r)) decade.push_back(r);
    }
    return decade;
}

struct SeriesShape {
    ESeries series;
    size_t count;
};

// Readable parameter names in test listings instead of byte dumps.
void PrintTo(const SeriesShape& c, std::ostream* out)
{
    *out << Label(c.series);
}

class ESeriesTables : public ::testing::TestWithParam<SeriesShape> {};

TEST_P(ESeriesTables, HaveTheirSizeAndAscendingDecade)
{
    const SeriesShape& s = GetParam();
    const char* name = Label(s.series);
    const std::vector<double> decade = DecadeByRounding(s.series);
    ASSERT_EQ(decade.size(), s.count);
    EXPECT_EQ(decade.front(), 1.0);
    for (size_t i = 1; i < decade.size(); ++i) EXPECT_LT(decade[i - 1], decade[i]) << name << " entry " << i;
    // Neighbours are about 10^(1/count) apart; the historical values stray by a few percent.
    const double step = std::pow(10.0, 1.0 / s.count);
    for (size_t i = 1; i < decade.size(); ++i)
        EXPECT_NEAR(decade[i] / decade[i - 1], step, 0.06) << name << " entry " << i;
}

INSTANTIATE_TEST_SUITE_P(All, ESeriesTables,
                         ::testing::Values(SeriesShape{ESeries::E6, 6}, SeriesShape{ESeries::E12, 12},
                                           SeriesShape{ESeries::E24, 24}, SeriesShape{ESeries::E48, 48},
                                           SeriesShape{ESeries::E96, 96}, SeriesShape{ESeries::E192, 192}),
                         [](const ::testing::TestParamInfo<SeriesShape>& info) { return Label(info.param.series); });

// Each series holds every other value of the next finer one.
struct Nesting {
    ESeries coarse;
    ESeries fine;
};

void PrintTo(const Nesting& c, std::ostream* out)
{
    *out << Label(c.coarse) << " in " << Label(c.fine);
}

class ESeriesNesting : public ::testing::TestWithParam<Nesting> {};

TEST_P(ESeriesNesting, CoarseIsEveryOtherFineValue)
{
    const std::vector<double> coarse = DecadeByRounding(GetParam().coarse);
    const std::vector<double> fine = DecadeByRounding(GetParam().fine);
    ASSERT_EQ(fine.size(), 2 * coarse.size());
    for (size_t i = 0; i < coarse.size(); ++i) EXPECT_EQ(coarse[i], fine[2 * i]) << i;
}

INSTANTIATE_TEST_SUITE_P(All, ESeriesNesting,
                         ::testing::Values(Nesting{ESeries::E6, ESeries::E12}, Nesting{ESeries::E12, ESeries::E24},
                                           Nesting{ESeries::E48, ESeries::E96}, Nesting{ESeries::E96, ESeries::E192}));

TEST(ESeries, HistoricalAndThreeDigitValues)
{
    const std::vector<double> e24 = DecadeByRounding(ESeries::E24);
    for (double v : {2.7, 3.3, 4.7, 9.1}) EXPECT_NE(std::find(e24.begin(), e24.end(), v), e24.end()) << v;
    const std::vector<double> e192 = DecadeByRounding(ESeries::E192);
    // 9.20 is the one E192 value that differs from the rounded 10^(185/192) = 9.19.
    EXPECT_EQ(e192[185], 9.2);
    EXPECT_EQ(DecadeByRounding(ESeries::E96)[36], 2.37);
    EXPECT_EQ(DecadeByRounding(ESeries::E48)[47], 9.53);
}

struct RoundCase {
    ESeries series;
    double value;
    double rounded;
};

void PrintTo(const RoundCase& c, std::ostream* out)
{
    *out << Label(c.series) << " " << c.value;
}

class Rounding : public ::testing::TestWithParam<RoundCase> {};

TEST_P(Rounding, TakesTheNearestValueOnALogScale)
{
    const RoundCase& c = GetParam();
    const double got = RoundToESeries(c.value, c.series);
    EXPECT_NEAR(got, c.rounded, 1e-12 * std::fabs(c.rounded)) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rounding,
    ::testing::Values(RoundCase{ESeries::E24, 2.65e-9, 2.7e-9}, RoundCase{ESeries::E24, 1.5915e-7, 1.6e-7},
                      RoundCase{ESeries::E24, 3.2153e-11, 3.3e-11},
                      // 9.1 and 10 meet at sqrt(91) = 9.539 on a log scale: the decade wraps.
                      RoundCase{ESeries::E24, 9.53, 9.1}, RoundCase{ESeries::E24, 9.55, 10.0},
                      RoundCase{ESeries::E24, 9.6e-12, 1.0e-11}, RoundCase{ESeries::E12, 9.2e3, 1.0e4},
                      RoundCase{ESeries::E6, 8.0, 6.8}, RoundCase{ESeries::E6, 8.5, 10.0},
                      // An exact power of ten stays put in every decade.
                      RoundCase{ESeries::E6, 1e-9, 1e-9}, RoundCase{ESeries::E192, 1e-3, 1e-3},
                      RoundCase{ESeries::E24, 1.0, 1.0}, RoundCase{ESeries::E24, 1e300, 1e300},
                      // 4.8 is nearer 4.7 than 5.1 in ratio: 4.8/4.7 = 1.021, 5.1/4.8 = 1.0625.
                      RoundCase{ESeries::E24, 4.8e-6, 4.7e-6}, RoundCase{ESeries::E48, 4.8e-6, 4.87e-6},
                      RoundCase{ESeries::E96, 4.8e-6, 4.75e-6}, RoundCase{ESeries::E192, 4.8e-6, 4.81e-6},
                      RoundCase{ESeries::E192, 9.2e-9, 9.2e-9}, RoundCase{ESeries::E192, 9.9e5, 9.88e5},
                      RoundCase{ESeries::E192, 9.95e5, 1.0e6},
                      // The sign is kept (inverted band edges give negative parts); zero stays zero.
                      RoundCase{ESeries::E24, -2.65e-9, -2.7e-9}, RoundCase{ESeries::E24, 0.0, 0.0},
                      RoundCase{ESeries::E24, 4.9e-324, 5.1e-324}));

TEST(ESeries, RoundedValuesAreMembersAndNeverFartherThanHalfAStep)
{
    for (ESeries series : {ESeries::E6, ESeries::E24, ESeries::E96, ESeries::E192}) {
        const size_t count = DecadeByRounding(series).size();
        const double halfStep = std::pow(10.0, 0.5 / count);
        for (double v = 1.01e-12; v < 1e-9; v *= 1.0137) {
            const double r = RoundToESeries(v, series);
            EXPECT_LT(std::max(r / v, v / r), halfStep * 1.04) << Label(series) << " " << v;
            // A member of the series rounds to itself.
            EXPECT_EQ(RoundToESeries(r, series), r) << Label(series) << " " << v << " -> " << r;
        }
    }
}

TEST(ESeries, NonFiniteValuesRaiseArithmeticErrors)
{
    try {
        RoundToESeries(std::numeric_limits<double>::quiet_NaN(), ESeries::E24);
        FAIL() << "NaN accepted";
    } catch (const ArithmeticError& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
    try {
        RoundToESeries(-std::numeric_limits<double>::infinity(), ESeries::E24);
        FAIL() << "infinity accepted";
    } catch (const ArithmeticError& e) {
        EXPECT_STREQ(e.what(), "Floating point overflow");
    }
}

struct PercentCase {
    double value;
    double rounded;
    double percent;
};

void PrintTo(const PercentCase& c, std::ostream* out)
{
    *out << c.value << " to " << c.rounded;
}

class Percent : public ::testing::TestWithParam<PercentCase> {};

TEST_P(Percent, IsTheChangeInPercentOfTheDesignedValue)
{
    EXPECT_NEAR(PercentChange(GetParam().value, GetParam().rounded), GetParam().percent, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, Percent,
                         ::testing::Values(PercentCase{2.65e-9, 2.7e-9, 1.8867924528301887},
                                           PercentCase{9.6, 10.0, 4.1666666666666667},
                                           PercentCase{1.6e-7, 1.5e-7, -6.25}, PercentCase{-2.0, -2.2, 10.0},
                                           PercentCase{3.3, 3.3, 0.0}, PercentCase{0.0, 0.0, 0.0}));

TEST(ESeries, ElementTableIsRoundedBetweenItsTerminations)
{
    // Butterworth low-pass, N = 3, 10 MHz, 50 ohm, T: L1 = L3 = 7.9577e-7 H, C2 = 6.3662e-10 F.
    std::vector<double> values{50, 7.9577e-7, 6.3662e-10, 7.9577e-7, 50};
    std::vector<double> change(5, -99.0);
    RoundElementValues(3, ESeries::E12, values, change);
    EXPECT_EQ(values[0], 50);
    EXPECT_EQ(values[4], 50);
    EXPECT_NEAR(values[1], 8.2e-7, 1e-20);
    EXPECT_NEAR(values[2], 6.8e-10, 1e-23);
    EXPECT_NEAR(values[3], 8.2e-7, 1e-20);
    EXPECT_EQ(change[0], 0.0);
    EXPECT_EQ(change[4], 0.0);
    EXPECT_NEAR(change[1], (8.2e-7 / 7.9577e-7 - 1) * 100, 1e-9);
    EXPECT_NEAR(change[2], (6.8e-10 / 6.3662e-10 - 1) * 100, 1e-9);
}

TEST(ESeries, ResonatorTableRoundsInductorsAndCapacitorsApart)
{
    std::vector<double> L{50, 7.9577e-7, 3.9789e-9, 50};
    std::vector<double> C{50, 3.1831e-10, 6.3662e-8, 50};
    std::vector<double> changeL(4), changeC(4);
    RoundBandValues(2, ESeries::E6, L, C, changeL, changeC);
    EXPECT_NEAR(L[1], 6.8e-7, 1e-20);
    EXPECT_NEAR(L[2], 4.7e-9, 1e-22); // 4.7/3.9789 = 1.181 beats 3.9789/3.3 = 1.206
    EXPECT_NEAR(C[1], 3.3e-10, 1e-23);
    EXPECT_NEAR(C[2], 6.8e-8, 1e-21);
    EXPECT_EQ(L[3], 50);
    EXPECT_EQ(C[0], 50);
    EXPECT_NEAR(changeL[2], (4.7e-9 / 3.9789e-9 - 1) * 100, 1e-9);
    EXPECT_NEAR(changeC[1], (3.3e-10 / 3.1831e-10 - 1) * 100, 1e-9);
}

TEST(ESeries, ShortTablesAreRefusedWithoutWriting)
{
    std::vector<double> values{50, 1e-9, 50};
    std::vector<double> change(2);
    EXPECT_THROW(RoundElementValues(1, ESeries::E24, values, change), std::out_of_range);
}

} // namespace
