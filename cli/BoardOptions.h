// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace corvane {

// The optimiser's options as typed.
struct OptimiseOptions {
    std::string goal; // --optimise: "", "margin" or "yield"
    std::string catalogue; // --catalogue
    bool allowPairs = false; // --allow-pairs
    std::vector<std::string> keep, tune; // --keep, --tune: designators

    bool Asked() const { return !goal.empty(); }
};

// One warning line per optimiser option given without --optimise.
std::vector<std::string> OptimiseOptionWarnings(const OptimiseOptions& options);

// What goes to the board, as typed: the ladder alone as a SPICE subcircuit, its bill of
// materials and its KiCad schematic.
struct BoardOptions {
    std::string subcircuitFile; // --spice-subckt
    std::string bomFile; // --bom
    std::string kicadFile; // --kicad
    OptimiseOptions optimise;

    bool FilesAsked() const { return !subcircuitFile.empty() || !bomFile.empty() || !kicadFile.empty(); }
};

void AddBoardOptions(CLI::App& app, BoardOptions& options);

} // namespace corvane
