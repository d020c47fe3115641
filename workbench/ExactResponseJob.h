// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <atomic>
#include <vector>

#include "analysis/NetworkResponse.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// One exact analysis as the window asks for it: the ladder as built (standard values, chosen
// load), the parts' Q and the sweep in the design's unit. Plain data, so that worker threads
// can share it read-only.
struct ExactJob {
    LadderModel ladder;
    PartQuality quality;
    std::vector<double> freq; // chosen unit, ascending
    double unitScale = 1.0; // hertz per unit
};

// The job's curves, the sweep cut into blocks that every core takes in turn. done counts the
// points finished so far, for a progress bar; a set cancel stops at the next block and the
// partial curves are dropped (returns false). The first fault of the analysis propagates as
// its Failure once every thread has stopped.
bool RunExactJob(const ExactJob& job, NetworkCurves& curves, const std::atomic<bool>& cancel,
                 std::atomic<long long>& done);

} // namespace corvane
