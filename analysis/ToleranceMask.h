// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <vector>

#include "analysis/Tolerance.h"
#include "run/DesignState.h"

// The mask of a completed design: the passband its kind and edges give, held to at most
// maxPassLossDb; and at least stopAttDb at and beyond stopFreq (chosen unit): above a low-pass,
// below a high-pass, and on a band-pass on the side the stop frequency lies on and at its
// geometric mirror F0^2 / stopFreq on the other. Either part may be absent. A part that no
// point of the sweep (hertz) falls in would pass every trial, so it raises Failure, as does a
// stop frequency inside the passband.
ToleranceMask MaskOfDesign(const DesignState& state, std::optional<double> maxPassLossDb,
                           std::optional<double> stopFreq, std::optional<double> stopAttDb,
                           const std::vector<double>& frequenciesHz);
