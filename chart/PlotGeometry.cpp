// SPDX-License-Identifier: Apache-2.0
#include "chart/PlotGeometry.h"

#include <cmath>

namespace corvane {

namespace {

double Position(const AxisScale& scale, double value)
{
    return scale.logarithmic ? std::log10(value) : value;
}

double FromPosition(const AxisScale& scale, double position)
{
    return scale.logarithmic ? std::pow(10.0, position) : position;
}

} // namespace

double ValueToPixel(const AxisScale& scale, double value, double from, double to)
{
    const double low = Position(scale, scale.min);
    const double high = Position(scale, scale.max);
    if (high == low) return from;
    return from + (Position(scale, value) - low) / (high - low) * (to - from);
}

double PixelToValue(const AxisScale& scale, double pixel, double from, double to)
{
    const double low = Position(scale, scale.min);
    const double high = Position(scale, scale.max);
    if (to == from) return scale.min;
    return FromPosition(scale, low + (pixel - from) / (to - from) * (high - low));
}

double DistanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    double t = length2 > 0 ? QPointF::dotProduct(p - a, ab) / length2 : 0.0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

bool NearPolyline(const QVector<QPointF>& points, QPointF p, double tolerance)
{
    for (int i = 1; i < points.size(); ++i) {
        if (DistanceToSegment(p, points[i - 1], points[i]) <= tolerance) return true;
    }
    return false;
}

} // namespace corvane
