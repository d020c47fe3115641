// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <functional>
#include <vector>

#include "filtermath/LadderAnalysis.h"

namespace corvane {

// The ladder analysis of the Monte Carlo trials, in double precision and without logarithms.
//
// Every arm of a ladder is built from immittances of the form a w + b / w with complex a and b
// (an inductor, a capacitor, L and C in series as an impedance, L and C in parallel as an
// admittance): the branch is one such term or the sum of two, each possibly inverted, and the
// whole possibly inverted. The cascade runs over a block of sweep points at once, so the inner
// loops are plain arithmetic over arrays that the compiler vectorises. Against the
// extended-precision AnalyseAt the result agrees to about 1e-12 dB in |S21| (no cancellation:
// the denominator is a sum that the response divides by); |S11| is a difference of nearly equal
// terms in the passband, so its absolute error is about 1e-16 of |den|: within 1e-9 dB down to
// reflections of about -100 dB, and coarser in the deep reflection zeros, where no
// double-precision result can follow the exact one.
struct KernelTerm {
    double ar = 0.0, ai = 0.0; // a, the coefficient of w
    double br = 0.0, bi = 0.0; // b, the coefficient of 1/w
    bool invert = false; // the term is 1 / (a w + b / w)
};

struct KernelBranch {
    bool series = true; // the impedance of an arm in the signal path; otherwise an admittance across it
    int terms = 1; // 1 or 2
    KernelTerm term[2];
    bool invert = false; // the branch is the reciprocal of the sum of its terms
};

// The parts of one branch as the trial sees them.
struct BranchValues {
    double L, C, L2, C2;
};

// Loss factor 1/Q; 0 (an ideal part) for Q = 0. A negative or NaN Q raises ArithmeticError.
double KernelLossFactor(double Q);

// The branch of the ladder's kind and place with the given (perturbed) values and loss factors.
KernelBranch MakeKernelBranch(const LadderBranch& branch, const BranchValues& values, double lossL, double lossC);

// Angular frequencies of a sweep in hertz and their reciprocals (0 at w = 0, where no branch
// that needs 1/w is allowed by the exact analysis of the nominal ladder).
struct KernelSweep {
    std::vector<double> w;
    std::vector<double> invW;
};
KernelSweep MakeKernelSweep(const std::vector<double>& frequenciesHz);

// For points first .. first+count-1: den2 = |A RL + B + C RS RL + D RS|^2 and
// reflection = |A RL + B - C RS RL - D RS|^2 / den2, from the chain matrix A B C D.
// |S21|^2 = 4 RS RL / den2 and |S11|^2 = reflection. Returns false when a value is not finite.
bool EvaluateKernel(const KernelBranch* branches, std::size_t branchCount, const KernelSweep& sweep, std::size_t first,
                    std::size_t count, double RS, double RL, double* den2, double* reflection);

// Fills den2 and reflection for points first .. first+count-1 of a sweep as EvaluateKernel does, for
// whatever ladder it stands for; false when a value is not finite.
using SweepEvaluator = std::function<bool(const KernelSweep& sweep, std::size_t first, std::size_t count,
                                          double* den2, double* reflection)>;

// The two quantities as decibels, the reflection floored as the exact analysis does.
double KernelS21Db(double den2, double RS, double RL);
double KernelS11Db(double reflection);

} // namespace corvane
