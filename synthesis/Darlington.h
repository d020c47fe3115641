// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "synthesis/Synthesis.h"

namespace corvane {

namespace synthesis {

// The normalised prototype of the approximation c between the request's terminations at the
// given gain, by Darlington synthesis: the polynomials, the side of the load, then the
// continued fraction with zero shifting for the traps in the first order of the transmission
// zeros that gives positive elements and reproduces the response. Throws Failure otherwise.
std::vector<PrototypeBranch> Darlington(const DesignRequest& r, const Characteristic& c, Real gain);

} // namespace synthesis

} // namespace corvane
