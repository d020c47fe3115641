// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace corvane {

// Text to real: optional sign, digits with '.', optional exponent, blanks before and after.
// Throws ConvertError "'<text>' is not a valid floating point value".
double StrToFloat(const std::string& text);
// Text to integer: blanks before, optional sign, digits; 32-bit range.
// Throws ConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& text);

// A number to `digits` significant digits, as messages and reports show it ("%g"): 1.5915e-7 to
// four digits is "1.592e-07", 100.5 to six digits "100.5".
std::string ShortNumberText(double value, int digits);

std::string FormatSci2(double value); // "0.00e+00": 1.5915e-7 -> "1.59e-07"
std::string FormatSci3(double value); // "0.000e+00": 1500 -> "1.500e+03"
std::string FormatFixed3(double value); // "##0.000": 0.25 -> "0.250", -1 -> "-1.000"

// The general error report's text: a full stop is appended when the last character
// sorts after '.'.
std::string ErrorReportText(const std::string& message);

} // namespace corvane
