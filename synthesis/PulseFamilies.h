// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "synthesis/Approximation.h"
#include "synthesis/Polynomial.h"

namespace corvane {

// The all-pole families for pulse work, computed at any order rather than read from tables. Each is
// normalised like the other families without ripple: the passband edge 1 rad/s is the 3.0103 dB
// point (|S21|^2 = 1/2).
namespace synthesis {

// Gaussian and EquirippleDelay.
bool IsPulseFamily(Family family);

// The Gaussian's loss 1 / |H(jw)|^2 as a polynomial Q in x = w^2: e^(a x) cut after its x^N
// term, a such that Q(1) = 2.
Poly GaussianLoss(int N);

// The all-pole denominator E(s) whose phase arg E(jw) follows a straight line with an
// equiripple error of the given peak in degrees: N extremes of alternate sign, the last at the
// band edge, beyond which the phase falls away. Found by a Remez-style exchange: the
// interpolation points move to the extremes of the last error curve until they stay put.
struct EquirippleDelay {
    Poly E; // Hurwitz, normalised to the 3 dB point
    Real bandEdge = 0.0L; // the last extreme, rad/s in the same normalisation
    int exchanges = 0; // the exchanges it took
};
// Throws Failure where the exchange does not settle or the denominator is not Hurwitz.
EquirippleDelay FitEquirippleDelay(int N, Real phaseErrorDegrees);

// The characteristic of a pulse family for the Darlington synthesis.
Characteristic PulseCharacteristic(const FamilyRequest& request);

} // namespace synthesis

} // namespace corvane
