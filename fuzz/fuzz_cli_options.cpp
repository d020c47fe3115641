// SPDX-License-Identifier: Apache-2.0
#include <CLI/CLI.hpp>
#include <cmath>
#include <string>
#include <vector>

#include "cli/BuildOptions.h"
#include "cli/CliOptions.h"
#include "filtermath/Failure.h"
#include "fuzz/FuzzInput.h"

using namespace corvane;

// corvane-cli's arguments from any bytes (0x1F between arguments): parsing ends in a usage error,
// or the analysis options are taken whole within their ranges or refused with a failure text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    std::vector<std::string> args;
    while (!input.Empty() && args.size() < 32) args.push_back(input.Text());
    CLI::App app;
    CliOptions options;
    AddOptions(app, options);
    try {
        ParseArguments(app, args);
    } catch (const CLI::ParseError&) {
        return 0;
    }
    ResolveDefaults(options);
    for (const std::string& warning : UnusedOptionWarnings(options))
        if (warning.rfind("Warning: --", 0) != 0) __builtin_trap();
    try {
        const BuildRequest settings = ReadBuildOptions(options, {1e6, {BandShape::LowPass, 0.0, 10e6}, 50.0});
        if (settings.plan && (settings.plan->points < kMinNetworkPoints || settings.plan->points > kMaxNetworkPoints ||
                              !(settings.plan->start < settings.plan->stop)))
            __builtin_trap();
        const PartQuality& q = settings.analysis.quality;
        if (!(q.QL >= 0.0 && std::isfinite(q.QL) && q.QC >= 0.0 && std::isfinite(q.QC))) __builtin_trap();
        if (settings.analysis.loadOhms &&
            !(*settings.analysis.loadOhms > 0.0 && std::isfinite(*settings.analysis.loadOhms)))
            __builtin_trap();
    } catch (const Failure& failure) {
        if (std::string(failure.what()).empty()) __builtin_trap();
    }
    return 0;
}
