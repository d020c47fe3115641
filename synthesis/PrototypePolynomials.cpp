// SPDX-License-Identifier: Apache-2.0
#include "synthesis/PrototypePolynomials.h"

#include "filtermath/Failure.h"
#include "synthesis/PolynomialRoots.h"

namespace corvane {

namespace synthesis {

void Polynomials::BuildF()
{
    F = Scale(FromRoots(reflectionRoots), reflectionLead);
    F.insert(F.begin(), static_cast<size_t>(reflectionZerosAtOrigin), 0);
}

namespace {

[[noreturn]] void RefuseAccuracy()
{
    throw Failure("The poles and zeros of this design could not be found to working accuracy; try a lower order.");
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

// P P* and F F* in y, beside the polynomials they come from.
struct Products {
    WidePoly pp, ff;
};

// Bessel and equiripple delay: E defines the family, and F F* = E E* - P P* vanishes at DC exactly.
Products FromBesselE(const Characteristic& c, Polynomials& p)
{
    Products q{EvenProductInY(p.P), {}};
    p.E = Widen(c.E);
    q.ff = Add(EvenProductInY(p.E), Scale(q.pp, -1));
    q.ff[0] = 0;
    return q;
}

// P and F from their zeros in quadruple precision, so that P vanishes exactly where the traps
// are tuned and E E* = P P* + F F* holds to that precision. Leaves E E* - gain P P* in factored
// form for F's roots at another gain.
Products FromTrapZeros(const Characteristic& c, Wide gain, Polynomials& p, FactoredDifference& difference)
{
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
    const Products q{EvenProductInY(p.P), EvenProductInY(p.F)};
    std::vector<WideComplex> roots;
    const WidePoly ee = Add(q.pp, q.ff);
    p.E = HurwitzWide(ee, &sum, &roots);
    for (const WideComplex& z : roots) difference.r.push_back(z * z);
    difference.b = sum.b;
    difference.e2 = ee.back() < 0 ? -ee.back() : ee.back();
    difference.gp2 = gain * sum.p2;
    return q;
}

// E from E E* = P P* + F F*, with F in closed form or only F F* known.
Products FromReflection(const Characteristic& c, Polynomials& p)
{
    Products q{EvenProductInY(p.P), {}};
    if (!c.F.empty()) {
        p.F = Widen(c.F);
        q.ff = EvenProductInY(p.F);
    } else {
        q.ff = Widen(c.FFInY);
    }
    p.E = HurwitzWide(Add(q.pp, q.ff));
    return q;
}

// Between equal resistances the mirror image F(-s) gives the same ladder reversed; the right
// half plane zeros put the small element at the source, as the handbook tables list them.
void MirroredReflectionFromY(const WidePoly& ff, Polynomials& p)
{
    ReflectionFromY(ff, p);
    for (WideComplex& z : p.reflectionRoots) z.re = -z.re;
    p.BuildF();
}

} // namespace

Polynomials PrototypePolynomials(const Characteristic& c, Wide gain)
{
    Polynomials p;
    p.P = Widen(c.P);
    FactoredDifference difference;
    const bool givenE = !c.E.empty();
    const bool factored = !givenE && !c.F.empty() && !c.zeros.empty();
    const Products q = givenE     ? FromBesselE(c, p)
                       : factored               ? FromTrapZeros(c, gain, p, difference)
                                                : FromReflection(c, p);
    if (gain == 1 && !c.F.empty()) return p;
    if (gain != 1)
        ReflectionFromY(Add(EvenProductInY(p.E), Scale(q.pp, -gain)), p, factored ? &difference : nullptr);
    else
        MirroredReflectionFromY(q.ff, p);
    return p;
}

} // namespace synthesis

} // namespace corvane
