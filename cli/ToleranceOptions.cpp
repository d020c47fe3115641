// SPDX-License-Identifier: Apache-2.0
#include "cli/ToleranceOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "analysis/InputRules.h"
#include "analysis/MaskText.h"
#include "cli/TextCells.h"
#include "filtermath/Failure.h"

namespace corvane {

namespace {

std::optional<double> OptionalAttenuation(const std::string& text, const char* option)
{
    if (text.empty()) return std::nullopt;
    return ReadAttenuation(text, option);
}

} // namespace

void AddToleranceOptions(CLI::App& app, ToleranceOptions& options)
{
    const auto track = [&options](CLI::Option* option) {
        const std::string name = option->get_name();
        option->each([&options, name](const std::string&) { options.given.push_back(name); });
    };
    app.add_option("--monte-carlo", options.trials, "Monte Carlo tolerance analysis with this many trials");
    track(app.add_option("--tol-l", options.inductorPercent, "Tolerance of the inductors in percent (Monte Carlo)")
              ->capture_default_str());
    track(app.add_option("--tol-c", options.capacitorPercent, "Tolerance of the capacitors in percent (Monte Carlo)")
              ->capture_default_str());
    track(app.add_option("--distribution", options.distribution,
                         "Part values within the tolerance: uniform, or normal with the tolerance as 3 sigma")
              ->check(CLI::IsMember(KeysOf(kDistributionNames)))
              ->capture_default_str());
    track(app.add_option("--seed", options.seed, "Seed of the Monte Carlo trials")->capture_default_str());
    track(app.add_option("--max-pass-loss", options.maxPassLoss, "Mask: the most loss in dB within the passband"));
    const auto shared = [&app](const char* name, std::string& text, const char* help) {
        if (CLI::Option* existing = app.get_option_no_throw(name))
            existing->each([&text](const std::string& value) { text = value; });
        else
            app.add_option(name, text, help);
    };
    shared("--stop-freq", options.stopFreq, "Stopband edge frequency (chosen unit)");
    shared("--stop-att", options.stopAtt, "Least attenuation in dB at and beyond --stop-freq");
    track(app.add_option("--mask-stop-freq", options.maskStopFreq,
                         "Mask: stopband edge frequency (chosen unit); default --stop-freq"));
    track(app.add_option("--mask-stop-att", options.maskStopAtt,
                         "Mask: least attenuation in dB in the stopband; default --stop-att"));
    track(app.add_option("--mask", options.mask,
                         "Mask bands \"pass F1 F2 LOSS; stop F1 F2 ATT; rl F1 F2 RL; delay F1 F2 SPREAD\" (bare "
                         "frequencies in --unit), beside the shorthands"));
}

std::vector<std::string> ToleranceOptionWarnings(const ToleranceOptions& options, bool optimising)
{
    std::vector<std::string> warnings;
    if (options.Asked() || optimising) return warnings;
    std::vector<std::string> names = options.given;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names)
        warnings.push_back("Warning: " + name + " is not used without --monte-carlo.");
    return warnings;
}

ToleranceRequest ReadToleranceOptions(const ToleranceOptions& options, double unitScale)
{
    if (!options.Asked()) return {};
    ToleranceRequest request = ReadMaskAndTolerances(options, unitScale);
    request.settings.trials = ReadTrials(options.trials, "--monte-carlo");
    return request;
}

ToleranceRequest ReadMaskAndTolerances(const ToleranceOptions& options, double unitScale)
{
    ToleranceRequest request;
    ToleranceSettings& s = request.settings;
    if (const NameEntry<ToleranceDistribution>* distribution = FindKey(kDistributionNames, options.distribution))
        s.distribution = distribution->value;
    s.inductorPercent = ReadTolerancePercent(options.inductorPercent, "--tol-l", s.distribution);
    s.capacitorPercent = ReadTolerancePercent(options.capacitorPercent, "--tol-c", s.distribution);
    s.seed = ReadSeed(options.seed, "--seed");
    request.maxPassLossDb = OptionalAttenuation(options.maxPassLoss, "--max-pass-loss");
    // The mask's own stopband options take the place of the design's, each on its own.
    const bool ownFreq = !options.maskStopFreq.empty(), ownAtt = !options.maskStopAtt.empty();
    const char* freqName = ownFreq ? "--mask-stop-freq" : "--stop-freq";
    const char* attName = ownAtt ? "--mask-stop-att" : "--stop-att";
    const std::string& freq = ownFreq ? options.maskStopFreq : options.stopFreq;
    if (!freq.empty()) request.stopFreq = ReadFrequency(freq, freqName, unitScale);
    request.stopAttDb = OptionalAttenuation(ownAtt ? options.maskStopAtt : options.stopAtt, attName);
    if (request.stopAttDb.has_value() != request.stopFreq.has_value())
        throw Failure(std::string("The stopband mask needs both ") + freqName + " and " + attName + ".");
    request.bands = ReadMaskText(options.mask, "--mask", unitScale);
    return request;
}

Mask MaskOfRequest(const ToleranceRequest& request, const DesignBand& band, double unitScale)
{
    std::optional<double> stopHz;
    if (request.stopFreq) stopHz = *request.stopFreq * unitScale;
    return CombinedMask(MaskOfEdges(band, request.maxPassLossDb, stopHz, request.stopAttDb), request.bands,
                        "The mask of the shorthands and --mask");
}

std::string ShorthandStopNote(const ToleranceRequest& request)
{
    if (!request.stopFreq || !request.stopAttDb) return "";
    return "The stop frequency's stopband ends at " + Printed("%g", kStopbandUpperRatio) +
           " times its edge; --mask states other edges.";
}

} // namespace corvane
