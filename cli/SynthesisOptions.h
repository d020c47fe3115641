// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace corvane {

// The options of the synthesised designs (the families beyond the two classic ones, band-stop,
// unequal terminations, order from requirements), as typed.
struct SynthesisOptions {
    std::string stopAtt; // --stop-att: dB
    std::string rs; // --rs: ohms; "" for the load resistance
    std::string stopFreq; // --stop-freq: chosen unit
    bool lossAtDc = false; // --dc-loss: an even-order Elliptic keeps its ripple as loss at DC
    std::string delayError; // --delay-error: degrees; "" for 0.05
    std::string zeros; // --zeros: transmission zeros in the chosen unit, separated by commas
    std::string form; // --form: a key of kBandPassFormNames; "" for the ladder
    std::string resonatorL; // --resonator-l: henries; "" for the reactance at the centre equal to --rs
    bool polesGiven = false; // --poles was typed
    bool panelShown = false; // the design file shows its design panel's design: synthesised whatever the family
};

// Adds --stop-att, --rs, --stop-freq, --dc-loss, --delay-error, --zeros, --form and --resonator-l; call
// after the option --poles exists.
void AddSynthesisOptions(CLI::App& app, SynthesisOptions& options);

} // namespace corvane
