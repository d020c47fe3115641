// SPDX-License-Identifier: Apache-2.0
#include "cli/ClassicFieldChecks.h"

#include <cmath>
#include <optional>

#include "analysis/InputRules.h"
#include "design/SelectorItems.h"
#include "filtermath/NumberText.h"

namespace corvane {

namespace {

std::optional<double> Converted(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    try {
        return StrToFloat(text);
    } catch (const ConvertError&) {
        return std::nullopt;
    }
}

void RequireAboveZero(const std::string& text, const char* option, const char* what)
{
    const std::optional<double> value = Converted(text);
    if (text.empty() || (value && !(*value > 0.0)))
        throw InputError(std::string(option) + " must be " + what + " above zero.");
}

} // namespace

void CheckClassicFields(const CliOptions& options)
{
    const FieldTexts& t = options.texts;
    const std::optional<double> poles = Converted(t.N);
    if (t.N.empty() || (poles && !(*poles >= 1.0 && *poles <= 99.0 && std::floor(*poles) == *poles)))
        throw InputError("--poles must be a whole number from 1 to 99.");
    const int model = ModelIndex(options.model);
    if (model >= 0 && kModelItems[static_cast<size_t>(model)] == Family::Chebyshev) {
        const std::optional<double> ripple = Converted(t.Ripple);
        if (ripple && !(*ripple > 0.0)) throw InputError("--ripple must be above 0 dB for a Chebyshev design.");
    }
    const int type = TypeIndex(options.type);
    if (type >= 0 && kTypeItems[static_cast<size_t>(type)] == FilterType::BandPass) {
        RequireAboveZero(t.Fmin, "--fmin", "a frequency");
        RequireAboveZero(t.Fmax, "--fmax", "a frequency");
        const std::optional<double> low = Converted(t.Fmin), high = Converted(t.Fmax);
        if (low && high && !(*low < *high)) throw InputError("--fmin must be less than --fmax.");
    } else {
        RequireAboveZero(t.PassF, "--passband", "a frequency");
    }
    RequireAboveZero(t.R, "--rl", "a resistance");
    // The classic curve may run backwards (it says so); the analysis of the ladder may not.
    const std::optional<double> start = Converted(t.FStart), stop = Converted(t.Stop);
    if (options.network.AnyAsked() && start && stop && !(*start < *stop))
        throw InputError("--start must be less than --stop.");
}

} // namespace corvane
