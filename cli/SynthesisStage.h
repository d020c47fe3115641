// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>

#include "cli/CliOptions.h"

namespace corvane {

// A design that the classic run cannot make: another family, a band-stop, a source unlike the
// load, an even-order Chebyshev with --rs, the order picked from a stopband requirement, or a
// design file's design panel design. The classic designs keep their run.
bool NeedsSynthesis(const CliOptions& options);

// Synthesises the ladder, prints its elements (or the JSON object), analyses and exports it as
// the network options ask. Messages go to err. Returns the exit status.
int RunSynthesisDesign(const CliOptions& options, std::ostream& out, std::ostream& err);

} // namespace corvane
