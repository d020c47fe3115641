// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>


namespace CLI {
class App;
}

namespace corvane {

// Analysis of the designed ladder itself, standard values and file exports, as typed. Numbers
// stay texts until the run has them converted by the same rules as every field.
struct NetworkOptions {
    bool network = false; // --network: S21, S11 and group delay of the ladder
    std::string series; // --series: "" or a key of kSeriesNames other than "none"
    std::string QL = "0"; // --q-l: 0 is an ideal inductor
    std::string QC = "0"; // --q-c: 0 is an ideal capacitor
    std::string srfL = "0"; // --srf-l: self-resonance of the inductors, the design's unit; 0: none
    std::string srfC = "0"; // --srf-c: of the capacitors
    std::string rdcL = "0"; // --rdc-l: DC resistance of the inductors, ohms
    std::string esrC = "0"; // --esr-c: ESR of the capacitors, ohms
    std::string eslC = "0"; // --esl-c: series inductance of the capacitors, henries (without --srf-c)
    std::string nodeC = "0"; // --node-c: stray capacitance at every node, farads
    std::string leadL = "0"; // --lead-l: lead inductance of every part, henries
    bool absorbStrays = false; // --absorb-strays
    std::vector<std::string> partFiles; // --part NAME=FILE.s2p, repeatable
    std::vector<std::string> partModels; // --part-model "NAME=Q 80, SRF 1.2 GHz", repeatable
    std::string powerDbm; // --power-dbm: power available from the source; asks for the part stress
    std::string powerW; // --power-w: the same in watts
    std::string vswr = "1"; // --vswr: of the load
    std::string ratingC; // --rating-c: peak volts a capacitor may take; "" for no check
    std::string ratingL; // --rating-l: peak amperes an inductor may take
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

// The designator and the value of each NAME=VALUE of the option (--part, --part-model); InputError
// naming the option and the text for one without "=", with no designator of an inductor or
// capacitor, or naming a part given before.
std::vector<std::pair<std::string, std::string>> ReadPartArguments(const std::vector<std::string>& texts,
                                                                   const std::string& option = "--part");

void AddNetworkOptions(CLI::App& app, NetworkOptions& options);

} // namespace corvane
