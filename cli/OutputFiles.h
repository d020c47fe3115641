// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

#include "cli/CliOptions.h"

namespace corvane {

// The outputs a run writes: the printed result, --spice, --touchstone and --save-design.

// Empty when every output goes to a place of its own; else the usage error naming the two
// options that would write into one file (standard output counts as one: "-", and the printed
// result when no file takes it).
std::string OutputClash(const CliOptions& options);

// A file is written to standard output ("-"); the printed result then stays off it.
bool FileTakesStandardOutput(const CliOptions& options);

} // namespace corvane
