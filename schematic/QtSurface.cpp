// SPDX-License-Identifier: Apache-2.0
#include "schematic/QtSurface.h"

#include "schematic/LineRaster.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QString>

namespace corvane {

namespace {

// A cosmetic pen is one pixel wide whatever the transform.
QPen SchematicPen(Qt::PenStyle style)
{
    QPen pen(Qt::black);
    pen.setWidth(0);
    pen.setCosmetic(true);
    pen.setStyle(style);
    return pen;
}

// Pixels plotted one by one with a solid pen of the current colour; the dashes are
// already cut out.
void PlotPixels(QPainter& painter, const QPolygon& pixels)
{
    painter.save();
    QPen solid = painter.pen();
    solid.setStyle(Qt::SolidLine);
    painter.setPen(solid);
    painter.drawPoints(pixels);
    painter.restore();
}

QList<qreal> DashPattern(const QPen& pen)
{
    return pen.style() == Qt::SolidLine ? QList<qreal>() : pen.dashPattern();
}

// The outline of a box whose corner (x2, y2) is exclusive: the pixels from x1 to
// x2 - 1 and from y1 to y2 - 1.
QRect InclusiveBox(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
}

} // namespace

QtSurface::QtSurface(QPainter& painter, int width, int height) : painter_(painter), width_(width), height_(height)
{
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setPen(SchematicPen(Qt::SolidLine));
    painter_.setBrush(Qt::NoBrush);
}

int QtSurface::Width() const
{
    return width_;
}

int QtSurface::Height() const
{
    return height_;
}

void QtSurface::SetBrushColour(int red, int green, int blue)
{
    painter_.setBrush(QColor(red, green, blue));
}

void QtSurface::SetPenStyle(PenStyle style)
{
    painter_.setPen(SchematicPen(style == PenStyle::DashDot ? Qt::DashDotLine : Qt::SolidLine));
}

void QtSurface::Rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1) return;
    const QRect box = InclusiveBox(x1, y1, x2, y2);
    painter_.fillRect(box, painter_.brush());
    // QPainter outlines a rectangle one pixel beyond its width; shrink by one so that the
    // outline stays inside the box.
    painter_.save();
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(box.adjusted(0, 0, -1, -1));
    painter_.restore();
}

void QtSurface::Ellipse(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1) return;
    painter_.drawEllipse(InclusiveBox(x1, y1, x2, y2).adjusted(0, 0, -1, -1));
}

void QtSurface::MoveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
}

void QtSurface::LineTo(int x, int y)
{
    PlotPixels(painter_, SegmentPixels(penX_, penY_, x, y, DashPattern(painter_.pen())));
    penX_ = x;
    penY_ = y;
}

// Segments are chained as with LineTo, and the last vertex is plotted too, so that a
// symbol drawn alone shows both of its ends.
void QtSurface::Polyline(const SurfacePoint* points, int count)
{
    if (points == nullptr || count < 1) return;
    const QList<qreal> pattern = DashPattern(painter_.pen());
    QPolygon pixels;
    for (int i = 1; i < count; ++i)
        pixels << SegmentPixels(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, pattern);
    pixels << QPoint(points[count - 1].x, points[count - 1].y);
    PlotPixels(painter_, pixels);
}

void QtSurface::TextOut(int x, int y, const std::string& text)
{
    // Glyphs are plotted in whole pixels of the text colour, as a bitmap font would be.
    QFont font = painter_.font();
    font.setStyleStrategy(QFont::NoAntialias);
    const QString label = QString::fromStdString(text);
    const QFontMetrics metrics(font);
    const QRect box(x, y, metrics.horizontalAdvance(label), metrics.height());
    painter_.save();
    painter_.setFont(font);
    painter_.fillRect(box, painter_.brush());
    painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop, label);
    painter_.restore();
}

} // namespace corvane
