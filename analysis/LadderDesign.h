// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>

#include "filtermath/LadderAnalysis.h"
#include "run/DesignState.h"

// From a design to the ladder that realises it, between the terminations its prototype needs.

// The inputs of one design, converted: what the window's fields and selectors hold.
struct DesignParameters {
    int FilterKind = 0; // 0..5
    LadderTopology topology = LadderTopology::T;
    int N = 3;
    double Ripple = 0.0; // dB, Chebyshev kinds
    double PassF = 10.0; // low-pass and high-pass edge, chosen unit
    double Fmin = 0.0; // band-pass edges, chosen unit
    double Fmax = 0.0;
    double RL = 50.0; // ohms
    double UnitScale = 1e6; // hertz per chosen unit
};

// The prototype values and the element table, as the run computes them (no responses, no
// messages). Arithmetic faults raise ArithmeticError.
DesignState ComputeDesign(const DesignParameters& design);

// The load the prototype g[0..N+1] is designed for with source R: R*g[N+1] when the last branch
// is a shunt branch, R/g[N+1] when it is a series branch, R when there is none. Butterworth and
// odd-order Chebyshev prototypes have g[N+1] = 1.
double PrototypeLoad(double R, const std::vector<double>& g, LadderTopology topology);

// The ladder of the state's element table (the family FilterKind uses) between a source of
// state.RL and the prototype's load, or loadOhms when given. Needs a completed run (N + 2
// entries in every table).
Ladder LadderOfDesign(const DesignState& state, LadderTopology topology, std::optional<double> loadOhms = {});
