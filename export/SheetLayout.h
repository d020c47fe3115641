// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "design/LadderModel.h"
#include "design/PartChoice.h"

namespace corvane {

// The ladder drawn on a schematic sheet, in millimetres on KiCad's 1.27 mm grid, y downwards:
// the signal line runs left to right, each series arm sits in it, each shunt arm hangs from it down
// to a ground rail, and the ports are labels at the ends. Parts in parallel stack upwards in the
// line and to the right in a shunt arm; parts in series follow one another. A long ladder wraps:
// its line returns below the ground rail to run on in a row of its own, each row with its own rail
// and GND label. Wires meet pins, labels
// and one another at their ends only, never end to end in one line, and a junction marks every
// place where three or more of them meet: KiCad connects no other way.
struct SheetPoint {
    double x = 0.0, y = 0.0;
    bool operator==(const SheetPoint& o) const { return x == o.x && y == o.y; }
};

struct SheetSymbol {
    const ModelPart* part; // into the ladder laid out: the part drawn, or the one a pair's member builds
    const CataloguePart* member; // a member of a pair, drawn as a part of its own; null for a whole part
    std::string designator; // the part's, or the member's (MemberDesignator)
    SheetPoint at; // the symbol's origin, midway between its pins
    int angle; // 0: pins above and below; 90: pins left and right
};

struct SheetWire {
    SheetPoint from, to;
};

struct SheetLabel {
    std::string text; // "IN", "OUT", "GND"
    SheetPoint at;
    int angle; // 0: the wire leaves to the left of the text; 180: to its right
};

struct SheetLayout {
    std::vector<SheetSymbol> symbols;
    std::vector<SheetWire> wires;
    std::vector<SheetLabel> labels;
    std::vector<SheetPoint> junctions; // where three or more wire ends, pins and labels meet
    double width = 0.0, height = 0.0; // the extent drawn, margins included
};

// Half the distance between the two pins of the R, L and C symbols.
constexpr double kPinOffset = 3.81;

// A part that choices build from a pair is drawn as its two members, in parallel or in series.
SheetLayout LayOutLadder(const LadderModel& ladder, const std::vector<PartChoice>& choices);

} // namespace corvane
