// SPDX-License-Identifier: Apache-2.0
#include "design/LadderModel.h"

#include <cctype>
#include <stdexcept>

namespace corvane {

namespace {

// The kinds a shape holds, in the order its parts are listed.
std::vector<PartKind> KindsOf(BranchKind shape)
{
    switch (shape) {
    case BranchKind::Inductor: return {PartKind::Inductor};
    case BranchKind::Capacitor: return {PartKind::Capacitor};
    case BranchKind::Resonator:
    case BranchKind::SeriesLC:
    case BranchKind::ParallelLC: return {PartKind::Inductor, PartKind::Capacitor};
    case BranchKind::SeriesArm:
    case BranchKind::ParallelArm: break;
    }
    return {PartKind::Inductor, PartKind::Capacitor, PartKind::Inductor, PartKind::Capacitor};
}

} // namespace

// A designator ends in its number, or KiCad counts the part unannotated; the second pairs are
// numbered past every position a ladder reaches (31 at most).
constexpr int kSecondPairNumber = 100;

std::string Designator(PartKind kind, int position, bool secondPair)
{
    return LetterOf(kind) + std::to_string(secondPair ? kSecondPairNumber + position : position);
}

std::string CurrentDesignator(const std::string& designator)
{
    const size_t n = designator.size();
    if (n < 3 || designator.back() != 'B' || (designator[0] != 'L' && designator[0] != 'C') || designator[1] == '0')
        return designator;
    for (size_t i = 1; i + 1 < n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(designator[i])) || i > 4) return designator;
    return Designator(*DesignatorKind(designator), std::stoi(designator.substr(1, n - 2)), true);
}

ModelBranch MakeBranch(int position, BranchPlace place, BranchKind shape, double L, double C, double L2, double C2)
{
    ModelBranch branch{place, shape, {}};
    const std::vector<PartKind> kinds = KindsOf(shape);
    for (size_t i = 0; i < kinds.size(); ++i) {
        const bool second = i >= 2;
        const bool inductor = kinds[i] == PartKind::Inductor;
        const double value = inductor ? (second ? L2 : L) : (second ? C2 : C);
        branch.parts.push_back({kinds[i], value, Designator(kinds[i], position, second), {}, {}, {}});
    }
    return branch;
}

LadderModel ModelOfLadder(const Ladder& ladder)
{
    LadderModel model{ladder.RS, ladder.RL, {}, {}, {}, {}};
    int position = 1;
    for (const LadderBranch& b : ladder.branches)
        model.branches.push_back(MakeBranch(position++, b.place, b.kind, b.L, b.C, b.L2, b.C2));
    return model;
}

Ladder LadderOfModel(const LadderModel& model)
{
    Ladder ladder;
    ladder.RS = model.RS;
    ladder.RL = model.RL;
    int position = 1;
    for (const ModelBranch& branch : model.branches) {
        const std::vector<PartKind> kinds = KindsOf(branch.shape);
        if (branch.parts.size() != kinds.size())
            throw std::invalid_argument("branch " + std::to_string(position) + " has parts its shape does not hold");
        LadderBranch b{branch.place, branch.shape, 0.0, 0.0};
        for (size_t i = 0; i < kinds.size(); ++i) {
            const ModelPart& part = branch.parts[i];
            if (part.kind != kinds[i])
                throw std::invalid_argument("part " + part.designator + " does not fit the shape of branch " +
                                            std::to_string(position));
            const bool second = i >= 2;
            double& slot = part.kind == PartKind::Inductor ? (second ? b.L2 : b.L) : (second ? b.C2 : b.C);
            slot = part.value;
        }
        ladder.branches.push_back(b);
        ++position;
    }
    return ladder;
}

ModelPart* FindPart(LadderModel& ladder, const std::string& designator)
{
    const std::string wanted = CurrentDesignator(designator);
    for (ModelBranch& branch : ladder.branches)
        for (ModelPart& part : branch.parts)
            if (part.designator == wanted) return &part;
    return nullptr;
}

std::string PartNames(const LadderModel& ladder)
{
    std::string names;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) names += (names.empty() ? "" : ", ") + part.designator;
    return names;
}

} // namespace corvane
