// SPDX-License-Identifier: Apache-2.0
#include "filtermath/FpMath.h"

#include <cfloat>
#include <cmath>

#include "filtermath/Failure.h"

namespace corvane {

namespace fpmath {

namespace {

void RequireNumber(Real x)
{
    if (std::isnan(x)) RaiseInvalidOperation();
}

// The extended sine and cosine reduce any argument beyond pi/4 with a slow multi-precision
// routine. The filter angles lie within a turn, where taking out whole quarter turns in
// extended precision costs less than a unit in the last place of a double result.
constexpr Real kHalfPi = 1.570796326794896619231321691639751442L;

bool IsNearTurn(Real x)
{
    return std::fabs(x) <= 8 * kHalfPi;
}

// sin(x + shift quarter turns) from the sine or cosine of the remainder in -pi/4..pi/4.
Real SinByQuadrant(Real x, int shift)
{
    const long quarter = std::lround(static_cast<double>(x / kHalfPi));
    const Real r = x - static_cast<Real>(quarter) * kHalfPi;
    switch ((quarter + shift) & 3) {
    case 0: return std::sin(r);
    case 1: return std::cos(r);
    case 2: return -std::sin(r);
    default: return -std::cos(r);
    }
}

// Whole exponents (the Butterworth 2N) by repeated squaring: about ten times faster than
// powl and within a few units in the last place of the extended result. An intermediate
// that overflows stays infinite, which the caller reports as an overflow.
constexpr double kLargestSquaringExponent = 65536;

Real PowerBySquaring(Real base, long exponent)
{
    if (exponent < 0) {
        base = 1 / base;
        exponent = -exponent;
    }
    Real result = 1;
    while (exponent > 0) {
        if (exponent & 1) result *= base;
        exponent >>= 1;
        if (exponent > 0) base *= base;
    }
    return result;
}

} // namespace

void RaiseForResult(Real result)
{
    if (std::isnan(result)) RaiseInvalidOperation();
    RaiseOverflow();
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
    // The whole-number test goes through double: rounding an x87 value to an integer
    // reloads the FPU control word, which costs more than the squaring itself.
    const double whole = static_cast<double>(exponent);
    if (whole == exponent && std::fabs(whole) <= kLargestSquaringExponent && std::trunc(whole) == whole)
        return Checked(PowerBySquaring(base, static_cast<long>(whole)));
    return Checked(std::pow(base, exponent));
}

Real Sin(Real x)
{
    if (IsNearTurn(x)) return SinByQuadrant(x, 0);
    return Checked(std::sin(x));
}

Real Cos(Real x)
{
    if (IsNearTurn(x)) return SinByQuadrant(x, 1);
    return Checked(std::cos(x));
}

Real ArcCos(Real x)
{
    RequireNumber(x);
    if (x < -1 || x > 1) RaiseInvalidOperation();
    return Checked(std::acos(x));
}

Real Floor(Real x)
{
    return Checked(std::floor(x));
}

double StoreDouble(Real x)
{
    RequireNumber(x);
    if (std::fabs(x) > DBL_MAX) RaiseOverflow();
    return static_cast<double>(x);
}

} // namespace fpmath

} // namespace corvane
