// SPDX-License-Identifier: Apache-2.0
#include "analysis/ToleranceMask.h"

#include <algorithm>
#include <cmath>

#include "filtermath/Failure.h"

namespace {

const char* const kOutside = "The stop frequency must lie outside the passband.";

void PlaceStopband(ToleranceMask& mask, const MaskEdges& edges, double fs)
{
    const double mirror = edges.lowHz * edges.highHz / fs;
    switch (edges.shape) {
    case MaskShape::LowPass:
        if (fs <= edges.highHz) throw Failure(kOutside);
        mask.stopAboveHz = fs;
        break;
    case MaskShape::HighPass:
        if (fs >= edges.lowHz) throw Failure(kOutside);
        mask.stopBelowHz = fs;
        break;
    case MaskShape::BandPass:
        if (fs >= edges.lowHz && fs <= edges.highHz) throw Failure(kOutside);
        mask.stopAboveHz = std::max(fs, mirror);
        mask.stopBelowHz = std::min(fs, mirror);
        break;
    case MaskShape::BandStop:
        if (fs <= edges.lowHz || fs >= edges.highHz)
            throw Failure("The stop frequency must lie between the band edges of a band-stop design.");
        mask.stopBelowHz = std::min(fs, mirror);
        mask.stopAboveHz = std::max(fs, mirror);
        break;
    }
}

} // namespace

ToleranceMask MaskOfEdges(const MaskEdges& edges, std::optional<double> maxPassLossDb, std::optional<double> stopHz,
                          std::optional<double> stopAttDb)
{
    ToleranceMask mask;
    mask.bandStop = edges.shape == MaskShape::BandStop;
    if (maxPassLossDb) {
        mask.passLowHz = edges.shape == MaskShape::LowPass ? 0.0 : edges.lowHz;
        mask.passHighHz = edges.shape == MaskShape::HighPass ? INFINITY : edges.highHz;
        mask.maxPassLossDb = *maxPassLossDb;
    }
    if (stopHz && stopAttDb) {
        PlaceStopband(mask, edges, *stopHz);
        mask.stopAttDb = *stopAttDb;
    }
    return mask;
}

MaskEdges MaskEdgesOfDesign(const DesignState& state)
{
    const double scale = state.UnitScale;
    switch (state.FilterKind % 3) {
    case 0: return {MaskShape::LowPass, 0.0, state.PassF * scale};
    case 1: return {MaskShape::HighPass, state.PassF * scale, 0.0};
    default: break;
    }
    return {MaskShape::BandPass, state.Fmin * scale, state.Fmax * scale};
}

ToleranceMask MaskOfDesign(const DesignState& state, std::optional<double> maxPassLossDb,
                           std::optional<double> stopFreq, std::optional<double> stopAttDb)
{
    std::optional<double> stopHz;
    if (stopFreq) stopHz = *stopFreq * state.UnitScale;
    return MaskOfEdges(MaskEdgesOfDesign(state), maxPassLossDb, stopHz, stopAttDb);
}
