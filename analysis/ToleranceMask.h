// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>

#include "analysis/Tolerance.h"
#include "design/DesignBand.h"

namespace corvane {

// The mask of a design from its band edges: the passband held to at most maxPassLossDb, and at
// least stopAttDb at and beyond the stop frequency. Either part may be absent.
// The stopband lies above a low-pass's stop frequency and below a high-pass's. On a band-pass
// it lies beyond the stop frequency on its side and beyond its geometric mirror F0^2 / stopHz
// on the other; on a band-stop, between the stop frequency and its mirror, which lie within the
// band edges. A stop frequency on the wrong side of an edge raises Failure.
ToleranceMask MaskOfEdges(const DesignBand& edges, std::optional<double> maxPassLossDb, std::optional<double> stopHz,
                          std::optional<double> stopAttDb);

} // namespace corvane
