// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>

#include "design/LadderModel.h"
#include "design/DesignBand.h"
#include "filtermath/LadderPlace.h"
#include "run/DesignState.h"

namespace corvane {

// The one way from the classic run's result to the ladder model: its element arrays become
// branches with named parts between the terminations its prototype needs.

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

// The ladder of the state's element table between a source of state.RL and the prototype's
// load, or loadOhms when given. A low-pass ladder has its inductors in series and its capacitors
// across the line, a high-pass ladder the other way round; a band-pass position is L and C in
// series on a series place and in parallel on a shunt place. Needs a completed run (N + 2
// entries in every table).
LadderModel ModelOfRun(const DesignState& state, LadderTopology topology, std::optional<double> loadOhms = {});

// The band the state's design was made for, in hertz: up to PassF, from PassF, or Fmin to Fmax.
DesignBand BandOfRun(const DesignState& state);

} // namespace corvane
