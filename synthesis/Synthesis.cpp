// SPDX-License-Identifier: Apache-2.0
#include "synthesis/Synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "filtermath/Failure.h"
#include "filtermath/UG.h"
#include "synthesis/PolynomialRoots.h"

namespace synthesis {

namespace {

const Real kPi = 3.141592653589793238462643383279502884L;

[[noreturn]] void Refuse(const std::string& text)
{
    throw Failure(text);
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

const char* FormName(LadderTopology form)
{
    return form == LadderTopology::T ? "T" : "Pi";
}

void CheckPositive(double value, const char* what)
{
    if (!(value > 0.0) || !std::isfinite(value)) Refuse(std::string(what) + " must be a positive number.");
}

void CheckRequest(const DesignRequest& r)
{
    CheckPositive(r.RS, "The source resistance");
    CheckPositive(r.RL, "The load resistance");
    if (r.type == FilterType::LowPass || r.type == FilterType::HighPass) {
        CheckPositive(r.passHz, "The passband frequency");
        return;
    }
    CheckPositive(r.lowHz, "The lower band edge");
    CheckPositive(r.highHz, "The upper band edge");
    if (!(r.lowHz < r.highHz)) Refuse("The lower band edge must lie below the upper band edge.");
}

BranchPlace Other(BranchPlace place)
{
    return place == BranchPlace::Series ? BranchPlace::Shunt : BranchPlace::Series;
}

// The classic tables for Butterworth and Chebyshev between equal resistances.
bool ClassicPrototype(const DesignRequest& r, std::vector<PrototypeBranch>& out)
{
    const Family family = r.response.family;
    const int N = r.response.N;
    if (r.RS != r.RL) return false;
    if (family != Family::Butterworth && !(family == Family::Chebyshev && N % 2 != 0)) return false;
    std::vector<double> g(static_cast<size_t>(N) + 2);
    if (family == Family::Butterworth)
        ButterworthG(N, g);
    else
        ChebyshevG(N, g, static_cast<double>(r.response.rippleDb));
    for (int i = 1; i <= N; ++i) {
        const BranchPlace place = PlaceOfPosition(i, r.form);
        const Real value = g[static_cast<size_t>(i)];
        if (place == BranchPlace::Series)
            out.push_back({place, BranchKind::Inductor, value, 0.0L});
        else
            out.push_back({place, BranchKind::Capacitor, 0.0L, value});
    }
    return true;
}

// The polynomials of the prototype in quadruple precision, consistent among themselves:
// E E* = F F* + gain P P*.
struct Polynomials {
    WidePoly E, F, P;
    std::vector<WideComplex> reflectionRoots; // F's zeros off the origin when found as roots
    Wide reflectionLead = 1;
    int reflectionZerosAtOrigin = 0;

    void BuildF()
    {
        F = Scale(FromRoots(reflectionRoots), reflectionLead);
        F.insert(F.begin(), static_cast<size_t>(reflectionZerosAtOrigin), 0);
    }
};

[[noreturn]] void RefuseAccuracy()
{
    Refuse("The poles and zeros of this design could not be found to working accuracy; try a lower order.");
}

WidePoly HurwitzWide(WidePoly q, const YFunction* exact = nullptr, std::vector<WideComplex>* found = nullptr)
{
    Trim(q);
    std::vector<WideComplex> roots;
    if (q.empty() || !LeftHalfPlaneRoots(q, roots, exact)) RefuseAccuracy();
    if (found) *found = roots;
    return Scale(FromRoots(roots), SquareRoot(q.back() < 0 ? -q.back() : q.back()));
}

// F from F F* given in y: zeros at the origin split off exactly, the rest as left half plane roots.
void ReflectionFromY(WidePoly q, Polynomials& p, const YFunction* exact = nullptr)
{
    Trim(q);
    p.reflectionZerosAtOrigin = 0;
    while (!q.empty() && q.front() == 0) {
        q.erase(q.begin());
        ++p.reflectionZerosAtOrigin;
    }
    if (q.empty()) RefuseAccuracy();
    p.reflectionLead = SquareRoot(q.back() < 0 ? -q.back() : q.back());
    p.reflectionRoots.clear();
    if (p.reflectionZerosAtOrigin > 0) exact = nullptr;
    if (q.size() > 1 && !LeftHalfPlaneRoots(q, p.reflectionRoots, exact)) RefuseAccuracy();
    p.BuildF();
}

WidePoly FromSquares(const std::vector<Wide>& squares, int atOrigin, Wide lead)
{
    WidePoly p{lead};
    for (Wide a : squares) p = Add(TimesS(TimesS(p)), Scale(p, a));
    p.insert(p.begin(), static_cast<size_t>(atOrigin), 0);
    return p;
}

// P P* + F F* in y = s^2 from the zeros of P and F. Near the passband edge of a sharp filter the
// roots of E E* crowd together, and the expanded coefficients fix them only to a few digits;
// the factors keep their relative accuracy there.
struct FactoredSum : YFunction {
    std::vector<Wide> b, a; // w^2 of the transmission and of the reflection zeros
    int m = 0; // F's zeros at the origin
    Wide p2 = 1, f2 = 1; // squared leading coefficients

    void At(WideComplex y, WideComplex& value, WideComplex& slope) const override
    {
        // The value in quadruple precision; the slope only steers Newton's step.
        WideComplex A{p2, 0}, B{f2, 0};
        Complex dA{}, dB{};
        const Complex x = Narrow(y);
        for (Wide v : b) {
            const WideComplex t = y + WideComplex{v, 0};
            A = A * t * t;
            dA += 2.0L / Narrow(t);
        }
        for (Wide v : a) {
            const WideComplex t = y + WideComplex{v, 0};
            B = B * t * t;
            dB += 2.0L / Narrow(t);
        }
        for (int i = 0; i < m; ++i) {
            B = WideComplex{0, 0} - B * y;
            dB += 1.0L / x;
        }
        value = A + B;
        slope = Widen(Narrow(A) * dA + Narrow(B) * dB);
    }

    void Rough(Complex y, Complex& value, Complex& slope) const override
    {
        Complex A = static_cast<Real>(p2), B = static_cast<Real>(f2), dA{}, dB{};
        for (Wide v : b) {
            const Complex t = y + static_cast<Real>(v);
            A *= t * t;
            dA += 2.0L / t;
        }
        for (Wide v : a) {
            const Complex t = y + static_cast<Real>(v);
            B *= t * t;
            dB += 2.0L / t;
        }
        for (int i = 0; i < m; ++i) {
            B = -B * y;
            dB += 1.0L / y;
        }
        value = A + B;
        slope = A * dA + B * dB;
    }
};

// E E* - gain P P* in y from the roots of E and the zeros of P: F's zeros crowd the passband
// edge as E's do.
struct FactoredDifference : YFunction {
    std::vector<WideComplex> r; // E E* = e2 prod(r_i - y)
    std::vector<Wide> b;
    Wide e2 = 1, gp2 = 1; // e^2 and gain p^2

    void At(WideComplex y, WideComplex& value, WideComplex& slope) const override
    {
        WideComplex A{e2, 0}, B{gp2, 0};
        Complex dA{}, dB{};
        for (const WideComplex& v : r) {
            const WideComplex t = v - y;
            A = A * t;
            dA -= 1.0L / Narrow(t);
        }
        for (Wide v : b) {
            const WideComplex t = y + WideComplex{v, 0};
            B = B * t * t;
            dB += 2.0L / Narrow(t);
        }
        value = A - B;
        slope = Widen(Narrow(A) * dA - Narrow(B) * dB);
    }

    void Rough(Complex y, Complex& value, Complex& slope) const override
    {
        Complex A = static_cast<Real>(e2), B = static_cast<Real>(gp2), dA{}, dB{};
        for (const WideComplex& v : r) {
            const Complex t = Narrow(v) - y;
            A *= t;
            dA -= 1.0L / t;
        }
        for (Wide v : b) {
            const Complex t = y + static_cast<Real>(v);
            B *= t * t;
            dB += 2.0L / t;
        }
        value = A - B;
        slope = A * dA - B * dB;
    }
};

Polynomials WidePolynomials(Family family, const Characteristic& c, Wide gain)
{
    FactoredDifference difference;
    bool factored = false;
    Polynomials p;
    p.P = Widen(c.P);
    WidePoly pp = EvenProductInY(p.P);
    WidePoly ff;
    if (family == Family::Bessel) {
        p.E = Widen(c.E);
        ff = Add(EvenProductInY(p.E), Scale(pp, -1));
        ff[0] = 0;
    } else if (!c.F.empty() && !c.zeros.empty()) {
        // P and F from their zeros in quadruple precision, so that P vanishes exactly where the
        // traps are tuned and E E* = P P* + F F* holds to that precision.
        FactoredSum sum;
        for (Real z : c.zeros) sum.b.push_back(static_cast<Wide>(z) * static_cast<Wide>(z));
        for (Real a : c.reflectionSquares) sum.a.push_back(static_cast<Wide>(a));
        sum.m = Degree(c.F) - 2 * static_cast<int>(c.reflectionSquares.size());
        const Wide pLead = static_cast<Wide>(c.P.back());
        const Wide fLead = static_cast<Wide>(c.F.back());
        sum.p2 = pLead * pLead;
        sum.f2 = fLead * fLead;
        p.P = FromSquares(sum.b, 0, pLead);
        p.F = FromSquares(sum.a, sum.m, fLead);
        pp = EvenProductInY(p.P);
        ff = EvenProductInY(p.F);
        std::vector<WideComplex> roots;
        const WidePoly ee = Add(pp, ff);
        p.E = HurwitzWide(ee, &sum, &roots);
        factored = true;
        for (const WideComplex& z : roots) difference.r.push_back(z * z);
        difference.b = sum.b;
        difference.e2 = ee.back() < 0 ? -ee.back() : ee.back();
        difference.gp2 = gain * sum.p2;
    } else if (!c.F.empty()) {
        p.F = Widen(c.F);
        ff = EvenProductInY(p.F);
        p.E = HurwitzWide(Add(pp, ff));
    } else {
        ff = Widen(c.FFInY);
        p.E = HurwitzWide(Add(pp, ff));
    }
    if (gain == 1 && !c.F.empty()) return p;
    if (gain != 1) {
        ReflectionFromY(Add(EvenProductInY(p.E), Scale(pp, -gain)), p, factored ? &difference : nullptr);
        return p;
    }
    // Between equal resistances the mirror image F(-s) gives the same ladder reversed; the right
    // half plane zeros put the small element at the source, as the handbook tables list them.
    ReflectionFromY(ff, p);
    for (WideComplex& z : p.reflectionRoots) z.re = -z.re;
    p.BuildF();
    return p;
}

// A ladder under construction: W = num / den is the impedance (isZ) or the admittance seen
// into the rest of the network, normalised to the source.
struct Expansion {
    WidePoly num, den;
    bool isZ;
    BranchPlace place; // where an element removed from W sits
    std::vector<PrototypeBranch> branches;
};

void Invert(Expansion& x)
{
    std::swap(x.num, x.den);
    x.isZ = !x.isZ;
    x.place = Other(x.place);
}

// The element k s taken from W: a series inductor from an impedance, a shunt capacitor from an
// admittance.
void TakeElement(Expansion& x, Wide k)
{
    const Real value = static_cast<Real>(k);
    if (x.isZ)
        x.branches.push_back({x.place, BranchKind::Inductor, value, 0.0L});
    else
        x.branches.push_back({x.place, BranchKind::Capacitor, 0.0L, value});
    x.num = Add(x.num, Scale(TimesS(x.den), -k));
}

bool Positive(Wide v)
{
    return v > 0 && v < static_cast<Wide>(1e300L);
}

// Zero shifting: a partial removal of the pole at infinity makes W vanish at j wz; the
// inverse then has a pole pair there, removed whole as a trap, which puts a transmission zero
// at wz.
bool ShiftZero(Expansion& x, Wide wz)
{
    const WideComplex s{0, wz};
    const Wide k = (Eval(x.num, s) / Eval(x.den, s)).im / wz;
    if (!Positive(k)) return false;
    TakeElement(x, k);
    const WidePoly reduced = DivideBySquarePlus(x.num, wz * wz);
    x.num = Add(Scale(reduced, wz * wz), TimesS(TimesS(reduced)));
    Invert(x);
    // W = den / ((s^2 + wz^2) reduced): residue a of the pole pair a s / (s^2 + wz^2).
    const Wide a = (Eval(x.num, s) / (s * Eval(reduced, s))).re;
    if (!Positive(a)) return false;
    const Real A = static_cast<Real>(a);
    const Real w2 = static_cast<Real>(wz * wz);
    if (x.isZ)
        x.branches.push_back({x.place, BranchKind::ParallelLC, A / w2, 1.0L / A});
    else
        x.branches.push_back({x.place, BranchKind::SeriesLC, 1.0L / A, A / w2});
    const WidePoly rest = Add(x.num, Scale(TimesS(reduced), -a));
    x.num = DivideBySquarePlus(rest, wz * wz);
    x.den = reduced;
    Invert(x);
    return true;
}

// Cauer expansion at infinity down to the terminating resistance; returns it normalised to
// the source, or 0 when the expansion breaks down.
Wide Tail(Expansion& x)
{
    for (int guard = 0; guard < 64; ++guard) {
        Trim(x.num);
        Trim(x.den);
        const int dn = Degree(x.num);
        const int dd = Degree(x.den);
        if (dn == 0 && dd == 0) {
            const Wide v = x.num[0] / x.den[0];
            if (!Positive(v)) return 0;
            return x.isZ ? v : 1 / v;
        }
        if (dd < 0 || dn != dd + 1) return 0;
        const Wide k = x.num.back() / x.den.back();
        if (!Positive(k)) return 0;
        TakeElement(x, k);
        // The rest of a ladder vanishes at infinity, but for the final resistance: the two
        // leading terms cancel up to rounding, and only a constant over a constant remains.
        x.num.resize(static_cast<size_t>(dd == 0 ? 1 : dd));
        Trim(x.num);
        if (Degree(x.num) < Degree(x.den)) Invert(x);
    }
    return 0;
}

struct Attempt {
    std::vector<PrototypeBranch> branches;
    Wide load = 0;
};

Expansion Start(const Polynomials& p, LadderTopology form)
{
    Expansion x;
    x.num = Add(p.E, p.F);
    x.den = Add(p.E, Scale(p.F, -1));
    // E and F share their leading coefficient, so E - F is one degree lower.
    x.den.resize(static_cast<size_t>(std::max(Degree(p.E), 0)));
    x.isZ = form == LadderTopology::T;
    x.place = form == LadderTopology::T ? BranchPlace::Series : BranchPlace::Shunt;
    return x;
}

// Orders in which to take the transmission zeros, from the source to the load: the highest
// zeros at the ends and the lowest in the middle, and its mirror image.
std::vector<std::vector<Real>> PreferredOrders(const std::vector<Real>& zeros)
{
    std::vector<Real> descending(zeros);
    std::sort(descending.rbegin(), descending.rend());
    std::vector<Real> outsideIn(zeros.size());
    size_t left = 0, right = zeros.size();
    for (size_t i = 0; i < descending.size(); ++i) {
        if (i % 2 == 0)
            outsideIn[left++] = descending[i];
        else
            outsideIn[--right] = descending[i];
    }
    return {outsideIn, std::vector<Real>(outsideIn.rbegin(), outsideIn.rend())};
}

// Depth-first over the orders in which the transmission zeros are taken, source to load: a
// prefix whose removal turns an element negative is dropped with all its continuations, so only
// the few workable orders are followed to the end. accept() judges each complete ladder.
template <typename Accept>
bool SearchOrders(const Expansion& x, std::vector<Real> remaining, int& budget, bool& positive, Accept accept)
{
    if (remaining.empty()) {
        Expansion last = x;
        Attempt attempt;
        attempt.load = Tail(last);
        if (!(attempt.load > 0)) return false;
        positive = true;
        attempt.branches = last.branches;
        return accept(attempt);
    }
    // The highest zeros first: they suit the ends of the ladder.
    std::sort(remaining.rbegin(), remaining.rend());
    for (size_t i = 0; i < remaining.size(); ++i) {
        if (--budget < 0) return false;
        Expansion next = x;
        if (!ShiftZero(next, static_cast<Wide>(remaining[i]))) continue;
        std::vector<Real> rest(remaining);
        rest.erase(rest.begin() + static_cast<long>(i));
        if (SearchOrders(next, rest, budget, positive, accept)) return true;
    }
    return false;
}

Ladder NormalisedLadder(const std::vector<PrototypeBranch>& branches, Real load)
{
    Ladder ladder;
    ladder.RS = 1.0;
    ladder.RL = static_cast<double>(load);
    for (const PrototypeBranch& b : branches) {
        LadderBranch branch{b.place, b.kind, static_cast<double>(b.L), static_cast<double>(b.C)};
        ladder.branches.push_back(branch);
    }
    return ladder;
}

// The analysed prototype must reproduce the approximation wherever the response is above -80 dB.
bool Reproduces(const Ladder& ladder, const Characteristic& c, Real gain)
{
    constexpr int kPoints = 24;
    // Four decades on a log scale, and as many points again across the passband edge, where a
    // sharp filter's ripples and first zeros crowd into a few per cent of the frequency.
    const Real edgeTo = std::max(1.25L, 1.1L * c.stopEdge);
    try {
        for (int i = 0; i < 2 * kPoints; ++i) {
            const Real w = i < kPoints ? std::pow(10.0L, -2.0L + 4.0L * (i + 0.5L) / kPoints)
                                       : 0.8L + (edgeTo - 0.8L) * (i - kPoints + 0.5L) / kPoints;
            const Real expected = 10.0L * std::log10(gain * PowerGain(c, w));
            if (expected < -80.0L) continue;
            const NetworkPoint p = AnalyseAt(ladder, static_cast<double>(w / (2.0L * kPi)), PartQuality{});
            if (std::fabs(p.S21dB - expected) > 0.002L) return false;
        }
    } catch (const ArithmeticError&) {
        return false;
    }
    return true;
}

std::string EvenChebyshevAdvice(const DesignRequest& r)
{
    const Real eps = std::sqrt(std::expm1(r.response.rippleDb * std::log(10.0L) / 10.0L));
    const Real ratio = std::pow(eps + std::sqrt(1.0L + eps * eps), 2);
    return "An even-order Chebyshev ladder has its full ripple as loss at DC, so it cannot run between these "
           "resistances. With RS = " +
           Number(r.RS) + " ohms it needs RL of at least " + Number(static_cast<double>(r.RS * ratio)) +
           " ohms in the T form or at most " + Number(static_cast<double>(r.RS / ratio)) +
           " ohms in the Pi form; an odd order works between any resistances.";
}

std::vector<PrototypeBranch> Darlington(const DesignRequest& r, const Characteristic& c, Real gain)
{
    const Real ratio = static_cast<Real>(r.RL) / static_cast<Real>(r.RS);
    const Real target = r.form == LadderTopology::T ? ratio : 1.0L / ratio;
    Polynomials p = WidePolynomials(r.response.family, c, static_cast<Wide>(gain));
    const bool sameSign = (p.F.back() > 0) == (p.E.back() > 0);
    if (!sameSign) p.F = Scale(p.F, -1);
    // At DC the ladder is a through connection: W(0) = (E(0) + F(0)) / (E(0) - F(0)) = target.
    const bool wantPositive = target > 1.0L;
    const bool mismatched = std::fabs(target - 1.0L) > 1e-12L && (p.F[0] > 0) != wantPositive;
    if (mismatched) {
        auto real = std::find_if(p.reflectionRoots.begin(), p.reflectionRoots.end(), [](const WideComplex& z) {
            const Wide size = z.re < 0 ? -z.re : z.re;
            return (z.im < 0 ? -z.im : z.im) <= static_cast<Wide>(1e-12L) * size;
        });
        if (real == p.reflectionRoots.end()) {
            const char* other = r.form == LadderTopology::T ? "Pi" : "T";
            Refuse(std::string("This ") + FamilyName(r.response.family) + " ladder of order " +
                   std::to_string(r.response.N) + " cannot have its load " + (ratio > 1.0L ? "above" : "below") +
                   " its source in the " + FormName(r.form) + " form; the " + other + " form realises it.");
        }
        *real = WideComplex{-real->re, 0};
        p.BuildF();
        if ((p.F.back() > 0) != (p.E.back() > 0)) p.F = Scale(p.F, -1);
    }

    bool expanded = false;
    std::vector<PrototypeBranch> found;
    const auto accept = [&](const Attempt& attempt) {
        if (std::fabs(static_cast<Real>(attempt.load) - ratio) > 1e-9L * ratio) return false;
        if (!Reproduces(NormalisedLadder(attempt.branches, ratio), c, gain)) return false;
        found = attempt.branches;
        return true;
    };
    // The usual arrangements first, then the search over all orders.
    for (const std::vector<Real>& order : PreferredOrders(c.zeros)) {
        Expansion x = Start(p, r.form);
        bool shifted = true;
        for (Real wz : order) shifted = shifted && ShiftZero(x, static_cast<Wide>(wz));
        if (!shifted) continue;
        int none = 0;
        if (SearchOrders(x, {}, none, expanded, accept)) return found;
    }
    int budget = 1500;
    if (SearchOrders(Start(p, r.form), c.zeros, budget, expanded, accept)) return found;
    if (!expanded)
        Refuse(std::string("No ladder with positive elements realises this ") + FamilyName(r.response.family) +
               " response of order " + std::to_string(r.response.N) + " in the " + FormName(r.form) +
               " form; a lower order or a higher stopband attenuation gives one.");
    Refuse(std::string("The ") + FamilyName(r.response.family) + " ladder of order " + std::to_string(r.response.N) +
           " could not be synthesised to working accuracy; try a lower order.");
}

struct Part {
    Real L = 0.0L, C = 0.0L;
};

// The transforms of one inductor l (impedance s l) and one capacitor c (admittance s c) of the
// prototype, with w0 the edge (low- and high-pass) or the centre, and bw the bandwidth.
struct Transform {
    FilterType type;
    Real R0, w0, bw;

    // Low-pass and high-pass: one part. Band types: the pair (series or parallel).
    Part OfInductor(Real l) const
    {
        switch (type) {
        case FilterType::LowPass: return {l * R0 / w0, 0.0L};
        case FilterType::HighPass: return {0.0L, 1.0L / (l * R0 * w0)};
        case FilterType::BandPass: return {l * R0 / bw, bw / (w0 * w0 * l * R0)};
        case FilterType::BandStop: break;
        }
        return {l * R0 * bw / (w0 * w0), 1.0L / (l * R0 * bw)};
    }
    Part OfCapacitor(Real c) const
    {
        switch (type) {
        case FilterType::LowPass: return {0.0L, c / (R0 * w0)};
        case FilterType::HighPass: return {R0 / (c * w0), 0.0L};
        case FilterType::BandPass: return {R0 * bw / (w0 * w0 * c), c / (R0 * bw)};
        case FilterType::BandStop: break;
        }
        return {R0 / (c * bw), c * bw / (R0 * w0 * w0)};
    }
};

LadderBranch Branch(BranchPlace place, BranchKind kind, Part a, Part b = {})
{
    LadderBranch branch{place, kind, static_cast<double>(a.L), static_cast<double>(a.C)};
    branch.L2 = static_cast<double>(b.L);
    branch.C2 = static_cast<double>(b.C);
    return branch;
}

LadderBranch TransformBranch(const PrototypeBranch& p, const Transform& t)
{
    const bool band = t.type == FilterType::BandPass || t.type == FilterType::BandStop;
    // In the band-pass an inductor becomes a series pair and a capacitor a parallel pair; the
    // band-stop swaps the two.
    const bool inductorToSeries = t.type == FilterType::BandPass;
    switch (p.kind) {
    case BranchKind::Inductor: {
        const Part part = t.OfInductor(p.L);
        if (!band)
            return t.type == FilterType::LowPass ? Branch(p.place, BranchKind::Inductor, part)
                                                 : Branch(p.place, BranchKind::Capacitor, part);
        return Branch(p.place, inductorToSeries ? BranchKind::SeriesLC : BranchKind::ParallelLC, part);
    }
    case BranchKind::Capacitor: {
        const Part part = t.OfCapacitor(p.C);
        if (!band)
            return t.type == FilterType::LowPass ? Branch(p.place, BranchKind::Capacitor, part)
                                                 : Branch(p.place, BranchKind::Inductor, part);
        return Branch(p.place, inductorToSeries ? BranchKind::ParallelLC : BranchKind::SeriesLC, part);
    }
    default: break;
    }
    const Part fromL = t.OfInductor(p.L);
    const Part fromC = t.OfCapacitor(p.C);
    if (!band) {
        const Part pair{fromL.L + fromC.L, fromL.C + fromC.C};
        return Branch(p.place, p.kind, pair);
    }
    // A four-element arm: the series pair first, the parallel pair second.
    const Part& seriesPair = inductorToSeries ? fromL : fromC;
    const Part& parallelPair = inductorToSeries ? fromC : fromL;
    const BranchKind kind = p.kind == BranchKind::SeriesLC ? BranchKind::SeriesArm : BranchKind::ParallelArm;
    return Branch(p.place, kind, seriesPair, parallelPair);
}

bool IsPart(double value)
{
    return std::isfinite(value) && value > 0.0;
}

Ladder Denormalise(const DesignRequest& r, const std::vector<PrototypeBranch>& prototype)
{
    Transform t{r.type, static_cast<Real>(r.RS), 0.0L, 0.0L};
    if (r.type == FilterType::LowPass || r.type == FilterType::HighPass) {
        t.w0 = 2.0L * kPi * r.passHz;
    } else {
        t.w0 = 2.0L * kPi * std::sqrt(static_cast<Real>(r.lowHz) * r.highHz);
        t.bw = 2.0L * kPi * (static_cast<Real>(r.highHz) - r.lowHz);
    }
    Ladder ladder;
    ladder.RS = r.RS;
    ladder.RL = r.RL;
    for (const PrototypeBranch& p : prototype) {
        const LadderBranch b = TransformBranch(p, t);
        // Every part the arm uses must be a positive finite value: extreme frequencies or
        // resistances can overflow it or round it to zero.
        const bool arm = b.kind == BranchKind::SeriesArm || b.kind == BranchKind::ParallelArm;
        const bool usesL = b.kind != BranchKind::Capacitor;
        const bool usesC = b.kind != BranchKind::Inductor;
        const bool sound =
            (!usesL || IsPart(b.L)) && (!usesC || IsPart(b.C)) && (!arm || (IsPart(b.L2) && IsPart(b.C2)));
        if (!sound)
            Refuse("The element values of this design fall outside the range of numbers; check the "
                   "frequencies and resistances.");
        ladder.branches.push_back(b);
    }
    return ladder;
}

} // namespace

bool FilterTypeFromName(const std::string& name, FilterType& type)
{
    const std::pair<const char*, FilterType> names[] = {{"LPF", FilterType::LowPass},
                                                        {"HPF", FilterType::HighPass},
                                                        {"BPF", FilterType::BandPass},
                                                        {"BSF", FilterType::BandStop}};
    for (const auto& n : names)
        if (name == n.first) {
            type = n.second;
            return true;
        }
    return false;
}

Design Synthesise(const DesignRequest& request)
{
    CheckRequest(request);
    Design design;
    design.request = request;
    design.response = Approximate(request.response);
    const Characteristic& c = design.response;

    // A lowpass ladder is a through connection at DC, so |S21(0)|^2 is the mismatch 4 RS RL / (RS + RL)^2.
    const Real ratio = static_cast<Real>(request.RL) / static_cast<Real>(request.RS);
    const Real mismatch = 4.0L * ratio / ((1.0L + ratio) * (1.0L + ratio));
    Real gain = mismatch / PowerGain(c, 0.0L);
    if (gain > 1.0L + 1e-9L) {
        if (request.response.family == Family::Chebyshev) Refuse(EvenChebyshevAdvice(request));
        Refuse(std::string("The ") + FamilyName(request.response.family) +
               " response has loss at DC that these resistances cannot give.");
    }
    if (gain > 1.0L - 1e-9L) gain = 1.0L;
    design.gain = gain;

    if (!ClassicPrototype(request, design.prototype)) design.prototype = Darlington(request, c, gain);
    design.ladder = Denormalise(request, design.prototype);
    return design;
}

Real PrototypeFrequency(const DesignRequest& r, Real fHz)
{
    const Real f = std::fabs(fHz);
    const Real inf = std::numeric_limits<Real>::infinity();
    switch (r.type) {
    case FilterType::LowPass: return f / r.passHz;
    case FilterType::HighPass: return f == 0.0L ? inf : r.passHz / f;
    case FilterType::BandPass: {
        if (f == 0.0L) return inf;
        const Real f0sq = static_cast<Real>(r.lowHz) * r.highHz;
        return std::fabs(f * f - f0sq) / (f * (static_cast<Real>(r.highHz) - r.lowHz));
    }
    case FilterType::BandStop: break;
    }
    const Real f0sq = static_cast<Real>(r.lowHz) * r.highHz;
    const Real d = std::fabs(f0sq - f * f);
    if (d == 0.0L) return inf;
    return f * (static_cast<Real>(r.highHz) - r.lowHz) / d;
}

double TransducerGainDb(const Design& design, double fHz)
{
    const Real w = PrototypeFrequency(design.request, fHz);
    const Real floorDb = -kAttenuationCeilingDb;
    Real power;
    if (std::isinf(w)) {
        const Characteristic& c = design.response;
        power = Degree(c.PPInY) < Degree(c.FFInY) ? 0.0L : c.PPInY.back() / (c.PPInY.back() + c.FFInY.back());
    } else {
        power = PowerGain(design.response, w);
    }
    power *= design.gain;
    if (!(power > 0.0L)) return floorDb;
    return static_cast<double>(std::max(10.0L * std::log10(power), floorDb));
}

} // namespace synthesis
