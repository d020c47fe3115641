// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "filtermath/SelectFilter.h"

using namespace corvane;

namespace {

struct KindCase {
    int typeIndex;
    int modelIndex;
    int expected;
};

TEST(SelectFilterKind, TypePlusThreeTimesModel)
{
    const KindCase cases[] = {
        {0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {0, 1, 3}, {1, 1, 4}, {2, 1, 5},
    };
    for (const KindCase& c : cases) {
        int kind = -99;
        SelectFilterKind(c.typeIndex, c.modelIndex, kind);
        EXPECT_EQ(kind, c.expected) << c.typeIndex << "," << c.modelIndex;
    }
}

TEST(SelectFilterKind, PairWithoutARowKeepsThePreviousKind)
{
    const KindCase cases[] = {
        {-1, 0, 4}, {-1, 1, 2}, {2, -1, 0}, {0, -1, 5}, {-1, -1, 3}, {3, 0, 1}, {0, 2, 2},
    };
    for (const KindCase& c : cases) {
        int kind = c.expected;
        SelectFilterKind(c.typeIndex, c.modelIndex, kind);
        EXPECT_EQ(kind, c.expected) << c.typeIndex << "," << c.modelIndex;
    }
}

struct GroupCase {
    int kind;
    bool lowPass;
    bool highPass;
    bool bandPass;
    bool chebyshev;
};

TEST(FilterKindGroups, EachKindBelongsToOneResponseAndOneApproximation)
{
    const GroupCase cases[] = {
        {0, true, false, false, false},   {1, false, true, false, false},  {2, false, false, true, false},
        {3, true, false, false, true},    {4, false, true, false, true},   {5, false, false, true, true},
        {-1, false, false, false, false}, {6, false, false, false, false},
    };
    for (const GroupCase& c : cases) {
        EXPECT_EQ(IsLowPassKind(c.kind), c.lowPass) << c.kind;
        EXPECT_EQ(IsHighPassKind(c.kind), c.highPass) << c.kind;
        EXPECT_EQ(IsBandPassKind(c.kind), c.bandPass) << c.kind;
        EXPECT_EQ(IsChebyshevKind(c.kind), c.chebyshev) << c.kind;
    }
}

} // namespace
