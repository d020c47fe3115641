// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "synthesis/Approximation.h"
#include "synthesis/Polynomial.h"

namespace corvane {

// The polynomials of the low-pass prototype in quadruple precision, consistent among
// themselves: E E* = F F* + gain P P*. The continued fraction is taken from them.
namespace synthesis {

struct Polynomials {
    WidePoly E, F, P;
    std::vector<WideComplex> reflectionRoots; // F's zeros off the origin when found as roots
    Wide reflectionLead = 1;
    int reflectionZerosAtOrigin = 0;

    // F again from its roots, after one of them has been mirrored.
    void BuildF();
};

// Throws Failure when the roots cannot be found to working accuracy.
Polynomials PrototypePolynomials(const Characteristic& c, Wide gain);

} // namespace synthesis

} // namespace corvane
