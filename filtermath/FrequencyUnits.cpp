// SPDX-License-Identifier: Apache-2.0
#include "filtermath/FrequencyUnits.h"

#include <cctype>

namespace corvane {

const std::array<FrequencyUnit, 4> kFrequencyUnits{{{"Hz", 1.0}, {"kHz", 1e3}, {"MHz", 1e6}, {"GHz", 1e9}}};

const FrequencyUnit* UnitOfScale(double UnitScale)
{
    for (const FrequencyUnit& unit : kFrequencyUnits) {
        if (unit.scale == UnitScale) return &unit;
    }
    return nullptr;
}

const FrequencyUnit* UnitOfName(const std::string& name)
{
    const auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    for (const FrequencyUnit& unit : kFrequencyUnits) {
        if (lower(name) == lower(unit.name)) return &unit;
    }
    return nullptr;
}

std::vector<std::string> FrequencyUnitNames()
{
    std::vector<std::string> names;
    for (const FrequencyUnit& unit : kFrequencyUnits) names.emplace_back(unit.name);
    return names;
}

} // namespace corvane
