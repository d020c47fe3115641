// SPDX-License-Identifier: Apache-2.0
#pragma once

// Checked extended-precision arithmetic for the filter formulas. Every operation tests
// its operands (or, where only the result can tell, its result) and raises an
// ArithmeticError at the step that goes wrong, so no infinity or NaN leaves the core.
// Underflow and inexact results are silent.
#include <cmath>

namespace corvane {

namespace fpmath {

using Real = long double;

[[noreturn]] void RaiseForResult(Real result);

// Operands are finite, so a NaN result means an invalid operation and an infinite one
// an overflow; checking the result keeps the outcome independent of the FPU flags.
// Inline, since the formulas run these on every sweep point.
inline Real Checked(Real result)
{
    if (!std::isfinite(result)) RaiseForResult(result);
    return result;
}

inline Real Add(Real a, Real b)
{
    return Checked(a + b);
}
inline Real Sub(Real a, Real b)
{
    return Checked(a - b);
}
inline Real Mul(Real a, Real b)
{
    return Checked(a * b);
}

// 0/0 is an invalid operation, x/0 a division by zero.
Real Div(Real a, Real b);
// Negative argument: invalid operation.
Real Sqrt(Real x);
// Negative argument: invalid operation; zero: division by zero.
Real Ln(Real x);
Real Log10(Real x);
Real Exp(Real x);
// Zero to a negative power: division by zero; a negative base to a non-whole power:
// invalid operation.
Real Power(Real base, Real exponent);
Real Sin(Real x);
Real Cos(Real x);
// Outside -1..1: invalid operation.
Real ArcCos(Real x);
Real Floor(Real x);

// Rounds to double; beyond the double range is an overflow.
double StoreDouble(Real x);

} // namespace fpmath

} // namespace corvane
