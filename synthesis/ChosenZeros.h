// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "synthesis/Approximation.h"
#include "synthesis/Synthesis.h"

namespace corvane {

// Transmission zeros at frequencies the user chooses (a transmitter's low-pass with notches on its
// harmonics), with the passband keeping its family's character: equiripple for the Chebyshev
// through the generalised Chebyshev function, maximally flat for the Butterworth. In prototype
// terms each zero w > 1 rad/s is a pair +-w, and the order's remaining zeros lie at infinity.
namespace synthesis {

// The families whose passband keeps its character around chosen zeros.
bool TakesChosenZeros(Family family);

// A ladder needs two poles for each finite zero and one zero at infinity, so that the response
// falls away beyond its last trap: the least order for a count of zeros.
int LeastOrderForZeros(size_t count);

// The squared reflection zeros in (0, 1) of the generalised Chebyshev function of order N with
// transmission zeros at +-w for each w given: C(w) = cos(sum_k acos(x_k(w))) in the passband, with
// x_k(w) = (w - 1/w_k) / (1 - w/w_k) for each of the N zeros (x = w for the zeros at infinity).
// The phase sum falls monotonically from N pi/2 at DC to 0 at the edge, so each root is found by
// bisection on it; an odd order has one more root at DC, not listed.
std::vector<Real> GeneralisedChebyshevReflectionSquares(int N, const std::vector<Real>& zeros);

// The request's zero frequencies (hertz) as prototype zeros, ascending. A band-pass zero and its
// geometric mirror f0^2 / f are one prototype zero, listed once. Throws Failure naming the zero
// that is no positive frequency, lies in the passband, or belongs to a band-stop design.
std::vector<Real> PrototypeZeros(const DesignRequest& request);

// Every finite transmission zero that the design's traps place (chosen or the family's own),
// hertz ascending: a band design has each prototype zero on both sides of its centre.
std::vector<double> ZeroFrequenciesHz(const Design& design);

} // namespace synthesis

} // namespace corvane
