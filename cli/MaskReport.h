// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/Mask.h"

namespace corvane {

// How the command line's JSON states a mask: a list of bands, with the frequencies in the chosen
// unit of scale hertz (the text's lines are MaskBandText's).

// [{"Band": "stop", "From": 60, "To": 1800, "Limit": 40, "Points": 123}, ...]; Limit in dB, or
// seconds for a delay band. points: one per band, or empty.
nlohmann::ordered_json MaskBandsJson(const std::vector<MaskBand>& bands, double scale,
                                     const std::vector<int>& points = {});

} // namespace corvane
