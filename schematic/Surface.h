// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace corvane {

struct SurfacePoint {
    int x;
    int y;
};

enum class PenStyle { Solid, DashDot };

// A pen-and-brush canvas in integer pixels, origin top-left, y downwards.
// The pen starts black, 1 pixel, solid.
class Surface {
public:
    virtual ~Surface() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetBrushColour(int red, int green, int blue) = 0;
    virtual void SetPenStyle(PenStyle style) = 0;
    // Outlined with the pen, filled with the brush; (x2, y2) is the exclusive corner.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // From the current point to (x, y), which becomes the current point; the pixel at
    // (x, y) itself is left unset, as on a classic canvas.
    virtual void LineTo(int x, int y) = 0;
    // Through the points in order; unlike LineTo, the last point is plotted too.
    virtual void Polyline(const SurfacePoint* points, int count) = 0;
    // Text with its top-left corner at (x, y), on the brush colour.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
};

} // namespace corvane
