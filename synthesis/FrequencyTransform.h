// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "synthesis/Synthesis.h"

namespace corvane {

namespace synthesis {

// The ladder in henries and farads: the prototype transformed to the request's type and
// frequencies and scaled to its source resistance. Throws Failure when a part value falls
// outside the range of numbers.
Ladder Denormalise(const DesignRequest& r, const std::vector<PrototypeBranch>& prototype);

} // namespace synthesis

} // namespace corvane
