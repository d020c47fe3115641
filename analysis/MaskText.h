// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "analysis/Mask.h"

namespace corvane {

// A mask as it is typed: bands separated by semicolons, each its kind and three values,
// "pass 0 30M 0.5; stop 60M 300M 40; rl 0 30M 18; delay 1M 20M 2n". Edges read in engineering
// notation; a bare number is in the field's unit of unitScale hertz, so in a MHz field "30" and
// "30M" are the same. Values read as dB, or as seconds for a delay band ("2n", "2ns"). A blank text
// is an empty mask. Every problem raises Failure naming field and the band; the mask is checked
// by CheckMask.
Mask ReadMaskText(const std::string& text, const std::string& field, double unitScale);

// The text that ReadMaskText reads back to the same mask in any unit: edges with their prefix and
// every digit they need ("30M", "1.2345G", "0").
std::string MaskText(const Mask& mask);

// A band as the output states it, frequencies in the unit of scale hertz named unitText:
// "stopband 60 to 1800 MHz: loss at least 40 dB, 123 points" (points < 0: none said).
std::string MaskBandText(const MaskBand& band, double scale, const std::string& unitText, int points = -1);

// Where a worst margin lies: "in the stopband 60 to 1800 MHz at 1337.45 MHz"; "" for no band.
std::string WhereText(const std::vector<MaskBand>& bands, std::size_t band, double hz, double scale,
                      const std::string& unitText);

} // namespace corvane
