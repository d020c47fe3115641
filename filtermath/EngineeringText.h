// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace corvane {

// Values as an engineer reads them: three significant digits and an SI prefix that keeps the
// number between 1 and 999 ("796 nH", "637 pF", "1.20 kΩ"). The prefix is chosen after the
// rounding, so 999.6e-9 H reads "1.00 µH", not "1000 nH". With trimZeros the zeros after the
// decimal point go ("1.2 kΩ", "10 pF"), which suits standard part values. Zero reads "0 H",
// a negative value keeps its sign, and a value beyond the prefixes (below 1e-24 or from 1e27)
// reads in powers of ten ("1.00e-30 F"). A NaN or infinity never reaches the screen: it reads
// kNoValueText. unit is UTF-8 and may be empty.
std::string EngineeringText(double value, const std::string& unit, bool trimZeros = false);

// The SI prefix a value reads in when shown to `significant` digits: the power of a thousand that
// keeps the rounded value from 1 to below 1000, chosen after the rounding, so that 999.6e-9 at
// three digits reads 1.00e-6 (µ). symbol is null for a value beyond the prefixes (below 1e-24 or
// from 1e27), for zero and for a value that is no number; exponent is then 0.
struct SiPrefix {
    const char* symbol;
    int exponent; // a multiple of 3
};
SiPrefix PrefixOf(double value, int significant);

extern const char* const kNoValueText; // "—"

// A number typed as an engineer writes it: the real syntax of every field, then optionally
// blanks, one SI prefix (f p n u µ μ m k M G T; M is mega, m milli) and the unit ("4.7p",
// "4.7pF", "1.5 kΩ", "2.4GHz", "10 Hz"). The prefix and the unit are case-sensitive.
struct TypedValue {
    double value = 0.0; // scaled by the prefix
    bool absolute = false; // a prefix or the unit was written: the value is in the unit itself
};
// false for a text that is no number in this notation or whose value lies beyond the double
// range. unit is the base unit's symbol ("Hz", "\u03a9", "dB", "%", or empty); for "\u03a9" the
// ohm sign and "ohm", "ohms", "Ohm" are read too.
bool ReadEngineeringText(const std::string& text, const std::string& unit, TypedValue& typed);

} // namespace corvane
