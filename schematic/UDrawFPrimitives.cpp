// SPDX-License-Identifier: Apache-2.0
#include "schematic/UDrawF.h"

namespace corvane {

namespace {

constexpr int kArchPoints = 11;
constexpr int kArches = 3;
constexpr int kArchLength = 10;
constexpr int kPlateHalf = 8;
constexpr int kPlateGap = 5;

// One coil arch as offsets along the wire (along) and away from it (across).
struct ArchStep {
    int along;
    int across;
};

// Ten pixels along the wire, bulging ten pixels away from it.
constexpr ArchStep kArch[kArchPoints] = {
    {0, 0}, {0, 2}, {1, 5}, {2, 7}, {3, 9}, {5, 10}, {7, 9}, {8, 7}, {9, 5}, {10, 2}, {10, 0},
};

void Segment(Surface& area, int x1, int y1, int x2, int y2)
{
    area.MoveTo(x1, y1);
    area.LineTo(x2, y2);
}

// A plate is plotted end to end so that it stands symmetric about its wire.
void Plate(Surface& area, int x1, int y1, int x2, int y2)
{
    const SurfacePoint ends[2] = {{x1, y1}, {x2, y2}};
    area.Polyline(ends, 2);
}

void TerminalCircle(Surface& area, int centreX, int centreY)
{
    area.Ellipse(centreX - 3, centreY - 3, centreX + 3, centreY + 3);
}

// Each arch is drawn as two flanks, each from its wire end up to the apex, so that
// pixels halfway between two fall the same way on both sides and the flanks come out as
// mirror images.
void DrawArch(const SurfacePoint (&arch)[kArchPoints], Surface& area)
{
    constexpr int kApex = kArchPoints / 2;
    SurfacePoint fallingFlank[kApex + 1];
    for (int i = 0; i <= kApex; ++i) fallingFlank[i] = arch[kArchPoints - 1 - i];
    area.Polyline(arch, kApex + 1);
    area.Polyline(fallingFlank, kApex + 1);
}

} // namespace

void DrawSchematicFrame(Surface& area)
{
    area.SetBrushColour(255, 255, 255);
    area.Rectangle(0, 0, area.Width(), area.Height());
    TerminalCircle(area, 10, 30);
    TerminalCircle(area, 10, 100);
    TerminalCircle(area, 240, 30);
    TerminalCircle(area, 240, 100);
    Segment(area, 13, 100, 237, 100);
    area.TextOut(5, 60, "Rl");
    area.TextOut(235, 60, "Rl");
}

void DrawShuntCapacitor(int x, int y, Surface& area)
{
    Plate(area, x - kPlateHalf, y, x + kPlateHalf, y);
    Plate(area, x - kPlateHalf, y + kPlateGap, x + kPlateHalf, y + kPlateGap);
}

void DrawSeriesCapacitor(int x, int y, Surface& area)
{
    Plate(area, x, y - kPlateHalf, x, y + kPlateHalf);
    Plate(area, x + kPlateGap, y - kPlateHalf, x + kPlateGap, y + kPlateHalf);
}

// Arches run to the right and rise above the wire (towards smaller y).
void DrawSeriesInductor(int x, int y, Surface& area)
{
    for (int k = 0; k < kArches; ++k) {
        const int x0 = x + kArchLength * k;
        SurfacePoint arch[kArchPoints];
        for (int i = 0; i < kArchPoints; ++i) arch[i] = {x0 + kArch[i].along, y - kArch[i].across};
        DrawArch(arch, area);
    }
}

// Arches run downwards and bulge to the right of the wire.
void DrawShuntInductor(int x, int y, Surface& area)
{
    for (int k = 0; k < kArches; ++k) {
        const int y0 = y + kArchLength * k;
        SurfacePoint arch[kArchPoints];
        for (int i = 0; i < kArchPoints; ++i) arch[i] = {x + kArch[i].across, y0 + kArch[i].along};
        DrawArch(arch, area);
    }
}

} // namespace corvane
