// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

namespace corvane {

// The sweep points that the exported files carry, in the chosen unit: the positive finite
// ones, in ascending order, each value once. Neither a SPICE AC analysis nor a Touchstone file
// knows negative frequencies or a descending list, and |S21| at -f equals that at f. A sweep
// without a positive point throws ExportError kNoPositiveFrequencyText.
std::vector<double> ExportFrequencies(const std::vector<double>& Freq);

extern const char* const kNoPositiveFrequencyText; // "The sweep holds no positive frequency to export."

// "%.15g" for frequencies and values in the files: full precision without noise digits.
std::string NumberText(double value);

} // namespace corvane
