// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "design/Names.h"
#include "synthesis/Polynomial.h"

namespace corvane {

// The approximations as transfer functions of the normalised low-pass prototype
// (passband edge at 1 rad/s, where the loss reaches the ripple or, without one, 3.01 dB; source
// resistance 1 ohm):
//   S21(s) = P(s) / E(s),  S11(s) = F(s) / E(s),  E E* = P P* + F F*  (lossless, matched).
namespace synthesis {

using corvane::Family;

// The family's key in kFamilyNames ("InverseChebyshev"), as messages and reports name it.
const char* FamilyName(Family family);

struct FamilyRequest {
    Family family = Family::Butterworth;
    int N = 3;
    Real rippleDb = 0.5L; // Chebyshev and Elliptic
    Real stopAttDb = 40.0L; // Elliptic and InverseChebyshev
    // An even-order Elliptic keeps its lowest reflection zero and so its ripple as loss at DC: its
    // stopband begins nearer the passband, but the ladder needs unequal terminations, as an
    // even-order Chebyshev does. Otherwise that zero moves to DC too.
    bool lossAtDc = false;
    Real delayErrorDeg = 0.05L; // EquirippleDelay: the peak phase error in degrees
    // Butterworth and Chebyshev: finite transmission zeros chosen by the user, rad/s above the
    // passband edge; each is a pair +-w, and the order's other zeros stay at infinity.
    std::vector<Real> zeros{};
};

// The most poles of any response.
constexpr int kMaxOrder = 15;

// The peak phase error an equiripple delay response may be asked for, in degrees.
constexpr Real kMaxDelayErrorDeg = 2.0L;

struct Characteristic {
    Poly E; // Hurwitz, positive leading coefficient; given only where it defines the family (Bessel,
            // EquirippleDelay)
    Poly P; // even: the finite transmission zeros
    Poly F; // in closed form where it is known; else empty
    Poly FFInY; // F(s) F(-s) as a polynomial in y = s^2
    Poly PPInY; // P(s) P(-s) likewise
    std::vector<Real> zeros; // finite transmission zeros in rad/s, ascending
    std::vector<Real> reflectionSquares; // w^2 of F's zero pairs where F is built from them
    Real stopEdge = 0.0L; // the normalised frequency from which the stopband attenuation holds; 0 if none
};

// Throws Failure with a message when the request is outside what the family can do.
Characteristic Approximate(const FamilyRequest& request);

// |S21(j w)|^2 of the matched prototype.
Real PowerGain(const Characteristic& c, Real w);

// Cauer approximation sizes: the exact (fractional) order that meets the request, and the
// selectivity k = passband edge / stopband edge that an order N reaches.
Real EllipticOrderExact(Real rippleDb, Real stopAttDb, Real stopRatio);
Real EllipticSelectivity(int N, Real rippleDb, Real stopAttDb);

} // namespace synthesis

} // namespace corvane
