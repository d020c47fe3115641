// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <utility>
#include <vector>

#include "analysis/ToleranceKernel.h"
#include "analysis/TrialParts.h"
#include "design/LadderModel.h"

namespace corvane {

// A Monte Carlo trial of a ladder with part models or strays: each perturbed part takes its nominal
// value times its factor, and keeps its model as stated (Q, ESR, self-resonance, leads, a measured
// part's data), as do the board's strays. The trials' kernel knows only L, C and one Q per kind, so
// such a trial is analysed by the exact analysis of part models (PartModels.h), point by point.
class ModelTrial {
public:
    ModelTrial(const LadderModel& nominal, const PartQuality& quality, const std::vector<Part>& parts);

    // Each of the parts at its nominal value times factors[k], in the order of parts.
    void Scale(const double* factors);

    // den2 and reflection as EvaluateKernel gives them, for the scaled ladder. Faults of the
    // analysis raise ArithmeticError; false when a response is not finite.
    bool Evaluate(const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2,
                  double* reflection) const;

private:
    LadderModel trial_;
    PartQuality quality_;
    std::vector<std::pair<std::size_t, std::size_t>> places_; // branch and part of each perturbed part
    std::vector<double> nominal_;
};

} // namespace corvane
