#pragma once
#include <vector>

#include "synthesis/Polynomial.h"

// Quadruple precision (113-bit significand) for the continued-fraction expansion, whose
// cancellations grow with the order: long double alone loses the elements of 15-pole designs.
namespace synthesis {

using Wide = __float128;
using WidePoly = std::vector<Wide>;

struct WideComplex {
    Wide re = 0, im = 0;
};
WideComplex operator+(WideComplex a, WideComplex b);
WideComplex operator-(WideComplex a, WideComplex b);
WideComplex operator*(WideComplex a, WideComplex b);
WideComplex operator/(WideComplex a, WideComplex b);

WidePoly Widen(const Poly& p);
int Degree(const WidePoly& p);
void Trim(WidePoly& p);
WidePoly Add(const WidePoly& a, const WidePoly& b);
WidePoly Scale(const WidePoly& a, Wide k);
// p(s) s.
WidePoly TimesS(const WidePoly& p);
WidePoly EvenProductInY(const WidePoly& p);
WideComplex Eval(const WidePoly& p, WideComplex x);
WidePoly DivideBySquarePlus(const WidePoly& p, Wide a);
WidePoly FromRoots(const std::vector<WideComplex>& roots);
Wide SquareRoot(Wide x);

// The roots of p (in y = s^2) found in long double and polished in quadruple precision, mapped
// to the left half plane: s = -sqrt(y). Leading and trailing zero coefficients must be gone.
bool LeftHalfPlaneRoots(const WidePoly& p, std::vector<WideComplex>& sRoots);

} // namespace synthesis
