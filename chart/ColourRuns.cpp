// SPDX-License-Identifier: Apache-2.0
#include "chart/ColourRuns.h"

namespace corvane {

QVector<ColourRun> SplitColourRuns(const QVector<QColor>& colours)
{
    QVector<ColourRun> runs;
    for (int i = 1; i < colours.size(); ++i) {
        if (!runs.isEmpty() && runs.back().colour == colours[i])
            runs.back().last = i;
        else
            runs.push_back({colours[i], i - 1, i});
    }
    return runs;
}

} // namespace corvane
