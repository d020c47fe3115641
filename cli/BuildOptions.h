// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "cli/CliOptions.h"
#include "rules/BuildSettings.h"

namespace corvane {

// The build settings the options give, as texts: the design file's ones where the command line
// gives none. A --part or --part-model that names no part, or names one twice, raises InputError.
BuildTexts BuildTextsOf(const CliOptions& options);

// The options' names for the messages, the power named as it was given.
BuildNames CommandLineNamesOf(const NetworkOptions& options);

// The settings read for a design of context; InputError naming the option that cannot be used.
BuildRequest ReadBuildOptions(const CliOptions& options, const BuildContext& context);

} // namespace corvane
