// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <vector>

#include "analysis/Tolerance.h"
#include "analysis/ToleranceKernel.h"

namespace corvane {

// The frequencies at which a trial is measured against its mask, independent of any display
// sweep: every band of the mask gets a fixed grid with both of its edges, and the worst places
// of each trial's response are then found by refining around the grid's extremes.
//
// A grid is spaced as the ripple of a ladder of that many branches is: a band from zero to an
// edge as f = edge cos(t), one from an edge to infinity as f = edge / cos(t), and a band between
// two edges as ln f = mid - half cos(t), t in equal steps. Low-pass and high-pass ripple then
// falls at equal steps of t, and band-pass ripple nearly so, with 8 grid steps or more between
// a ripple peak and the next dip. The open ends stop at 1e-4 and 1e4 of the edge, where a
// ladder's response has long settled.

//
// With totalPoints the grid holds that many points in all (at least two per band), shared out
// evenly between the bands, in place of the count that follows the branches.
// With openEndRatio an open band (to zero or to infinity) stops at that ratio to its edge.
constexpr double kMaskOpenEnd = 1e4;
MaskGrid MakeMaskGrid(const ToleranceMask& mask, std::size_t branchCount, std::size_t totalPoints = 0,
                      double openEndRatio = kMaskOpenEnd);

// Measures ladders against a mask grid. Holds its own work space: one per thread.
class MaskMeter {
public:
    MaskMeter(const MaskGrid& grid, double RS, double RL);

    // The worst margin in dB over every band: the loss limit less the loss at the passband's
    // worst place, the loss less the limit at the stopband's. False when a response is not finite.
    bool Margin(const KernelBranch* branches, std::size_t branchCount, double& marginDb);
    // The same for a ladder that evaluate answers for (one with part models).
    bool Margin(const SweepEvaluator& evaluate, double& marginDb);

    // The kernel values of every grid point are evaluated per call; exposed for the tests.
    std::size_t PointsEvaluated() const { return evaluated_; }

private:
    // A bracket around one extreme of one band, being narrowed.
    struct Peak {
        std::size_t band;
        double low, high; // hertz
        double best; // the worst place found so far
        double bestDen2;
    };
    void FindPeaks(std::size_t band);
    bool RefinePeaks(const SweepEvaluator& evaluate);

    const MaskGrid& grid_;
    double RS_, RL_;
    KernelSweep gridSweep_, probe_;
    std::vector<double> den2_, reflection_, probeDen2_, probeReflection_;
    std::vector<double> worstDen2_; // per band: the greatest |den|^2 of a passband, the least of a stopband
    std::vector<Peak> peaks_;
    std::size_t evaluated_ = 0;
};

} // namespace corvane
