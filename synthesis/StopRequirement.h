// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "synthesis/OrderSelection.h"
#include "synthesis/Synthesis.h"

namespace corvane {

namespace synthesis {

// Sets request.response.N to the smallest order that reaches the request's stopband attenuation
// at stopHz and that a ladder between the request's terminations realises (an even-order
// Chebyshev between equal ones takes the next odd order), and returns every family's order at
// the same requirement for comparison, each the lowest buildable one (0 where 15 poles are not
// enough). neededN, when given, receives the order the requirement alone needs.
std::vector<OrderChoice> PickOrderForStop(DesignRequest& request, Real stopHz, int* neededN = nullptr);

} // namespace synthesis

} // namespace corvane
