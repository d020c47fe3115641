// SPDX-License-Identifier: Apache-2.0
#include "cli/ToleranceOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"

namespace {

std::string Printed(const char* format, double value)
{
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A real option: the field conversion, then a finite value.
double Real(const std::string& text, const char* option)
{
    const double value = StrToFloat(text);
    if (!std::isfinite(value)) throw Failure(std::string(option) + " must be a finite number.");
    return value;
}

std::optional<double> OptionalReal(const std::string& text, const char* option)
{
    if (text.empty()) return std::nullopt;
    return Real(text, option);
}

double Percent(const std::string& text, const char* option, ToleranceDistribution distribution)
{
    const double percent = Real(text, option);
    const double limit = ToleranceLimitPercent(distribution);
    if (percent < 0.0 || percent >= limit)
        throw Failure(std::string(option) + " must be at least 0 and below " + Printed("%.4g", limit) +
                      (distribution == ToleranceDistribution::Normal ? " with the normal distribution." : "."));
    return percent;
}

std::uint64_t Seed(const std::string& text)
{
    const bool digits = !text.empty() && text.size() <= 20 &&
                        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    errno = 0;
    const unsigned long long seed = digits ? std::strtoull(text.c_str(), nullptr, 10) : 0;
    if (!digits || errno == ERANGE) throw Failure("--seed must be a whole number from 0 to 18446744073709551615.");
    return seed;
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
              ->check(CLI::IsMember({"uniform", "normal"}))
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
}

std::vector<std::string> ToleranceOptionWarnings(const ToleranceOptions& options)
{
    std::vector<std::string> warnings;
    if (options.Asked()) return warnings;
    std::vector<std::string> names = options.given;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names)
        warnings.push_back("Warning: " + name + " is not used without --monte-carlo.");
    return warnings;
}

ToleranceRequest ReadToleranceOptions(const ToleranceOptions& options)
{
    ToleranceRequest request;
    if (!options.Asked()) return request;
    ToleranceSettings& s = request.settings;
    const int trials = StrToInt(options.trials);
    if (trials < 1 || trials > kMaxToleranceTrials)
        throw Failure("--monte-carlo must be from 1 to " + std::to_string(kMaxToleranceTrials) + ".");
    s.trials = trials;
    s.distribution = options.distribution == "normal" ? ToleranceDistribution::Normal : ToleranceDistribution::Uniform;
    s.inductorPercent = Percent(options.inductorPercent, "--tol-l", s.distribution);
    s.capacitorPercent = Percent(options.capacitorPercent, "--tol-c", s.distribution);
    s.seed = Seed(options.seed);
    request.maxPassLossDb = OptionalReal(options.maxPassLoss, "--max-pass-loss");
    request.stopFreq = OptionalReal(options.stopFreq, "--stop-freq");
    request.stopAttDb = OptionalReal(options.stopAtt, "--stop-att");
    if (request.maxPassLossDb && *request.maxPassLossDb < 0.0) throw Failure("--max-pass-loss must be at least 0.");
    if (request.stopFreq && !(*request.stopFreq > 0.0)) throw Failure("--stop-freq must be greater than zero.");
    if (request.stopAttDb.has_value() != request.stopFreq.has_value())
        throw Failure("The stopband mask needs both --stop-freq and --stop-att.");
    return request;
}
