// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>

#include "cli/CliOptions.h"

namespace corvane {

class CalculationRun;
class CliForm;

// Exit statuses of corvane-cli.
constexpr int kExitCompleted = 0;
constexpr int kExitEndedEarly = 1;
constexpr int kExitUsage = 2;

// One calculation as the window would do it: open with the defaults, take the user's choices
// and texts, press "Apply". Messages go to err, the result to out. Returns the exit status.
int RunDesign(const CliOptions& options, std::ostream& out, std::ostream& err);

// The handlers the window would run as the user makes the choices: the selectors, the sweep
// fields and the unit, then "Apply". Failures propagate to the caller.
void ChooseAndApply(CalculationRun& run, CliForm& form, const CliOptions& options);

} // namespace corvane
