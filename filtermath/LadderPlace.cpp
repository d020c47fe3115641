// SPDX-License-Identifier: Apache-2.0
#include "filtermath/LadderPlace.h"

namespace corvane {

LadderTopology TopologyForIndex(int itemIndex)
{
    return itemIndex == 0 ? LadderTopology::T : LadderTopology::Pi;
}

BranchPlace PlaceOfPosition(int i, LadderTopology topology)
{
    const bool odd = i % 2 != 0;
    const bool seriesWhenOdd = topology == LadderTopology::T;
    return odd == seriesWhenOdd ? BranchPlace::Series : BranchPlace::Shunt;
}

} // namespace corvane
