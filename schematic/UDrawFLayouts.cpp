// SPDX-License-Identifier: Apache-2.0
#include "schematic/UDrawF.h"

namespace corvane {

namespace {

constexpr int kRailY = 30;
constexpr int kReturnY = 100;
constexpr int kBreakX = 145;
constexpr int kBreakTop = 25;
constexpr int kBreakBottom = 110;

enum class Block { SeriesL, SeriesC, ShuntC, ShuntL, SeriesLC, ShuntLC };

struct Placed {
    Block block;
    int x;
    SurfacePoint label;
};

struct RailWire {
    int from;
    int to;
};

// The first three and the last two elements of a ladder with the rail pieces between
// the series elements; branches tap the rail piece above them.
struct LadderTemplate {
    Placed elements[5];
    RailWire rail[4];
    int railCount;
};

const char* const kLabels[5] = {"(G1)", "(G2)", "(G3)", "(Gn-1)", "(Gn)"};

constexpr LadderTemplate kLowPassTOdd = {{{Block::SeriesL, 40, {45, 3}},
                                          {Block::ShuntC, 80, {90, 45}},
                                          {Block::SeriesL, 90, {95, 3}},
                                          {Block::ShuntC, 160, {170, 45}},
                                          {Block::SeriesL, 170, {175, 3}}},
                                         {{13, 40}, {70, 90}, {120, 170}, {200, 237}},
                                         4};
constexpr LadderTemplate kLowPassTEven = {{{Block::SeriesL, 40, {45, 3}},
                                           {Block::ShuntC, 80, {90, 45}},
                                           {Block::SeriesL, 90, {95, 3}},
                                           {Block::SeriesL, 150, {155, 3}},
                                           {Block::ShuntC, 190, {200, 45}}},
                                          {{13, 40}, {70, 90}, {120, 150}, {180, 237}},
                                          4};
constexpr LadderTemplate kLowPassPiOdd = {{{Block::ShuntC, 40, {50, 45}},
                                           {Block::SeriesL, 50, {55, 3}},
                                           {Block::ShuntC, 90, {100, 45}},
                                           {Block::SeriesL, 150, {155, 3}},
                                           {Block::ShuntC, 190, {200, 45}}},
                                          {{13, 50}, {80, 150}, {180, 237}},
                                          3};
constexpr LadderTemplate kLowPassPiEven = {{{Block::ShuntC, 40, {50, 45}},
                                            {Block::SeriesL, 50, {55, 3}},
                                            {Block::ShuntC, 90, {100, 45}},
                                            {Block::ShuntC, 160, {170, 45}},
                                            {Block::SeriesL, 170, {175, 3}}},
                                           {{13, 50}, {80, 170}, {200, 237}},
                                           3};
constexpr LadderTemplate kHighPassTOdd = {{{Block::SeriesC, 40, {30, 3}},
                                           {Block::ShuntL, 80, {95, 45}},
                                           {Block::SeriesC, 115, {105, 3}},
                                           {Block::ShuntL, 180, {195, 45}},
                                           {Block::SeriesC, 200, {195, 3}}},
                                          {{13, 40}, {45, 115}, {120, 200}, {205, 237}},
                                          4};
constexpr LadderTemplate kHighPassTEven = {{{Block::SeriesC, 40, {30, 3}},
                                            {Block::ShuntL, 80, {95, 45}},
                                            {Block::SeriesC, 115, {105, 3}},
                                            {Block::SeriesC, 170, {160, 3}},
                                            {Block::ShuntL, 190, {205, 45}}},
                                           {{13, 40}, {45, 115}, {120, 170}, {175, 237}},
                                           4};
constexpr LadderTemplate kHighPassPiOdd = {{{Block::ShuntL, 40, {55, 45}},
                                            {Block::SeriesC, 70, {60, 3}},
                                            {Block::ShuntL, 100, {115, 45}},
                                            {Block::SeriesC, 170, {160, 3}},
                                            {Block::ShuntL, 190, {205, 45}}},
                                           {{13, 70}, {75, 170}, {175, 237}},
                                           3};
constexpr LadderTemplate kHighPassPiEven = {{{Block::ShuntL, 40, {55, 45}},
                                             {Block::SeriesC, 70, {60, 3}},
                                             {Block::ShuntL, 100, {115, 45}},
                                             {Block::ShuntL, 180, {195, 45}},
                                             {Block::SeriesC, 200, {195, 3}}},
                                            {{13, 70}, {75, 200}, {205, 237}},
                                            3};
constexpr LadderTemplate kBandPassTOdd = {{{Block::SeriesLC, 20, {30, 3}},
                                           {Block::ShuntLC, 67, {95, 45}},
                                           {Block::SeriesLC, 95, {105, 3}},
                                           {Block::ShuntLC, 162, {195, 45}},
                                           {Block::SeriesLC, 190, {200, 3}}},
                                          {{13, 20}, {60, 95}, {135, 190}, {230, 237}},
                                          4};
constexpr LadderTemplate kBandPassTEven = {{{Block::SeriesLC, 20, {30, 3}},
                                            {Block::ShuntLC, 67, {95, 45}},
                                            {Block::SeriesLC, 95, {105, 3}},
                                            {Block::SeriesLC, 150, {160, 3}},
                                            {Block::ShuntLC, 195, {220, 45}}},
                                           {{13, 20}, {60, 95}, {135, 150}, {190, 237}},
                                           4};
constexpr LadderTemplate kBandPassPiOdd = {{{Block::ShuntLC, 25, {50, 45}},
                                            {Block::SeriesLC, 50, {60, 3}},
                                            {Block::ShuntLC, 95, {120, 45}},
                                            {Block::SeriesLC, 150, {160, 3}},
                                            {Block::ShuntLC, 195, {220, 45}}},
                                           {{13, 50}, {90, 150}, {190, 237}},
                                           3};
constexpr LadderTemplate kBandPassPiEven = {{{Block::ShuntLC, 25, {50, 45}},
                                             {Block::SeriesLC, 50, {60, 3}},
                                             {Block::ShuntLC, 95, {120, 45}},
                                             {Block::ShuntLC, 162, {190, 45}},
                                             {Block::SeriesLC, 190, {200, 3}}},
                                            {{13, 50}, {90, 190}, {230, 237}},
                                            3};

void Wire(Surface& area, int x1, int y1, int x2, int y2)
{
    area.MoveTo(x1, y1);
    area.LineTo(x2, y2);
}

// A capacitor hanging from the rail to the return line, its upper plate at plateY.
void ShuntCapacitorBranch(int x, int plateY, Surface& area)
{
    DrawShuntCapacitor(x, plateY, area);
    Wire(area, x, kRailY, x, plateY);
    Wire(area, x, plateY + 5, x, kReturnY);
}

void ShuntInductorBranch(int x, Surface& area)
{
    DrawShuntInductor(x, 50, area);
    Wire(area, x, kRailY, x, 50);
    Wire(area, x, 80, x, kReturnY);
}

// A series resonator: capacitor, a short wire, then the coil; 40 pixels of rail.
void SeriesResonator(int x, Surface& area)
{
    DrawSeriesCapacitor(x, kRailY, area);
    Wire(area, x + 5, kRailY, x + 10, kRailY);
    DrawSeriesInductor(x + 10, kRailY, area);
}

// A shunt resonator: the coil branch and, 20 pixels to its right, a capacitor branch set
// two pixels lower than a lone shunt capacitor.
void ShuntResonator(int x, Surface& area)
{
    ShuntInductorBranch(x, area);
    ShuntCapacitorBranch(x + 20, 62, area);
}

void DrawBlock(const Placed& element, Surface& area)
{
    switch (element.block) {
    case Block::SeriesL: DrawSeriesInductor(element.x, kRailY, area); break;
    case Block::SeriesC: DrawSeriesCapacitor(element.x, kRailY, area); break;
    case Block::ShuntC: ShuntCapacitorBranch(element.x, 60, area); break;
    case Block::ShuntL: ShuntInductorBranch(element.x, area); break;
    case Block::SeriesLC: SeriesResonator(element.x, area); break;
    case Block::ShuntLC: ShuntResonator(element.x, area); break;
    }
}

// Stands for the ladder elements between G3 and Gn-1.
void DrawBreakLine(Surface& area)
{
    area.SetPenStyle(PenStyle::DashDot);
    Wire(area, kBreakX, kBreakTop, kBreakX, kBreakBottom);
    area.SetPenStyle(PenStyle::Solid);
}

void DrawLadder(const LadderTemplate& ladder, Surface& area)
{
    DrawSchematicFrame(area);
    for (const Placed& element : ladder.elements) DrawBlock(element, area);
    for (int i = 0; i < ladder.railCount; ++i) Wire(area, ladder.rail[i].from, kRailY, ladder.rail[i].to, kRailY);
    DrawBreakLine(area);
    for (int i = 0; i < 5; ++i) area.TextOut(ladder.elements[i].label.x, ladder.elements[i].label.y, kLabels[i]);
}

} // namespace

void DrawLowPassTOdd(Surface& area)
{
    DrawLadder(kLowPassTOdd, area);
}
void DrawLowPassTEven(Surface& area)
{
    DrawLadder(kLowPassTEven, area);
}
void DrawLowPassPiOdd(Surface& area)
{
    DrawLadder(kLowPassPiOdd, area);
}
void DrawLowPassPiEven(Surface& area)
{
    DrawLadder(kLowPassPiEven, area);
}
void DrawHighPassTOdd(Surface& area)
{
    DrawLadder(kHighPassTOdd, area);
}
void DrawHighPassTEven(Surface& area)
{
    DrawLadder(kHighPassTEven, area);
}
void DrawHighPassPiOdd(Surface& area)
{
    DrawLadder(kHighPassPiOdd, area);
}
void DrawHighPassPiEven(Surface& area)
{
    DrawLadder(kHighPassPiEven, area);
}
void DrawBandPassTOdd(Surface& area)
{
    DrawLadder(kBandPassTOdd, area);
}
void DrawBandPassTEven(Surface& area)
{
    DrawLadder(kBandPassTEven, area);
}
void DrawBandPassPiOdd(Surface& area)
{
    DrawLadder(kBandPassPiOdd, area);
}
void DrawBandPassPiEven(Surface& area)
{
    DrawLadder(kBandPassPiEven, area);
}

} // namespace corvane
