// SPDX-License-Identifier: Apache-2.0
#include "filtermath/LadderAnalysis.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "filtermath/Failure.h"
#include "filtermath/LadderCascade.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

using Real = long double;

// A complex number in extended precision with plain arithmetic. std::complex's multiplication
// goes through a library call that recovers infinities and NaNs at every product; here a
// non-finite value can only come from overflow, and the cascade checks its result once.
struct Complex {
    Real re = 0.0L;
    Real im = 0.0L;
    Real real() const { return re; }
    Real imag() const { return im; }
};

inline Complex operator+(const Complex& x, const Complex& y)
{
    return {x.re + y.re, x.im + y.im};
}
inline Complex operator-(const Complex& x, const Complex& y)
{
    return {x.re - y.re, x.im - y.im};
}
inline Complex operator-(const Complex& x)
{
    return {-x.re, -x.im};
}
inline Complex operator*(const Complex& x, const Complex& y)
{
    return {x.re * y.re - x.im * y.im, x.re * y.im + x.im * y.re};
}
inline Complex operator*(Real k, const Complex& x)
{
    return {k * x.re, k * x.im};
}
inline Complex operator*(const Complex& x, Real k)
{
    return {k * x.re, k * x.im};
}
inline bool operator==(const Complex& x, const Complex& y)
{
    return x.re == y.re && x.im == y.im;
}

// Smith's division: scaled by the larger part of the divisor, so that no square of it can
// overflow or underflow on the way.
Complex operator/(const Complex& num, const Complex& den)
{
    if (den.im == 0.0L) return {num.re / den.re, num.im / den.re};
    if (std::fabs(den.re) >= std::fabs(den.im)) {
        const Real ratio = den.im / den.re;
        const Real scale = den.re + den.im * ratio;
        return {(num.re + num.im * ratio) / scale, (num.im - num.re * ratio) / scale};
    }
    const Real ratio = den.re / den.im;
    const Real scale = den.re * ratio + den.im;
    return {(num.re * ratio + num.im) / scale, (num.im * ratio - num.re) / scale};
}

const Complex kJ{0.0L, 1.0L};

// The chain matrix of the ladder so far and its derivative over the angular frequency.
struct AbcdSlope {
    Chain<Real> m;
    Chain<Real> dm{0, 0, 0, 0, 0, 0, 0, 0};
};

// An impedance (series branch) or admittance (shunt branch) and its derivative over w.
struct Immittance {
    Complex value;
    Complex slope;
};

bool IsFinite(const Complex& z)
{
    return std::isfinite(z.real()) && std::isfinite(z.imag());
}

bool IsFinite(const Chain<Real>& x)
{
    return std::isfinite(x.ar) && std::isfinite(x.ai) && std::isfinite(x.br) && std::isfinite(x.bi) &&
           std::isfinite(x.cr) && std::isfinite(x.ci) && std::isfinite(x.dr) && std::isfinite(x.di);
}

Complex Divide(const Complex& num, const Complex& den)
{
    if (den == Complex{}) RaiseDivisionByZero();
    return num / den;
}

// 1/Q as a loss factor; 0 (or an infinite Q) is an ideal part.
Real LossFactor(double Q)
{
    if (std::isnan(Q) || Q < 0.0) RaiseInvalidOperation();
    return Q == 0.0 ? 0.0L : 1.0L / static_cast<Real>(Q);
}

void CheckPartValue(double value)
{
    if (!std::isfinite(value)) RaiseInvalidOperation();
}

// A reference resistance: zero divides by zero, a negative or non-finite one has no power wave.
Real Termination(double R)
{
    if (R == 0.0) RaiseDivisionByZero();
    if (!(R > 0.0) || !std::isfinite(R)) RaiseInvalidOperation();
    return R;
}

// Z = wL (1/QL + j): the reactance plus the series loss resistance wL/QL.
Immittance InductorImpedance(Real w, Real L, Real lossL)
{
    const Complex perW = L * Complex{lossL, 1.0L};
    return {w * perW, perW};
}

// Z = (1/QC - j) / (wC): the reactance plus the series loss resistance 1/(wC QC).
Immittance CapacitorImpedance(Real w, Real C, Real lossC)
{
    const Complex z = Divide(Complex{lossC, -1.0L}, Complex{w * C, 0.0L});
    return {z, Divide(-z, Complex{w, 0.0L})};
}

Immittance InductorAdmittance(Real w, Real L, Real lossL)
{
    const Immittance z = InductorImpedance(w, L, lossL);
    const Complex y = Divide(Complex{1.0L, 0.0L}, z.value);
    return {y, -y * y * z.slope};
}

// Y = jwC / (1 + j/QC), written so that a zero capacitance across the line is an open circuit.
Immittance CapacitorAdmittance(Real w, Real C, Real lossC)
{
    const Complex perW = kJ * C / Complex{1.0L, lossC};
    return {w * perW, perW};
}

Immittance Plus(const Immittance& x, const Immittance& y)
{
    return {x.value + y.value, x.slope + y.slope};
}

// 1/x and its slope; an arm that is a short or an open at this frequency divides by zero.
Immittance Reciprocal(const Immittance& x)
{
    const Complex y = Divide(Complex{1.0L, 0.0L}, x.value);
    return {y, -y * y * x.slope};
}

Immittance SeriesPairImpedance(Real w, Real L, Real C, Real lossL, Real lossC)
{
    return Plus(InductorImpedance(w, L, lossL), CapacitorImpedance(w, C, lossC));
}

Immittance ParallelPairAdmittance(Real w, Real L, Real C, Real lossL, Real lossC)
{
    return Plus(InductorAdmittance(w, L, lossL), CapacitorAdmittance(w, C, lossC));
}

// The impedance (series place) or admittance (shunt place) of the kinds that mean the same arm
// on either place.
Immittance ArmImmittance(const LadderBranch& branch, Real w, Real lossL, Real lossC, bool series)
{
    const Real L = branch.L;
    const Real C = branch.C;
    bool impedance = true;
    Immittance x{};
    switch (branch.kind) {
    case BranchKind::SeriesLC: x = SeriesPairImpedance(w, L, C, lossL, lossC); break;
    case BranchKind::ParallelLC:
        x = ParallelPairAdmittance(w, L, C, lossL, lossC);
        impedance = false;
        break;
    case BranchKind::SeriesArm:
        x = Plus(SeriesPairImpedance(w, L, C, lossL, lossC),
                 Reciprocal(ParallelPairAdmittance(w, branch.L2, branch.C2, lossL, lossC)));
        break;
    default:
        x = Plus(Reciprocal(SeriesPairImpedance(w, L, C, lossL, lossC)),
                 ParallelPairAdmittance(w, branch.L2, branch.C2, lossL, lossC));
        impedance = false;
        break;
    }
    return impedance == series ? x : Reciprocal(x);
}

Immittance ImmittanceOfBranch(const LadderBranch& branch, Real w, Real lossL, Real lossC)
{
    const Real L = branch.L;
    const Real C = branch.C;
    const bool series = branch.place == BranchPlace::Series;
    switch (branch.kind) {
    case BranchKind::Inductor: return series ? InductorImpedance(w, L, lossL) : InductorAdmittance(w, L, lossL);
    case BranchKind::Capacitor: return series ? CapacitorImpedance(w, C, lossC) : CapacitorAdmittance(w, C, lossC);
    case BranchKind::Resonator: break;
    default: return ArmImmittance(branch, w, lossL, lossC, series);
    }
    if (series) return Plus(InductorImpedance(w, L, lossL), CapacitorImpedance(w, C, lossC));
    return Plus(InductorAdmittance(w, L, lossL), CapacitorAdmittance(w, C, lossC));
}

void Step(AbcdSlope& t, bool series, const Immittance& x)
{
    CascadeStepWithSlope(series, x.value.re, x.value.im, x.slope.re, x.slope.im, PartsOf(t.m), PartsOf(t.dm));
}

// The chain matrix of the whole ladder and its derivative, left to right.
AbcdSlope Cascade(const Ladder& ladder, Real w, Real lossL, Real lossC)
{
    AbcdSlope t;
    for (const LadderBranch& branch : ladder.branches) {
        CheckPartValue(branch.L);
        CheckPartValue(branch.C);
        CheckPartValue(branch.L2);
        CheckPartValue(branch.C2);
        Step(t, branch.place == BranchPlace::Series, ImmittanceOfBranch(branch, w, lossL, lossC));
    }
    // Past the extended range a part turns infinite and every later sum or product keeps it
    // infinite or NaN, so one check at the end sees any overflow on the way.
    if (!IsFinite(t.m) || !IsFinite(t.dm)) RaiseOverflow();
    return t;
}

// Phase in degrees, wrapped into (-180, 180], of a difference of two angles in [-pi, pi].
Real WrapDegrees(Real radians)
{
    Real degrees = radians * (180.0L / kPi<Real>);
    if (degrees > 180.0L) degrees -= 360.0L;
    if (degrees <= -180.0L) degrees += 360.0L;
    return degrees;
}

double ToDouble(Real value)
{
    if (std::isnan(value)) RaiseInvalidOperation();
    if (std::fabs(value) > DBL_MAX) RaiseOverflow();
    return static_cast<double>(value);
}

constexpr Real kLog10Of2 = 0.301029995663981195213738894724493027L;

// 10 log10 of a squared magnitude anywhere in the extended range. Within the double range the
// double logarithm is accurate far beyond the digits shown; outside it the exponent is split
// off exactly first.
Real PowerDb(Real norm)
{
    if (norm >= DBL_MIN && norm <= DBL_MAX) return 10.0L * std::log10(static_cast<double>(norm));
    int exponent = 0;
    const Real mantissa = std::frexp(norm, &exponent);
    return 10.0L * (std::log10(static_cast<double>(mantissa)) + exponent * kLog10Of2);
}

Real Norm(const Complex& z)
{
    return z.re * z.re + z.im * z.im;
}

bool FitsDouble(Real x)
{
    return std::fabs(x) <= DBL_MAX && (x == 0.0L || std::fabs(x) >= DBL_MIN);
}

// The angle of z; only the ratio of its parts matters, so parts outside the double range are
// brought into it by the same power of two.
Real Angle(const Complex& z)
{
    if (FitsDouble(z.re) && FitsDouble(z.im)) return std::atan2(static_cast<double>(z.im), static_cast<double>(z.re));
    const Real larger = std::max(std::fabs(z.re), std::fabs(z.im));
    const int shift = -std::ilogb(larger);
    return std::atan2(static_cast<double>(std::scalbn(z.im, shift)), static_cast<double>(std::scalbn(z.re, shift)));
}

// |numerator / den| in dB, floored: an exact match has no finite logarithm.
Real ReflectionDb(const Complex& numerator, Real denDb)
{
    const Real norm = Norm(numerator);
    if (norm == 0.0L) return kReflectionFloorDb;
    return std::max<Real>(PowerDb(norm) - denDb, kReflectionFloorDb);
}

NetworkPoint PointOfChain(const AbcdSlope& chain, Real RS, Real RL);

} // namespace

NetworkPoint AnalyseAt(const Ladder& ladder, double frequencyHz, const PartQuality& quality)
{
    if (std::isnan(frequencyHz)) RaiseInvalidOperation();
    if (std::isinf(frequencyHz)) RaiseOverflow();
    const Real RS = Termination(ladder.RS);
    const Real RL = Termination(ladder.RL);
    const Real lossL = LossFactor(quality.QL);
    const Real lossC = LossFactor(quality.QC);
    const Real w = 2.0L * kPi<Real> * std::fabs(static_cast<Real>(frequencyHz));
    return PointOfChain(Cascade(ladder, w, lossL, lossC), RS, RL);
}

NetworkPoint AnalyseImmittances(const std::vector<BranchImmittance>& branches, double RS, double RL)
{
    const Real rs = Termination(RS);
    const Real rl = Termination(RL);
    AbcdSlope t;
    for (const BranchImmittance& branch : branches) {
        const Immittance x{{branch.value.real(), branch.value.imag()}, {branch.slope.real(), branch.slope.imag()}};
        Step(t, branch.place == BranchPlace::Series, x);
    }
    if (!IsFinite(t.m) || !IsFinite(t.dm)) RaiseOverflow();
    return PointOfChain(t, rs, rl);
}

namespace {

NetworkPoint PointOfChain(const AbcdSlope& chain, Real RS, Real RL)
{
    // Divided by sqrt(RS RL), den is 2 / S21: a through connection between equal terminations
    // gives exactly 2.
    const Real r = std::sqrt(RS * RL);
    const WaveSums<Real> sums = WaveSumsOf(chain.m, RS, RL);
    const WaveSums<Real> slopes = WaveSumsOf(chain.dm, RS, RL);
    const Complex den{sums.denR / r, sums.denI / r};
    const Complex reflected{sums.inR / r, sums.inI / r};
    const Complex reflectedOut{sums.outR / r, sums.outI / r};
    const Complex denSlope{slopes.denR / r, slopes.denI / r};
    if (!IsFinite(den) || !IsFinite(reflected) || !IsFinite(reflectedOut) || !IsFinite(denSlope)) RaiseOverflow();
    if (den == Complex{}) RaiseDivisionByZero();

    // Every quantity below is a ratio to den; scaling all of them by the power of two that brings
    // den near 1 keeps the squared magnitudes within range however deep the stopband.
    const int shift = -std::ilogb(std::max(std::fabs(den.re), std::fabs(den.im)));
    const Real factor = std::scalbn(1.0L, shift);
    const Complex denS = den * factor;
    const Complex reflectedS = reflected * factor;
    const Complex reflectedOutS = reflectedOut * factor;
    const Complex denSlopeS = denSlope * factor;
    const Real denNorm = Norm(denS);
    const Real scaledDenDb = PowerDb(denNorm);
    const Real denDb = scaledDenDb - shift * (20.0L * kLog10Of2);
    const Real denAngle = Angle(denS);
    NetworkPoint point{};
    point.S21dB = ToDouble(20.0L * kLog10Of2 - denDb);
    point.S21Deg = ToDouble(WrapDegrees(-denAngle));
    point.S11dB = ToDouble(ReflectionDb(reflectedS, scaledDenDb));
    point.S11Deg = ToDouble(WrapDegrees(Angle(reflectedS) - denAngle));
    point.S22dB = ToDouble(ReflectionDb(reflectedOutS, scaledDenDb));
    point.S22Deg = ToDouble(WrapDegrees(Angle(reflectedOutS) - denAngle));
    // arg S21 = -arg(den), so the delay -d(arg S21)/dw is Im(den'/den) = Im(den' conj(den))/|den|^2.
    point.GroupDelay = ToDouble((denSlopeS.im * denS.re - denSlopeS.re * denS.im) / denNorm);
    return point;
}

} // namespace

} // namespace corvane
