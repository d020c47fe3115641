// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QPointF>
#include <QVector>

namespace corvane {

// How an axis turns values into pixels: linear, or linear in log10 of the value.
struct AxisScale {
    double min;
    double max;
    bool logarithmic;
};

// The pixel of value on an axis whose minimum sits at pixel from and maximum at pixel to.
double ValueToPixel(const AxisScale& scale, double value, double from, double to);
// The value at a pixel of that axis.
double PixelToValue(const AxisScale& scale, double pixel, double from, double to);

// Shortest distance from p to the segment a-b.
double DistanceToSegment(QPointF p, QPointF a, QPointF b);
// True when p lies within tolerance of the polyline through points; fewer than two points
// draw no line and are never near.
bool NearPolyline(const QVector<QPointF>& points, QPointF p, double tolerance);

} // namespace corvane
