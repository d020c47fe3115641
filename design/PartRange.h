// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "design/DesignBand.h"
#include "design/LadderModel.h"

namespace corvane {

// Whether each part of a ladder can be built at the design's frequency. Below about a picofarad a
// capacitor is no larger than the stray capacitance of its pads, and below a few nanohenries an
// inductor is no larger than a via's or a lead's; an inductor with a large reactance at the top of
// the passband has so many turns that its self-resonance likely falls below the band.
struct PartLimits {
    double minCapacitance = 1e-12; // farads
    double minInductance = 5e-9; // henries
    double maxInductorReactance = 2000.0; // ohms at the highest passband frequency

    bool operator==(const PartLimits& other) const
    {
        return minCapacitance == other.minCapacitance && minInductance == other.minInductance &&
               maxInductorReactance == other.maxInductorReactance;
    }
    bool operator!=(const PartLimits& other) const { return !(*this == other); }
};

// One part outside the limits, with the sentence that says why.
struct PartFlag {
    std::string designator;
    std::string reason;
    std::string brief; // for a table cell: "below 1 pF", "2.01 k\u03a9 at 100 MHz"
};

// The limits as the command line and the workbench's field take them: "1e-12,5e-09,2000".
std::string PartLimitsText(const PartLimits& limits);

// The highest frequency the ladder must pass: the edge of a low-pass, the upper edge of a
// band-pass, and for the high-pass and band-stop, whose passband runs on, the top of the range
// analysed (sweepTopHz).
double HighestPassbandHz(const DesignBand& band, double sweepTopHz);

// The parts outside the limits, source to load; a part may be flagged for more than one reason.
std::vector<PartFlag> FlagParts(const LadderModel& ladder, double highestPassbandHz, const PartLimits& limits);

} // namespace corvane
