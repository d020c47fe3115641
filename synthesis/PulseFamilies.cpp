// SPDX-License-Identifier: Apache-2.0
#include "synthesis/PulseFamilies.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "filtermath/Failure.h"
#include "filtermath/Minimise.h"
#include "filtermath/Pi.h"
#include "synthesis/PolynomialRoots.h"

namespace corvane {

namespace synthesis {

namespace {

constexpr int kMaxExchanges = 60;
constexpr int kGridPerExtreme = 20;

// Where the increasing loss polynomial Q reaches 2, bisected on a log scale.
Real HalfPowerX(const Poly& q)
{
    Real low = 1e-6L, high = 1.0L;
    while (Eval(q, high) < 2.0L) high *= 2.0L;
    for (int i = 0; i < 200 && high - low > 1e-18L * high; ++i) {
        const Real mid = std::sqrt(low * high);
        (Eval(q, mid) < 2.0L ? low : high) = mid;
    }
    return std::sqrt(low * high);
}

// q(x) -> q(x x0), so that the old point x0 becomes x = 1.
Poly Stretched(Poly q, Real x0)
{
    Real scale = 1.0L;
    for (Real& c : q) {
        c *= scale;
        scale *= x0;
    }
    return q;
}

Complex AtJw(const Poly& p, Real w)
{
    return Eval(p, Complex(0.0L, w));
}

// The slope of the phase error: the group delay Re(E'(jw) / E(jw)) less the line's slope 1.
Real DelayExcess(const Poly& E, const Poly& slope, Real w)
{
    return std::real(AtJw(slope, w) / AtJw(E, w)) - 1.0L;
}

Poly Derivative(const Poly& p)
{
    Poly d;
    for (size_t k = 1; k < p.size(); ++k) d.push_back(static_cast<Real>(k) * p[k]);
    return d;
}

// Solves A x = b in place by Gaussian elimination with partial pivoting; false when singular.
bool Solve(std::vector<std::vector<Real>>& A, std::vector<Real>& b)
{
    const size_t n = b.size();
    for (size_t c = 0; c < n; ++c) {
        size_t pivot = c;
        for (size_t r = c + 1; r < n; ++r)
            if (std::fabs(A[r][c]) > std::fabs(A[pivot][c])) pivot = r;
        if (!(std::fabs(A[pivot][c]) > 0.0L)) return false;
        std::swap(A[c], A[pivot]);
        std::swap(b[c], b[pivot]);
        for (size_t r = c + 1; r < n; ++r) {
            const Real f = A[r][c] / A[c][c];
            for (size_t k = c; k < n; ++k) A[r][k] -= f * A[c][k];
            b[r] -= f * b[c];
        }
    }
    for (size_t r = n; r-- > 0;) {
        for (size_t k = r + 1; k < n; ++k) b[r] -= A[r][k] * b[k];
        b[r] /= A[r][r];
    }
    return true;
}

// Solves for the coefficients of (x / top)^m, m = 1..n, and gives them as the coefficients of x^m,
// with 1 at m = 0; false when singular. The scaled powers keep the system well conditioned.
bool SolveScaled(std::vector<std::vector<Real>>& A, std::vector<Real>& b, Real top, std::vector<Real>& coefficients)
{
    if (!Solve(A, b)) return false;
    coefficients.assign(b.size() + 1, 1.0L);
    Real scale = 1.0L;
    for (size_t m = 1; m <= b.size(); ++m) {
        scale /= top;
        coefficients[m] = b[m - 1] * scale;
    }
    return true;
}

// E with E(0) = 1 whose phase at points[i] is points[i] + (-1)^(N-1-i) eps, the last one above the
// line. arg E(jw) = theta is linear in the coefficients: Im E cos(theta) - Re E sin(theta) = 0.
// The columns are scaled by the highest point's powers to keep the system well balanced.
bool InterpolatePhase(const std::vector<Real>& points, Real eps, Poly& E)
{
    const size_t N = points.size();
    const Real top = points.back();
    std::vector<std::vector<Real>> A(N, std::vector<Real>(N));
    std::vector<Real> b(N);
    for (size_t i = 0; i < N; ++i) {
        const Real w = points[i];
        const Real theta = w + ((N - 1 - i) % 2 == 0 ? eps : -eps);
        const Real c = std::cos(theta), s = std::sin(theta);
        Real power = 1.0L; // (w / top)^m
        for (size_t m = 1; m <= N; ++m) {
            power *= w / top;
            const Real sign = ((m / 2) % 2 == 0) ? 1.0L : -1.0L; // j^m = sign or sign j
            A[i][m - 1] = (m % 2 != 0) ? sign * power * c : -sign * power * s;
        }
        b[i] = s;
    }
    return SolveScaled(A, b, top, E);
}

// The zero of f between a and b, where f changes sign, by regula falsi with the Illinois
// halving: superlinear, and never leaves the bracket.
template <typename F>
Real ZeroBetween(F f, Real a, Real fa, Real b, Real fb)
{
    int side = 0;
    for (int k = 0; k < 100 && b - a > 1e-16L * b; ++k) {
        const Real c = (a * fb - b * fa) / (fb - fa);
        const Real fc = f(c);
        if (fc == 0.0L) return c;
        if ((fc > 0.0L) == (fb > 0.0L)) {
            b = c;
            fb = fc;
            if (side == -1) fa /= 2.0L;
            side = -1;
        } else {
            a = c;
            fa = fc;
            if (side == 1) fb /= 2.0L;
            side = 1;
        }
    }
    return (a * fb - b * fa) / (fb - fa);
}

// The first N extremes of the phase error (zeros of the delay excess) below upTo: a grid for the
// sign changes, then each zero within its step. False when there are fewer.
bool PhaseExtremes(const Poly& E, size_t N, Real upTo, std::vector<Real>& out)
{
    const Poly slope = Derivative(E);
    const auto excess = [&](Real w) { return DelayExcess(E, slope, w); };
    const int steps = kGridPerExtreme * static_cast<int>(N);
    out.clear();
    Real left = upTo * 1e-6L, fLeft = excess(left);
    for (int i = 1; i <= steps && out.size() < N; ++i) {
        const Real right = upTo * i / steps, fRight = excess(right);
        if ((fLeft > 0.0L) != (fRight > 0.0L)) out.push_back(ZeroBetween(excess, left, fLeft, right, fRight));
        left = right;
        fLeft = fRight;
    }
    return out.size() == N;
}

// Moves the interpolation points to the extremes of the error until they stay put; false where
// an error curve has fewer extremes than points or the exchanges do not settle.
bool Exchange(std::vector<Real>& points, Real eps, EquirippleDelay& fit, std::vector<Real>& extremes)
{
    for (fit.exchanges = 1; fit.exchanges <= kMaxExchanges; ++fit.exchanges) {
        if (!InterpolatePhase(points, eps, fit.E) ||
            !PhaseExtremes(fit.E, points.size(), 1.5L * points.back(), extremes))
            return false;
        Real moved = 0.0L;
        for (size_t k = 0; k < points.size(); ++k) moved = std::max(moved, std::fabs(extremes[k] - points[k]));
        points = extremes;
        if (moved < 1e-12L * points.back()) return InterpolatePhase(points, eps, fit.E);
    }
    return false;
}

[[noreturn]] void RefuseDelayFit(int N, Real degrees)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "The equiripple delay response of order %d with a %.3Lg degree phase error could not be computed; "
                  "try a smaller phase error or a lower order.",
                  N, degrees);
    throw Failure(text);
}

// Routh's test: every entry of the array's first column positive.
bool IsHurwitz(const Poly& E)
{
    const size_t n = E.size() - 1, width = n / 2 + 2;
    std::vector<Real> a(width, 0.0L), b(width, 0.0L);
    for (size_t k = 0; k <= n; ++k) (k % 2 == 0 ? a : b)[k / 2] = E[n - k];
    for (size_t row = 0; row <= n; ++row) {
        if (!(a[0] > 0.0L)) return false;
        std::vector<Real> c(width, 0.0L);
        for (size_t i = 0; i + 1 < width && row < n; ++i) c[i] = a[i + 1] - a[0] / b[0] * b[i + 1];
        a.swap(b);
        b.swap(c);
    }
    return true;
}

// The frequency where |E(jw)|^2 = 2 E(0)^2; E scaled there to 1 rad/s.
Poly ToHalfPowerEdge(Poly E, Real& w3)
{
    const Poly power = EvenProductInY(E);
    Poly inX(power.size());
    for (size_t k = 0; k < power.size(); ++k) inX[k] = (k % 2 == 0 ? 1.0L : -1.0L) * power[k] / power[0];
    w3 = std::sqrt(HalfPowerX(inX));
    return Stretched(E, w3);
}

// Q of order N with Q(0) = 1 whose loss at each of the touches is the Gaussian's on a lower touch and
// the band above it on an upper one, the last touch being upper. With an even order the first lower
// touch is DC itself, where the loss then leaves the Gaussian's tangentially: Q'(0) = ln 2. The
// conditions are linear in the coefficients; the columns are scaled by the highest touch's powers,
// as for the phase above.
bool InterpolateLoss(const std::vector<Real>& touches, int N, Poly& q)
{
    const size_t n = static_cast<size_t>(N), count = touches.size(), first = n - count;
    const Real top = touches.back();
    std::vector<std::vector<Real>> A(n, std::vector<Real>(n, 0.0L));
    std::vector<Real> b(n);
    if (first == 1) {
        A[0][0] = 1.0L / top;
        b[0] = std::log(2.0L);
    }
    for (size_t i = 0; i < count; ++i) {
        const Real x = touches[i];
        const bool upper = (count - 1 - i) % 2 == 0;
        Real power = 1.0L;
        for (size_t m = 1; m <= n; ++m) {
            power *= x / top;
            A[first + i][m - 1] = power;
        }
        b[first + i] = std::pow(2.0L, x) * (upper ? std::pow(10.0L, kTransitionalBandDb / 10.0L) : 1.0L) - 1.0L;
    }
    return SolveScaled(A, b, top, q);
}

// The last `count` extremes of the loss less the Gaussian's inside (0, xT), where Q'(x) = ln 2 Q(x):
// a grid for the sign changes, then each zero within its step; false with fewer. An early guess may
// ripple near DC more often than the answer does.
bool LossExtremes(const Poly& q, size_t count, Real xT, std::vector<Real>& out)
{
    const Poly slope = Derivative(q);
    const Real ln2 = std::log(2.0L);
    const auto f = [&](Real x) { return Eval(slope, x) - ln2 * Eval(q, x); };
    const int steps = kGridPerExtreme * static_cast<int>(count + 2);
    out.clear();
    Real left = xT * 1e-9L, fLeft = f(left);
    for (int i = 1; i <= steps; ++i) {
        const Real right = xT * i / steps * (1.0L - 1e-12L), fRight = f(right);
        if ((fLeft > 0.0L) != (fRight > 0.0L)) out.push_back(ZeroBetween(f, left, fLeft, right, fRight));
        left = right;
        fLeft = fRight;
    }
    if (out.size() < count) return false;
    out.erase(out.begin(), out.end() - static_cast<long>(count));
    return true;
}

// The transitional Gaussian's loss by exchange; false where the exchange does not settle or the
// result leaves the band, as it does below some order.
bool FitTransitional(int N, Real transitionDb, Poly& q)
{
    const Real xT = transitionDb / (10.0L * std::log10(2.0L));
    // An odd order touches the bounds N times above DC, an even one N - 1 times beyond its tangent at DC.
    const size_t count = static_cast<size_t>(N % 2 != 0 ? N : N - 1);
    // The touches start spread as a Chebyshev polynomial's extremes over the band.
    std::vector<Real> touches(count), extremes;
    for (size_t i = 0; i + 1 < count; ++i) touches[i] = xT * (1.0L - std::cos(kPi<Real> * (i + 0.5L) / count)) / 2.0L;
    touches[count - 1] = xT;
    bool settled = false;
    for (int exchange = 0; exchange < kMaxExchanges && !settled; ++exchange) {
        if (!InterpolateLoss(touches, N, q) || !LossExtremes(q, count - 1, xT, extremes)) return false;
        extremes.push_back(xT);
        Real moved = 0.0L;
        for (size_t k = 0; k < count; ++k) moved = std::max(moved, std::fabs(extremes[k] - touches[k]));
        touches = extremes;
        // The touches are flat extremes, found to about the square root of the precision; the loss
        // at them is exact to far better than that.
        settled = moved < 1e-9L * xT && InterpolateLoss(touches, N, q);
    }
    if (!settled) return false;
    constexpr int kChecks = 2000;
    const Real slack = 1e-6L * kTransitionalBandDb;
    for (int i = 0; i <= kChecks; ++i) {
        const Real x = xT * i / kChecks, q0 = Eval(q, x);
        if (!(q0 > 0.0L)) return false;
        const Real excess = 10.0L * std::log10(q0) - 10.0L * std::log10(2.0L) * x;
        if (excess < -slack || excess > kTransitionalBandDb + slack) return false;
    }
    return true;
}

} // namespace

int LeastOrder(Family family)
{
    return family == Family::Gaussian6dB ? 3 : family == Family::Gaussian12dB ? 5 : 1;
}

Poly TransitionalGaussianLoss(int N, Real transitionDb)
{
    Poly q;
    if (FitTransitional(N, transitionDb, q)) return q;
    int lowest = N + 1;
    while (lowest <= kMaxOrder && !FitTransitional(lowest, transitionDb, q)) ++lowest;
    char text[200];
    std::snprintf(text, sizeof text, "%d poles cannot follow the Gaussian within %.3Lg dB down to %.3Lg dB", N,
                  kTransitionalBandDb, transitionDb);
    std::string message = text;
    message += lowest <= kMaxOrder && lowest > N ? "; it takes at least " + std::to_string(lowest) + "." : ".";
    throw Failure(message);
}

Poly GaussianLoss(int N)
{
    Poly q;
    Real term = 1.0L;
    for (int k = 0; k <= N; ++k) {
        q.push_back(term);
        term /= k + 1;
    }
    return Stretched(q, HalfPowerX(q));
}

EquirippleDelay FitEquirippleDelay(int N, Real phaseErrorDegrees)
{
    const Real eps = phaseErrorDegrees * kPi<Real> / 180.0L;
    const size_t n = static_cast<size_t>(N);
    // The line reaches the all-pole phase's limit N pi / 2 at w = N pi / 2, and the band ends
    // below it; where a first guess misses some extremes, the next starts lower.
    EquirippleDelay fit;
    std::vector<Real> points(n), extremes;
    bool settled = false;
    for (Real reach : {0.8L, 0.9L, 0.7L, 0.6L, 0.5L}) {
        for (size_t k = 0; k < n; ++k) points[k] = reach * (k + 1) * (N * kPi<Real> / 2.0L) / (N + 1);
        if (Exchange(points, eps, fit, extremes)) {
            settled = true;
            break;
        }
    }
    if (!settled || !IsHurwitz(fit.E)) RefuseDelayFit(N, phaseErrorDegrees);
    Real w3 = 1.0L;
    fit.E = ToHalfPowerEdge(fit.E, w3);
    fit.bandEdge = points.back() / w3;
    return fit;
}

// The least of |E(jw)|^2 / E(0)^2 over all w (1 where the magnitude never rises above its DC
// value): a grid over the band and past it, then golden section around the least point.
Real LeastPowerRatio(const Poly& E, Real bandEdge)
{
    Poly inX = EvenProductInY(E);
    for (size_t k = 0; k < inX.size(); ++k) inX[k] *= (k % 2 == 0 ? 1.0L : -1.0L) / (E[0] * E[0]);
    const Real top = 4.0L * std::max(bandEdge, 1.0L) * std::max(bandEdge, 1.0L);
    constexpr int kSteps = 400;
    int best = 0;
    for (int i = 1; i <= kSteps; ++i)
        if (Eval(inX, top * i / kSteps) < Eval(inX, top * best / kSteps)) best = i;
    if (best == 0) return 1.0L;
    // To the resolution of long double about the top of the grid.
    const auto least = GoldenSectionMinimum([&inX](Real x) { return Eval(inX, x); }, top * (best - 1) / kSteps,
                                            top * std::min(best + 1, kSteps) / kSteps, top * 1e-19L);
    return std::min(1.0L, least.value);
}

Characteristic PulseCharacteristic(const FamilyRequest& request)
{
    Characteristic c;
    if (request.family == Family::EquirippleDelay) {
        // Like the Bessel, E defines the family. A larger phase error lifts the magnitude above
        // its DC value somewhere in the band; P is scaled so that the peak is the lossless point,
        // and the response then has that much loss at DC, as an even Chebyshev has its ripple.
        const EquirippleDelay fit = FitEquirippleDelay(request.N, request.delayErrorDeg);
        c.E = fit.E;
        const Real least = LeastPowerRatio(fit.E, fit.bandEdge);
        c.P = {c.E[0] * std::sqrt(least)};
        c.FFInY = Add(EvenProductInY(c.E), Scale(EvenProductInY(c.P), -1.0L));
        if (least >= 1.0L) c.FFInY[0] = 0.0L;
        return c;
    }
    Poly q;
    if (request.family == Family::Gaussian) {
        q = GaussianLoss(request.N);
    } else {
        q = TransitionalGaussianLoss(request.N, request.family == Family::Gaussian6dB ? 6.0L : 12.0L);
        q = Stretched(q, HalfPowerX(q));
    }
    // |S11|^2 / |S21|^2 = Q(x) - 1 with x = -y.
    c.P = {1.0L};
    c.FFInY = q;
    c.FFInY[0] = 0.0L;
    for (size_t k = 1; k < c.FFInY.size(); k += 2) c.FFInY[k] = -c.FFInY[k];
    return c;
}

} // namespace synthesis

} // namespace corvane
