// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>

#include "analysis/NetworkResponse.h"

namespace CLI {
class App;
}

// Analysis of the designed ladder itself, standard values and file exports, as typed. Numbers
// stay texts until the run has them converted by the same rules as every field.
struct NetworkOptions {
    bool network = false; // --network: S21, S11 and group delay of the ladder
    std::string series; // --series: "" or a key of kSeriesNames other than "none"
    std::string QL = "0"; // --q-l: 0 is an ideal inductor
    std::string QC = "0"; // --q-c: 0 is an ideal capacitor
    std::string load; // --load: "" for the load the prototype needs
    std::string points; // --points: "" for the run's own sweep points
    bool logSweep = false; // --log-sweep
    std::string spiceFile; // --spice
    std::string touchstoneFile; // --touchstone

    // The ladder is analysed or exported.
    bool AnalysisAsked() const;
    // Anything of this stage at all, the rounded table included.
    bool AnyAsked() const;
};

// The options converted by the input rules; a text a rule refuses throws InputError naming the
// option.
struct NetworkSettings {
    AnalysisOptions analysis;
    std::optional<int> points; // a sweep of its own: --points, or 101 with --log-sweep alone
    SweepSpacing spacing = SweepSpacing::Linear;
};
NetworkSettings ReadNetworkSettings(const NetworkOptions& options);

void AddNetworkOptions(CLI::App& app, NetworkOptions& options);
