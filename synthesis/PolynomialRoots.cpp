// SPDX-License-Identifier: Apache-2.0
#include "synthesis/PolynomialRoots.h"

#include <cfloat>
#include <cmath>

#include "filtermath/Pi.h"

namespace corvane {

namespace synthesis {

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

// Starting points from the Newton polygon of the coefficient magnitudes (upper convex hull of
// log |p_k|), as Bini suggests: each hull edge from i to j holds j - i roots of about the same
// size. The angles stay off the real axis so that conjugate pairs can separate.
std::vector<Complex> StartingPoints(const Poly& p, int n)
{
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
    std::vector<Complex> roots;
    for (size_t h = 1; h < hull.size(); ++h) {
        const int a = hull[h - 1], b = hull[h];
        const Real radius = std::pow(std::fabs(p[static_cast<size_t>(a)] / p[static_cast<size_t>(b)]), 1.0L / (b - a));
        for (int k = 0; k < b - a; ++k)
            roots.push_back(std::polar(radius, 2.0L * kPi<Real> * (k + 0.25L) / (b - a) + 0.4L + 0.7L * h));
    }
    return roots;
}

// One Aberth correction of root k; false once its value is at the rounding level of Horner's
// rule, where it stops moving.
bool AberthStep(const Poly& p, std::vector<Complex>& roots, int k)
{
    const int n = static_cast<int>(roots.size());
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
    if (std::norm(value) <= limit * limit) return false;
    const Complex ratio = Quotient(value, slope);
    Complex repulsion{};
    for (int j = 0; j < n; ++j)
        if (j != k) repulsion += Quotient(Complex{1.0L, 0.0L}, z - roots[static_cast<size_t>(j)]);
    z -= Quotient(ratio, Complex{1.0L, 0.0L} - Product(ratio, repulsion));
    return true;
}

// Close roots converge slowly; unsettled ones are accepted when the residual is small all the same.
bool Acceptable(const Poly& p, const std::vector<Complex>& roots, bool settled)
{
    for (const Complex& z : roots) {
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) return false;
        Real bound = 0.0L;
        for (size_t i = p.size(); i-- > 0;) bound = bound * std::abs(z) + std::fabs(p[i]);
        if (!settled && std::abs(Eval(p, z)) > 1e-12L * bound) return false;
    }
    return true;
}

} // namespace

bool Roots(const Poly& p, std::vector<Complex>& roots)
{
    const int n = Degree(p);
    roots.clear();
    if (n < 1) return n == 0;
    roots = StartingPoints(p, n);
    std::vector<bool> done(static_cast<size_t>(n), false);
    bool settled = false;
    for (int iteration = 0; iteration < 500 && !settled; ++iteration) {
        settled = true;
        for (int k = 0; k < n; ++k) {
            if (done[static_cast<size_t>(k)]) continue;
            if (AberthStep(p, roots, k))
                settled = false;
            else
                done[static_cast<size_t>(k)] = true;
        }
    }
    return Acceptable(p, roots, settled);
}

namespace {

Wide Size(WideComplex z)
{
    const Wide re = z.re < 0 ? -z.re : z.re;
    const Wide im = z.im < 0 ? -z.im : z.im;
    return re > im ? re : im;
}

// Newton steps double the digits of a simple root each: two take long double to quadruple.
void PolishByNewton(const WidePoly& p, std::vector<WideComplex>& y)
{
    WidePoly slope(p.size() > 1 ? p.size() - 1 : 0);
    for (size_t i = 1; i < p.size(); ++i) slope[i - 1] = p[i] * static_cast<Wide>(i);
    for (WideComplex& yk : y)
        for (int i = 0; i < 2; ++i) {
            const WideComplex d = Eval(slope, yk);
            if (d.re == 0 && d.im == 0) break;
            yk = yk - Eval(p, yk) / d;
        }
}

// Aberth's divisor 1 - ratio * sum 1 / (y_k - y_j) for the Newton ratio of root k.
Complex AberthDivisor(const std::vector<Complex>& near, size_t k, Complex ratio)
{
    Complex repulsion{};
    for (size_t j = 0; j < near.size(); ++j)
        if (j != k) repulsion += 1.0L / (near[k] - near[j]);
    return 1.0L - ratio * repulsion;
}

// Long double steps on the factors: they resolve a cluster to about its own digits at a
// fraction of the cost of quadruple ones.
void RoughAberth(const YFunction& exact, std::vector<Complex>& near)
{
    std::vector<bool> done(near.size(), false);
    for (int iteration = 0; iteration < 100; ++iteration) {
        bool settled = true;
        for (size_t k = 0; k < near.size(); ++k) {
            if (done[k]) continue;
            Complex value, d;
            exact.Rough(near[k], value, d);
            if (value == 0.0L || d == 0.0L) {
                done[k] = true;
                continue;
            }
            const Complex ratio = value / d;
            const Complex step = ratio / AberthDivisor(near, k, ratio);
            near[k] -= step;
            if (std::abs(step) <= 1e-17L * std::abs(near[k]))
                done[k] = true;
            else
                settled = false;
        }
        if (settled) break;
    }
}

// Quadruple steps against the exact value. A root stops once its step is at the rounding level,
// or once the steps no longer shrink where the rounding of the value sets a higher floor; the
// rest keep moving against it.
void WideAberth(const YFunction& exact, std::vector<WideComplex>& y, std::vector<Complex>& near)
{
    const Wide tiny = static_cast<Wide>(1e-31L);
    const Wide floor = static_cast<Wide>(1e-24L);
    std::vector<bool> done(y.size(), false);
    std::vector<Wide> last(y.size(), 0);
    for (int iteration = 0; iteration < 40; ++iteration) {
        bool settled = true;
        for (size_t k = 0; k < y.size(); ++k) {
            if (done[k]) continue;
            WideComplex value, d;
            exact.At(y[k], value, d);
            if ((value.re == 0 && value.im == 0) || (d.re == 0 && d.im == 0)) {
                done[k] = true;
                continue;
            }
            const WideComplex ratio = value / d;
            // The repulsion only steers the step; the fixed point is the zero of the value.
            const WideComplex step = ratio / Widen(AberthDivisor(near, k, Narrow(ratio)));
            y[k] = y[k] - step;
            near[k] = Narrow(y[k]);
            const Wide size = Size(y[k]) > 0 ? Size(y[k]) : 1;
            const Wide moved = Size(step) / size;
            const bool stalled = moved < floor && last[k] > 0 && moved > last[k] / 2;
            last[k] = moved;
            if (!(moved > tiny) || stalled)
                done[k] = true;
            else
                settled = false;
        }
        if (settled) break;
    }
}

// With the exact function, Aberth's simultaneous correction: Newton on each root alone stalls in
// a tight cluster (the reflection and transmission zeros of a sharp filter crowd the passband
// edge), where the long double start is good to only a few digits.
void Polish(const WidePoly& p, std::vector<WideComplex>& y, const YFunction* exact)
{
    if (!exact) {
        PolishByNewton(p, y);
        return;
    }
    std::vector<Complex> near(y.size());
    for (size_t k = 0; k < y.size(); ++k) near[k] = Narrow(y[k]);
    RoughAberth(*exact, near);
    for (size_t k = 0; k < y.size(); ++k) y[k] = Widen(near[k]);
    WideAberth(*exact, y, near);
}

} // namespace

bool LeftHalfPlaneRoots(const WidePoly& p, std::vector<WideComplex>& sRoots, const YFunction* exact)
{
    Poly rough(p.begin(), p.end());
    std::vector<Complex> yRoots;
    if (!Roots(rough, yRoots)) return false;
    std::vector<WideComplex> y;
    for (const Complex& y0 : yRoots) y.push_back(WideComplex{y0.real(), y0.imag()});
    Polish(p, y, exact);
    sRoots.clear();
    for (const WideComplex& yk : y) {
        const Complex s0 = -std::sqrt(Complex{static_cast<Real>(yk.re), static_cast<Real>(yk.im)});
        if (!(s0.real() < 0.0L)) return false;
        WideComplex s{s0.real(), s0.imag()};
        // One Heron step doubles the digits: long double to quadruple.
        for (int i = 0; i < 1; ++i) {
            const WideComplex q = yk / s;
            s = WideComplex{(s.re + q.re) / 2, (s.im + q.im) / 2};
        }
        sRoots.push_back(s);
    }
    return true;
}

} // namespace synthesis

} // namespace corvane
