// SPDX-License-Identifier: Apache-2.0
#include "filtermath/LadderSweep.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvane {

namespace {

const double kPi = 3.141592653589793238462643383279502884;

struct Cx {
    double re = 0.0;
    double im = 0.0;
};

// x * y + z
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

// The chain matrix and its derivative at a block of frequencies, one array per real part, so
// that the independent points go through the arithmetic side by side.
constexpr size_t kBlock = 16;
struct ChainBlock {
    double w[kBlock];
    double invW[kBlock];
    double invWSquared[kBlock];
    double m[8][kBlock]; // a, b, c, d as re, im
    double dm[8][kBlock];
};

// x += y * value at every point of the block, with its derivative dx += dy * value + y * slope.
// A series branch does this for (b, a) and (d, c), a shunt branch for (a, b) and (c, d).
template <int x, int y>
void Update(ChainBlock& t, const double* __restrict vr, const double* __restrict vi, const double* __restrict sr,
            const double* __restrict si, size_t n)
{
    // Eight distinct rows of the block: nothing written here is read through another pointer.
    double* __restrict mxr = t.m[x];
    double* __restrict mxi = t.m[x + 1];
    double* __restrict dxr = t.dm[x];
    double* __restrict dxi = t.dm[x + 1];
    const double* __restrict myr = t.m[y];
    const double* __restrict myi = t.m[y + 1];
    const double* __restrict dyr = t.dm[y];
    const double* __restrict dyi = t.dm[y + 1];
    for (size_t j = 0; j < n; ++j) {
        dxr[j] += dyr[j] * vr[j] - dyi[j] * vi[j] + myr[j] * sr[j] - myi[j] * si[j];
        dxi[j] += dyr[j] * vi[j] + dyi[j] * vr[j] + myr[j] * si[j] + myi[j] * sr[j];
        mxr[j] += myr[j] * vr[j] - myi[j] * vi[j];
        mxi[j] += myr[j] * vi[j] + myi[j] * vr[j];
    }
}

void Step(const BranchCoefficients& k, ChainBlock& t, size_t n)
{
    double vr[kBlock], vi[kBlock], sr[kBlock], si[kBlock];
    for (size_t j = 0; j < n; ++j) {
        vr[j] = t.w[j] * k.p.re + t.invW[j] * k.q.re;
        vi[j] = t.w[j] * k.p.im + t.invW[j] * k.q.im;
        sr[j] = k.p.re - t.invWSquared[j] * k.q.re;
        si[j] = k.p.im - t.invWSquared[j] * k.q.im;
    }
    if (k.series) {
        Update<2, 0>(t, vr, vi, sr, si, n);
        Update<6, 4>(t, vr, vi, sr, si, n);
    } else {
        Update<0, 2>(t, vr, vi, sr, si, n);
        Update<4, 6>(t, vr, vi, sr, si, n);
    }
}

// The scale factors that turn the chain matrix into power waves between RS and RL, worked out
// once per sweep rather than once per point.
struct WaveScale {
    double k, invK, r, invR;
};

WaveScale WaveScaleOf(const Ladder& ladder)
{
    const double k = std::sqrt(ladder.RL / ladder.RS);
    const double r = std::sqrt(ladder.RS * ladder.RL);
    return {k, 1.0 / k, r, 1.0 / r};
}

// The point from its chain matrix, or false where it must be left to the extended analysis.
bool Finish(const WaveScale& s, const ChainBlock& t, size_t j, NetworkPoint& point)
{
    const Cx a = Scale(s.k, {t.m[0][j], t.m[1][j]});
    const Cx b = Scale(s.invR, {t.m[2][j], t.m[3][j]});
    const Cx c = Scale(s.r, {t.m[4][j], t.m[5][j]});
    const Cx d = Scale(s.invK, {t.m[6][j], t.m[7][j]});
    const Cx den{a.re + b.re + c.re + d.re, a.im + b.im + c.im + d.im};
    const Cx denSlope{s.k * t.dm[0][j] + s.invR * t.dm[2][j] + s.r * t.dm[4][j] + s.invK * t.dm[6][j],
                      s.k * t.dm[1][j] + s.invR * t.dm[3][j] + s.r * t.dm[5][j] + s.invK * t.dm[7][j]};
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
    const WaveScale scale = WaveScaleOf(ladder);
    ChainBlock t;
    bool inDouble[kBlock];
    for (size_t start = 0; start < count; start += kBlock) {
        const size_t n = std::min(kBlock, count - start);
        for (size_t j = 0; j < n; ++j) {
            const double w = 2.0 * kPi * std::fabs(frequenciesHz[start + j]);
            inDouble[j] = fast && w > 0.0 && std::isfinite(w);
            t.w[j] = inDouble[j] ? w : 1.0;
            t.invW[j] = 1.0 / t.w[j];
            t.invWSquared[j] = t.invW[j] * t.invW[j];
            for (int e = 0; e < 8; ++e) {
                t.m[e][j] = e == 0 || e == 6 ? 1.0 : 0.0;
                t.dm[e][j] = 0.0;
            }
        }
        if (fast)
            for (const BranchCoefficients& k : branches) Step(k, t, n);
        for (size_t j = 0; j < n; ++j) {
            NetworkPoint& point = points[start + j];
            if (inDouble[j] && Finish(scale, t, j, point)) continue;
            point = AnalyseAt(ladder, frequenciesHz[start + j], quality);
        }
    }
}

} // namespace corvane
