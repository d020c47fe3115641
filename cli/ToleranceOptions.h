// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Mask.h"
#include "analysis/Tolerance.h"
#include "design/DesignBand.h"
#include "design/Names.h"

namespace CLI {
class App;
}

namespace corvane {

// Monte Carlo tolerance analysis of the designed ladder, as typed. Numbers stay texts until the
// stage converts them by the rules of every field.
struct ToleranceOptions {
    std::string trials; // --monte-carlo: "" for none
    std::string inductorPercent = "0"; // --tol-l
    std::string capacitorPercent = "0"; // --tol-c
    std::string distribution = KeyOf(kDistributionNames, ToleranceDistribution::Uniform); // --distribution
    std::string seed = "1"; // --seed
    std::string maxPassLoss; // --max-pass-loss, dB
    std::string stopFreq; // --stop-freq, chosen unit
    std::string stopAtt; // --stop-att, dB
    std::string maskStopFreq; // --mask-stop-freq: the mask's own, in place of --stop-freq
    std::string maskStopAtt; // --mask-stop-att: the mask's own, in place of --stop-att
    std::string mask; // --mask: bands "pass 0 30M 0.5; stop 60M 300M 40", beside the shorthands
    std::vector<std::string> given; // the options of this stage on the command line, in order

    bool Asked() const { return !trials.empty(); }
};

// Registers the options. --stop-freq and --stop-att are the synthesis options' when the app has
// them already; their values are then copied into stopFreq and stopAtt as well.
void AddToleranceOptions(CLI::App& app, ToleranceOptions& options);

// One warning line per tolerance option given without --monte-carlo (or --optimise, which takes
// the mask and the tolerances too).
std::vector<std::string> ToleranceOptionWarnings(const ToleranceOptions& options, bool optimising = false);

// The options converted by the input rules (InputError naming the option); the stop frequency
// is in the chosen unit of unitScale hertz.
struct ToleranceRequest {
    ToleranceSettings settings;
    std::optional<double> maxPassLossDb;
    std::optional<double> stopFreq; // chosen unit; --mask-stop-freq, else --stop-freq
    std::optional<double> stopAttDb; // --mask-stop-att, else --stop-att
    Mask bands; // --mask, in hertz
};
ToleranceRequest ReadToleranceOptions(const ToleranceOptions& options, double unitScale);
// The same but the trials, whether --monte-carlo is given or not.
ToleranceRequest ReadMaskAndTolerances(const ToleranceOptions& options, double unitScale);

// The mask of a request around the band a ladder was designed for: the shorthands' bands
// (MaskOfEdges), then --mask's, refused as a whole where they contradict each other.
Mask MaskOfRequest(const ToleranceRequest& request, const DesignBand& band, double unitScale);
// The sentence that states the upper edge of a shorthand stopband, or "" when none was given.
std::string ShorthandStopNote(const ToleranceRequest& request);

} // namespace corvane
