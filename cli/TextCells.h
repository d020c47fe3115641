// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <iosfwd>
#include <string>

namespace corvane {

// One number through a printf format, as the text reports print their figures.
std::string Printed(const char* format, double value);

// Padded with blanks to width characters; "µ" is two bytes of UTF-8 but one character.
std::string Cell(const std::string& text, std::size_t width);

// Writes the line without its trailing blanks, and ends it.
void TrimAndEnd(std::string line, std::ostream& out);

} // namespace corvane
