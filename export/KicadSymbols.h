// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

#include "design/LadderModel.h"

namespace corvane {

// The library name of a part's symbol: "Device:L", "Device:C" or "Device:R".
const char* KicadSymbolName(PartKind kind);

// The lib_symbols section of a schematic: the three symbols, each with its two passive pins 1 and
// 2 at (0, +3.81) and (0, -3.81) in the library's y-up frame, as the standard library has them.
std::string KicadLibrarySymbols();

} // namespace corvane
