// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "analysis/MeasuredFigures.h"
#include "export/TouchstoneReader.h"

namespace corvane {

// The same two-port seen from other reference resistances: a file measured against 75 ohms
// compared with a ladder between 50 ohms must first be renormalised, or every figure is off by the
// mismatch. Real references, power waves: S' = A^-1 (S - G)(I - G S)^-1 A with G the reflection of
// each new reference against the old and A = diag(sqrt(1 - G^2)).
TwoPortData RenormalisedTo(const TwoPortData& data, double port1Ohms, double port2Ohms);

// The measured points as a ladder between RS and RL sees them.
std::vector<MeasuredPoint> MeasuredPointsAt(const TwoPortData& data, double RS, double RL);

} // namespace corvane
