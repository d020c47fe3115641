// SPDX-License-Identifier: Apache-2.0
#include "schematic/LineRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace corvane {

namespace {

// Offset of step i of `steps` along a run of `delta` pixels, rounded to the nearest
// pixel with halves rounded towards the start of the segment, as a midpoint line does.
int NearestStep(int i, int delta, int steps)
{
    const int twice = 2 * i * std::abs(delta);
    int offset = twice / (2 * steps);
    if (twice % (2 * steps) > steps) ++offset;
    return delta < 0 ? -offset : offset;
}

// Whether pixel i of a segment falls in a dash (even entries of the pattern) rather than
// in a gap (odd entries).
bool DashOn(int i, const QList<qreal>& pattern, qreal patternLength)
{
    if (patternLength <= 0) return true;
    qreal phase = std::fmod(qreal(i), patternLength);
    for (int dash = 0; dash < pattern.size(); ++dash) {
        if (phase < pattern[dash]) return dash % 2 == 0;
        phase -= pattern[dash];
    }
    return true;
}

} // namespace

QPolygon SegmentPixels(int x0, int y0, int x1, int y1, const QList<qreal>& pattern)
{
    const int dx = x1 - x0;
    const int dy = y1 - y0;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    qreal patternLength = 0;
    for (qreal length : pattern) patternLength += length;
    QPolygon pixels;
    for (int i = 0; i < steps; ++i) {
        if (!DashOn(i, pattern, patternLength)) continue;
        pixels << QPoint(x0 + NearestStep(i, dx, steps), y0 + NearestStep(i, dy, steps));
    }
    return pixels;
}

} // namespace corvane
