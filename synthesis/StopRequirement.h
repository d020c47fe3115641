// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "synthesis/OrderSelection.h"
#include "synthesis/Synthesis.h"

namespace synthesis {

// Sets request.response.N to the smallest order that reaches the request's stopband attenuation
// at stopHz, and returns every family's order at the same requirement for comparison. An inverse
// Chebyshev is then designed at stopHz itself, where its stopband begins; a band design of that
// family cannot be placed so and is refused with a Failure.
std::vector<OrderChoice> PickOrderForStop(DesignRequest& request, Real stopHz);

} // namespace synthesis
