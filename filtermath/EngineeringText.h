// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

// Values as an engineer reads them: three significant digits and an SI prefix that keeps the
// number between 1 and 999 ("796 nH", "637 pF", "1.20 kΩ"). The prefix is chosen after the
// rounding, so 999.6e-9 H reads "1.00 µH", not "1000 nH". With trimZeros the zeros after the
// decimal point go ("1.2 kΩ", "10 pF"), which suits standard part values. Zero reads "0 H",
// a negative value keeps its sign, and a value beyond the prefixes (below 1e-24 or from 1e27)
// reads in powers of ten ("1.00e-30 F"). A NaN or infinity never reaches the screen: it reads
// kNoValueText. unit is UTF-8 and may be empty.
std::string EngineeringText(double value, const std::string& unit, bool trimZeros = false);

extern const char* const kNoValueText; // "—"
