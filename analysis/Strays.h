// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "design/LadderModel.h"

namespace corvane {

// "Absorb strays": the board's stray capacitance at a node is taken out of the shunt capacitor that
// sits across that node (a lone capacitor, the C of a parallel resonator, the C2 of a trap arm), so
// that the two together are the capacitance designed. The strays stay in the model: they are the
// board's. A capacitor that would go to zero or below keeps its value.
struct AbsorbedStrays {
    std::vector<std::string> absorbed; // designators of the capacitors made smaller
    std::vector<std::string> refused; // one message per capacitor that cannot take its node's stray
};
AbsorbedStrays AbsorbStrays(LadderModel& ladder);

// The nodes of the ladder's signal path: n1 at the source, one more after each series branch.
int NodeCount(const LadderModel& ladder);
// The stray given at "out" moved to the ladder's last node; InputError when that node has one of its
// own as well.
void ResolveOutputNode(LadderModel& ladder);
// InputError for a stray given at a node the ladder does not have, naming the nodes it has.
void CheckStrayNodes(const LadderModel& ladder);

} // namespace corvane
