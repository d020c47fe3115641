// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QColor>
#include <QVector>

namespace corvane {

// A stretch of a polyline whose segments share one colour: points first..last inclusive.
struct ColourRun {
    QColor colour;
    int first;
    int last;
};

// Splits a polyline into runs of equal colour, where the segment ending at point i takes
// colours[i]. Consecutive runs share their joining point, so the line stays unbroken.
// Fewer than two points make no segment and no run.
QVector<ColourRun> SplitColourRuns(const QVector<QColor>& colours);

} // namespace corvane
