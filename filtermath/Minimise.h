// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

namespace corvane {

// Numeric search: the least value of a function of one variable on a bracket (golden section),
// and least squares in many variables (Levenberg-Marquardt).

template <typename Real>
struct LineMinimum {
    Real x;
    Real value;
};

// The steps golden section takes to bring a bracket of this width within the tolerance: each
// step keeps 0.618... of the bracket, so it is the least k with width 0.618^k <= tolerance.
int GoldenSectionSteps(long double width, long double tolerance);

// The least value of f on [a, b] and where it is, for f with one minimum there (unimodal; it may
// be flat or have corners). Stopping rule: the bracket is narrowed until it is no wider than
// tolerance (GoldenSectionSteps), one evaluation of f per step; the better of the two inner points
// is the answer. Where f(c) = f(d) the lower part of the bracket is kept, so that a plateau
// leaves the search at its lower end. To find a largest value, minimise -f.
template <typename Real, typename F>
LineMinimum<Real> GoldenSectionMinimum(F f, Real a, Real b, Real tolerance)
{
    const Real g = (std::sqrt(Real(5)) - Real(1)) / Real(2);
    Real c = b - g * (b - a), d = a + g * (b - a);
    Real fc = f(c), fd = f(d);
    const int steps = GoldenSectionSteps(b - a, tolerance);
    for (int i = 0; i < steps; ++i) {
        if (fc <= fd) {
            b = d, d = c, fd = fc;
            c = b - g * (b - a), fc = f(c);
        } else {
            a = c, c = d, fc = fd;
            d = a + g * (b - a), fd = f(d);
        }
    }
    return fc <= fd ? LineMinimum<Real>{c, fc} : LineMinimum<Real>{d, fd};
}

// Solves a x = b for a symmetric positive definite n x n matrix a (row-major) by Cholesky,
// leaving x in b; false, with b undefined, when a is not positive definite.
bool SolveSymmetricPositive(std::vector<double> a, std::vector<double>& b);

// J'J (n x n, row-major) of a Jacobian of m rows and n columns (row-major).
std::vector<double> NormalMatrix(const std::vector<double>& jacobian, std::size_t m, std::size_t n);

// A least-squares problem: m residuals of n parameters.
struct LeastSquares {
    std::size_t residualCount = 0;
    // The residuals at x, into r (m entries).
    std::function<void(const std::vector<double>& x, std::vector<double>& r)> residuals;
    // The Jacobian dr/dx at x with r its residuals, into J (m x n, row-major).
    std::function<void(const std::vector<double>& x, const std::vector<double>& r, std::vector<double>& J)> jacobian;
    // Called before each iteration with the number done; it may throw to stop the search.
    std::function<void(int done)> beforeIteration;
};

// The damping of the normal equations: a step solves (J'J + lambda (diag J'J + floor)) dx = -J'r.
// lambda starts at `start`, is divided by `down` after a step that lowers the cost (not below
// `least`) and multiplied by `up` after one that does not; past `most` the search gives up.
struct Damping {
    double start = 1e-3;
    double down = 10.0;
    double up = 10.0;
    double least = 1e-12;
    double most = 1e12;
    double floor = 1e-12;
};

// Stopping rules. The search stops after maxIterations Jacobians; when no damping lowers the
// cost; when the cost is at most costFloor; after a step that lowers the cost by less than
// relativeGain of it, or whose largest change of a parameter is below step.
struct Stopping {
    int maxIterations = 60;
    double relativeGain = 1e-14;
    double step = 0.0;
    double costFloor = 0.0;
};

struct LeastSquaresFit {
    std::vector<double> x;
    std::vector<double> r;
    double cost = 0.0; // the sum of squares of r; HUGE_VAL where it is not finite
    int iterations = 0; // Jacobians taken before the search stopped, less the last
};

// Levenberg-Marquardt from x, deterministic: the same start gives the same steps.
LeastSquaresFit LevenbergMarquardt(const LeastSquares& problem, std::vector<double> x, const Damping& damping,
                                   const Stopping& stopping);

} // namespace corvane
