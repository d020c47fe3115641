#pragma once
#include <atomic>
#include <vector>

#include "analysis/NetworkResponse.h"
#include "filtermath/LadderAnalysis.h"

// One exact analysis as the window asks for it: the ladder as built (standard values, chosen
// load), the parts' Q and the sweep in the design's unit. Plain data, so that a worker thread
// can own a copy.
struct ExactJob {
    Ladder ladder;
    PartQuality quality;
    std::vector<double> freq; // chosen unit, ascending
    double unitScale = 1.0; // hertz per unit
};

// The job's curves, analysed in blocks of kExactJobBlock points. done counts the points
// finished so far, for a progress bar; a set cancel stops at the next block and the partial
// curves are dropped (returns false). A fault of the analysis propagates as its Failure.
constexpr size_t kExactJobBlock = 1000;
bool RunExactJob(const ExactJob& job, NetworkCurves& curves, const std::atomic<bool>& cancel, std::atomic<int>& done);
