// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "design/DesignBand.h"
#include "design/LadderModel.h"
#include "design/PartRange.h"

namespace corvane {

// The parts of the ladder as built that resonate by themselves at or below the highest passband
// frequency: past its self-resonance an inductor is a capacitor and a capacitor an inductor, so
// such a part cannot do its work in the passband. A capacitor resonates with its ESL and its leads;
// a measured part is judged by its data elsewhere.
std::vector<PartFlag> SelfResonanceFlags(const LadderModel& ladder, const PartQuality& quality,
                                         double highestPassbandHz);

// Every flag of a ladder as built: its values against the limits, then its parts' self-resonances.
std::vector<PartFlag> FlagBuiltParts(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band,
                                     double sweepTopHz, const PartLimits& limits);

} // namespace corvane
