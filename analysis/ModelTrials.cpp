// SPDX-License-Identifier: Apache-2.0
#include "analysis/ModelTrials.h"

#include <cmath>
#include <stdexcept>

#include "analysis/PartModels.h"

namespace corvane {

namespace {

// The part of a branch that a trial's field stands for: its first or second inductor or capacitor.
std::size_t PlaceInBranch(const ModelBranch& branch, PartField field)
{
    const PartKind kind = field == PartField::L || field == PartField::L2 ? PartKind::Inductor : PartKind::Capacitor;
    int skip = field == PartField::L2 || field == PartField::C2 ? 1 : 0;
    for (std::size_t i = 0; i < branch.parts.size(); ++i)
        if (branch.parts[i].kind == kind && skip-- == 0) return i;
    throw std::invalid_argument("The parts of a branch do not fit its shape");
}

} // namespace

ModelTrial::ModelTrial(const LadderModel& nominal, const PartQuality& quality, const std::vector<Part>& parts)
    : trial_(nominal), quality_(quality)
{
    for (const Part& part : parts) {
        const std::size_t at = PlaceInBranch(nominal.branches.at(part.branch), part.field);
        places_.emplace_back(part.branch, at);
        nominal_.push_back(nominal.branches[part.branch].parts[at].value);
    }
}

void ModelTrial::Scale(const double* factors)
{
    for (std::size_t k = 0; k < places_.size(); ++k)
        trial_.branches[places_[k].first].parts[places_[k].second].value = nominal_[k] * factors[k];
}

bool ModelTrial::Evaluate(const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2,
                          double* reflection) const
{
    const double fourRsRl = 4.0 * trial_.RS * trial_.RL;
    for (std::size_t p = 0; p < count; ++p) {
        const long double w = sweep.w[first + p];
        const NetworkPoint point = AnalyseImmittances(ImmittancesAt(trial_, w, quality_), trial_.RS, trial_.RL);
        // Back from decibels to the kernel's quantities: |S21|^2 = 4 RS RL / den2, |S11|^2 = reflection.
        den2[p] = fourRsRl / std::pow(10.0, point.S21dB / 10.0);
        reflection[p] = point.S11dB <= kReflectionFloorDb ? 0.0 : std::pow(10.0, point.S11dB / 10.0);
        if (!std::isfinite(den2[p]) || !std::isfinite(reflection[p])) return false;
    }
    return true;
}

} // namespace corvane
