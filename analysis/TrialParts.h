// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "analysis/Tolerance.h"
#include "analysis/ToleranceKernel.h"

namespace corvane {

// The parts a Monte Carlo trial perturbs and the ladder each trial builds from them.

// One perturbed value: an inductance or a capacitance of one branch.
enum class PartField { L, C, L2, C2 };

struct Part {
    std::size_t branch;
    PartField field;
    double tolerance; // fraction, 0.05 for 5 %

    bool Inductor() const { return field == PartField::L || field == PartField::L2; }
};

// Every part of the ladder with its tolerance. Unusable tolerances raise std::invalid_argument
// naming the part or the kind.
std::vector<Part> PartsOf(const Ladder& ladder, const ToleranceSettings& settings);

// The part's designator: "L3", "C3", and the second pair of an arm as the designator rule has it.
std::string PartName(const Part& part);

// The value of one part in the ladder.
double& PartValue(Ladder& ladder, const Part& part);

// The random factor of every part for one trial; a trial draws the same factors whoever asks.
void DrawTrialFactors(const std::vector<Part>& parts, const ToleranceSettings& settings, long long trial,
                      double* factors);

// The kernel branches of the ladder with each part scaled by its factor.
void TrialBranches(const Ladder& ladder, const std::vector<Part>& parts, const double* factors, double lossL,
                   double lossC, KernelBranch* branches);

// The ladder, or the ladder with its part models, with each part scaled by its factor.
Ladder ScaledLadder(const Ladder& ladder, const std::vector<Part>& parts, const double* factors);
LadderModel ScaledModel(const LadderModel& ladder, const std::vector<Part>& parts, const double* factors);

// The ladder of one trial, as the analysis perturbs it.
Ladder TrialLadder(const Ladder& ladder, const ToleranceSettings& settings, long long trial);

} // namespace corvane
