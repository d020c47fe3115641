// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <algorithm>
#include <complex>
#include <vector>

namespace corvane {

// Real polynomials, coefficients in ascending powers: c[0] + c[1] x + ... One set of operations
// serves two number types: long double for the approximations, and quadruple precision
// (113-bit significand) for the continued-fraction expansion, whose cancellations grow with the
// order: long double alone loses the elements of 15-pole designs.
namespace synthesis {

using Real = long double;
using Complex = std::complex<Real>;
using Wide = __float128;

// std::complex is defined for the standard floating types only, so the quadruple type has its
// own complex pair with the plain formulas (its operands stay far from overflow).
struct WideComplex {
    Wide re = 0, im = 0;
    Wide real() const { return re; }
    Wide imag() const { return im; }
};
WideComplex operator+(WideComplex a, WideComplex b);
WideComplex operator+(WideComplex a, Wide b);
WideComplex operator-(WideComplex a, WideComplex b);
WideComplex operator-(WideComplex a);
WideComplex operator*(WideComplex a, WideComplex b);
WideComplex operator/(WideComplex a, WideComplex b);

template <typename T>
struct ComplexOf {
    using type = std::complex<T>;
};
template <>
struct ComplexOf<Wide> {
    using type = WideComplex;
};
template <typename C>
using RealPartOf = decltype(C{}.real());

template <typename T>
using PolyOf = std::vector<T>;
using Poly = PolyOf<Real>;
using WidePoly = PolyOf<Wide>;

// Scalar arguments take the polynomial's number type (so Scale(p, -1) works for both).
template <typename T>
struct NumberOf {
    using type = T;
};

template <typename T>
int Degree(const PolyOf<T>& p)
{
    for (int i = static_cast<int>(p.size()) - 1; i >= 0; --i)
        if (p[static_cast<size_t>(i)] != 0) return i;
    return -1;
}

// Drops leading zero coefficients (an empty polynomial is zero).
template <typename T>
void Trim(PolyOf<T>& p)
{
    p.resize(static_cast<size_t>(Degree(p) + 1));
}

template <typename T>
T Eval(const PolyOf<T>& p, typename NumberOf<T>::type x)
{
    T sum = 0;
    for (size_t i = p.size(); i-- > 0;) sum = sum * x + p[i];
    return sum;
}

template <typename T>
typename ComplexOf<T>::type Eval(const PolyOf<T>& p, typename ComplexOf<T>::type x)
{
    typename ComplexOf<T>::type sum{};
    for (size_t i = p.size(); i-- > 0;) sum = sum * x + p[i];
    return sum;
}

template <typename T>
PolyOf<T> Multiply(const PolyOf<T>& a, const PolyOf<T>& b)
{
    if (a.empty() || b.empty()) return {};
    PolyOf<T> c(a.size() + b.size() - 1, 0);
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = 0; j < b.size(); ++j) c[i + j] += a[i] * b[j];
    return c;
}

template <typename T>
PolyOf<T> Add(const PolyOf<T>& a, const PolyOf<T>& b)
{
    PolyOf<T> c(std::max(a.size(), b.size()), 0);
    for (size_t i = 0; i < a.size(); ++i) c[i] += a[i];
    for (size_t i = 0; i < b.size(); ++i) c[i] += b[i];
    return c;
}

template <typename T>
PolyOf<T> Scale(const PolyOf<T>& a, typename NumberOf<T>::type k)
{
    PolyOf<T> c(a);
    for (T& v : c) v *= k;
    return c;
}

// p(s) -> p(-s).
template <typename T>
PolyOf<T> Mirror(const PolyOf<T>& p)
{
    PolyOf<T> m(p);
    for (size_t i = 1; i < m.size(); i += 2) m[i] = -m[i];
    return m;
}

// p(s) -> p(s) s.
template <typename T>
PolyOf<T> TimesS(const PolyOf<T>& p)
{
    PolyOf<T> c(p);
    c.insert(c.begin(), 0);
    return c;
}

// p(s) p(-s) is even in s; returns it as a polynomial in y = s^2, trimmed. Only the even
// powers of the product are formed.
template <typename T>
PolyOf<T> EvenProductInY(const PolyOf<T>& p)
{
    PolyOf<T> y(p.size(), 0);
    for (size_t i = 0; i < p.size(); ++i)
        for (size_t j = 0; j < p.size(); ++j)
            if ((i + j) % 2 == 0) y[(i + j) / 2] += ((j % 2 == 0) ? p[i] * p[j] : -p[i] * p[j]);
    Trim(y);
    return y;
}

// p(y) -> p(s^2).
template <typename T>
PolyOf<T> InSquare(const PolyOf<T>& pInY)
{
    PolyOf<T> s(pInY.empty() ? 0 : 2 * pInY.size() - 1, 0);
    for (size_t i = 0; i < pInY.size(); ++i) s[2 * i] = pInY[i];
    return s;
}

// Quotient by (s^2 + a); the remainder is dropped, the caller knows it vanishes up to rounding.
template <typename T>
PolyOf<T> DivideBySquarePlus(const PolyOf<T>& p, typename NumberOf<T>::type a)
{
    const int n = Degree(p);
    if (n < 2) return {};
    PolyOf<T> rest(p.begin(), p.begin() + n + 1);
    PolyOf<T> q(static_cast<size_t>(n - 1), 0);
    for (int k = n; k >= 2; --k) {
        const T lead = rest[static_cast<size_t>(k)];
        q[static_cast<size_t>(k - 2)] = lead;
        rest[static_cast<size_t>(k - 2)] -= lead * a;
    }
    return q;
}

// The monic real polynomial with these roots (complex ones in conjugate pairs).
template <typename C>
PolyOf<RealPartOf<C>> FromRoots(const std::vector<C>& roots)
{
    std::vector<C> c{C{1, 0}};
    for (const C& r : roots) {
        c.push_back(C{});
        for (size_t i = c.size() - 1; i > 0; --i) c[i] = c[i - 1] - r * c[i];
        c[0] = -r * c[0];
    }
    PolyOf<RealPartOf<C>> p(c.size());
    for (size_t i = 0; i < c.size(); ++i) p[i] = c[i].real();
    return p;
}

// Conversions between the two precisions. The long double views serve the parts of an iteration
// that only steer it (slopes, repulsions).
WidePoly Widen(const Poly& p);
WideComplex Widen(Complex z);
Complex Narrow(WideComplex z);
Wide SquareRoot(Wide x);

} // namespace synthesis

} // namespace corvane
