#include "FpMath.h"

#include <cfloat>
#include <cmath>

#include "Failure.h"

namespace fpmath {

namespace {

// Operands are finite, so a NaN result means an invalid operation and an infinite one
// an overflow; checking the result keeps the outcome independent of the FPU flags.
Real Checked(Real result)
{
    if (std::isnan(result)) RaiseInvalidOperation();
    if (std::isinf(result)) RaiseOverflow();
    return result;
}

void RequireNumber(Real x)
{
    if (std::isnan(x)) RaiseInvalidOperation();
}

}  // namespace

Real Add(Real a, Real b)
{
    return Checked(a + b);
}

Real Sub(Real a, Real b)
{
    return Checked(a - b);
}

Real Mul(Real a, Real b)
{
    return Checked(a * b);
}

Real Div(Real a, Real b)
{
    RequireNumber(a);
    RequireNumber(b);
    if (b == 0) {
        if (a == 0) RaiseInvalidOperation();
        RaiseDivisionByZero();
    }
    return Checked(a / b);
}

Real Sqrt(Real x)
{
    RequireNumber(x);
    if (x < 0) RaiseInvalidOperation();
    return Checked(std::sqrt(x));
}

Real Ln(Real x)
{
    RequireNumber(x);
    if (x < 0) RaiseInvalidOperation();
    if (x == 0) RaiseDivisionByZero();
    return Checked(std::log(x));
}

Real Log10(Real x)
{
    RequireNumber(x);
    if (x < 0) RaiseInvalidOperation();
    if (x == 0) RaiseDivisionByZero();
    return Checked(std::log10(x));
}

Real Exp(Real x)
{
    return Checked(std::exp(x));
}

Real Power(Real base, Real exponent)
{
    RequireNumber(base);
    RequireNumber(exponent);
    if (base == 0 && exponent < 0) RaiseDivisionByZero();
    if (base < 0 && std::trunc(exponent) != exponent) RaiseInvalidOperation();
    return Checked(std::pow(base, exponent));
}

Real Sin(Real x)
{
    return Checked(std::sin(x));
}

Real Cos(Real x)
{
    return Checked(std::cos(x));
}

Real Cosh(Real x)
{
    return Checked(std::cosh(x));
}

Real ArcCos(Real x)
{
    RequireNumber(x);
    if (x < -1 || x > 1) RaiseInvalidOperation();
    return Checked(std::acos(x));
}

Real ArcCosh(Real x)
{
    return Ln(Add(x, Sqrt(Sub(Mul(x, x), 1))));
}

Real Floor(Real x)
{
    return Checked(std::floor(x));
}

Real Ceil(Real x)
{
    return Checked(std::ceil(x));
}

double StoreDouble(Real x)
{
    RequireNumber(x);
    if (std::fabs(x) > DBL_MAX) RaiseOverflow();
    return static_cast<double>(x);
}

}  // namespace fpmath
