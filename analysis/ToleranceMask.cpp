// SPDX-License-Identifier: Apache-2.0
#include "analysis/ToleranceMask.h"

#include <algorithm>
#include <cmath>

#include "filtermath/Failure.h"

namespace corvane {

namespace {

const char* const kOutside = "The stop frequency must lie outside the passband.";

void PlaceStopband(ToleranceMask& mask, const DesignBand& edges, double fs)
{
    const double mirror = edges.lowHz * edges.highHz / fs;
    switch (edges.shape) {
    case BandShape::LowPass:
        if (fs <= edges.highHz) throw Failure(kOutside);
        mask.stopAboveHz = fs;
        break;
    case BandShape::HighPass:
        if (fs >= edges.lowHz) throw Failure(kOutside);
        mask.stopBelowHz = fs;
        break;
    case BandShape::BandPass:
        if (fs >= edges.lowHz && fs <= edges.highHz) throw Failure(kOutside);
        mask.stopAboveHz = std::max(fs, mirror);
        mask.stopBelowHz = std::min(fs, mirror);
        break;
    case BandShape::BandStop:
        if (fs <= edges.lowHz || fs >= edges.highHz)
            throw Failure("The stop frequency must lie between the band edges of a band-stop design.");
        mask.stopBelowHz = std::min(fs, mirror);
        mask.stopAboveHz = std::max(fs, mirror);
        break;
    }
}

} // namespace

ToleranceMask MaskOfEdges(const DesignBand& edges, std::optional<double> maxPassLossDb, std::optional<double> stopHz,
                          std::optional<double> stopAttDb)
{
    ToleranceMask mask;
    mask.bandStop = edges.shape == BandShape::BandStop;
    if (maxPassLossDb) {
        mask.passLowHz = edges.shape == BandShape::LowPass ? 0.0 : edges.lowHz;
        mask.passHighHz = edges.shape == BandShape::HighPass ? INFINITY : edges.highHz;
        mask.maxPassLossDb = *maxPassLossDb;
    }
    if (stopHz && stopAttDb) {
        PlaceStopband(mask, edges, *stopHz);
        mask.stopAttDb = *stopAttDb;
    }
    return mask;
}

} // namespace corvane
