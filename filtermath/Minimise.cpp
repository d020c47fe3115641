// SPDX-License-Identifier: Apache-2.0
#include "filtermath/Minimise.h"

#include <algorithm>

namespace corvane {

int GoldenSectionSteps(long double width, long double tolerance)
{
    const long double g = (std::sqrt(5.0L) - 1.0L) / 2.0L;
    if (!(tolerance > 0.0L) || !(width > tolerance)) return 0;
    // A bracket past the range of numbers would ask for endless steps; none needs more than this.
    const long double steps = std::ceil(std::log(tolerance / width) / std::log(g));
    return std::isfinite(steps) ? static_cast<int>(std::min(steps, 400.0L)) : 400;
}

bool SolveSymmetricPositive(std::vector<double> a, std::vector<double>& b)
{
    const std::size_t n = b.size();
    for (std::size_t j = 0; j < n; ++j) {
        for (std::size_t k = 0; k < j; ++k) a[j * n + j] -= a[j * n + k] * a[j * n + k];
        if (!(a[j * n + j] > 0.0)) return false;
        a[j * n + j] = std::sqrt(a[j * n + j]);
        for (std::size_t i = j + 1; i < n; ++i) {
            for (std::size_t k = 0; k < j; ++k) a[i * n + j] -= a[i * n + k] * a[j * n + k];
            a[i * n + j] /= a[j * n + j];
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < i; ++k) b[i] -= a[i * n + k] * b[k];
        b[i] /= a[i * n + i];
    }
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t k = i + 1; k < n; ++k) b[i] -= a[k * n + i] * b[k];
        b[i] /= a[i * n + i];
    }
    return true;
}

std::vector<double> NormalMatrix(const std::vector<double>& jacobian, std::size_t m, std::size_t n)
{
    std::vector<double> a(n * n, 0.0);
    for (std::size_t p = 0; p < n; ++p)
        for (std::size_t q = 0; q <= p; ++q) {
            double sum = 0.0;
            for (std::size_t i = 0; i < m; ++i) sum += jacobian[i * n + p] * jacobian[i * n + q];
            a[p * n + q] = a[q * n + p] = sum;
        }
    return a;
}

namespace {

double Cost(const std::vector<double>& r)
{
    double sum = 0.0;
    for (double v : r) sum += v * v;
    return std::isfinite(sum) ? sum : HUGE_VAL;
}

// -J'r, the direction of steepest descent of the cost / 2.
std::vector<double> Descent(const std::vector<double>& J, const std::vector<double>& r, std::size_t n)
{
    std::vector<double> g(n, 0.0);
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t i = 0; i < r.size(); ++i) g[j] -= J[i * n + j] * r[i];
    return g;
}

} // namespace

LeastSquaresFit LevenbergMarquardt(const LeastSquares& problem, std::vector<double> x, const Damping& damping,
                                   const Stopping& stopping)
{
    const std::size_t n = x.size(), m = problem.residualCount;
    LeastSquaresFit fit{std::move(x), std::vector<double>(m), 0.0, 0};
    problem.residuals(fit.x, fit.r);
    fit.cost = Cost(fit.r);
    std::vector<double> J(m * n), trial(n), trialR(m);
    double lambda = damping.start;
    for (; fit.iterations < stopping.maxIterations && fit.cost > stopping.costFloor; ++fit.iterations) {
        if (problem.beforeIteration) problem.beforeIteration(fit.iterations);
        problem.jacobian(fit.x, fit.r, J);
        const std::vector<double> a = NormalMatrix(J, m, n);
        const std::vector<double> g = Descent(J, fit.r, n);
        bool improved = false, settled = false;
        while (!improved && lambda < damping.most) {
            std::vector<double> damped = a;
            for (std::size_t j = 0; j < n; ++j) damped[j * n + j] += lambda * (a[j * n + j] + damping.floor);
            std::vector<double> delta = g;
            if (SolveSymmetricPositive(std::move(damped), delta)) {
                for (std::size_t j = 0; j < n; ++j) trial[j] = fit.x[j] + delta[j];
                problem.residuals(trial, trialR);
                const double trialCost = Cost(trialR);
                if (trialCost < fit.cost) {
                    improved = true;
                    const double gain = fit.cost - trialCost;
                    double largest = 0.0;
                    for (double d : delta) largest = std::max(largest, std::fabs(d));
                    fit.x.swap(trial);
                    fit.r.swap(trialR);
                    fit.cost = trialCost;
                    lambda = std::max(lambda / damping.down, damping.least);
                    settled = gain < stopping.relativeGain * fit.cost + 1e-300 || largest < stopping.step;
                    break;
                }
            }
            lambda *= damping.up;
        }
        if (!improved || settled) break;
    }
    return fit;
}

} // namespace corvane
