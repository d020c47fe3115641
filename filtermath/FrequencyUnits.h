// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>

// The frequency units of the unit selector, in item order, with hertz per unit.
struct FrequencyUnit {
    const char* name;
    double scale;
};

extern const std::array<FrequencyUnit, 4> kFrequencyUnits; // Hz, kHz, MHz, GHz

// The unit of exactly this scale; nullptr for any other.
const FrequencyUnit* UnitOfScale(double UnitScale);
