// SPDX-License-Identifier: Apache-2.0
#include "cli/BoardOptions.h"

#include <CLI/CLI.hpp>

namespace {

CLI::Validator NonEmptyPath()
{
    return CLI::Validator([](std::string& text) { return text.empty() ? std::string("an empty path") : std::string(); },
                          "PATH");
}

} // namespace

void AddBoardOptions(CLI::App& app, BoardOptions& options)
{
    app.add_option("--spice-subckt", options.subcircuitFile,
                   "Write the ladder alone as a SPICE subcircuit with ports in, out and ground (.include it)")
        ->check(NonEmptyPath());
    app.add_option("--bom", options.bomFile, "Write the bill of materials of the ladder as built (CSV)")
        ->check(NonEmptyPath());
    app.add_option("--kicad", options.kicadFile, "Write the ladder as built as a KiCad schematic (.kicad_sch)")
        ->check(NonEmptyPath());
}
