#pragma once
#include <iosfwd>

#include "CliOptions.h"

// Exit statuses of corvane-cli.
constexpr int kExitCompleted = 0;
constexpr int kExitEndedEarly = 1;
constexpr int kExitUsage = 2;

// One calculation as the window would do it: open with the defaults, take the user's choices
// and texts, press "Apply". Messages go to err, the result to out. Returns the exit status.
int RunDesign(const CliOptions& options, std::ostream& out, std::ostream& err);
