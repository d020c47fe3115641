// SPDX-License-Identifier: Apache-2.0
#include "analysis/ResonanceFlags.h"

#include <algorithm>

#include "analysis/PartModels.h"
#include "filtermath/EngineeringText.h"

namespace corvane {

std::vector<PartFlag> SelfResonanceFlags(const LadderModel& ladder, const PartQuality& quality,
                                         double highestPassbandHz)
{
    std::vector<PartFlag> flags;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) {
            // Past the lowest of its own resonances a part no longer acts as its kind.
            const std::vector<double> resonances = PartResonancesHz(ladder, part, quality);
            if (resonances.empty()) continue;
            const double hz = *std::min_element(resonances.begin(), resonances.end());
            if (hz > highestPassbandHz) continue;
            const std::string at = EngineeringText(hz, "Hz", true);
            flags.push_back({part.designator,
                             part.designator + " resonates by itself at " + at + ", inside the passband (up to " +
                                 EngineeringText(highestPassbandHz, "Hz", true) + "): it cannot work there.",
                             "self-resonant at " + at});
        }
    return flags;
}

std::vector<PartFlag> FlagBuiltParts(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band,
                                     double sweepTopHz, const PartLimits& limits)
{
    const double top = HighestPassbandHz(band, sweepTopHz);
    std::vector<PartFlag> flags = FlagParts(ladder, top, limits);
    for (PartFlag& flag : SelfResonanceFlags(ladder, quality, top)) flags.push_back(std::move(flag));
    return flags;
}

} // namespace corvane
