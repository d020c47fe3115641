// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "analysis/ResponseHistogram.h"
#include "analysis/TrialRandom.h"

using namespace corvane;

namespace {

double Db(double value)
{
    return 10.0 * std::log10(value);
}

struct HistogramCase {
    const char* name;
    double anchor;
    std::vector<double> values;
};

std::vector<HistogramCase> Cases()
{
    TrialRandom random(5, 0);
    std::vector<double> wide, ties, narrow, far;
    for (int i = 0; i < 5000; ++i) {
        wide.push_back(std::exp(20.0 * random.NextSigned()));
        ties.push_back(1.0 + static_cast<double>(random.NextBits() % 7));
        narrow.push_back(1.0 + 1e-3 * random.NextUnit());
        far.push_back(1e-30 * std::exp(random.NextSigned()));
    }
    return {{"One", 2.0, {3.5}},
            {"Wide", 1.0, wide},
            {"Ties", 4.0, ties},
            {"Narrow", 1.0005, narrow},
            {"FarBelowItsAnchor", 1e-12, far}};
}

// Every rank against a full sort, within the stated accuracy: 0.0011 dB plus 0.2 % (here 0.3 %,
// for the piecewise-linear keys) of the distance from the anchor.
TEST(ResponseHistogram, RanksAreWithinTheStatedAccuracy)
{
    KeyHistogram histogram;
    for (const HistogramCase& c : Cases()) {
        histogram.Reset(c.anchor);
        for (double v : c.values) histogram.Add(v);
        std::vector<double> sorted(c.values);
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(histogram.Least(), sorted.front()) << c.name;
        EXPECT_EQ(histogram.Greatest(), sorted.back()) << c.name;
        for (std::size_t r = 0; r < sorted.size(); ++r) {
            const double exact = Db(sorted[r]);
            const double bound = 0.0011 + 0.003 * std::fabs(exact - Db(c.anchor));
            ASSERT_NEAR(Db(histogram.ValueOfRank(r)), exact, bound) << c.name << " rank " << r;
        }
    }
}

// Margins in their bins: the counts add up, lie in the bin the margin falls in away from the
// edges, and do not depend on the order of the values or on how they are split and merged.
TEST(ResponseHistogram, MarginTallyBinsAndMerges)
{
    TrialRandom random(9, 0);
    std::vector<double> margins;
    for (int i = 0; i < 20000; ++i) margins.push_back(3.0 * random.NextNormal() - 1.0);
    MarginTally whole, first, second;
    for (double m : margins) whole.Add(m);
    for (std::size_t i = margins.size(); i-- > 0;) (i % 3 ? first : second).Add(margins[i]);
    first.Merge(second);
    EXPECT_EQ(first.Binned(40), whole.Binned(40));
    EXPECT_EQ(whole.Worst(), *std::min_element(margins.begin(), margins.end()));
    EXPECT_EQ(whole.Best(), *std::max_element(margins.begin(), margins.end()));
    EXPECT_EQ(whole.Passed(), static_cast<std::size_t>(
                                  std::count_if(margins.begin(), margins.end(), [](double m) { return m >= 0.0; })));
    const std::vector<int> bins = whole.Binned(40);
    EXPECT_EQ(std::accumulate(bins.begin(), bins.end(), 0), 20000);
    // A margin may cross a bin edge only within its bucket's width: 1e-4 dB or 0.025 % of it.
    const double width = (whole.Best() - whole.Worst()) / 40;
    std::vector<int> exact(40, 0), nearEdge(40, 0);
    for (double m : margins) {
        const double at = (m - whole.Worst()) / width;
        const int bin = std::min(39, static_cast<int>(at));
        ++exact[bin];
        const double slack = (1e-4 + 2.5e-4 * std::fabs(m)) / width;
        if (at - bin < slack || bin + 1 - at < slack) ++nearEdge[bin];
    }
    for (int b = 0; b < 40; ++b) {
        const int allowed = nearEdge[b] + (b > 0 ? nearEdge[b - 1] : 0) + (b < 39 ? nearEdge[b + 1] : 0);
        EXPECT_LE(std::abs(bins[b] - exact[b]), allowed) << b;
    }

    MarginTally same;
    for (int i = 0; i < 7; ++i) same.Add(-0.25);
    EXPECT_EQ(same.Binned(40), std::vector<int>{7});
    EXPECT_EQ(same.Passed(), 0u);
}

TEST(ResponseHistogram, QuantilePositionInterpolatesBetweenRanks)
{
    struct Row {
        double p;
        std::size_t count, lower, upper;
        double fraction;
    };
    for (const Row& row : {Row{0.05, 1, 0, 0, 0.0}, Row{0.5, 4, 1, 2, 0.5}, Row{0.95, 21, 19, 20, 0.0},
                           Row{0.95, 1000, 949, 950, 0.05}, Row{1.0, 10, 9, 9, 0.0}}) {
        const QuantilePosition q = PositionOfQuantile(row.p, row.count);
        EXPECT_EQ(q.lower, row.lower) << row.p << " of " << row.count;
        EXPECT_EQ(q.upper, row.upper) << row.p << " of " << row.count;
        EXPECT_NEAR(q.fraction, row.fraction, 1e-9) << row.p << " of " << row.count;
    }
}

} // namespace
