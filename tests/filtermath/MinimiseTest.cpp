// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <stdexcept>

#include <gtest/gtest.h>

#include "filtermath/Minimise.h"

using namespace corvane;

namespace {

// Functions with one minimum on their bracket, each with its known minimiser.
struct LineCase {
    const char* name;
    double (*f)(double);
    double a, b;
    double least;
};

const LineCase kLineCases[] = {
    {"quadratic", [](double x) { return (x - 0.3) * (x - 0.3) + 2.0; }, -1.0, 2.0, 0.3},
    {"corner", [](double x) { return std::fabs(x - 0.7); }, 0.0, 1.0, 0.7},
    {"lopsided corner", [](double x) { return x < 0.123 ? 5.0 * (0.123 - x) : std::sqrt(x - 0.123); }, 0.0, 4.0, 0.123},
    {"minimum at the lower end", [](double x) { return x; }, 0.0, 1.0, 0.0},
    {"minimum at the upper end", [](double x) { return std::exp(-x); }, -3.0, 1.0, 1.0},
    {"quartic", [](double x) { return std::pow(x + 2.5, 4); }, -10.0, 10.0, -2.5},
};

TEST(GoldenSection, FindsKnownMinimaWithinItsTolerance)
{
    for (const LineCase& c : kLineCases)
        for (double tolerance : {1e-2, 1e-4, 1e-6}) {
            const LineMinimum<double> m = GoldenSectionMinimum(c.f, c.a, c.b, tolerance);
            EXPECT_NEAR(m.x, c.least, tolerance) << c.name << " to " << tolerance;
            EXPECT_EQ(m.value, c.f(m.x)) << c.name;
        }
}

TEST(GoldenSection, LeavesAPlateauAtItsLowerEnd)
{
    // Flat on [0, 0.5]: each tie keeps the lower part of the bracket.
    const auto f = [](double x) { return std::max(0.0, x - 0.5); };
    const LineMinimum<double> m = GoldenSectionMinimum(f, 0.0, 2.0, 1e-9);
    EXPECT_EQ(m.value, 0.0);
    EXPECT_LT(m.x, 1e-9);
}

TEST(GoldenSection, FindsALargestValueOfTheNegatedFunction)
{
    const LineMinimum<double> m = GoldenSectionMinimum([](double x) { return -std::sin(x); }, 0.0, 3.0, 1e-7);
    EXPECT_NEAR(m.x, M_PI / 2, 1e-7);
    EXPECT_NEAR(-m.value, 1.0, 1e-14);
}

TEST(GoldenSection, TakesOneEvaluationPerStepAndNoneBeyondTheTolerance)
{
    int calls = 0;
    const auto count = [&calls](double x) {
        ++calls;
        return x * x;
    };
    GoldenSectionMinimum<double>(count, -1.0, 1.0, 5.0);
    EXPECT_EQ(calls, 2); // a tolerance wider than the bracket: the two inner points only
    // Each step keeps 0.618 of the bracket: 2 / 0.618^k <= 1e-6 first at k = 31.
    calls = 0;
    GoldenSectionMinimum<double>(count, -1.0, 1.0, 1e-6);
    EXPECT_EQ(calls, 2 + 31);
}

TEST(GoldenSection, ReachesExtendedPrecision)
{
    const long double pi = 3.141592653589793238462643383279502884L;
    const auto f = [pi](long double x) { return 1.0L - std::cos(x - pi / 4.0L); };
    const LineMinimum<long double> m = GoldenSectionMinimum(f, 0.0L, 2.0L, 1e-18L);
    // 1 - cos tells points apart down to about sqrt(2 * 1e-19) in long double.
    EXPECT_NEAR(static_cast<double>(m.x - pi / 4.0L), 0.0, 1e-9);
}

LeastSquares Rosenbrock()
{
    LeastSquares p;
    p.residualCount = 2;
    p.residuals = [](const std::vector<double>& x, std::vector<double>& r) {
        r[0] = 10.0 * (x[1] - x[0] * x[0]);
        r[1] = 1.0 - x[0];
    };
    p.jacobian = [](const std::vector<double>& x, const std::vector<double>&, std::vector<double>& J) {
        J = {-20.0 * x[0], 10.0, -1.0, 0.0};
    };
    return p;
}

TEST(LevenbergMarquardt, FindsTheMinimumOfRosenbrocksValley)
{
    for (const std::vector<double>& start : {std::vector<double>{-1.2, 1.0}, {3.0, -2.0}, {-0.5, 8.0}}) {
        const LeastSquaresFit fit = LevenbergMarquardt(Rosenbrock(), start, Damping{}, Stopping{});
        EXPECT_NEAR(fit.x[0], 1.0, 1e-8) << start[0];
        EXPECT_NEAR(fit.x[1], 1.0, 1e-8) << start[0];
        EXPECT_LT(fit.cost, 1e-20);
        EXPECT_LT(fit.iterations, Stopping{}.maxIterations);
    }
}

// A straight line through noisy points: least squares has the closed form of the regression line.
TEST(LevenbergMarquardt, AgreesWithTheRegressionLineOnALinearProblem)
{
    const std::vector<double> t = {0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
    const std::vector<double> y = {1.1, 2.9, 5.2, 6.8, 9.3, 10.9, 13.2};
    const double n = static_cast<double>(t.size());
    double st = 0, sy = 0, stt = 0, sty = 0;
    for (size_t i = 0; i < t.size(); ++i) st += t[i], sy += y[i], stt += t[i] * t[i], sty += t[i] * y[i];
    const double slope = (n * sty - st * sy) / (n * stt - st * st);
    const double intercept = (sy - slope * st) / n;

    LeastSquares p;
    p.residualCount = t.size();
    p.residuals = [&](const std::vector<double>& x, std::vector<double>& r) {
        for (size_t i = 0; i < t.size(); ++i) r[i] = x[0] + x[1] * t[i] - y[i];
    };
    p.jacobian = [&](const std::vector<double>&, const std::vector<double>&, std::vector<double>& J) {
        for (size_t i = 0; i < t.size(); ++i) J[2 * i] = 1.0, J[2 * i + 1] = t[i];
    };
    const LeastSquaresFit fit = LevenbergMarquardt(p, {0.0, 0.0}, Damping{}, Stopping{});
    EXPECT_NEAR(fit.x[0], intercept, 1e-9);
    EXPECT_NEAR(fit.x[1], slope, 1e-9);
}

TEST(LevenbergMarquardt, KeepsToItsStoppingRules)
{
    Stopping oneStep;
    oneStep.maxIterations = 1;
    const LeastSquaresFit first = LevenbergMarquardt(Rosenbrock(), {-1.2, 1.0}, Damping{}, oneStep);
    EXPECT_EQ(first.iterations, 1);
    EXPECT_LT(first.cost, 24.2); // the start's cost: a step is taken only where it lowers the cost

    Stopping floor;
    floor.costFloor = 1e3;
    const LeastSquaresFit none = LevenbergMarquardt(Rosenbrock(), {-1.2, 1.0}, Damping{}, floor);
    EXPECT_EQ(none.iterations, 0);
    EXPECT_EQ(none.x, (std::vector<double>{-1.2, 1.0}));

    LeastSquares cancelled = Rosenbrock();
    cancelled.beforeIteration = [](int done) {
        if (done == 2) throw std::runtime_error("cancelled");
    };
    EXPECT_THROW(LevenbergMarquardt(cancelled, {-1.2, 1.0}, Damping{}, Stopping{}), std::runtime_error);
}

TEST(LevenbergMarquardt, StopsWhereNoStepLowersACostThatIsNotANumber)
{
    LeastSquares p = Rosenbrock();
    p.residuals = [](const std::vector<double>&, std::vector<double>& r) { r[0] = r[1] = NAN; };
    const LeastSquaresFit fit = LevenbergMarquardt(p, {0.5, 0.5}, Damping{}, Stopping{});
    EXPECT_EQ(fit.cost, HUGE_VAL);
    EXPECT_EQ(fit.x, (std::vector<double>{0.5, 0.5}));
}

TEST(SymmetricPositiveSolve, SolvesAndRefusesAMatrixThatIsNotPositive)
{
    // [4 2 0; 2 5 3; 0 3 6] x = [2, 3, 3] has x = [0.4, 0.2, 0.4].
    std::vector<double> b = {2.0, 3.0, 3.0};
    ASSERT_TRUE(SolveSymmetricPositive({4, 2, 0, 2, 5, 3, 0, 3, 6}, b));
    EXPECT_NEAR(b[0], 0.4, 1e-15);
    EXPECT_NEAR(b[1], 0.2, 1e-15);
    EXPECT_NEAR(b[2], 0.4, 1e-15);
    std::vector<double> c = {1.0, 1.0};
    EXPECT_FALSE(SolveSymmetricPositive({1, 2, 2, 1}, c)); // eigenvalues 3 and -1
}

} // namespace
