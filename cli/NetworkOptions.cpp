#include "cli/NetworkOptions.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// A quality factor is 0 (an ideal part) or a finite positive number.
CLI::Validator QualityFactor()
{
    return CLI::Validator(
        [](std::string& text) {
            char* end = nullptr;
            const double Q = std::strtod(text.c_str(), &end);
            if (!text.empty() && *end == '\0' && std::isfinite(Q) && Q >= 0.0) return std::string();
            return "a quality factor is 0 (ideal) or a positive number: '" + text + "'";
        },
        "Q");
}

} // namespace

bool NetworkOptions::AnyAsked() const
{
    return network || !series.empty() || !spiceFile.empty() || !touchstoneFile.empty();
}

void AddNetworkOptions(CLI::App& app, NetworkOptions& options)
{
    const std::vector<std::string> series{"E6", "E12", "E24", "E48", "E96", "E192"};
    app.add_flag("--network", options.network, "Analyse the ladder itself: S21, S11 and group delay over the sweep");
    app.add_option("--series", options.series, "Round every L and C to this standard series before the analysis")
        ->check(CLI::IsMember(series));
    app.add_option("--q-l", options.QL, "Quality factor of the inductors (0: ideal)")->check(QualityFactor());
    app.add_option("--q-c", options.QC, "Quality factor of the capacitors (0: ideal)")->check(QualityFactor());
    app.add_option("--spice", options.spiceFile, "Write a SPICE netlist of the ladder (ngspice -b FILE)");
    app.add_option("--touchstone", options.touchstoneFile, "Write the analysed two-port as a Touchstone .s2p file");
}
