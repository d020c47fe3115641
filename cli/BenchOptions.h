// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace CLI {
class App;
}

namespace corvane {

// The ladder as built on the bench: its time-domain response.
struct BenchOptions {
    bool step = false; // --step
    bool impulse = false; // --impulse

    bool TimeAsked() const { return step || impulse; }
    bool Asked() const { return TimeAsked(); }
};

void AddBenchOptions(CLI::App& app, BenchOptions& options);

} // namespace corvane
