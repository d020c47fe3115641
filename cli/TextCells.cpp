// SPDX-License-Identifier: Apache-2.0
#include "cli/TextCells.h"

#include <cstdio>
#include <ostream>

namespace corvane {

std::string Printed(const char* format, double value)
{
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Cell(const std::string& text, std::size_t width)
{
    std::size_t characters = 0;
    for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return characters < width ? text + std::string(width - characters, ' ') : text;
}

void TrimAndEnd(std::string line, std::ostream& out)
{
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << '\n';
}

} // namespace corvane
