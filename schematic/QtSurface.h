// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QFont>

#include "schematic/Surface.h"

class QPainter;

namespace corvane {

// The drawing surface over a QPainter, without antialiasing, so that lines land on
// whole pixels.
class QtSurface : public Surface {
public:
    QtSurface(QPainter& painter, int width, int height);
    int Width() const override;
    int Height() const override;
    void SetBrushColour(int red, int green, int blue) override;
    void SetPenStyle(PenStyle style) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const SurfacePoint* points, int count) override;
    void TextOut(int x, int y, const std::string& text) override;

private:
    QPainter& painter_;
    int width_;
    int height_;
    int penX_ = 0;
    int penY_ = 0;
};

} // namespace corvane
