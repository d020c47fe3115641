// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "synthesis/PrototypePolynomials.h"
#include "synthesis/Synthesis.h"

namespace corvane {

// The Darlington expansion of the input immittance into ladder elements, one removal at a time.
namespace synthesis {

// A ladder under construction: W = num / den is the impedance (isZ) or the admittance seen
// into the rest of the network, normalised to the source.
struct Expansion {
    WidePoly num, den;
    bool isZ;
    BranchPlace place; // where an element removed from W sits
    std::vector<PrototypeBranch> branches;
};

// The input immittance (E + F) / (E - F) of the prototype, an impedance for the T form (series
// element first), an admittance for the Pi form.
Expansion StartExpansion(const Polynomials& p, LadderTopology form);

// A full removal of W's pole at infinity (a series inductor or a shunt capacitor), then the
// inverse. False when W has no such pole or the element would not be positive.
bool TakeWholePole(Expansion& x);

// Zero shifting: a partial removal of the pole at infinity makes W vanish at j wz; the
// inverse then has a pole pair there, removed whole as a trap, which puts a transmission zero
// at wz. False when an element would not be positive.
bool ShiftZero(Expansion& x, Wide wz);

// Cauer expansion at infinity down to the terminating resistance; returns it normalised to
// the source, or 0 when the expansion breaks down.
Wide Tail(Expansion& x);

} // namespace synthesis

} // namespace corvane
