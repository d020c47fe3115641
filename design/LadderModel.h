// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "filtermath/LadderAnalysis.h"

// The ladder as built, whatever made it (the classic run, the synthesis of a family, a design
// file): its terminations and its branches from source to load, each with its parts. Values are
// in henries, farads and ohms. Everything past the design step (analysis, tolerance, exports,
// schematic, command line) works on this one type.

enum class PartKind { Inductor, Capacitor, Resistor };

struct ModelPart {
    PartKind kind = PartKind::Inductor;
    double value = 0.0;
    std::string designator; // "L1", "C2", "L2B": made by Designator() alone
    // A part model of its own (Q, ESR, self-resonance) belongs here; until then the analysis
    // applies one PartQuality to every part of a kind.

    bool operator==(const ModelPart& other) const
    {
        return kind == other.kind && value == other.value && designator == other.designator;
    }
};

// How the parts of a branch connect is its BranchKind (filtermath/LadderAnalysis.h). The parts
// are listed as the shape reads them: L, then C, then the second pair's L and C.
struct ModelBranch {
    BranchPlace place = BranchPlace::Series;
    BranchKind shape = BranchKind::Inductor;
    std::vector<ModelPart> parts;

    bool operator==(const ModelBranch& other) const
    {
        return place == other.place && shape == other.shape && parts == other.parts;
    }
};

struct LadderModel {
    double RS = 0.0; // source resistance, ohms
    double RL = 0.0; // load resistance, ohms
    std::vector<ModelBranch> branches; // position 1 (next to the source) first

    bool operator==(const LadderModel& other) const
    {
        return RS == other.RS && RL == other.RL && branches == other.branches;
    }
    bool operator!=(const LadderModel& other) const { return !(*this == other); }
};

// The designator of a part: its kind's letter, the branch position from 1, and "B" for the
// second pair of a four-part arm (L3, C3, L3B, C3B; R for a resistor).
std::string Designator(PartKind kind, int position, bool secondPair = false);

// The branch at a position (from 1) of a shape with its values, the parts named. Values the shape
// does not use are ignored: L for a capacitor, L2 and C2 unless the arm has two pairs.
ModelBranch MakeBranch(int position, BranchPlace place, BranchKind shape, double L, double C, double L2 = 0.0,
                       double C2 = 0.0);

// Between the model and the compact ladder that the analysis cascades. ModelOfLadder names every
// part; LadderOfModel throws std::invalid_argument naming the branch whose parts do not fit
// its shape (a resistor included: no shape holds one yet).
LadderModel ModelOfLadder(const Ladder& ladder);
Ladder LadderOfModel(const LadderModel& model);
