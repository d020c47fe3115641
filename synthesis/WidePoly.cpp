// SPDX-License-Identifier: Apache-2.0
#include "synthesis/WidePoly.h"

#include <algorithm>
#include <cmath>

namespace synthesis {

WideComplex operator+(WideComplex a, WideComplex b)
{
    return {a.re + b.re, a.im + b.im};
}
WideComplex operator-(WideComplex a, WideComplex b)
{
    return {a.re - b.re, a.im - b.im};
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

int Degree(const WidePoly& p)
{
    for (int i = static_cast<int>(p.size()) - 1; i >= 0; --i)
        if (p[static_cast<size_t>(i)] != 0) return i;
    return -1;
}

void Trim(WidePoly& p)
{
    p.resize(static_cast<size_t>(Degree(p) + 1));
}

WidePoly Add(const WidePoly& a, const WidePoly& b)
{
    WidePoly c(std::max(a.size(), b.size()), 0);
    for (size_t i = 0; i < a.size(); ++i) c[i] += a[i];
    for (size_t i = 0; i < b.size(); ++i) c[i] += b[i];
    return c;
}

WidePoly Scale(const WidePoly& a, Wide k)
{
    WidePoly c(a);
    for (Wide& v : c) v *= k;
    return c;
}

WidePoly TimesS(const WidePoly& p)
{
    WidePoly c(p);
    c.insert(c.begin(), 0);
    return c;
}

WidePoly EvenProductInY(const WidePoly& p)
{
    WidePoly y(p.size(), 0);
    for (size_t i = 0; i < p.size(); ++i)
        for (size_t j = 0; j < p.size(); ++j)
            if ((i + j) % 2 == 0) y[(i + j) / 2] += ((j % 2 == 0) ? p[i] * p[j] : -p[i] * p[j]);
    Trim(y);
    return y;
}

WideComplex Eval(const WidePoly& p, WideComplex x)
{
    WideComplex sum;
    for (size_t i = p.size(); i-- > 0;) sum = sum * x + WideComplex{p[i], 0};
    return sum;
}

WidePoly DivideBySquarePlus(const WidePoly& p, Wide a)
{
    const int n = Degree(p);
    if (n < 2) return {};
    WidePoly rest(p.begin(), p.begin() + n + 1);
    WidePoly q(static_cast<size_t>(n - 1), 0);
    for (int k = n; k >= 2; --k) {
        const Wide lead = rest[static_cast<size_t>(k)];
        q[static_cast<size_t>(k - 2)] = lead;
        rest[static_cast<size_t>(k - 2)] -= lead * a;
    }
    return q;
}

WidePoly FromRoots(const std::vector<WideComplex>& roots)
{
    std::vector<WideComplex> c{WideComplex{1, 0}};
    for (const WideComplex& r : roots) {
        c.push_back(WideComplex{});
        for (size_t i = c.size() - 1; i > 0; --i) c[i] = c[i - 1] - r * c[i];
        c[0] = WideComplex{0, 0} - r * c[0];
    }
    WidePoly p(c.size());
    for (size_t i = 0; i < c.size(); ++i) p[i] = c[i].re;
    return p;
}

Wide SquareRoot(Wide x)
{
    if (x <= 0) return 0;
    Wide r = std::sqrt(static_cast<long double>(x));
    for (int i = 0; i < 3; ++i) r = (r + x / r) / 2;
    return r;
}

namespace {

Wide Size(WideComplex z)
{
    const Wide re = z.re < 0 ? -z.re : z.re;
    const Wide im = z.im < 0 ? -z.im : z.im;
    return re > im ? re : im;
}

// With the exact function, Aberth's simultaneous correction: Newton on each root alone stalls in
// a tight cluster (the reflection and transmission zeros of a sharp filter crowd the passband
// edge), where the long double start is good to only a few digits.
void Polish(const WidePoly& p, std::vector<WideComplex>& y, const YFunction* exact)
{
    WidePoly slope(p.size() > 1 ? p.size() - 1 : 0);
    for (size_t i = 1; i < p.size(); ++i) slope[i - 1] = p[i] * static_cast<Wide>(i);
    if (!exact) {
        // Newton steps double the digits of a simple root each: long double to quadruple.
        for (WideComplex& yk : y)
            for (int i = 0; i < 2; ++i) {
                const WideComplex d = Eval(slope, yk);
                if (d.re == 0 && d.im == 0) break;
                yk = yk - Eval(p, yk) / d;
            }
        return;
    }
    // Long double steps on the factors first: they resolve a cluster to about its own digits at
    // a fraction of the cost, and the quadruple steps that follow converge in two or three.
    const int n = static_cast<int>(y.size());
    std::vector<Complex> near(y.size());
    for (size_t k = 0; k < y.size(); ++k) near[k] = Narrow(y[k]);
    const auto aberth = [&](size_t k, Complex ratio) {
        Complex repulsion{};
        for (int j = 0; j < n; ++j)
            if (static_cast<size_t>(j) != k) repulsion += 1.0L / (near[k] - near[static_cast<size_t>(j)]);
        return 1.0L - ratio * repulsion;
    };
    {
        std::vector<bool> done(y.size(), false);
        for (int iteration = 0; iteration < 100; ++iteration) {
            bool settled = true;
            for (size_t k = 0; k < y.size(); ++k) {
                if (done[k]) continue;
                Complex value, d;
                exact->Rough(near[k], value, d);
                if (value == 0.0L || d == 0.0L) {
                    done[k] = true;
                    continue;
                }
                const Complex ratio = value / d;
                const Complex step = ratio / aberth(k, ratio);
                near[k] -= step;
                if (std::abs(step) <= 1e-17L * std::abs(near[k]))
                    done[k] = true;
                else
                    settled = false;
            }
            if (settled) break;
        }
        for (size_t k = 0; k < y.size(); ++k) y[k] = Widen(near[k]);
    }
    // A root stops once its step is at the rounding level, or once the steps no longer shrink
    // where the rounding of the value sets a higher floor; the rest keep moving against it.
    const Wide tiny = static_cast<Wide>(1e-31L);
    const Wide floor = static_cast<Wide>(1e-24L);
    std::vector<bool> done(y.size(), false);
    std::vector<Wide> last(y.size(), 0);
    for (int iteration = 0; iteration < 40; ++iteration) {
        bool settled = true;
        for (size_t k = 0; k < y.size(); ++k) {
            if (done[k]) continue;
            WideComplex value, d;
            exact->At(y[k], value, d);
            if ((value.re == 0 && value.im == 0) || (d.re == 0 && d.im == 0)) {
                done[k] = true;
                continue;
            }
            const WideComplex ratio = value / d;
            // The repulsion only steers the step; the fixed point is the zero of the value.
            const WideComplex step = ratio / Widen(aberth(k, Narrow(ratio)));
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
