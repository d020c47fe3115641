// SPDX-License-Identifier: Apache-2.0
#include "cli/BenchOptions.h"

#include <CLI/CLI.hpp>

namespace corvane {

void AddBenchOptions(CLI::App& app, BenchOptions& options)
{
    app.add_flag("--step", options.step,
                 "Step response of the ladder as built, with its overshoot, rise time and settling time");
    app.add_flag("--impulse", options.impulse, "Impulse response of the ladder as built");
}

} // namespace corvane
