// SPDX-License-Identifier: Apache-2.0
#include "cli/BoardOptions.h"

#include <CLI/CLI.hpp>

namespace corvane {

namespace {

CLI::Validator NonEmptyPath()
{
    return CLI::Validator([](std::string& text) { return text.empty() ? std::string("an empty path") : std::string(); },
                          "PATH");
}

void AddOptimiseOptions(CLI::App& app, OptimiseOptions& options)
{
    app.add_option("--optimise", options.goal,
                   "Choose each part from the catalogue (or --series) for the largest worst-case mask margin, or the "
                   "highest Monte Carlo yield")
        ->check(CLI::IsMember({"margin", "yield"}));
    app.add_option("--catalogue", options.catalogue, "Parts catalogue (CSV) the optimiser chooses from");
    app.add_flag("--allow-pairs", options.allowPairs,
                 "Let the optimiser build a part from two: capacitors in parallel, inductors in series");
    app.add_option("--keep", options.keep, "Parts the optimiser keeps at their designed values: L2,C3")->delimiter(',');
    app.add_option("--tune", options.tune, "Parts tuned continuously (trimmers) after the others are chosen: C1")
        ->delimiter(',');
}

} // namespace

std::vector<std::string> OptimiseOptionWarnings(const OptimiseOptions& options)
{
    std::vector<std::string> warnings;
    if (options.Asked()) return warnings;
    const auto warn = [&warnings](const char* name) {
        warnings.push_back(std::string("Warning: ") + name + " is not used without --optimise.");
    };
    if (!options.catalogue.empty()) warn("--catalogue");
    if (options.allowPairs) warn("--allow-pairs");
    if (!options.keep.empty()) warn("--keep");
    if (!options.tune.empty()) warn("--tune");
    return warnings;
}

void AddBoardOptions(CLI::App& app, BoardOptions& options)
{
    app.add_option("--spice-subckt", options.subcircuitFile,
                   "Write the ladder alone as a SPICE subcircuit with ports in, out and ground (.include it)")
        ->check(NonEmptyPath());
    app.add_option("--bom", options.bomFile, "Write the bill of materials of the ladder as built (CSV)")
        ->check(NonEmptyPath());
    app.add_option("--kicad", options.kicadFile, "Write the ladder as built as a KiCad schematic (.kicad_sch)")
        ->check(NonEmptyPath());
    AddOptimiseOptions(app, options.optimise);
}

} // namespace corvane
