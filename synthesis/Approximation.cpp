// SPDX-License-Identifier: Apache-2.0
#include "synthesis/Approximation.h"

#include <algorithm>
#include <cmath>

#include "filtermath/Failure.h"
#include "filtermath/Pi.h"
#include "synthesis/ChosenZeros.h"
#include "synthesis/EllipticFunctions.h"
#include "synthesis/PulseFamilies.h"

namespace corvane {

namespace synthesis {

namespace {

[[noreturn]] void Refuse(const std::string& text)
{
    throw Failure(text);
}

// K(w) = c w^odd prod(w^2 - a_i) / prod(w^2 - b_j): the characteristic function |S11 / S21|.
struct ZeroLists {
    std::vector<Real> a; // squared reflection zeros
    std::vector<Real> b; // squared transmission zeros
    bool odd = false;
    Real c = 1.0L;
};

Real PowerRatio(Real db)
{
    return std::expm1(db * std::log(10.0L) / 10.0L);
}

Real Angle(int k, int N)
{
    return (2 * k - 1) * kPi<Real> / (2 * N);
}

ZeroLists ButterworthLists(int N)
{
    ZeroLists z;
    z.odd = N % 2 != 0;
    z.a.assign(static_cast<size_t>(N / 2), 0.0L);
    return z;
}

ZeroLists ChebyshevLists(int N, Real rippleDb)
{
    ZeroLists z;
    z.odd = N % 2 != 0;
    for (int k = 1; k <= N / 2; ++k) z.a.push_back(std::pow(std::cos(Angle(k, N)), 2));
    z.c = std::sqrt(PowerRatio(rippleDb)) * std::ldexp(1.0L, N - 1);
    return z;
}

ZeroLists InverseChebyshevLists(int N, Real stopAttDb)
{
    ZeroLists z;
    z.odd = N % 2 != 0;
    z.a.assign(static_cast<size_t>(N / 2), 0.0L);
    Real product = 1.0L;
    for (int k = 1; k <= N / 2; ++k) {
        const Real c2 = std::pow(std::cos(Angle(k, N)), 2);
        z.b.push_back(1.0L / c2);
        product *= c2;
    }
    const Real epsilon = 1.0L / std::sqrt(PowerRatio(stopAttDb));
    z.c = 1.0L / (epsilon * std::ldexp(1.0L, N - 1) * product);
    return z;
}

ZeroLists EllipticLists(int N, Real rippleDb, Real stopAttDb, Real& selectivity)
{
    const Real k = EllipticSelectivity(N, rippleDb, stopAttDb);
    selectivity = k;
    ZeroLists z;
    z.odd = N % 2 != 0;
    for (int i = 1; i <= N / 2; ++i) {
        const Real zeta = CdOfFraction(static_cast<Real>(2 * i - 1) / N, k);
        z.a.push_back(zeta * zeta);
        z.b.push_back(1.0L / (k * zeta * k * zeta));
    }
    // Scale so that |K(1)| is the ripple factor: the ripple ends at the passband edge.
    Real atEdge = 1.0L;
    for (Real a : z.a) atEdge *= 1.0L - a;
    for (Real b : z.b) atEdge /= 1.0L - b;
    z.c = std::sqrt(PowerRatio(rippleDb)) / std::fabs(atEdge);
    return z;
}

// The family's passband around the chosen zeros b = w^2: the Butterworth's reflection zeros stay
// at DC (K = c w^N / P stays maximally flat there), the Chebyshev's follow the generalised
// function; either way |K(1)| is the ripple factor, or 1 for the 3.01 dB edge.
ZeroLists ChosenZeroLists(const FamilyRequest& r)
{
    ZeroLists z;
    z.odd = r.N % 2 != 0;
    const bool ripple = r.family == Family::Chebyshev;
    if (ripple)
        z.a = GeneralisedChebyshevReflectionSquares(r.N, r.zeros);
    else
        z.a.assign(static_cast<size_t>(r.N / 2), 0.0L);
    for (Real w : r.zeros) z.b.push_back(w * w);
    Real atEdge = 1.0L;
    for (Real a : z.a) atEdge *= 1.0L - a;
    for (Real b : z.b) atEdge /= 1.0L - b;
    z.c = (ripple ? std::sqrt(PowerRatio(r.rippleDb)) : 1.0L) / std::fabs(atEdge);
    return z;
}

// An even order has finite attenuation at infinity (and, for the elliptic, loss at DC); the
// bilinear map x_old = (A x + B) / (C x + 1) of x = w^2 sends the highest transmission zero to
// infinity and the lowest reflection zero to DC (B = x1; with keepDc, B = 0 keeps DC where it
// is) while keeping w = 1 where it is.
void MoveZerosForLadder(ZeroLists& z, bool keepDc, Real& stopEdge, Real& passEdge)
{
    if (z.odd || z.b.empty()) return;
    const Real x1 = keepDc ? 0.0L : *std::min_element(z.a.begin(), z.a.end());
    const auto highest = std::max_element(z.b.begin(), z.b.end());
    const Real xInf = *highest;
    const Real C = (1.0L - x1) / (xInf - 1.0L);
    const Real A = xInf * C;
    const Real B = x1;
    Real scale = z.c;
    for (Real& a : z.a) {
        scale *= A - a * C;
        a = (a - B) / (A - a * C);
    }
    scale /= B - xInf;
    z.b.erase(highest);
    for (Real& b : z.b) {
        scale /= A - b * C;
        b = (b - B) / (A - b * C);
    }
    z.c = std::fabs(scale);
    const auto moved = [&](Real& w) {
        if (w <= 0.0L) return;
        const Real x = w * w;
        w = std::sqrt((x - B) / (A - C * x));
    };
    moved(stopEdge);
    moved(passEdge);
}

// Scales the frequency so that w moves to 1: each zero square divides by w^2, and c takes the
// powers of w that the factors of F and P gave up.
void MoveToUnity(ZeroLists& z, Real w)
{
    const Real x = w * w;
    for (Real& a : z.a) a /= x;
    for (Real& b : z.b) b /= x;
    const int power = (z.odd ? 1 : 0) + 2 * static_cast<int>(z.a.size()) - 2 * static_cast<int>(z.b.size());
    z.c *= std::pow(w, static_cast<Real>(power));
}

Poly EvenFactors(const std::vector<Real>& squares)
{
    Poly p{1.0L};
    for (Real v : squares) p = Multiply(p, Poly{v, 0.0L, 1.0L});
    return p;
}

Characteristic FromLists(const ZeroLists& z)
{
    Characteristic c;
    c.P = EvenFactors(z.b);
    c.F = Scale(EvenFactors(z.a), z.c);
    c.reflectionSquares = z.a;
    if (z.odd) c.F.insert(c.F.begin(), 0.0L);
    c.FFInY = EvenProductInY(c.F);
    for (Real b : z.b) c.zeros.push_back(std::sqrt(b));
    std::sort(c.zeros.begin(), c.zeros.end());
    return c;
}

Characteristic Bessel(int N)
{
    // Reverse Bessel polynomial: theta_k = (2N - k)! / (2^(N - k) k! (N - k)!).
    Poly theta(static_cast<size_t>(N) + 1);
    for (int k = 0; k <= N; ++k)
        theta[static_cast<size_t>(k)] =
            std::exp(std::lgamma(static_cast<Real>(2 * N - k + 1)) - std::lgamma(static_cast<Real>(k + 1)) -
                     std::lgamma(static_cast<Real>(N - k + 1))) /
            std::ldexp(1.0L, N - k);
    for (Real& t : theta) t = std::round(t);
    // The 3 dB point: |theta(jw)|^2 = 2 theta(0)^2, rising with w; bisect on a log scale.
    const Poly power = EvenProductInY(theta);
    const Real target = 2.0L * theta[0] * theta[0];
    Real low = std::log(1e-3L), high = std::log(1e3L);
    for (int i = 0; i < 200; ++i) {
        const Real mid = (low + high) / 2.0L;
        const Real w = std::exp(mid);
        (Eval(power, -w * w) < target ? low : high) = mid;
    }
    const Real w3 = std::exp((low + high) / 2.0L);
    Characteristic c;
    c.E = theta;
    Real scale = 1.0L;
    for (Real& e : c.E) {
        e *= scale;
        scale *= w3;
    }
    c.P = {c.E[0]};
    c.FFInY = EvenProductInY(c.E);
    c.FFInY[0] = 0.0L;
    return c;
}

Poly LegendreTimes(const Poly& p, Real a, Real b)
{
    // p (a + b t)
    return Add(Scale(p, a), Multiply(p, Poly{0.0L, b}));
}

// The optimum-L polynomial L_N(x), x = w^2: the steepest monotonic response, L_N(1) = 1.
Poly OptimumL(int N)
{
    const int k = (N - 1) / 2;
    const int count = (N % 2 != 0) ? k + 1 : N / 2;
    std::vector<Poly> legendre{{1.0L}, {0.0L, 1.0L}};
    for (int n = 1; n < count; ++n)
        legendre.push_back(Add(Multiply(legendre[static_cast<size_t>(n)], Poly{0.0L, (2.0L * n + 1.0L) / (n + 1.0L)}),
                               Scale(legendre[static_cast<size_t>(n - 1)], -static_cast<Real>(n) / (n + 1.0L))));
    Poly v;
    if (N % 2 != 0) {
        for (int i = 0; i <= k; ++i)
            v = Add(v, Scale(legendre[static_cast<size_t>(i)], (2.0L * i + 1.0L) / (std::sqrt(2.0L) * (k + 1))));
    } else {
        const int m = N / 2 - 1;
        const Real a0 = 1.0L / std::sqrt(static_cast<Real>((m + 1) * (m + 2)));
        for (int i = m % 2; i <= m; i += 2) v = Add(v, Scale(legendre[static_cast<size_t>(i)], (2.0L * i + 1.0L) * a0));
    }
    Poly integrand = Multiply(v, v);
    if (N % 2 == 0) integrand = LegendreTimes(integrand, 1.0L, 1.0L);
    Poly primitive(integrand.size() + 1, 0.0L);
    for (size_t i = 0; i < integrand.size(); ++i) primitive[i + 1] = integrand[i] / static_cast<Real>(i + 1);
    // L(x) = G(2x - 1) - G(-1).
    Poly L;
    for (size_t i = primitive.size(); i-- > 0;) L = Add(LegendreTimes(L, -1.0L, 2.0L), Poly{primitive[i]});
    // L(0) = 0, and an even order also has L'(0) = 0; set them exactly so that the zeros
    // at DC stay exact factors of F.
    L[0] = 0.0L;
    if (N % 2 == 0) L[1] = 0.0L;
    return L;
}

Characteristic Legendre(int N)
{
    const Poly L = OptimumL(N);
    Characteristic c;
    c.P = {1.0L};
    c.FFInY = L;
    for (size_t i = 1; i < c.FFInY.size(); i += 2) c.FFInY[i] = -c.FFInY[i];
    return c;
}

void CheckChosenZeros(const FamilyRequest& r)
{
    if (r.zeros.empty()) return;
    const std::string name = FamilyName(r.family);
    if (!TakesChosenZeros(r.family))
        Refuse("Chosen transmission zeros keep a Butterworth or Chebyshev passband; the " + name +
               " response places its own.");
    const int least = LeastOrderForZeros(r.zeros.size());
    if (r.N < least)
        Refuse(std::to_string(r.zeros.size()) + " transmission zero" + (r.zeros.size() > 1 ? "s need" : " needs") +
               " at least " + std::to_string(least) +
               " poles: two for each zero and one more, so that the response falls away beyond the last one.");
    for (Real w : r.zeros)
        if (!(w > 1.0L) || !std::isfinite(w)) Refuse("A transmission zero must lie in the stopband.");
}

void CheckRequest(const FamilyRequest& r)
{
    const std::string name = FamilyName(r.family);
    if (r.N < 1 || r.N > kMaxOrder) Refuse("The number of poles must be from 1 to 15.");
    if (TraitsOf(r.family).ripple && !(r.rippleDb > 0.0L && r.rippleDb <= 10.0L))
        Refuse("The " + name + " response needs a passband ripple above 0 dB and at most 10 dB.");
    if (TraitsOf(r.family).stopbandAttenuation && !(r.stopAttDb > 0.0L && r.stopAttDb <= 200.0L))
        Refuse("The " + name + " response needs a stopband attenuation above 0 dB and at most 200 dB.");
    if (r.family == Family::EquirippleDelay && !(r.delayErrorDeg > 0.0L && r.delayErrorDeg <= kMaxDelayErrorDeg))
        Refuse("The EquirippleDelay response needs a phase error above 0 degrees and at most 2 degrees.");
    if (r.family == Family::Elliptic && !(r.stopAttDb > r.rippleDb))
        Refuse("The stopband attenuation of an elliptic response must exceed its passband ripple.");
    CheckChosenZeros(r);
}

} // namespace

const char* FamilyName(Family family)
{
    return KeyOf(kFamilyNames, family);
}

Real EllipticSelectivity(int N, Real rippleDb, Real stopAttDb)
{
    // Degree equation: the nome of k is the N-th root of the nome of k1 = eps_p / eps_s.
    const Real k1 = std::sqrt(PowerRatio(rippleDb) / PowerRatio(stopAttDb));
    const Real q1 = Nome(k1, std::sqrt((1.0L - k1) * (1.0L + k1)));
    Real k, kc;
    ModulusFromNome(std::pow(q1, 1.0L / N), k, kc);
    return k;
}

Real EllipticOrderExact(Real rippleDb, Real stopAttDb, Real stopRatio)
{
    const Real k = 1.0L / stopRatio;
    const Real k1 = std::sqrt(PowerRatio(rippleDb) / PowerRatio(stopAttDb));
    const Real kc = std::sqrt((1.0L - k) * (1.0L + k));
    const Real k1c = std::sqrt((1.0L - k1) * (1.0L + k1));
    return EllipticK(kc) * EllipticK(k1) / (EllipticK(k) * EllipticK(k1c));
}

Characteristic Approximate(const FamilyRequest& r)
{
    CheckRequest(r);
    Real stopEdge = 0.0L;
    Real halfPower = 0.0L; // the inverse Chebyshev's passband edge before scaling
    ZeroLists lists;
    Characteristic c;
    switch (r.family) {
    case Family::Gaussian:
    case Family::Gaussian6dB:
    case Family::Gaussian12dB:
    case Family::EquirippleDelay: c = PulseCharacteristic(r); break;
    case Family::Bessel: c = Bessel(r.N); break;
    case Family::Legendre: c = Legendre(r.N); break;
    case Family::Butterworth: lists = r.zeros.empty() ? ButterworthLists(r.N) : ChosenZeroLists(r); break;
    case Family::Chebyshev: lists = r.zeros.empty() ? ChebyshevLists(r.N, r.rippleDb) : ChosenZeroLists(r); break;
    case Family::InverseChebyshev:
        lists = InverseChebyshevLists(r.N, r.stopAttDb);
        stopEdge = 1.0L;
        // eps T_N(1 / w) = 1: the loss is 3.01 dB there.
        halfPower = 1.0L / std::cosh(std::acosh(std::sqrt(PowerRatio(r.stopAttDb))) / r.N);
        break;
    case Family::Elliptic: {
        Real k = 0.0L;
        lists = EllipticLists(r.N, r.rippleDb, r.stopAttDb, k);
        stopEdge = 1.0L / k;
        break;
    }
    }
    if (r.family != Family::Bessel && r.family != Family::Legendre && !TraitsOf(r.family).pulse) {
        if (TraitsOf(r.family).finiteZeros)
            MoveZerosForLadder(lists, r.lossAtDc && r.family == Family::Elliptic, stopEdge, halfPower);
        // Every family's passband edge is at 1; the inverse Chebyshev's stopband edge follows.
        if (halfPower > 0.0L) {
            MoveToUnity(lists, halfPower);
            stopEdge /= halfPower;
        }
        c = FromLists(lists);
        c.stopEdge = stopEdge;
    }
    c.PPInY = EvenProductInY(c.P);
    return c;
}

Real PowerGain(const Characteristic& c, Real w)
{
    // From P P* and F F* rather than from E: they hold the approximation exactly, E only as
    // accurately as its roots were found.
    const Real y = -w * w;
    const int atOrigin = Degree(c.F) - 2 * static_cast<int>(c.reflectionSquares.size());
    if (c.F.empty() || atOrigin < 0 || atOrigin > 1) {
        const Real p = Eval(c.PPInY, y);
        return p / (p + Eval(c.FFInY, y));
    }
    // Where F is known by its zeros, from the factors: near a sharp filter's passband edge the
    // zeros crowd together and the expanded coefficients lose most of their digits there.
    const Real x = w * w;
    Real p = c.P.back() * c.P.back();
    for (Real z : c.zeros) p *= (z * z - x) * (z * z - x);
    Real f = c.F.back() * c.F.back() * (atOrigin == 1 ? x : 1.0L);
    for (Real a : c.reflectionSquares) f *= (a - x) * (a - x);
    return p / (p + f);
}

} // namespace synthesis

} // namespace corvane
