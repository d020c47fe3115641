// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "cli/CliOptions.h"

namespace corvane {

// The classic design's fields checked before the run: a number the run would answer with one of
// the window's general texts ("Enter the inputs.", a division by zero), or a sweep the ladder's
// analysis would run backwards, raises InputError naming its option. A text that does not convert is left to the run's
// own message.
void CheckClassicFields(const CliOptions& options);

} // namespace corvane
