// SPDX-License-Identifier: Apache-2.0
#include "design/SelectorItems.h"

#include "filtermath/FrequencyUnits.h"

namespace corvane {

namespace {

template <typename Value, std::size_t Count, std::size_t Items>
const char* ItemText(const NameTable<Value, Count>& table, const std::array<Value, Items>& items, int index)
{
    return index >= 0 && index < static_cast<int>(Items) ? TextOf(table, items[static_cast<std::size_t>(index)])
                                                         : nullptr;
}

} // namespace

const char* SelectorItemText(Selector selector, int index)
{
    switch (selector) {
    case Selector::Type: return ItemText(kFilterTypeNames, kTypeItems, index);
    case Selector::Model: return ItemText(kFamilyNames, kModelItems, index);
    case Selector::Topology: return ItemText(kFormNames, kTopologyItems, index);
    case Selector::Scale: break;
    }
    return index >= 0 && index < static_cast<int>(kFrequencyUnits.size())
               ? kFrequencyUnits[static_cast<std::size_t>(index)].name
               : nullptr;
}

} // namespace corvane
