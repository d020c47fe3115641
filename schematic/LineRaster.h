// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QList>
#include <QPolygon>

namespace corvane {

// The pixels of a segment as a classic canvas plots them: the start pixel set, the end
// pixel left for the next segment; a pixel that lies halfway between two goes to the one
// nearer the start. A dash pattern (on and off lengths in pixels, empty for a solid pen)
// is applied from the start.
QPolygon SegmentPixels(int x0, int y0, int x1, int y1, const QList<qreal>& pattern);

} // namespace corvane
