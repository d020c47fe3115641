// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <vector>

// Real polynomials in extended precision, coefficients in ascending powers: c[0] + c[1] x + ...
namespace synthesis {

using Real = long double;
using Complex = std::complex<Real>;
using Poly = std::vector<Real>;

int Degree(const Poly& p);
// Drops leading zero coefficients (an empty polynomial is zero).
void Trim(Poly& p);
Real Eval(const Poly& p, Real x);
Complex Eval(const Poly& p, Complex x);
Poly Multiply(const Poly& a, const Poly& b);
Poly Add(const Poly& a, const Poly& b);
Poly Scale(const Poly& a, Real k);
// p(s) -> p(-s).
Poly Mirror(const Poly& p);
// p(s) p(-s) is even in s; returns it as a polynomial in y = s^2.
Poly EvenProductInY(const Poly& p);
// p(y) -> p(s^2).
Poly InSquare(const Poly& pInY);
// Quotient by (s^2 + a); the remainder is dropped, the caller knows it vanishes up to rounding.
Poly DivideBySquarePlus(const Poly& p, Real a);
// The monic real polynomial with these roots (complex ones in conjugate pairs).
Poly FromRoots(const std::vector<Complex>& roots);

// All complex roots of a real polynomial (Aberth iteration, then Newton polishing). Leading and
// trailing zero coefficients must have been removed. Returns false when the iteration does not
// settle.
bool Roots(const Poly& p, std::vector<Complex>& roots);

} // namespace synthesis
