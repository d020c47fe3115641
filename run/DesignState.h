// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "filtermath/Sweep.h"

namespace corvane {

// Everything the window knows about the design: the converted inputs and all results.
struct DesignState {
    int FilterKind = 0;
    double UnitScale = 0.0;
    double Order = 0.0;
    double Ripple = 0.0;
    double PassF = 0.0;
    double Fmin = 0.0;
    double Fmax = 0.0;
    double F0 = 0.0;
    double RL = 0.0;
    double FStep = 0.0;
    std::vector<double> GValues;
    Sweep Freq{};
    Sweep Att{};
    // Input reflection derived from Att by the last run that plotted.
    Sweep S11{};
    std::vector<double> ElementValues;
    std::vector<double> BandL;
    std::vector<double> BandC;
    std::vector<std::string> ElementUnits;
};

} // namespace corvane
