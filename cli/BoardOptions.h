// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace CLI {
class App;
}

// What goes to the board, as typed: the ladder alone as a SPICE subcircuit, its bill of
// materials and its KiCad schematic.
struct BoardOptions {
    std::string subcircuitFile; // --spice-subckt
    std::string bomFile; // --bom
    std::string kicadFile; // --kicad

    bool FilesAsked() const { return !subcircuitFile.empty() || !bomFile.empty() || !kicadFile.empty(); }
};

void AddBoardOptions(CLI::App& app, BoardOptions& options);
