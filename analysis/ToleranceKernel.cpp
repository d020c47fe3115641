// SPDX-License-Identifier: Apache-2.0
#include "analysis/ToleranceKernel.h"

#include <algorithm>
#include <cmath>

#include "filtermath/Failure.h"
#include "filtermath/LadderCascade.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

// Points per pass of the cascade: the ten arrays of this length stay in the first-level cache.
constexpr std::size_t kChunk = 64;

// 1 / (x + jy) as (re, im).
void Reciprocal(double x, double y, double& re, double& im)
{
    const double d = x * x + y * y;
    re = x / d;
    im = -y / d;
}

void Invert(double* re, double* im)
{
    for (std::size_t p = 0; p < kChunk; ++p) {
        const double d = re[p] * re[p] + im[p] * im[p];
        re[p] = re[p] / d;
        im[p] = -im[p] / d;
    }
}

} // namespace

double KernelLossFactor(double Q)
{
    if (std::isnan(Q) || Q < 0.0) RaiseInvalidOperation();
    return Q == 0.0 ? 0.0 : 1.0 / Q;
}

KernelBranch MakeKernelBranch(const LadderBranch& branch, const BranchValues& v, double lossL, double lossC)
{
    // Z_L = w L (lossL + j), Z_C = (lossC - j) / (w C), Y_L = 1 / Z_L, Y_C = j w C / (1 + j lossC).
    const auto seriesPair = [&](double L, double C) {
        KernelTerm t;
        t.ar = L * lossL, t.ai = L;
        if (C != 0.0) t.br = lossC / C, t.bi = -1.0 / C;
        return t;
    };
    const auto parallelPair = [&](double L, double C) {
        KernelTerm t;
        t.ar = C * lossC / (1.0 + lossC * lossC), t.ai = C / (1.0 + lossC * lossC);
        if (L != 0.0) Reciprocal(L * lossL, L, t.br, t.bi);
        return t;
    };
    const auto inverted = [](KernelTerm t) {
        t.invert = true;
        return t;
    };
    KernelBranch k;
    k.series = branch.place == BranchPlace::Series;
    // armIsImpedance: the arm is naturally an impedance (or else an admittance), whatever its place.
    bool armIsImpedance = k.series;
    switch (branch.kind) {
    case BranchKind::Inductor: k.term[0] = k.series ? seriesPair(v.L, 0.0) : parallelPair(v.L, 0.0); break;
    case BranchKind::Capacitor: k.term[0] = k.series ? seriesPair(0.0, v.C) : parallelPair(0.0, v.C); break;
    case BranchKind::Resonator: k.term[0] = k.series ? seriesPair(v.L, v.C) : parallelPair(v.L, v.C); break;
    case BranchKind::SeriesLC:
        k.term[0] = seriesPair(v.L, v.C);
        armIsImpedance = true;
        break;
    case BranchKind::ParallelLC:
        k.term[0] = parallelPair(v.L, v.C);
        armIsImpedance = false;
        break;
    case BranchKind::SeriesArm:
        k.terms = 2;
        k.term[0] = seriesPair(v.L, v.C);
        k.term[1] = inverted(parallelPair(v.L2, v.C2));
        armIsImpedance = true;
        break;
    case BranchKind::ParallelArm:
        k.terms = 2;
        k.term[0] = inverted(seriesPair(v.L, v.C));
        k.term[1] = parallelPair(v.L2, v.C2);
        armIsImpedance = false;
        break;
    }
    k.invert = armIsImpedance != k.series;
    return k;
}

KernelSweep MakeKernelSweep(const std::vector<double>& frequenciesHz)
{
    KernelSweep sweep;
    sweep.w.reserve(frequenciesHz.size());
    sweep.invW.reserve(frequenciesHz.size());
    for (double f : frequenciesHz) {
        const double w = 2.0 * kPi<double> * std::fabs(f);
        sweep.w.push_back(w);
        sweep.invW.push_back(w == 0.0 ? 0.0 : 1.0 / w);
    }
    return sweep;
}

namespace {

// One chunk of exactly kChunk points: fixed trip counts let the compiler replace every loop
// by vector code whole. Each element sees the same operations in the same order whatever the
// vector width, so the clones below give identical results. It stays one function: split, the
// arrays would cross calls and the compiler would no longer keep them in registers.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
__attribute__((target_clones("arch=x86-64-v3", "default")))
#endif
bool EvaluateChunk(const KernelBranch* branches, std::size_t branchCount, const double* w, const double* invW,
                   double RS, double RL, double* den2, double* reflection)
{
    alignas(64) double ar[kChunk], ai[kChunk], br[kChunk], bi[kChunk];
    alignas(64) double cr[kChunk], ci[kChunk], dr[kChunk], di[kChunk];
    alignas(64) double xr[kChunk], xi[kChunk], yr[kChunk], yi[kChunk];
    for (std::size_t p = 0; p < kChunk; ++p) {
        ar[p] = 1.0, ai[p] = 0.0, br[p] = 0.0, bi[p] = 0.0;
        cr[p] = 0.0, ci[p] = 0.0, dr[p] = 1.0, di[p] = 0.0;
    }
    const auto lane = [&](std::size_t p) {
        return ChainParts<double>{ar[p], ai[p], br[p], bi[p], cr[p], ci[p], dr[p], di[p]};
    };
    for (std::size_t k = 0; k < branchCount; ++k) {
        const KernelBranch& b = branches[k];
        const KernelTerm& first = b.term[0];
        // The plain branch (one term, nothing inverted) in one pass: the ladders of the
        // classic families are made of these alone.
        if (b.terms == 1 && !first.invert && !b.invert) {
            const auto plain = [&](auto xOf, auto yOf) {
                if (b.series)
                    for (std::size_t p = 0; p < kChunk; ++p) CascadeStep(true, xOf(p), yOf(p), lane(p));
                else
                    for (std::size_t p = 0; p < kChunk; ++p) CascadeStep(false, xOf(p), yOf(p), lane(p));
            };
            // A lone L or C has only a or only b; the other term adds an exact zero, so leaving
            // it out changes no value.
            if (first.br == 0.0 && first.bi == 0.0)
                plain([&](std::size_t p) { return first.ar * w[p]; }, [&](std::size_t p) { return first.ai * w[p]; });
            else if (first.ar == 0.0 && first.ai == 0.0)
                plain([&](std::size_t p) { return first.br * invW[p]; },
                      [&](std::size_t p) { return first.bi * invW[p]; });
            else
                plain([&](std::size_t p) { return first.ar * w[p] + first.br * invW[p]; },
                      [&](std::size_t p) { return first.ai * w[p] + first.bi * invW[p]; });
            continue;
        }
        for (int t = 0; t < b.terms; ++t) {
            const KernelTerm& term = b.term[t];
            double* outR = t == 0 ? xr : yr;
            double* outI = t == 0 ? xi : yi;
            for (std::size_t p = 0; p < kChunk; ++p) {
                outR[p] = term.ar * w[p] + term.br * invW[p];
                outI[p] = term.ai * w[p] + term.bi * invW[p];
            }
            if (term.invert) Invert(outR, outI);
            if (t > 0)
                for (std::size_t p = 0; p < kChunk; ++p) xr[p] += yr[p], xi[p] += yi[p];
        }
        if (b.invert) Invert(xr, xi);
        if (b.series)
            for (std::size_t p = 0; p < kChunk; ++p) CascadeStep(true, xr[p], xi[p], lane(p));
        else
            for (std::size_t p = 0; p < kChunk; ++p) CascadeStep(false, xr[p], xi[p], lane(p));
    }
    double check = 0.0;
    for (std::size_t p = 0; p < kChunk; ++p) {
        const WaveSums<double> sums =
            WaveSumsOf(Chain<double>{ar[p], ai[p], br[p], bi[p], cr[p], ci[p], dr[p], di[p]}, RS, RL);
        den2[p] = DenNorm(sums);
        reflection[p] = ReflectionNorm(sums, den2[p]);
        // Any infinity or NaN makes the product NaN; 0 * inf is NaN too.
        check += 0.0 * den2[p] + 0.0 * reflection[p];
    }
    return check == 0.0;
}

} // namespace

bool EvaluateKernel(const KernelBranch* branches, std::size_t branchCount, const KernelSweep& sweep, std::size_t first,
                    std::size_t count, double RS, double RL, double* den2, double* reflection)
{
    alignas(64) double w[kChunk], invW[kChunk], outDen[kChunk], outRefl[kChunk];
    bool finite = true;
    for (std::size_t start = 0; start < count; start += kChunk) {
        const std::size_t n = std::min(kChunk, count - start);
        // A short last chunk repeats its last point.
        for (std::size_t p = 0; p < kChunk; ++p) {
            const std::size_t i = first + start + std::min(p, n - 1);
            w[p] = sweep.w[i];
            invW[p] = sweep.invW[i];
        }
        finite = EvaluateChunk(branches, branchCount, w, invW, RS, RL, outDen, outRefl) && finite;
        std::copy(outDen, outDen + n, den2 + start);
        std::copy(outRefl, outRefl + n, reflection + start);
    }
    return finite;
}

double KernelS21Db(double den2, double RS, double RL)
{
    return 10.0 * std::log10(4.0 * RS * RL / den2);
}

double KernelS11Db(double reflection)
{
    if (reflection == 0.0) return kReflectionFloorDb;
    return std::max(10.0 * std::log10(reflection), kReflectionFloorDb);
}

} // namespace corvane
