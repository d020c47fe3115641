// SPDX-License-Identifier: Apache-2.0
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
// Long double views, for the parts of an iteration that only steer it (slopes, repulsions).
Complex Narrow(WideComplex z);
WideComplex Widen(Complex z);
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
// exact, where given, evaluates p and its slope at y more accurately than the coefficients can
// (from factors), and the roots are polished against it.
struct YFunction {
    virtual ~YFunction() = default;
    virtual void At(WideComplex y, WideComplex& value, WideComplex& slope) const = 0;
    // The same in long double, to bring the roots close cheaply before the quadruple steps.
    virtual void Rough(Complex y, Complex& value, Complex& slope) const = 0;
};
bool LeftHalfPlaneRoots(const WidePoly& p, std::vector<WideComplex>& sRoots, const YFunction* exact = nullptr);

} // namespace synthesis
