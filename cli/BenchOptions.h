// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace CLI {
class App;
}

namespace corvane {

// The ladder as built on the bench: its time-domain response and a measured two-port beside it.
struct BenchOptions {
    bool step = false; // --step
    bool impulse = false; // --impulse
    std::string measuredFile; // --measured: a Touchstone two-port file, "" for none
    bool fit = false; // --fit: which part is off
    bool fitQ = false; // --fit-q: a common inductor Q as well
    bool fitStray = false; // --fit-stray: a common stray capacitance at every node as well
    std::string fitStart, fitStop; // --fit-start, --fit-stop: the band fitted, chosen unit; "" for the file's

    bool TimeAsked() const { return step || impulse; }
    bool Asked() const { return TimeAsked() || !measuredFile.empty(); }
};

void AddBenchOptions(CLI::App& app, BenchOptions& options);

} // namespace corvane
