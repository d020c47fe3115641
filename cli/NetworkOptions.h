#pragma once
#include <string>

namespace CLI {
class App;
}

// Analysis of the designed ladder itself, standard values and file exports.
struct NetworkOptions {
    bool network = false; // --network: S21, S11 and group delay of the ladder
    std::string series; // --series: "" or "E6" ... "E192"
    double QL = 0.0; // --q-l: 0 is an ideal inductor
    double QC = 0.0; // --q-c: 0 is an ideal capacitor
    std::string spiceFile; // --spice
    std::string touchstoneFile; // --touchstone

    bool AnyAsked() const;
};

void AddNetworkOptions(CLI::App& app, NetworkOptions& options);
