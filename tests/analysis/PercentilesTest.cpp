// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "analysis/Percentiles.h"
#include "analysis/TrialRandom.h"

namespace {

// Every rank of sets with ties, zeros, one value and wide spreads, against a full sort.
TEST(Percentiles, SelectedRanksEqualTheSortedValues)
{
    TrialRandom random(5, 0);
    std::vector<std::vector<double>> sets{{3.5}, {0.0, 0.0}, {2.0, 1.0}};
    std::vector<double> wide, ties, narrow;
    for (int i = 0; i < 5000; ++i) {
        wide.push_back(std::exp(60.0 * random.NextSigned()));
        ties.push_back(static_cast<double>(random.NextBits() % 7));
        narrow.push_back(1.0 + 1e-12 * random.NextUnit());
    }
    sets.push_back(wide);
    sets.push_back(ties);
    sets.push_back(narrow);
    for (const std::vector<double>& values : sets) {
        std::vector<double> sorted(values);
        std::sort(sorted.begin(), sorted.end());
        std::vector<std::size_t> ranks;
        for (std::size_t r = 0; r < values.size(); r += 1 + values.size() / 50) ranks.push_back(r);
        ranks.push_back(values.size() - 1);
        std::vector<double> picked(ranks.size());
        SelectRanks(values.data(), values.size(), ranks.data(), ranks.size(), picked.data());
        for (std::size_t k = 0; k < ranks.size(); ++k) EXPECT_EQ(picked[k], sorted[ranks[k]]) << ranks[k];
    }
}

} // namespace
