// SPDX-License-Identifier: Apache-2.0
#include "cli/NetworkOptions.h"

#include <CLI/CLI.hpp>
#include <vector>

#include "analysis/InputRules.h"
#include "design/Names.h"

namespace {

// A path must name something: an empty one would otherwise pass on to the file writer.
CLI::Validator NonEmptyPath()
{
    return CLI::Validator([](std::string& text) { return text.empty() ? std::string("an empty path") : std::string(); },
                          "PATH");
}

} // namespace

bool NetworkOptions::AnalysisAsked() const
{
    return network || !spiceFile.empty() || !touchstoneFile.empty();
}

bool NetworkOptions::AnyAsked() const
{
    return AnalysisAsked() || !series.empty();
}

NetworkSettings ReadNetworkSettings(const NetworkOptions& options)
{
    NetworkSettings settings;
    if (const NameEntry<std::optional<ESeries>>* series = FindKey(kSeriesNames, options.series))
        settings.analysis.series = series->value;
    settings.analysis.quality = {ReadPartQ(options.QL, "--q-l"), ReadPartQ(options.QC, "--q-c")};
    if (!options.load.empty()) settings.analysis.loadOhms = ReadResistance(options.load, "--load");
    if (!options.points.empty()) {
        settings.points = ReadPoints(options.points, "--points");
    } else if (options.logSweep) {
        settings.points = kMinNetworkPoints;
    }
    if (options.logSweep) settings.spacing = SweepSpacing::Log;
    return settings;
}

void AddNetworkOptions(CLI::App& app, NetworkOptions& options)
{
    // Leaving the option out keeps the designed values, so it takes only the series themselves.
    std::vector<std::string> series;
    for (const NameEntry<std::optional<ESeries>>& entry : kSeriesNames)
        if (entry.value) series.emplace_back(entry.key);
    app.add_flag("--network", options.network, "Analyse the ladder itself: S21, S11 and group delay over the sweep");
    app.add_option("--series", options.series, "Round every L and C to this standard series before the analysis")
        ->check(CLI::IsMember(series));
    app.add_option("--q-l", options.QL, "Quality factor of the inductors (0: ideal)");
    app.add_option("--q-c", options.QC, "Quality factor of the capacitors (0: ideal)");
    app.add_option("--load", options.load,
                   "Analyse and export with this load in ohms instead of the one the prototype needs");
    app.add_option("--points", options.points,
                   "Sweep points of the analysis and the exports, 101 to 100001 (default: the run's 100)");
    app.add_flag("--log-sweep", options.logSweep, "Space the analysis and export points logarithmically");
    app.add_option("--spice", options.spiceFile, "Write a SPICE netlist of the ladder (ngspice -b FILE)")
        ->check(NonEmptyPath());
    app.add_option("--touchstone", options.touchstoneFile, "Write the analysed two-port as a Touchstone file")
        ->check(NonEmptyPath());
}
