// SPDX-License-Identifier: Apache-2.0
#include "analysis/ResonanceFlags.h"

#include <cmath>

#include "analysis/PartModels.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

// The part's own resonance in hertz, 0 where it has none.
double SelfResonanceHz(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality)
{
    const PartModel model = EffectiveModel(ladder, part, quality);
    if (model.srfHz > 0.0) return model.srfHz;
    if (part.kind != PartKind::Capacitor || !(part.value > 0.0)) return 0.0;
    const double seriesL = model.esl + LeadInductance(ladder, part);
    return seriesL > 0.0 ? 1.0 / (2.0 * kPi<double> * std::sqrt(seriesL * part.value)) : 0.0;
}

} // namespace

std::vector<PartFlag> SelfResonanceFlags(const LadderModel& ladder, const PartQuality& quality,
                                         double highestPassbandHz)
{
    std::vector<PartFlag> flags;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) {
            if (part.measured || part.kind == PartKind::Resistor) continue;
            const double hz = SelfResonanceHz(ladder, part, quality);
            if (!(hz > 0.0) || hz > highestPassbandHz) continue;
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
