// SPDX-License-Identifier: Apache-2.0
#include "filtermath/FrequencyUnits.h"

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
    for (const FrequencyUnit& unit : kFrequencyUnits) {
        if (name == unit.name) return &unit;
    }
    return nullptr;
}

} // namespace corvane
