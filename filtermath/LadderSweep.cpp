#include "filtermath/LadderSweep.h"

#include <cmath>
#include <vector>

namespace {

const double kPi = 3.141592653589793238462643383279502884;

struct Cx {
    double re = 0.0;
    double im = 0.0;
};

// x * y + z
inline Cx MulAdd(Cx x, Cx y, Cx z)
{
    return {x.re * y.re - x.im * y.im + z.re, x.re * y.im + x.im * y.re + z.im};
}
inline Cx Scale(double k, Cx x)
{
    return {k * x.re, k * x.im};
}
inline double Norm(Cx z)
{
    return z.re * z.re + z.im * z.im;
}

bool Supported(const Ladder& ladder, const PartQuality& quality)
{
    if (!(quality.QL >= 0.0) || !(quality.QC >= 0.0)) return false;
    if (!(ladder.RS > 0.0) || !(ladder.RL > 0.0) || !std::isfinite(ladder.RS) || !std::isfinite(ladder.RL))
        return false;
    for (const LadderBranch& b : ladder.branches) {
        if (b.kind != BranchKind::Inductor && b.kind != BranchKind::Capacitor && b.kind != BranchKind::Resonator)
            return false;
        // Zero parts are shorts, opens or faults that AnalyseAt sorts out.
        if (!(std::isfinite(b.L) && std::isfinite(b.C))) return false;
        if (b.kind != BranchKind::Capacitor && b.L == 0.0) return false;
        if (b.kind != BranchKind::Inductor && b.C == 0.0) return false;
    }
    return true;
}

// Every supported branch's impedance (series) or admittance (shunt) is w p + q / w, with its
// derivative over w p - q / w^2: inductor Z = wL (1/QL + j), capacitor Z = (1/QC - j) / (wC),
// their reciprocals across the line, and the sums of a resonator. p and q are worked out once
// per ladder, so the sweep divides only once per point.
struct BranchCoefficients {
    bool series;
    Cx p;
    Cx q;
};

Cx Reciprocal(Cx z)
{
    const double n = Norm(z);
    return {z.re / n, -z.im / n};
}

std::vector<BranchCoefficients> Coefficients(const Ladder& ladder, double lossL, double lossC)
{
    std::vector<BranchCoefficients> result;
    for (const LadderBranch& b : ladder.branches) {
        const bool series = b.place == BranchPlace::Series;
        const bool hasL = b.kind != BranchKind::Capacitor;
        const bool hasC = b.kind != BranchKind::Inductor;
        const Cx inductor{b.L * lossL, b.L}; // Z of the inductor over w
        const Cx capacitor{lossC / b.C, -1.0 / b.C}; // Z of the capacitor times w
        BranchCoefficients k{series, {}, {}};
        if (series) {
            if (hasL) k.p = inductor;
            if (hasC) k.q = capacitor;
        } else {
            if (hasL) k.q = Reciprocal(inductor);
            if (hasC) k.p = Reciprocal(capacitor);
        }
        result.push_back(k);
    }
    return result;
}

double WrapDegrees(double radians)
{
    double degrees = radians * (180.0 / kPi);
    if (degrees > 180.0) degrees -= 360.0;
    if (degrees <= -180.0) degrees += 360.0;
    return degrees;
}

// Far enough inside the double range that the squares and products below stay finite and normal.
constexpr double kLargest = 1e100;
// Below this |reflection / den| (-80 dB) the difference of nearly equal terms loses digits.
constexpr double kSmallestReflectionNorm = 1e-8;

// The point in double, or false where it must be left to the extended analysis.
bool PointInDouble(const Ladder& ladder, const std::vector<BranchCoefficients>& branches, double frequencyHz,
                   NetworkPoint& point)
{
    const double w = 2.0 * kPi * std::fabs(frequencyHz);
    if (!(w > 0.0) || !std::isfinite(w)) return false;
    const double invW = 1.0 / w;
    const double invWSquared = invW * invW;
    Cx a{1.0, 0.0}, b{}, c{}, d{1.0, 0.0};
    Cx da{}, db{}, dc{}, dd{};
    for (const BranchCoefficients& k : branches) {
        const Cx value{w * k.p.re + invW * k.q.re, w * k.p.im + invW * k.q.im};
        const Cx slope{k.p.re - invWSquared * k.q.re, k.p.im - invWSquared * k.q.im};
        if (k.series) {
            db = MulAdd(da, value, MulAdd(a, slope, db));
            dd = MulAdd(dc, value, MulAdd(c, slope, dd));
            b = MulAdd(a, value, b);
            d = MulAdd(c, value, d);
        } else {
            da = MulAdd(db, value, MulAdd(b, slope, da));
            dc = MulAdd(dd, value, MulAdd(d, slope, dc));
            a = MulAdd(b, value, a);
            c = MulAdd(d, value, c);
        }
    }
    const double k = std::sqrt(ladder.RL / ladder.RS);
    const double r = std::sqrt(ladder.RS * ladder.RL);
    a = Scale(k, a);
    b = Scale(1.0 / r, b);
    c = Scale(r, c);
    d = Scale(1.0 / k, d);
    const Cx den{a.re + b.re + c.re + d.re, a.im + b.im + c.im + d.im};
    const Cx denSlope{k * da.re + db.re / r + r * dc.re + dd.re / k, k * da.im + db.im / r + r * dc.im + dd.im / k};
    const Cx reflected{a.re + b.re - c.re - d.re, a.im + b.im - c.im - d.im};
    const Cx reflectedOut{d.re + b.re - c.re - a.re, d.im + b.im - c.im - a.im};
    const double denNorm = Norm(den);
    if (!(denNorm < kLargest) || !(std::fabs(denSlope.re) < kLargest) || !(std::fabs(denSlope.im) < kLargest))
        return false;
    const double inNorm = Norm(reflected);
    const double outNorm = Norm(reflectedOut);
    if (!(inNorm >= kSmallestReflectionNorm * denNorm) || !(outNorm >= kSmallestReflectionNorm * denNorm)) return false;
    // 10 log10 x as (10 / ln 10) ln x: one library call instead of two.
    const double kTenOverLn10 = 4.342944819032518276511289189166050823;
    const double denDb = kTenOverLn10 * std::log(denNorm);
    const double denAngle = std::atan2(den.im, den.re);
    point.S21dB = 20.0 * 0.301029995663981195213738894724493027 - denDb;
    point.S21Deg = WrapDegrees(-denAngle);
    point.S11dB = kTenOverLn10 * std::log(inNorm) - denDb;
    point.S11Deg = WrapDegrees(std::atan2(reflected.im, reflected.re) - denAngle);
    point.S22dB = kTenOverLn10 * std::log(outNorm) - denDb;
    point.S22Deg = WrapDegrees(std::atan2(reflectedOut.im, reflectedOut.re) - denAngle);
    point.GroupDelay = (denSlope.im * den.re - denSlope.re * den.im) / denNorm;
    return true;
}

} // namespace

void AnalyseMany(const Ladder& ladder, const double* frequenciesHz, size_t count, const PartQuality& quality,
                 NetworkPoint* points)
{
    const bool fast = Supported(ladder, quality);
    const double lossL = quality.QL > 0.0 && std::isfinite(quality.QL) ? 1.0 / quality.QL : 0.0;
    const double lossC = quality.QC > 0.0 && std::isfinite(quality.QC) ? 1.0 / quality.QC : 0.0;
    const std::vector<BranchCoefficients> branches =
        fast ? Coefficients(ladder, lossL, lossC) : std::vector<BranchCoefficients>{};
    for (size_t i = 0; i < count; ++i) {
        if (fast && PointInDouble(ladder, branches, frequenciesHz[i], points[i])) continue;
        points[i] = AnalyseAt(ladder, frequenciesHz[i], quality);
    }
}
