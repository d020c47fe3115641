// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "run/LadderOfRun.h"
#include "filtermath/LadderAnalysis.h"
#include "filtermath/Messages.h"
#include "filtermath/Sweep.h"

using namespace corvane;

// One filter design as the window would make it, for tests that analyse the ladder.
using Design = DesignParameters;

std::string DesignName(const Design& design);
// Test output names the design instead of dumping its bytes.
void PrintTo(const Design& design, std::ostream* os);

// The ladder of the design between its source RL and the load its prototype needs, as the model
// and as the compact ladder of the analysis.
LadderModel DesignModel(const Design& design);
Ladder DesignLadder(const Design& design);

// The closed-form attenuation of the design at the sweep points.
Sweep ClosedForm(const Design& design, const Sweep& Freq);

// Sweep helpers in the chosen unit.
Sweep LinearSweep(double start, double stop);
Sweep LogSweep(double start, double stop);
// A sweep as the plain list of frequencies that the analysis and the exporters take.
std::vector<double> List(const Sweep& sweep);

class SilentMessages : public MessagePort {
public:
    std::vector<std::string> shown;
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
};
