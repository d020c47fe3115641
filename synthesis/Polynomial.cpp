#include "synthesis/Polynomial.h"

#include <algorithm>
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

Complex Derivative(const Poly& p, Complex x)
{
    Complex sum{};
    for (size_t i = p.size(); i-- > 1;) sum = sum * x + static_cast<Real>(i) * p[i];
    return sum;
}

} // namespace

bool Roots(const Poly& p, std::vector<Complex>& roots)
{
    const int n = Degree(p);
    roots.clear();
    if (n < 1) return n == 0;
    const Real lead = p[static_cast<size_t>(n)];
    // Start on a circle of the geometric mean root radius, off the real axis so that
    // conjugate pairs can separate.
    const Real radius = std::pow(std::fabs(p[0] / lead), 1.0L / n);
    const Real kTwoPi = 6.283185307179586476925286766559L;
    for (int k = 0; k < n; ++k) roots.push_back(std::polar(radius, kTwoPi * (k + 0.25L) / n + 0.4L));

    bool settled = false;
    for (int iteration = 0; iteration < 2000 && !settled; ++iteration) {
        settled = true;
        for (int k = 0; k < n; ++k) {
            Complex& z = roots[static_cast<size_t>(k)];
            const Complex value = Eval(p, z);
            if (value == Complex{}) continue;
            const Complex ratio = value / Derivative(p, z);
            Complex repulsion{};
            for (int j = 0; j < n; ++j)
                if (j != k) repulsion += 1.0L / (z - roots[static_cast<size_t>(j)]);
            const Complex step = ratio / (1.0L - ratio * repulsion);
            z -= step;
            if (!(std::abs(step) <= 1e-17L * std::abs(z))) settled = false;
        }
    }
    for (Complex& z : roots) {
        for (int polish = 0; polish < 3; ++polish) {
            const Complex d = Derivative(p, z);
            if (d == Complex{}) break;
            z -= Eval(p, z) / d;
        }
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) return false;
    }
    if (settled) return true;
    // Close roots converge slowly; accept them when the residual is at the rounding level.
    for (const Complex& z : roots) {
        Real size = 0.0L;
        for (size_t i = p.size(); i-- > 0;) size = size * std::abs(z) + std::fabs(p[i]);
        if (std::abs(Eval(p, z)) > 1e-12L * size) return false;
    }
    return true;
}

} // namespace synthesis
