// SPDX-License-Identifier: Apache-2.0
#include "analysis/Strays.h"

#include "analysis/InputRules.h"
#include "analysis/PartModels.h"
#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

// The capacitor of a shunt branch that lies straight across its node, or none.
ModelPart* NodeCapacitor(ModelBranch& branch)
{
    if (branch.place != BranchPlace::Shunt) return nullptr;
    switch (branch.shape) {
    case BranchKind::Capacitor: return &branch.parts.at(0);
    case BranchKind::Resonator:
    case BranchKind::ParallelLC: return &branch.parts.at(1);
    case BranchKind::ParallelArm: return &branch.parts.at(3);
    default: return nullptr;
    }
}

} // namespace

AbsorbedStrays AbsorbStrays(LadderModel& ladder)
{
    AbsorbedStrays result;
    int node = 1;
    int lastAbsorbed = 0; // one capacitor per node absorbs its stray
    for (ModelBranch& branch : ladder.branches) {
        if (branch.place == BranchPlace::Series) {
            ++node;
            continue;
        }
        ModelPart* capacitor = NodeCapacitor(branch);
        const double stray = NodeCapacitance(ladder, node);
        if (!capacitor || !(stray > 0.0) || node == lastAbsorbed) continue;
        if (capacitor->value - stray <= 0.0) {
            result.refused.push_back(capacitor->designator + " (" + EngineeringText(capacitor->value, "F", true) +
                                     ") cannot absorb the " + EngineeringText(stray, "F", true) +
                                     " stray of its node: it would go to zero or below; it is kept.");
            continue;
        }
        // The stray stays on the board; the capacitor beside it is made smaller by as much.
        capacitor->value -= stray;
        lastAbsorbed = node;
        result.absorbed.push_back(capacitor->designator);
    }
    return result;
}

int NodeCount(const LadderModel& ladder)
{
    int nodes = 1;
    for (const ModelBranch& branch : ladder.branches) nodes += branch.place == BranchPlace::Series;
    return nodes;
}

void ResolveOutputNode(LadderModel& ladder)
{
    std::map<int, double>& at = ladder.strays.nodeCAt;
    const auto out = at.find(BoardStrays::kOutputNode);
    if (out == at.end()) return;
    const int last = NodeCount(ladder);
    if (at.count(last) != 0)
        throw InputError("The stray at out is the one at n" + std::to_string(last) + ", which is given as well.");
    at[last] = out->second;
    at.erase(out);
}

void CheckStrayNodes(const LadderModel& ladder)
{
    const int nodes = NodeCount(ladder);
    for (const auto& [node, C] : ladder.strays.nodeCAt)
        if (node > nodes)
            throw InputError("The ladder has nodes n1 to n" + std::to_string(nodes) + "; a stray is given at n" +
                             std::to_string(node) + ".");
}

} // namespace corvane
