// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvane {

// Where the elements of a ladder sit. Position 1 is next to the source; the places alternate.

enum class LadderTopology { T, Pi };
// The topology selector's item index: 0 is "T - Type", any other index is Pi.
LadderTopology TopologyForIndex(int itemIndex);

// A series branch lies in the signal path, a shunt branch across it.
enum class BranchPlace { Series, Shunt };

// T: odd positions in series; Pi: odd positions across the line.
BranchPlace PlaceOfPosition(int i, LadderTopology topology);

} // namespace corvane
