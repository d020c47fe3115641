// SPDX-License-Identifier: Apache-2.0
#include "synthesis/Polynomial.h"

#include <cmath>

namespace corvane {

namespace synthesis {

WideComplex operator+(WideComplex a, WideComplex b)
{
    return {a.re + b.re, a.im + b.im};
}
WideComplex operator+(WideComplex a, Wide b)
{
    return a + WideComplex{b, 0};
}
WideComplex operator-(WideComplex a, WideComplex b)
{
    return {a.re - b.re, a.im - b.im};
}
WideComplex operator-(WideComplex a)
{
    return {-a.re, -a.im};
}
WideComplex operator*(WideComplex a, WideComplex b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
WideComplex operator/(WideComplex a, WideComplex b)
{
    const Wide d = b.re * b.re + b.im * b.im;
    return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

WidePoly Widen(const Poly& p)
{
    return WidePoly(p.begin(), p.end());
}

Complex Narrow(WideComplex z)
{
    return {static_cast<Real>(z.re), static_cast<Real>(z.im)};
}

WideComplex Widen(Complex z)
{
    return {z.real(), z.imag()};
}

Wide SquareRoot(Wide x)
{
    if (x <= 0) return 0;
    Wide r = std::sqrt(static_cast<long double>(x));
    for (int i = 0; i < 3; ++i) r = (r + x / r) / 2;
    return r;
}

} // namespace synthesis

} // namespace corvane
