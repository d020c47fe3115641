// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>

#include <string>
#include <vector>

namespace corvane {

// The frequency units of the unit selectors, in the classic drop-down's item order, with hertz
// per unit. The name is at once the drop-down text, the command-line choice and the design-file key.
struct FrequencyUnit {
    const char* name;
    double scale;
};

extern const std::array<FrequencyUnit, 4> kFrequencyUnits; // Hz, kHz, MHz, GHz

// The unit of exactly this scale, or of this name in any case ("MHz", "mhz"); nullptr for any other.
const FrequencyUnit* UnitOfScale(double UnitScale);
const FrequencyUnit* UnitOfName(const std::string& name);

// The names in the table's order ("Hz", "kHz", "MHz", "GHz").
std::vector<std::string> FrequencyUnitNames();

} // namespace corvane
