// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <atomic>
#include <exception>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analysis/PartCandidates.h"
#include "analysis/Tolerance.h"
#include "design/LadderModel.h"
#include "design/PartChoice.h"

namespace corvane {

// Picks the parts a designed ladder is built from so that it meets its mask with the largest
// worst-case margin, or with the highest Monte Carlo yield.
//
// The search is deterministic:
// 1. Every free part gets its candidates (PartCandidates.h): the two stock values below its
//    designed value and the two above, and with pairs allowed the four nearest pairs.
// 2. Exhaustive search: over every combination of the candidates when there are at most
//    kExhaustiveCombinations of them, else over the two bracketing values of each part (the
//    nearest candidate below the designed value and the nearest above) while those are few enough.
// 3. Coordinate descent from the best found (or from plain rounding where step 2 had too many
//    combinations): part after part, in ladder order, every candidate is tried and the best kept,
//    until a whole round changes nothing.
// 4. Parts to tune (trimmers) stay continuous: each is set, in turn and for a few rounds, by a
//    golden-section search of its value within a factor 1.5 of the designed one, the others fixed.
// 5. For the yield: coordinate descent as in 3 on the yield of a Monte Carlo run of the given
//    settings at every step (the same seed for every candidate, so that they meet the same
//    draws), ties going to the larger margin.
// The margin is measured by the tolerance analysis's mask meter (MaskMeter: the same bands, the
// grid's points, then the worst places refined between them), on the tolerance analysis's own grid
// unless maskPoints asks for another count, with each part's own Q where the stock states one and
// the kind's Q of `quality` otherwise. Where the stock states any figure (a Q, a self-resonance, a
// resistance) or the designed ladder has part models or strays, the margin is instead measured with
// each chosen part's whole model (ModelOfChoice) by the part models' analysis (ModelMaskMeter), on the
// grid of a ladder with part models (logarithmic spacing, every extreme refined). The yield's trials are then the
// tolerance analysis's trials with part models (ModelTrial): the assignment's ladder, every model kept as stated while
// the values vary. The chosen parts' models go into the optimised ladder, so that every analysis and export after it
// sees them.

// The points of the optimiser's mask grid unless asked otherwise: 0, the tolerance analysis's own.
constexpr std::size_t kOptimiserMaskPoints = 0;

enum class OptimiseGoal { Margin, Yield };

struct OptimiseRequest {
    PartStock stock;
    bool allowPairs = false;
    std::set<std::string> keep; // designators held at their designed values
    std::set<std::string> tune; // designators tuned continuously
    OptimiseGoal goal = OptimiseGoal::Margin;
    // The yield's trials; a part's tolerance is its catalogue part's where stated, else the kind's here.
    ToleranceSettings yield;
    // The points of the mask's grid; 0 for the tolerance analysis's own (MakeMaskGrid).
    std::size_t maskPoints = kOptimiserMaskPoints;
    // Polled at every margin measured: an optimiser asked to stop raises OptimiseCancelled. Optional.
    const std::atomic<bool>* cancel = nullptr;
    // Counts the margins measured (a yield's trials included). Optional.
    std::atomic<long long>* margins = nullptr;
};

class OptimiseCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "The optimiser was cancelled."; }
};

struct OptimiseResult {
    LadderModel ladder; // as built: the designed ladder with the chosen values
    std::vector<PartChoice> choices; // one per part, in ladder order
    double marginBeforeDb = 0.0; // every free part rounded to its nearest stock value
    double marginAfterDb = 0.0;
    std::optional<double> yieldBefore, yieldAfter; // the yield goal only
    long long evaluations = 0; // margins measured
    std::size_t worstBand = 0; // where the optimised ladder's worst margin is: the band's index in the mask
    double worstHz = 0.0; // and the frequency
};

// The largest combination count searched exhaustively.
constexpr long long kExhaustiveCombinations = 4096;

// Throws std::invalid_argument when the mask has no band, a designator to keep or tune is none of
// the ladder's, or the stock holds no part of a kind the ladder needs; ArithmeticError as the
// tolerance analysis does.
OptimiseResult OptimiseParts(const LadderModel& designed, const PartQuality& quality, const Mask& mask,
                             const OptimiseRequest& request);

} // namespace corvane
