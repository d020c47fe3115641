// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>

// The item texts of the response type, approximation and topology drop-downs, in item order.
// The unit drop-down's items are the names of kFrequencyUnits (filtermath/FrequencyUnits.h).
extern const std::array<const char*, 3> kTypeItems; // "LPF", "HPF", "BPF"
extern const std::array<const char*, 2> kModelItems; // "Butterworth", "Chebyshev"
extern const std::array<const char*, 2> kTopologyItems; // "T - Type", "Pi - Type"
