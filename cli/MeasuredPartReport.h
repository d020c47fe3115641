// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>

#include <nlohmann/json.hpp>

#include "design/LadderModel.h"

namespace corvane {

// The parts of the ladder as built that come from vendors' files, in the JSON ("MeasuredParts":
// Part, File, LowHz and HighHz of the data, and the fitted equivalent R, L, C in ohms, henries and
// farads) and the text ("Parts from measured files:"); nothing without such parts.
void AddMeasuredPartsJson(nlohmann::ordered_json& json, const LadderModel& built);
void PrintMeasuredParts(std::ostream& out, const LadderModel& built);

} // namespace corvane
