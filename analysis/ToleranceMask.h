// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>

#include "analysis/Tolerance.h"
#include "run/DesignState.h"

// The mask of a design from its band edges: the passband held to at most maxPassLossDb, and at
// least stopAttDb at and beyond the stop frequency. Either part may be absent.
enum class MaskShape { LowPass, HighPass, BandPass, BandStop };

struct MaskEdges {
    MaskShape shape = MaskShape::LowPass;
    double lowHz = 0.0; // passband edge of a high-pass; lower band edge of a band-pass or band-stop
    double highHz = 0.0; // passband edge of a low-pass; upper band edge of a band-pass or band-stop
};

// The stopband lies above a low-pass's stop frequency and below a high-pass's. On a band-pass
// it lies beyond the stop frequency on its side and beyond its geometric mirror F0^2 / stopHz
// on the other; on a band-stop, between the stop frequency and its mirror, which lie within the
// band edges. A stop frequency on the wrong side of an edge raises Failure.
ToleranceMask MaskOfEdges(const MaskEdges& edges, std::optional<double> maxPassLossDb, std::optional<double> stopHz,
                          std::optional<double> stopAttDb);

// The edges of a classic design in hertz: its kind gives the shape; PassF, Fmin and Fmax the edges.
MaskEdges MaskEdgesOfDesign(const DesignState& state);

// The mask of a classic design; stopFreq in the chosen unit.
ToleranceMask MaskOfDesign(const DesignState& state, std::optional<double> maxPassLossDb,
                           std::optional<double> stopFreq, std::optional<double> stopAttDb);
