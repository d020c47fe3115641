// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "synthesis/Approximation.h"
#include "synthesis/Polynomial.h"

namespace corvane {

// The all-pole families for pulse work, computed at any order rather than read from tables. Each is
// normalised like the other families without ripple: the passband edge 1 rad/s is the 3.0103 dB
// point (|S21|^2 = 1/2).
namespace synthesis {

// The Gaussian's loss 1 / |H(jw)|^2 as a polynomial Q in x = w^2: e^(a x) cut after its x^N
// term, a such that Q(1) = 2.
Poly GaussianLoss(int N);

// The transitional Gaussians' loss follows the Gaussian's, 10 log10(2) w^2 dB, to within this band
// above it until the Gaussian reaches 6 or 12 dB.
constexpr Real kTransitionalBandDb = 0.05L;

// The transitional Gaussian's loss 1 / |H(jw)|^2 as a polynomial Q in x = w^2, in the Gaussian's
// own normalisation (3.01 dB at x = 1), not yet in its own. Up to x_T, where the Gaussian's loss
// reaches transitionDb, the loss 10 log10 Q(x) lies between the Gaussian's and kTransitionalBandDb
// above it, touching the two bounds in turn N times, the last time the upper one at x_T; Q(0) = 1.
// Of all responses of order N that stay within that band, this one has the most loss at every
// frequency beyond x_T: the Chebyshev response's argument with the Gaussian in place of the flat
// loss (two such Q whose difference changed sign N - 1 times in the band, vanished at DC and
// once more beyond would be the same). Found by exchange; throws Failure where it does not settle.
Poly TransitionalGaussianLoss(int N, Real transitionDb);

// The fewest poles of the family: 3 for the Gaussian to 6 dB and 5 to 12 dB, which fewer cannot
// follow within the band that far; 1 for every other family.
int LeastOrder(Family family);

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
