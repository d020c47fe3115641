// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "design/PartRange.h"

namespace CLI {
class App;
}

namespace corvane {

// --part-limits C,L,X (see ReadPartLimits in the input rules).
void AddPartLimitsOption(CLI::App& app, std::string& text);
// The limits typed; the defaults for an empty text. Throws InputError naming --part-limits.
PartLimits ReadPartLimits(const std::string& text);

// The flags of the ladder as built (FlagBuiltParts), in the JSON ("PartFlags": designator and
// reason) and the text ("Parts hard to build:").
void AddPartFlagsJson(nlohmann::ordered_json& json, const std::vector<PartFlag>& flags);
// Nothing when every part is in range.
void PrintPartFlags(std::ostream& out, const std::vector<PartFlag>& flags);

} // namespace corvane
