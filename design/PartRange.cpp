// SPDX-License-Identifier: Apache-2.0
#include "design/PartRange.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "filtermath/EngineeringText.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

std::string Value(double v, const char* unit)
{
    return EngineeringText(v, unit, true);
}

// A frequency to six digits, so that a band edge such as 100.5 MHz reads as typed.
std::string Frequency(double hz)
{
    const SiPrefix prefix = PrefixOf(hz, 6);
    char text[48];
    std::snprintf(text, sizeof text, "%.6g %sHz", hz / std::pow(10.0, prefix.exponent),
                  prefix.symbol ? prefix.symbol : "");
    return text;
}

void FlagPart(const ModelPart& part, double hz, const PartLimits& limits, std::vector<PartFlag>& flags)
{
    const std::string name = part.designator + " = " + Value(part.value, UnitOf(part.kind));
    if (part.kind == PartKind::Capacitor && part.value < limits.minCapacitance)
        flags.push_back({part.designator,
                         name + " is below " + Value(limits.minCapacitance, "F") +
                             ": no larger than the stray capacitance of its pads.",
                         "below " + Value(limits.minCapacitance, "F")});
    if (part.kind != PartKind::Inductor) return;
    if (part.value < limits.minInductance)
        flags.push_back({part.designator,
                         name + " is below " + Value(limits.minInductance, "H") +
                             ": no larger than the inductance of a via or a lead.",
                         "below " + Value(limits.minInductance, "H")});
    const double reactance = 2.0 * kPi<double> * hz * part.value;
    if (hz > 0.0 && reactance > limits.maxInductorReactance)
        flags.push_back({part.designator,
                         name + " has " + Value(reactance, "\u03a9") + " reactance at " + Frequency(hz) + ", above " +
                             Value(limits.maxInductorReactance, "\u03a9") +
                             ": its self-resonance is likely below that frequency.",
                         Value(reactance, "\u03a9") + " at " + Frequency(hz)});
}

} // namespace

std::string PartLimitsText(const PartLimits& limits)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.12g,%.12g,%.12g", limits.minCapacitance, limits.minInductance,
                  limits.maxInductorReactance);
    return text;
}

double HighestPassbandHz(const DesignBand& band, double sweepTopHz)
{
    switch (band.shape) {
    case BandShape::LowPass:
    case BandShape::BandPass: return band.highHz;
    case BandShape::HighPass:
    case BandShape::BandStop: break;
    }
    return std::max(sweepTopHz, std::max(band.lowHz, band.highHz));
}

std::vector<PartFlag> FlagParts(const LadderModel& ladder, double highestPassbandHz, const PartLimits& limits)
{
    std::vector<PartFlag> flags;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) FlagPart(part, highestPassbandHz, limits, flags);
    return flags;
}

} // namespace corvane
