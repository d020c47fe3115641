// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>

#include <nlohmann/json.hpp>

#include "cli/CliPorts.h"

namespace corvane {

// The design state after the run under its own field names, plus S11, Title and Grid.
nlohmann::ordered_json StateJson(const DesignState& state, const CliForm& form, const CliResults& results);
// The element grid as the window shows it (every row), then the prototype values.
void PrintText(const DesignState& state, const CliResults& results, std::ostream& out);

} // namespace corvane
