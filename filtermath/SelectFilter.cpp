// SPDX-License-Identifier: Apache-2.0
#include "filtermath/SelectFilter.h"

namespace corvane {

namespace {

struct KindRow {
    int typeIndex;
    int modelIndex;
    int kind;
};

// Response type 0 LPF, 1 HPF, 2 BPF; approximation 0 Butterworth, 1 Chebyshev.
constexpr KindRow kKindRows[] = {
    {0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {0, 1, 3}, {1, 1, 4}, {2, 1, 5},
};

} // namespace

void SelectFilterKind(int typeIndex, int modelIndex, int& FilterKind)
{
    for (const KindRow& row : kKindRows) {
        if (row.typeIndex == typeIndex && row.modelIndex == modelIndex) FilterKind = row.kind;
    }
}

bool IsLowPassKind(int FilterKind)
{
    return FilterKind == 0 || FilterKind == 3;
}

bool IsHighPassKind(int FilterKind)
{
    return FilterKind == 1 || FilterKind == 4;
}

bool IsBandPassKind(int FilterKind)
{
    return FilterKind == 2 || FilterKind == 5;
}

bool IsChebyshevKind(int FilterKind)
{
    return FilterKind >= 3 && FilterKind <= 5;
}

} // namespace corvane
