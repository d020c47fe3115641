// SPDX-License-Identifier: Apache-2.0
#include "cli/BenchOptions.h"

#include <CLI/CLI.hpp>

namespace corvane {

void AddBenchOptions(CLI::App& app, BenchOptions& options)
{
    app.add_flag("--step", options.step,
                 "Step response of the ladder as built, with its overshoot, rise time and settling time");
    app.add_flag("--impulse", options.impulse, "Impulse response of the ladder as built");
    app.add_option("--measured", options.measuredFile,
                   "A measured two-port Touchstone FILE: its figures beside the design's");
    app.add_flag("--fit", options.fit, "Fit the part values to the --measured file's S21 and S11: which part is off");
    app.add_flag("--fit-q", options.fitQ, "Fit a common inductor Q as well");
    app.add_flag("--fit-stray", options.fitStray, "Fit a common stray capacitance at every node as well");
    app.add_option("--fit-start", options.fitStart, "Lowest frequency the fit uses (default: the file's)");
    app.add_option("--fit-stop", options.fitStop, "Highest frequency the fit uses (default: the file's)");
}

} // namespace corvane
