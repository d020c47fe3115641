// SPDX-License-Identifier: Apache-2.0
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "synthesis/PolynomialRoots.h"

using namespace corvane;

using namespace synthesis;

namespace {

// The polynomials are built from chosen roots, so the roots are known independently of the
// finder; each chosen root is matched to the nearest found one not yet taken.
template <typename C, typename Distance>
std::vector<double> MatchedErrors(const std::vector<C>& chosen, std::vector<C> found, Distance distance)
{
    std::vector<double> errors;
    for (const C& want : chosen) {
        size_t best = 0;
        for (size_t i = 1; i < found.size(); ++i)
            if (distance(found[i], want) < distance(found[best], want)) best = i;
        errors.push_back(found.empty() ? INFINITY : distance(found[best], want));
        if (!found.empty()) found.erase(found.begin() + static_cast<long>(best));
    }
    return errors;
}

double RelativeDistance(Complex a, Complex b)
{
    return static_cast<double>(std::abs(a - b) / std::abs(b));
}

std::vector<Complex> Real(std::vector<long double> values)
{
    return std::vector<Complex>(values.begin(), values.end());
}

std::vector<Complex> WithConjugates(std::vector<Complex> upper)
{
    std::vector<Complex> all;
    for (Complex z : upper) {
        all.push_back(z);
        all.push_back(std::conj(z));
    }
    return all;
}

struct RootCase {
    const char* name;
    std::vector<Complex> roots;
    // Relative error allowed where roots repeat (0: the perturbation bound below). A root of
    // multiplicity m moves by about the m-th root of the coefficient rounding: (1e-19)^(1/3) is
    // about 5e-7 for a triple root.
    double repeatedTolerance = 0;
};

// First-order perturbation bound for a simple root r_i of p = prod (x - r_j) whose coefficients
// are off by a few roundings each: |dr| <= k eps sum |a_j| |r_i|^j / |p'(r_i)|, where
// sum |a_j| |r|^j <= prod (|r| + |r_j|) and p'(r_i) = prod_{j != i} (r_i - r_j). The factor k = 64
// covers the roundings of forming the coefficients and the finder's stopping rule (its residual
// at 16 roundings of Horner's rule).
double RelativeBound(const std::vector<Complex>& roots, size_t i)
{
    const long double size = std::abs(roots[i]);
    long double bound = 64.0L * LDBL_EPSILON / size;
    for (size_t j = 0; j < roots.size(); ++j) {
        bound *= size + std::abs(roots[j]);
        if (j != i) bound /= std::abs(roots[i] - roots[j]);
    }
    return static_cast<double>(bound);
}

void PrintTo(const RootCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<Complex> Wilkinson(int n)
{
    std::vector<Complex> roots;
    for (int k = 1; k <= n; ++k) roots.push_back(static_cast<long double>(k));
    return roots;
}

std::vector<Complex> Geometric(long double from, long double ratio, int n)
{
    std::vector<Complex> roots;
    for (int k = 0; k < n; ++k) roots.push_back(-from * std::pow(ratio, static_cast<long double>(k)));
    return roots;
}

std::vector<Complex> UnitCirclePoles(int pairs)
{
    std::vector<Complex> upper;
    for (int k = 0; k < pairs; ++k)
        upper.push_back(std::polar(1.0L, 3.14159265358979323846L * (0.5L + (k + 0.5L) / (2.0L * pairs))));
    return WithConjugates(upper);
}

const RootCase kRootCases[] = {
    {"cluster_of_five_at_one", Real({1.0L, 1.001L, 1.002L, 1.003L, 1.004L})},
    {"complex_cluster", WithConjugates({{-0.01L, 1.0L}, {-0.011L, 1.0005L}, {-0.012L, 0.9995L}})},
    {"triple_and_double_root", Real({2.0L, 2.0L, 2.0L, -1.0L, -1.0L, 0.5L}), 1e-5},
    {"double_complex_pair", WithConjugates({{-0.3L, 0.8L}, {-0.3L, 0.8L}, {-1.0L, 0.2L}}), 1e-8},
    // Wilkinson's polynomial of degree 15: coefficients up to 1e12, middle roots condition
    // numbers near 1e11.
    {"wilkinson_15", Wilkinson(15)},
    // Twelve decades of root sizes: the Newton polygon starts each root at its own size.
    {"twelve_decades", Geometric(1e-6L, 10.0L, 13)},
    {"butterworth_like_poles_degree_20", UnitCirclePoles(10)},
    {"wide_spread_complex", WithConjugates({{-1e-4L, 2e-4L}, {-1.0L, 3.0L}, {-5e3L, 1e4L}, {-2e5L, 1e5L}})},
};

class PolynomialRoots : public ::testing::TestWithParam<RootCase> {};

TEST_P(PolynomialRoots, RecoversTheChosenRoots)
{
    const RootCase& c = GetParam();
    std::vector<Complex> found;
    ASSERT_TRUE(Roots(FromRoots(c.roots), found));
    ASSERT_EQ(found.size(), c.roots.size());
    const std::vector<double> errors = MatchedErrors(c.roots, found, RelativeDistance);
    for (size_t i = 0; i < errors.size(); ++i) {
        const double tolerance = c.repeatedTolerance > 0 ? c.repeatedTolerance : RelativeBound(c.roots, i);
        EXPECT_LT(errors[i], tolerance) << "root " << c.roots[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Hard, PolynomialRoots, ::testing::ValuesIn(kRootCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PolynomialRoots, ConstantHasNoRootsAndZeroPolynomialNone)
{
    std::vector<Complex> found{Complex{1.0L, 0.0L}};
    EXPECT_TRUE(Roots(Poly{3.0L}, found));
    EXPECT_TRUE(found.empty());
    EXPECT_FALSE(Roots(Poly{}, found));
}

// The s-plane roots recovered from the polynomial in y = s^2 whose roots are their squares.
struct SquaredCase {
    const char* name;
    std::vector<WideComplex> sRoots; // left half plane
    bool factored; // polish against the product of the factors rather than the coefficients
    double tolerance;
};

void PrintTo(const SquaredCase& c, std::ostream* os)
{
    *os << c.name;
}

long double Size(WideComplex z)
{
    return std::abs(Narrow(z));
}

double WideDistance(WideComplex a, WideComplex b)
{
    return static_cast<double>(Size(a - b) / Size(b));
}

// p(y) = prod (y - y_k), with its slope, straight from the factors.
struct FromFactors : YFunction {
    std::vector<WideComplex> y;

    void At(WideComplex at, WideComplex& value, WideComplex& slope) const override
    {
        value = WideComplex{1, 0};
        Complex sum{};
        for (const WideComplex& yk : y) {
            value = value * (at - yk);
            sum += 1.0L / Narrow(at - yk);
        }
        slope = value * Widen(sum);
    }

    void Rough(Complex at, Complex& value, Complex& slope) const override
    {
        value = 1.0L;
        Complex sum{};
        for (const WideComplex& yk : y) {
            value *= at - Narrow(yk);
            sum += 1.0L / (at - Narrow(yk));
        }
        slope = value * sum;
    }
};

std::vector<WideComplex> WideWithConjugates(std::vector<Complex> upper)
{
    std::vector<WideComplex> all;
    for (Complex z : upper) {
        all.push_back(Widen(z));
        all.push_back(Widen(std::conj(z)));
    }
    return all;
}

// The poles of a sharp filter crowd the passband edge: three pairs within 1e-7 of each other,
// which the expanded coefficients fix to only a few digits.
std::vector<WideComplex> EdgeCluster()
{
    return WideWithConjugates({{-1e-3L, 1.0L}, {-1e-3L - 1e-7L, 1.0L + 1e-7L}, {-1e-3L + 1e-7L, 1.0L - 1e-7L}});
}

// Quadruple precision carries 34 digits; 1e-30 leaves room for the conditioning of each case.
const SquaredCase kSquaredCases[] = {
    // Two Newton steps from long double bring a well separated root to quadruple precision.
    {"separated_poles", WideWithConjugates({{-0.2L, 0.9L}, {-0.7L, 0.5L}, {-1.0L, 0.1L}}), false, 1e-30},
    {"four_decades", WideWithConjugates({{-1e-2L, 2e-2L}, {-0.5L, 1.0L}, {-30.0L, 40.0L}}), false, 1e-30},
    {"edge_cluster_from_factors", EdgeCluster(), true, 1e-30},
};

class SquaredRoots : public ::testing::TestWithParam<SquaredCase> {};

TEST_P(SquaredRoots, RecoverTheLeftHalfPlaneRootsInQuadruplePrecision)
{
    const SquaredCase& c = GetParam();
    FromFactors factors;
    for (const WideComplex& s : c.sRoots) factors.y.push_back(s * s);
    std::vector<WideComplex> found;
    ASSERT_TRUE(LeftHalfPlaneRoots(FromRoots(factors.y), found, c.factored ? &factors : nullptr));
    ASSERT_EQ(found.size(), c.sRoots.size());
    for (const WideComplex& s : found) EXPECT_LT(s.re, 0);
    const std::vector<double> errors = MatchedErrors(c.sRoots, found, WideDistance);
    for (size_t i = 0; i < errors.size(); ++i) EXPECT_LT(errors[i], c.tolerance) << "root " << Narrow(c.sRoots[i]);
}

INSTANTIATE_TEST_SUITE_P(Hard, SquaredRoots, ::testing::ValuesIn(kSquaredCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
