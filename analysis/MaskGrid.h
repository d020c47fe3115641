// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <functional>
#include <vector>

#include "analysis/Mask.h"
#include "analysis/ToleranceKernel.h"
#include "design/LadderModel.h"

namespace corvane {

// The frequencies at which a ladder is measured against its mask, independent of any display
// sweep, and the one meter that measures it there: the Monte Carlo's trials, the optimiser's
// candidates and every margin shown.
//
// Every band gets a grid of its own with both of its edges. It is spaced as the ripple of a
// ladder of that many branches is: a band from DC to an edge as f = edge cos(t) (from
// kMaskLowestRatio of the edge, where the response has settled), a band between two edges as
// ln f = mid - half cos(t), t in equal steps. Low-pass and high-pass ripple then falls at equal
// steps of t, and band-pass ripple nearly so, with 8 grid steps or more between a ripple peak and
// the next dip.
//
// Real parts add features of their own: a part's self-resonance, its series resonance with its
// leads or ESL, an arm's own resonance. These frequencies (GridFeatures) join the grid of every band
// they fall in, each with a neighbourhood wide enough for the parts' tolerances, and a band of a
// ladder with part models is also spaced at most kModelLogStep apart on a logarithmic scale from a
// decade below its lowest feature, so that the interactions of its parts between the features show too.
constexpr double kMaskLowestRatio = 1e-4;
constexpr double kModelLogStep = 0.01; // natural log: 1 %

struct GridFeatures {
    std::vector<double> hz; // resonances that mark features of the response
    bool dense = false; // the ladder has part models: the logarithmic spacing and every extreme refined
};

// The features of a ladder: its arms' resonances (trap zeros), and with part models each part's
// self-resonance and its series resonance with lead or ESL.
GridFeatures FeaturesOf(const LadderModel& ladder, const PartQuality& quality);

// The bands of a mask and their grids, band after band, each ascending.
struct MaskGrid {
    std::vector<MaskBand> bands;
    std::vector<int> points; // of each band
    std::vector<double> frequenciesHz;
    std::vector<std::size_t> firstPoint; // of each band, and one past the last
    bool refineEvery = false; // every extreme is refined, not only those that may be the worst
};

// With totalPoints the plain grids hold that many points in all (at least two per band), shared
// out evenly between the bands, in place of the count that follows the branches; features and
// the logarithmic spacing add to it.
MaskGrid MakeMaskGrid(const Mask& mask, std::size_t branchCount, const GridFeatures& features = {},
                      std::size_t totalPoints = 0);

// The group delay in seconds of the measured ladder at each of count frequencies in hertz; false
// when a response is not finite.
using DelayEvaluator = std::function<bool(const double* hz, std::size_t count, double* delay)>;

// The group delay of the exact analysis (extended precision, from the derivative of the chain
// matrix); the ladder and quality are kept by reference.
DelayEvaluator ExactDelay(const Ladder& ladder, const PartQuality& quality);
DelayEvaluator ExactDelay(const LadderModel& ladder, const PartQuality& quality);

// The margin of a delay band, as a dimensionless figure in dB: 20 log10 of the allowed spread over
// the greatest departure from the band's mean delay, so that it is positive while the delay holds,
// 0 at the limit, and can stand beside the margins in dB in one worst margin.
double DelayMarginDb(double spreadS, double departureS);

// Measures ladders against a mask grid. Holds its own work space: one per thread.
class MaskMeter {
public:
    MaskMeter(const MaskGrid& grid, double RS, double RL);

    // The worst margin in dB over every band: the loss limit less the loss at the passband's worst
    // place, the loss less the limit at the stopband's, the return loss less its limit, the delay's
    // margin (DelayMarginDb). False when a response is not finite. delay is needed by a mask with
    // a delay band alone (std::invalid_argument without it).
    bool Margin(const KernelBranch* branches, std::size_t branchCount, double& marginDb,
                const DelayEvaluator& delay = {});
    // The same for a ladder that evaluate answers for (one with part models).
    bool Margin(const SweepEvaluator& evaluate, double& marginDb, const DelayEvaluator& delay = {});

    // Where the last margin was found: the band's index and the frequency in hertz.
    std::size_t WorstBand() const { return worstBand_; }
    double WorstHz() const { return worstHz_; }

    // The sweep of the grid's points, which the first evaluation of every margin is asked for.
    const KernelSweep& GridSweep() const { return gridSweep_; }
    // The kernel values of every grid point are evaluated per call; exposed for the tests.
    std::size_t PointsEvaluated() const { return evaluated_; }

private:
    // A bracket around one extreme of one band, being narrowed.
    struct Peak {
        std::size_t band;
        double low, high; // hertz
        double best; // the worst place found so far
        double bestValue;
    };
    double ValueAt(std::size_t band, double den2, double reflection) const;
    void FindPeaks(std::size_t band);
    bool RefinePeaks(const SweepEvaluator& evaluate);
    bool DelayMargin(std::size_t band, const DelayEvaluator& delay, double& marginDb, double& hz);

    const MaskGrid& grid_;
    double RS_, RL_;
    KernelSweep gridSweep_, probe_;
    std::vector<double> den2_, reflection_, probeDen2_, probeReflection_, delay_;
    std::vector<double> worstValue_, bandWorstHz_; // per band: the worst kernel value and where it is
    std::vector<Peak> peaks_;
    std::size_t evaluated_ = 0;
    std::size_t worstBand_ = 0;
    double worstHz_ = 0.0;
};

} // namespace corvane
