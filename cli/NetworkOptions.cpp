// SPDX-License-Identifier: Apache-2.0
#include "cli/NetworkOptions.h"

#include <CLI/CLI.hpp>
#include <vector>

#include "analysis/InputRules.h"
#include "design/Names.h"
#include "export/PartFile.h"

namespace corvane {

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
    return network || !spiceFile.empty() || !touchstoneFile.empty() || !powerDbm.empty() || !powerW.empty();
}

bool NetworkOptions::AnyAsked() const
{
    return AnalysisAsked() || !series.empty();
}

std::vector<std::pair<std::string, std::string>> ReadPartArguments(const std::vector<std::string>& texts,
                                                                   const std::string& option)
{
    const std::string example = option == "--part" ? "a part and its file, as L2=coil.s2p"
                                                   : "a part and its model, as \"L2=Q 80, SRF 1.2 GHz\"";
    std::vector<std::pair<std::string, std::string>> parts;
    for (const std::string& text : texts) {
        const size_t equals = text.find('=');
        if (equals == std::string::npos || equals + 1 == text.size())
            throw InputError(option + " \"" + text + "\": give " + example + ".");
        const std::string designator = text.substr(0, equals);
        try {
            corvane::KindOfDesignator(designator);
        } catch (const std::invalid_argument& error) {
            throw InputError(option + " " + text + ": " + error.what() + ".");
        }
        for (const auto& earlier : parts)
            if (earlier.first == designator) throw InputError(option + ": " + designator + " is given twice.");
        parts.emplace_back(designator, text.substr(equals + 1));
    }
    return parts;
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
    app.add_option("--q-l", options.QL,
                   "Quality factor of the inductors (0: ideal); \"80 @ 100\": 80 at 100 (the design's unit), growing "
                   "with the root of f");
    app.add_option("--q-c", options.QC, "Quality factor of the capacitors (0: ideal; a growing one as with --q-l)");
    app.add_option("--srf-l", options.srfL, "Self-resonant frequency of the inductors, in the design's unit (0: none)");
    app.add_option("--srf-c", options.srfC,
                   "Self-resonant frequency of the capacitors, in the design's unit (0: none)");
    app.add_option("--rdc-l", options.rdcL, "DC resistance of the inductors in ohms");
    app.add_option("--esr-c", options.esrC, "Series resistance (ESR) of the capacitors in ohms");
    app.add_option("--esl-c", options.eslC,
                   "Series inductance (ESL) of the capacitors in henries, in place of --srf-c (0.4n for an 0402)");
    app.add_option("--node-c", options.nodeC,
                   "Board stray capacitance at every node of the ladder, in farads; nodes of their own as n3 4p "
                   "(\"1.5p, n3 4p\"), the load's node as out");
    app.add_option("--lead-l", options.leadL, "Board lead inductance in series with every part, in henries");
    app.add_flag("--absorb-strays", options.absorbStrays,
                 "Take the node strays out of the shunt capacitors at those nodes; show the response before and after");
    app.add_option("--part", options.partFiles,
                   "A part as its vendor measured it: NAME=FILE.s2p, the part in series between the two ports "
                   "(repeatable: --part L2=coil.s2p --part C3=cap.s2p)")
        ->type_name("NAME=FILE");
    app.add_option("--part-model", options.partModels,
                   "One part's own model in place of its kind's: \"NAME=Q 80, SRF 1.2 GHz, Rdc 0.1, lead 1n\" "
                   "(Q 80 @ 100 MHz grows with the root of f; a capacitor takes ESR and ESL; repeatable)")
        ->type_name("NAME=MODEL");
    CLI::Option* dbm = app.add_option("--power-dbm", options.powerDbm,
                                      "Power available from the source in dBm: the stress of every part at it");
    app.add_option("--power-w", options.powerW, "Power available from the source in watts (instead of --power-dbm)")
        ->excludes(dbm);
    app.add_option("--vswr", options.vswr,
                   "VSWR of the load for the part stress; above 1 the worst load phase is kept (default 1)");
    app.add_option("--rating-c", options.ratingC,
                   "Peak volts a capacitor may take: the part stress marks each capacitor above it");
    app.add_option("--rating-l", options.ratingL,
                   "Peak amperes an inductor may take: the part stress marks each inductor above it");
    app.add_option("--load", options.load,
                   "Analyse and export with this load in ohms instead of the one the prototype needs");
    app.add_option("--points", options.points,
                   "Sweep points of the analysis and the exports, 101 to 100001, over --start to --stop or, without "
                   "them, around the design's band (default: the run's 100)");
    app.add_flag("--log-sweep", options.logSweep, "Space the analysis and export points logarithmically");
    app.add_option("--spice", options.spiceFile, "Write a SPICE netlist of the ladder (ngspice -b FILE)")
        ->check(NonEmptyPath());
    app.add_option("--touchstone", options.touchstoneFile, "Write the analysed two-port as a Touchstone file")
        ->check(NonEmptyPath());
}

} // namespace corvane
