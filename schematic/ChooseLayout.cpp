// SPDX-License-Identifier: Apache-2.0
#include "schematic/UDrawF.h"

namespace corvane {

namespace {

constexpr int kKindsPerApproximation = 3;
constexpr int kKinds = 6;

// Rows: low-pass, high-pass, band-pass. Columns: T odd, T even, Pi odd, Pi even.
constexpr SchematicLayout kLayouts[kKindsPerApproximation][4] = {
    {DrawLowPassTOdd, DrawLowPassTEven, DrawLowPassPiOdd, DrawLowPassPiEven},
    {DrawHighPassTOdd, DrawHighPassTEven, DrawHighPassPiOdd, DrawHighPassPiEven},
    {DrawBandPassTOdd, DrawBandPassTEven, DrawBandPassPiOdd, DrawBandPassPiEven},
};

} // namespace

// Both approximations share the pictures: the kind's response group alone picks the row.
SchematicLayout ChooseLayout(int FilterKind, int topologyIndex, bool orderEven)
{
    if (FilterKind < 0 || FilterKind >= kKinds) return nullptr;
    if (topologyIndex != 0 && topologyIndex != 1) return nullptr;
    const int group = FilterKind % kKindsPerApproximation;
    return kLayouts[group][2 * topologyIndex + (orderEven ? 1 : 0)];
}

} // namespace corvane
