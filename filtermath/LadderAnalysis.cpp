#include "filtermath/LadderAnalysis.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <complex>

#include "filtermath/Failure.h"

namespace {

using Real = long double;
using Complex = std::complex<Real>;

const Real kPi = 3.141592653589793238462643383279502884L;
const Complex kJ{0.0L, 1.0L};

// A two-port chain matrix and its derivative over the angular frequency.
struct Abcd {
    Complex a, b, c, d;
};
struct AbcdSlope {
    Abcd m;
    Abcd dm;
};

// An impedance (series branch) or admittance (shunt branch) and its derivative over w.
struct Immittance {
    Complex value;
    Complex slope;
};

Abcd Product(const Abcd& x, const Abcd& y)
{
    return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c, x.c * y.b + x.d * y.d};
}

Abcd Sum(const Abcd& x, const Abcd& y)
{
    return {x.a + y.a, x.b + y.b, x.c + y.c, x.d + y.d};
}

bool IsFinite(const Complex& z)
{
    return std::isfinite(z.real()) && std::isfinite(z.imag());
}

bool IsFinite(const Abcd& x)
{
    return IsFinite(x.a) && IsFinite(x.b) && IsFinite(x.c) && IsFinite(x.d);
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

Immittance BranchImmittance(const LadderBranch& branch, Real w, Real lossL, Real lossC)
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

AbcdSlope BranchMatrix(const LadderBranch& branch, Real w, Real lossL, Real lossC)
{
    const Immittance x = BranchImmittance(branch, w, lossL, lossC);
    const Complex one{1.0L, 0.0L};
    const Complex zero{};
    if (branch.place == BranchPlace::Series) return {{one, x.value, zero, one}, {zero, x.slope, zero, zero}};
    return {{one, zero, x.value, one}, {zero, zero, x.slope, zero}};
}

// The chain matrix of the whole ladder and its derivative (product rule, left to right).
AbcdSlope Cascade(const Ladder& ladder, Real w, Real lossL, Real lossC)
{
    const Complex one{1.0L, 0.0L};
    const Complex zero{};
    AbcdSlope total{{one, zero, zero, one}, {zero, zero, zero, zero}};
    for (const LadderBranch& branch : ladder.branches) {
        CheckPartValue(branch.L);
        CheckPartValue(branch.C);
        CheckPartValue(branch.L2);
        CheckPartValue(branch.C2);
        const AbcdSlope step = BranchMatrix(branch, w, lossL, lossC);
        total = {Product(total.m, step.m), Sum(Product(total.dm, step.m), Product(total.m, step.dm))};
        if (!IsFinite(total.m) || !IsFinite(total.dm)) RaiseOverflow();
    }
    return total;
}

// Phase in degrees, wrapped into (-180, 180].
Real WrapDegrees(Real radians)
{
    Real degrees = std::remainder(radians * 180.0L / kPi, 360.0L);
    if (degrees <= -180.0L) degrees += 360.0L;
    return degrees;
}

double ToDouble(Real value)
{
    if (std::isnan(value)) RaiseInvalidOperation();
    if (std::fabs(value) > DBL_MAX) RaiseOverflow();
    return static_cast<double>(value);
}

Real Decibels(Real magnitude)
{
    return 20.0L * std::log10(magnitude);
}

// |numerator / den| in dB, floored: an exact match has no finite logarithm.
Real ReflectionDb(const Complex& numerator, Real denDb)
{
    const Real magnitude = std::abs(numerator);
    if (magnitude == 0.0L) return kReflectionFloorDb;
    return std::max<Real>(Decibels(magnitude) - denDb, kReflectionFloorDb);
}

} // namespace

Ladder LadderFromElements(int N, LadderTopology topology, double R, const std::vector<std::string>& ElementUnits,
                          const std::vector<double>& ElementValues)
{
    Ladder ladder;
    ladder.RS = R;
    ladder.RL = R;
    for (int i = 1; i <= N; ++i) {
        const double value = ElementValues.at(i);
        if (ElementUnits.at(i) == "F")
            ladder.branches.push_back({PlaceOfPosition(i, topology), BranchKind::Capacitor, 0.0, value});
        else
            ladder.branches.push_back({PlaceOfPosition(i, topology), BranchKind::Inductor, value, 0.0});
    }
    return ladder;
}

Ladder LadderFromResonators(int N, LadderTopology topology, double R, const std::vector<double>& BandL,
                            const std::vector<double>& BandC)
{
    Ladder ladder;
    ladder.RS = R;
    ladder.RL = R;
    for (int i = 1; i <= N; ++i)
        ladder.branches.push_back({PlaceOfPosition(i, topology), BranchKind::Resonator, BandL.at(i), BandC.at(i)});
    return ladder;
}

NetworkPoint AnalyseAt(const Ladder& ladder, double frequencyHz, const PartQuality& quality)
{
    if (std::isnan(frequencyHz)) RaiseInvalidOperation();
    if (std::isinf(frequencyHz)) RaiseOverflow();
    const Real RS = Termination(ladder.RS);
    const Real RL = Termination(ladder.RL);
    const Real lossL = LossFactor(quality.QL);
    const Real lossC = LossFactor(quality.QC);
    const Real w = 2.0L * kPi * std::fabs(static_cast<Real>(frequencyHz));
    const AbcdSlope chain = Cascade(ladder, w, lossL, lossC);

    // The chain matrix normalised to the two reference resistances: A sqrt(RL/RS), B/sqrt(RS RL),
    // C sqrt(RS RL), D sqrt(RS/RL). With them the power-wave S-parameters of a reciprocal
    // two-port take the same form as between equal terminations.
    const Real k = std::sqrt(RL / RS);
    const Real r = std::sqrt(RS * RL);
    const auto terms = [k, r](const Abcd& m, Complex& a, Complex& b, Complex& c, Complex& d) {
        a = m.a * k;
        b = m.b / r;
        c = m.c * r;
        d = m.d / k;
    };
    Complex a, b, c, d, da, db, dc, dd;
    terms(chain.m, a, b, c, d);
    terms(chain.dm, da, db, dc, dd);
    const Complex den = a + b + c + d;
    const Complex reflected = a + b - c - d;
    const Complex reflectedOut = d + b - c - a;
    const Complex denSlope = da + db + dc + dd;
    if (!IsFinite(den) || !IsFinite(reflected) || !IsFinite(reflectedOut) || !IsFinite(denSlope)) RaiseOverflow();
    if (den == Complex{}) RaiseDivisionByZero();

    const Real denDb = Decibels(std::abs(den));
    NetworkPoint point{};
    point.S21dB = ToDouble(Decibels(2.0L) - denDb);
    point.S21Deg = ToDouble(WrapDegrees(-std::arg(den)));
    point.S11dB = ToDouble(ReflectionDb(reflected, denDb));
    point.S11Deg = ToDouble(WrapDegrees(std::arg(reflected) - std::arg(den)));
    point.S22dB = ToDouble(ReflectionDb(reflectedOut, denDb));
    point.S22Deg = ToDouble(WrapDegrees(std::arg(reflectedOut) - std::arg(den)));
    // arg S21 = -arg(den), so the delay -d(arg S21)/dw is Im(den'/den).
    point.GroupDelay = ToDouble((denSlope / den).imag());
    return point;
}

void AnalyseSweep(const Ladder& ladder, const Sweep& Freq, double UnitScale, const PartQuality& quality, Sweep& NetS21,
                  Sweep& NetS11, Sweep& NetGroupDelay)
{
    for (int i = 0; i < SweepPoints; ++i) {
        const NetworkPoint point = AnalyseAt(ladder, Freq[i] * UnitScale, quality);
        NetS21[i] = point.S21dB;
        NetS11[i] = point.S11dB;
        NetGroupDelay[i] = point.GroupDelay;
    }
}
