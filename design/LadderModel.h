// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "design/MeasuredPart.h"
#include "design/Names.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// The ladder as built, whatever made it (the classic run, the synthesis of a family, a design
// file): its terminations and its branches from source to load, each with its parts. Values are
// in henries, farads and ohms. Everything past the design step (analysis, tolerance, exports,
// schematic, command line) works on this one type.

// How a real inductor or capacitor departs from its ideal value. An inductor is its L in series
// with its loss resistance, the whole shunted by the capacitance that makes it resonate at srfHz;
// a capacitor is its C in series with its loss resistance and its series inductance (esl, or the
// one that resonates with C at srfHz). The loss resistance is seriesR (an inductor's DC
// resistance, a capacitor's ESR) plus the reactance over Q, where Q is constant or grows with the
// square root of the frequency from its value at QHz. Zero leaves a feature out.
enum class QGrowth { Constant, SqrtF };

struct PartModel {
    double Q = 0.0;
    QGrowth growth = QGrowth::Constant;
    double QHz = 0.0; // where Q is stated; needed by SqrtF alone
    double seriesR = 0.0; // ohms
    double srfHz = 0.0;
    double esl = 0.0; // henries; a capacitor's alone, and only without srfHz

    bool Ideal() const { return Q == 0.0 && seriesR == 0.0 && srfHz == 0.0 && esl == 0.0; }
    bool operator==(const PartModel& other) const
    {
        return Q == other.Q && growth == other.growth && QHz == other.QHz && seriesR == other.seriesR &&
               srfHz == other.srfHz && esl == other.esl;
    }
    bool operator!=(const PartModel& other) const { return !(*this == other); }
};

struct ModelPart {
    PartKind kind = PartKind::Inductor;
    double value = 0.0;
    std::string designator; // "L1", "C2", "L102": made by Designator() alone
    std::optional<PartModel> model; // absent: the default of its kind (LadderModel)
    std::optional<double> leadL; // henries in series (leads, pads); absent: the board's default
    // A vendor's measured part in place of value and model; value then holds its fitted L or C.
    std::shared_ptr<const MeasuredPart> measured;

    bool operator==(const ModelPart& other) const
    {
        return kind == other.kind && value == other.value && designator == other.designator && model == other.model &&
               leadL == other.leadL && SameMeasured(other);
    }
    bool SameMeasured(const ModelPart& other) const
    {
        if (!measured || !other.measured) return measured == other.measured;
        return *measured == *other.measured;
    }
};

// The board around the parts: a shunt capacitance at every node of the signal path, source side to
// load side (node k is the one after the k-1-th series branch), and an inductance in series with
// every part.
struct BoardStrays {
    double nodeC = 0.0; // farads, every node
    double leadL = 0.0; // henries, every part
    std::map<int, double> nodeCAt; // farads at node k (from 1), in place of nodeC; kOutputNode: the last
    static constexpr int kOutputNode = 0; // "out", as the netlist names the load's node

    bool None() const
    {
        if (leadL != 0.0 || nodeC != 0.0) return false;
        for (const auto& node : nodeCAt)
            if (node.second != 0.0) return false;
        return true;
    }
    bool operator==(const BoardStrays& other) const
    {
        return nodeC == other.nodeC && leadL == other.leadL && nodeCAt == other.nodeCAt;
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
    PartModel inductorModel; // the default of every inductor without a model of its own
    PartModel capacitorModel;
    BoardStrays strays;

    bool operator==(const LadderModel& other) const
    {
        return RS == other.RS && RL == other.RL && branches == other.branches && inductorModel == other.inductorModel &&
               capacitorModel == other.capacitorModel && strays == other.strays;
    }
    bool operator!=(const LadderModel& other) const { return !(*this == other); }
};

// The designator of a part: its kind's letter and the branch position from 1, or 100 plus the
// position for the second pair of a four-part arm (L3, C3, L103, C103; R for a resistor). It ends in
// its number, as KiCad and board tools need of an annotated part.
std::string Designator(PartKind kind, int position, bool secondPair = false);

// A designator as this version names the part: the second pair's earlier name (L3B, C3B, in
// design files and command lines written before) becomes its current one (L103, C103); any other
// text is returned as it is.
std::string CurrentDesignator(const std::string& designator);

// The branch at a position (from 1) of a shape with its values, the parts named. Values the shape
// does not use are ignored: L for a capacitor, L2 and C2 unless the arm has two pairs.
ModelBranch MakeBranch(int position, BranchPlace place, BranchKind shape, double L, double C, double L2 = 0.0,
                       double C2 = 0.0);

// Between the model and the compact ladder that the analysis cascades. ModelOfLadder names every
// part; LadderOfModel throws std::invalid_argument naming the branch whose parts do not fit
// its shape (a resistor included: no shape holds one yet).
LadderModel ModelOfLadder(const Ladder& ladder);
Ladder LadderOfModel(const LadderModel& model);

// The part with the designator, null when the ladder has none; PartNames lists the ones it has
// ("L1, C2, L3"), for the message that says so. FindPart takes the earlier names of the second
// pairs too (CurrentDesignator).
ModelPart* FindPart(LadderModel& ladder, const std::string& designator);
std::string PartNames(const LadderModel& ladder);

} // namespace corvane
