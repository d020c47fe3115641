// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>

#include "design/Names.h"
#include "design/FormFields.h"

namespace corvane {

// The classic drop-downs' items in item order, each as the value it stands for; an item's text
// is that value's text in its name table. The unit drop-down's items are kFrequencyUnits
// (filtermath/FrequencyUnits.h).
inline constexpr std::array<FilterType, 3> kTypeItems{FilterType::LowPass, FilterType::HighPass, FilterType::BandPass};
inline constexpr std::array<Family, 2> kModelItems{Family::Butterworth, Family::Chebyshev};
inline constexpr std::array<LadderTopology, 2> kTopologyItems{LadderTopology::T, LadderTopology::Pi};

// The text of a classic drop-down's item; nullptr for an index outside its items.
const char* SelectorItemText(Selector selector, int index);

} // namespace corvane
