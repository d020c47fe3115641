// SPDX-License-Identifier: Apache-2.0
#include "synthesis/ContinuedFraction.h"

#include <algorithm>
#include <utility>

namespace corvane {

namespace synthesis {

namespace {

BranchPlace Other(BranchPlace place)
{
    return place == BranchPlace::Series ? BranchPlace::Shunt : BranchPlace::Series;
}

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

} // namespace

Expansion StartExpansion(const Polynomials& p, LadderTopology form)
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

bool TakeWholePole(Expansion& x)
{
    Trim(x.num);
    Trim(x.den);
    if (Degree(x.den) < 1 || Degree(x.num) != Degree(x.den) + 1) return false;
    const Wide k = x.num.back() / x.den.back();
    if (!Positive(k)) return false;
    TakeElement(x, k);
    x.num.resize(x.den.size() - 1);
    Invert(x);
    return true;
}

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

} // namespace synthesis

} // namespace corvane
