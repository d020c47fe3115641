// SPDX-License-Identifier: Apache-2.0
#include "filtermath/LadderSweep.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "filtermath/LadderCascade.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

struct Cx {
    double re = 0.0;
    double im = 0.0;
};

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
    double degrees = radians * (180.0 / kPi<double>);
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

ChainParts<double> LaneOf(double (&m)[8][kBlock], size_t j)
{
    return {m[0][j], m[1][j], m[2][j], m[3][j], m[4][j], m[5][j], m[6][j], m[7][j]};
}

Chain<double> ChainAt(const double (&m)[8][kBlock], size_t j)
{
    return {m[0][j], m[1][j], m[2][j], m[3][j], m[4][j], m[5][j], m[6][j], m[7][j]};
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
    if (k.series)
        for (size_t j = 0; j < n; ++j)
            CascadeStepWithSlope(true, vr[j], vi[j], sr[j], si[j], LaneOf(t.m, j), LaneOf(t.dm, j));
    else
        for (size_t j = 0; j < n; ++j)
            CascadeStepWithSlope(false, vr[j], vi[j], sr[j], si[j], LaneOf(t.m, j), LaneOf(t.dm, j));
}

// The point from its chain matrix, or false where it must be left to the extended analysis.
bool Finish(const Ladder& ladder, double gainDb, const ChainBlock& t, size_t j, NetworkPoint& point)
{
    const WaveSums<double> sums = WaveSumsOf(ChainAt(t.m, j), ladder.RS, ladder.RL);
    const WaveSums<double> slopes = WaveSumsOf(ChainAt(t.dm, j), ladder.RS, ladder.RL);
    const Cx den{sums.denR, sums.denI};
    const Cx denSlope{slopes.denR, slopes.denI};
    const Cx reflected{sums.inR, sums.inI};
    const Cx reflectedOut{sums.outR, sums.outI};
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
    point.S21dB = gainDb - denDb;
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
    // |S21| = 2 sqrt(RS RL) / |den|.
    const double gainDb = 20.0 * 0.301029995663981195213738894724493027 + 10.0 * std::log10(ladder.RS * ladder.RL);
    ChainBlock t;
    bool inDouble[kBlock];
    for (size_t start = 0; start < count; start += kBlock) {
        const size_t n = std::min(kBlock, count - start);
        for (size_t j = 0; j < n; ++j) {
            const double w = 2.0 * kPi<double> * std::fabs(frequenciesHz[start + j]);
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
            if (inDouble[j] && Finish(ladder, gainDb, t, j, point)) continue;
            point = AnalyseAt(ladder, frequenciesHz[start + j], quality);
        }
    }
}

} // namespace corvane
