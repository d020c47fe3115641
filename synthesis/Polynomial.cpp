// SPDX-License-Identifier: Apache-2.0
#include "synthesis/Polynomial.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace synthesis {

int Degree(const Poly& p)
{
    for (int i = static_cast<int>(p.size()) - 1; i >= 0; --i)
        if (p[static_cast<size_t>(i)] != 0.0L) return i;
    return -1;
}

void Trim(Poly& p)
{
    p.resize(static_cast<size_t>(Degree(p) + 1));
}

Real Eval(const Poly& p, Real x)
{
    Real sum = 0.0L;
    for (size_t i = p.size(); i-- > 0;) sum = sum * x + p[i];
    return sum;
}

Complex Eval(const Poly& p, Complex x)
{
    Complex sum{};
    for (size_t i = p.size(); i-- > 0;) sum = sum * x + p[i];
    return sum;
}

Poly Multiply(const Poly& a, const Poly& b)
{
    if (a.empty() || b.empty()) return {};
    Poly c(a.size() + b.size() - 1, 0.0L);
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = 0; j < b.size(); ++j) c[i + j] += a[i] * b[j];
    return c;
}

Poly Add(const Poly& a, const Poly& b)
{
    Poly c(std::max(a.size(), b.size()), 0.0L);
    for (size_t i = 0; i < a.size(); ++i) c[i] += a[i];
    for (size_t i = 0; i < b.size(); ++i) c[i] += b[i];
    return c;
}

Poly Scale(const Poly& a, Real k)
{
    Poly c(a);
    for (Real& v : c) v *= k;
    return c;
}

Poly Mirror(const Poly& p)
{
    Poly m(p);
    for (size_t i = 1; i < m.size(); i += 2) m[i] = -m[i];
    return m;
}

Poly EvenProductInY(const Poly& p)
{
    const Poly full = Multiply(p, Mirror(p));
    Poly y;
    for (size_t i = 0; i < full.size(); i += 2) y.push_back(full[i]);
    return y;
}

Poly InSquare(const Poly& pInY)
{
    Poly s(pInY.empty() ? 0 : 2 * pInY.size() - 1, 0.0L);
    for (size_t i = 0; i < pInY.size(); ++i) s[2 * i] = pInY[i];
    return s;
}

Poly DivideBySquarePlus(const Poly& p, Real a)
{
    const int n = Degree(p);
    if (n < 2) return {};
    Poly rest(p.begin(), p.begin() + n + 1);
    Poly q(static_cast<size_t>(n - 1), 0.0L);
    for (int k = n; k >= 2; --k) {
        const Real lead = rest[static_cast<size_t>(k)];
        q[static_cast<size_t>(k - 2)] = lead;
        rest[static_cast<size_t>(k)] = 0.0L;
        rest[static_cast<size_t>(k - 2)] -= lead * a;
    }
    return q;
}

Poly FromRoots(const std::vector<Complex>& roots)
{
    std::vector<Complex> c{Complex{1.0L, 0.0L}};
    for (const Complex& r : roots) {
        c.push_back(Complex{});
        for (size_t i = c.size() - 1; i > 0; --i) c[i] = c[i - 1] - r * c[i];
        c[0] = -r * c[0];
    }
    Poly p(c.size());
    for (size_t i = 0; i < c.size(); ++i) p[i] = c[i].real();
    return p;
}

namespace {

// Plain complex quotient: the operands here are finite and far from overflow, and the
// library's careful division dominates the iteration otherwise.
Complex Product(const Complex& a, const Complex& b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

Complex Quotient(const Complex& a, const Complex& b)
{
    const Real d = b.real() * b.real() + b.imag() * b.imag();
    return {(a.real() * b.real() + a.imag() * b.imag()) / d, (a.imag() * b.real() - a.real() * b.imag()) / d};
}

} // namespace

bool Roots(const Poly& p, std::vector<Complex>& roots)
{
    const int n = Degree(p);
    roots.clear();
    if (n < 1) return n == 0;
    // Starting radii from the Newton polygon of the coefficient magnitudes (upper convex hull of
    // log |p_k|), as Bini suggests: each hull edge from i to j holds j - i roots of about the same
    // size. The angles stay off the real axis so that conjugate pairs can separate.
    std::vector<int> hull;
    for (int k = 0; k <= n; ++k) {
        if (p[static_cast<size_t>(k)] == 0.0L) continue;
        const Real lk = std::log(std::fabs(p[static_cast<size_t>(k)]));
        while (hull.size() >= 2) {
            const int a = hull[hull.size() - 2], b = hull.back();
            const Real la = std::log(std::fabs(p[static_cast<size_t>(a)]));
            const Real lb = std::log(std::fabs(p[static_cast<size_t>(b)]));
            if ((lb - la) * (k - a) <= (lk - la) * (b - a))
                hull.pop_back();
            else
                break;
        }
        hull.push_back(k);
    }
    const Real kTwoPi = 6.283185307179586476925286766559L;
    for (size_t h = 1; h < hull.size(); ++h) {
        const int a = hull[h - 1], b = hull[h];
        const Real radius = std::pow(std::fabs(p[static_cast<size_t>(a)] / p[static_cast<size_t>(b)]), 1.0L / (b - a));
        for (int k = 0; k < b - a; ++k)
            roots.push_back(std::polar(radius, kTwoPi * (k + 0.25L) / (b - a) + 0.4L + 0.7L * h));
    }

    // Each root stops moving once its value is at the rounding level of Horner's rule.
    std::vector<bool> done(static_cast<size_t>(n), false);
    bool settled = false;
    for (int iteration = 0; iteration < 500 && !settled; ++iteration) {
        settled = true;
        for (int k = 0; k < n; ++k) {
            if (done[static_cast<size_t>(k)]) continue;
            Complex& z = roots[static_cast<size_t>(k)];
            const Real size = std::sqrt(std::norm(z));
            Complex value{}, slope{};
            Real bound = 0.0L;
            for (size_t i = p.size(); i-- > 0;) {
                slope = Product(slope, z) + value;
                value = Product(value, z) + p[i];
                bound = bound * size + std::fabs(p[i]);
            }
            const Real limit = 16.0L * LDBL_EPSILON * bound;
            if (std::norm(value) <= limit * limit) {
                done[static_cast<size_t>(k)] = true;
                continue;
            }
            settled = false;
            const Complex ratio = Quotient(value, slope);
            Complex repulsion{};
            for (int j = 0; j < n; ++j)
                if (j != k) repulsion += Quotient(Complex{1.0L, 0.0L}, z - roots[static_cast<size_t>(j)]);
            z -= Quotient(ratio, Complex{1.0L, 0.0L} - Product(ratio, repulsion));
        }
    }
    // Close roots converge slowly; accept them when the residual is small all the same.
    for (const Complex& z : roots) {
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) return false;
        Real bound = 0.0L;
        for (size_t i = p.size(); i-- > 0;) bound = bound * std::abs(z) + std::fabs(p[i]);
        if (!settled && std::abs(Eval(p, z)) > 1e-12L * bound) return false;
    }
    return true;
}

} // namespace synthesis
