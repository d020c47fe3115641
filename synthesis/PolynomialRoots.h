// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "synthesis/Polynomial.h"

namespace corvane {

namespace synthesis {

// All complex roots of a real polynomial (Aberth iteration, then Newton polishing). Leading and
// trailing zero coefficients must have been removed. Returns false when the iteration does not
// settle.
bool Roots(const Poly& p, std::vector<Complex>& roots);

// p and its slope at y, evaluated more accurately than the expanded coefficients allow (from
// factors): near a cluster the coefficients fix the roots only to a few digits.
struct YFunction {
    virtual ~YFunction() = default;
    virtual void At(WideComplex y, WideComplex& value, WideComplex& slope) const = 0;
    // The same in long double, to bring the roots close cheaply before the quadruple steps.
    virtual void Rough(Complex y, Complex& value, Complex& slope) const = 0;
};

// The roots of p (in y = s^2) found in long double and polished in quadruple precision, mapped
// to the left half plane: s = -sqrt(y). Leading and trailing zero coefficients must be gone.
// exact, where given, is p itself, and the roots are polished against it.
bool LeftHalfPlaneRoots(const WidePoly& p, std::vector<WideComplex>& sRoots, const YFunction* exact = nullptr);

} // namespace synthesis

} // namespace corvane
