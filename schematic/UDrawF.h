// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "schematic/Surface.h"

namespace corvane {

void DrawSchematicFrame(Surface& area);
void DrawShuntCapacitor(int x, int y, Surface& area);
void DrawSeriesCapacitor(int x, int y, Surface& area);
void DrawSeriesInductor(int x, int y, Surface& area);
void DrawShuntInductor(int x, int y, Surface& area);

void DrawLowPassTOdd(Surface& area);
void DrawLowPassTEven(Surface& area);
void DrawLowPassPiOdd(Surface& area);
void DrawLowPassPiEven(Surface& area);
void DrawHighPassTOdd(Surface& area);
void DrawHighPassTEven(Surface& area);
void DrawHighPassPiOdd(Surface& area);
void DrawHighPassPiEven(Surface& area);
void DrawBandPassTOdd(Surface& area);
void DrawBandPassTEven(Surface& area);
void DrawBandPassPiOdd(Surface& area);
void DrawBandPassPiEven(Surface& area);

using SchematicLayout = void (*)(Surface& area);
// The layout for a filter kind, topology item (0 T, 1 Pi) and order parity;
// nullptr when the topology index is neither 0 nor 1, or the kind is outside 0 to 5.
SchematicLayout ChooseLayout(int FilterKind, int topologyIndex, bool orderEven);

} // namespace corvane
