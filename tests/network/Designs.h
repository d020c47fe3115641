#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "filtermath/LadderAnalysis.h"
#include "filtermath/Messages.h"
#include "filtermath/Sweep.h"

// One filter design as the window would make it, for tests that analyse the ladder.
struct Design {
    int FilterKind; // 0..5
    LadderTopology topology;
    int N;
    double Ripple; // dB, Chebyshev kinds
    double PassF; // low-pass and high-pass edge, chosen unit
    double Fmin; // band-pass edges, chosen unit
    double Fmax;
    double RL;
    double UnitScale;
};

std::string DesignName(const Design& design);
// Test output names the design instead of dumping its bytes.
void PrintTo(const Design& design, std::ostream* os);

// Prototype and element procedures, then the ladder they describe.
Ladder DesignLadder(const Design& design);

// The closed-form attenuation of the design at the sweep points.
Sweep ClosedForm(const Design& design, const Sweep& Freq);

// Sweep helpers in the chosen unit.
Sweep LinearSweep(double start, double stop);
Sweep LogSweep(double start, double stop);

class SilentMessages : public MessagePort {
public:
    std::vector<std::string> shown;
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
};
