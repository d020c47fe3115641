// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>
#include <vector>

#include <nlohmann/json.hpp>
#include <string>

namespace CLI {
class App;
}

#include "design/PartRange.h"

// The parts of the ladder as built that lie outside a practical range for the design's band, in
// the JSON ("PartFlags": designator and reason) and the text ("Parts hard to build:").
// --part-limits C,L,X: the least capacitance and inductance and the greatest inductor reactance,
// each in engineering notation with or without its unit ("1p,5n,2k", "0.5pF,10nH,1.5kΩ").
void AddPartLimitsOption(CLI::App& app, std::string& text);
// The limits typed; the defaults for an empty text. Throws InputError naming --part-limits.
PartLimits ReadPartLimits(const std::string& text);
// The text that ReadPartLimits reads back to the same limits.
std::string PartLimitsText(const PartLimits& limits);

std::vector<PartFlag> FlagsOfBuiltLadder(const LadderModel& built, const DesignBand& band, double sweepTopHz,
                                         const PartLimits& limits = {});
void AddPartFlagsJson(nlohmann::ordered_json& json, const std::vector<PartFlag>& flags);
// Nothing when every part is in range.
void PrintPartFlags(std::ostream& out, const std::vector<PartFlag>& flags);
