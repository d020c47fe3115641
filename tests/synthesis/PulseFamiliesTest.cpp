// SPDX-License-Identifier: Apache-2.0
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "filtermath/Failure.h"
#include "synthesis/Approximation.h"
#include "synthesis/PolynomialRoots.h"
#include "synthesis/PulseFamilies.h"

using namespace corvane;

using namespace synthesis;

namespace {

const Real kPi = 3.141592653589793238462643383279502884L;

std::vector<Complex> PolesOf(const Poly& E)
{
    std::vector<Complex> roots;
    EXPECT_TRUE(Roots(E, roots));
    return roots;
}

// arg E(jw) from the poles, each factor (jw - p) continuous on its own: a route that shares
// nothing with the fit's interpolation.
Real PhaseAt(const std::vector<Complex>& poles, Real w)
{
    Real phase = 0.0L;
    for (const Complex& p : poles) phase += std::atan2(w - p.imag(), -p.real());
    // Relative to DC, where E(0) > 0.
    for (const Complex& p : poles) phase -= std::atan2(-p.imag(), -p.real());
    return phase;
}

// The peak of |arg E(jw) - t w| over [0, edge] for the best slope t, by golden section: the peak
// is convex in t.
Real BestLinePeakDeg(const std::vector<Complex>& poles, Real edge)
{
    std::vector<Real> w, phase;
    for (int i = 0; i <= 4000; ++i) {
        w.push_back(edge * i / 4000);
        phase.push_back(PhaseAt(poles, w.back()));
    }
    const auto peak = [&](Real t) {
        Real worst = 0.0L;
        for (size_t i = 0; i < w.size(); ++i) worst = std::max(worst, std::fabs(phase[i] - t * w[i]));
        return worst;
    };
    Real a = 0.0L, b = 4.0L * phase.back() / edge;
    const Real g = (std::sqrt(5.0L) - 1.0L) / 2.0L;
    for (int i = 0; i < 120; ++i) {
        const Real c = b - g * (b - a), d = a + g * (b - a);
        (peak(c) < peak(d) ? b : a) = (peak(c) < peak(d) ? d : c);
    }
    return peak((a + b) / 2.0L) * 180.0L / kPi;
}

struct PoleRow {
    int N;
    std::vector<std::pair<double, double>> poles; // (-re, im) of the upper half plane, ascending im
};

// Published pole table of the linear phase response with an equiripple error of 0.5 degrees,
// normalised to 3 dB at 1 rad/s (classic handbook tables, orders 2 to 10, four decimals).
const std::vector<PoleRow> kHalfDegreeTable = {
    {2, {{0.8590, 0.6981}}},
    {3, {{0.8257, 0.0}, {0.6969, 1.1318}}},
    {4, {{0.7448, 0.5133}, {0.6037, 1.4983}}},
    {5, {{0.7056, 0.0}, {0.6775, 0.9401}, {0.5412, 1.8256}}},
    {6, {{0.6519, 0.4374}, {0.6167, 1.2963}, {0.4893, 2.0982}}},
    {7, {{0.6283, 0.0}, {0.6190, 0.8338}, {0.5816, 1.6455}, {0.4598, 2.3994}}},
    // The table prints the last real part as 0.4148: its digits transposed, beside a real part
    // falling smoothly 0.5791, 0.5665, 0.5303 and 0.4184 at the neighbours' spacing.
    {8, {{0.5791, 0.3857}, {0.5665, 1.1505}, {0.5303, 1.8914}, {0.4184, 2.5780}}},
    {9, {{0.5728, 0.0}, {0.5688, 0.7595}, {0.5545, 1.5089}, {0.5179, 2.2329}, {0.4080, 2.9028}}},
    {10, {{0.5249, 0.3487}, {0.5193, 1.0429}, {0.5051, 1.7264}, {0.4711, 2.3850}, {0.3708, 2.9940}}},
};

TEST(EquirippleDelay, HalfDegreePolesMatchThePublishedTable)
{
    for (const PoleRow& row : kHalfDegreeTable) {
        SCOPED_TRACE("N=" + std::to_string(row.N));
        std::vector<Complex> upper;
        for (const Complex& p : PolesOf(FitEquirippleDelay(row.N, 0.5L).E))
            if (p.imag() > -1e-9L) upper.push_back(p);
        std::sort(upper.begin(), upper.end(), [](const Complex& a, const Complex& b) { return a.imag() < b.imag(); });
        ASSERT_EQ(upper.size(), row.poles.size());
        for (size_t i = 0; i < upper.size(); ++i) {
            EXPECT_NEAR(static_cast<double>(-upper[i].real()), row.poles[i].first, 6e-4) << "pole " << i;
            EXPECT_NEAR(static_cast<double>(std::fabs(upper[i].imag())), row.poles[i].second, 6e-4) << "pole " << i;
        }
    }
}

TEST(EquirippleDelay, PhaseErrorIsEquirippleWithTheAskedPeakAtEveryOrder)
{
    for (Real degrees : {0.05L, 0.5L}) {
        Real previousEdge = 0.0L;
        // From two poles: one pole normalised to 3 dB is the same filter whatever the error asked.
        for (int N = 2; N <= 15; ++N) {
            SCOPED_TRACE("N=" + std::to_string(N) + " error " + std::to_string(static_cast<double>(degrees)));
            const EquirippleDelay fit = FitEquirippleDelay(N, degrees);
            const std::vector<Complex> poles = PolesOf(fit.E);
            for (const Complex& p : poles) EXPECT_LT(p.real(), 0.0L);
            // No line through the origin follows the phase more closely than the asked error,
            // and this one stays within it up to the band edge.
            EXPECT_NEAR(static_cast<double>(BestLinePeakDeg(poles, fit.bandEdge)), static_cast<double>(degrees),
                        2e-3 * static_cast<double>(degrees));
            // 3.01 dB at 1 rad/s: |E(j)|^2 = 2 E(0)^2.
            EXPECT_NEAR(static_cast<double>(std::norm(Eval(fit.E, Complex(0.0L, 1.0L)) / fit.E[0])), 2.0, 1e-12);
            // The linear-phase band widens with the order, past twice the passband from 7 poles.
            EXPECT_GT(fit.bandEdge, previousEdge);
            if (N >= 7) EXPECT_GT(fit.bandEdge, 2.0L);
            previousEdge = fit.bandEdge;
        }
    }
}

TEST(EquirippleDelay, PhaseErrorOutsideItsRangeIsRefused)
{
    for (Real degrees : {0.0L, -0.5L, 2.5L, std::numeric_limits<Real>::quiet_NaN()}) {
        FamilyRequest r;
        r.family = Family::EquirippleDelay;
        r.N = 5;
        r.delayErrorDeg = degrees;
        EXPECT_THROW(Approximate(r), Failure) << static_cast<double>(degrees);
    }
}

struct GaussianRow {
    int N;
    Real downToDb; // how far down the ideal Gaussian is compared
    Real withinDb;
};

// The cut series follows exp(-ln2 w^2) (3.01 dB at 1 rad/s) the closer, the more terms it keeps.
// Bounds from the series remainder (a x)^(N+1) / (N+1)! at the deepest point compared.
const GaussianRow kGaussianRows[] = {
    {3, 3.0103L, 0.25L},
    {6, 12.0L, 0.15L},
    {10, 12.0L, 0.003L},
    {15, 20.0L, 0.002L},
};

TEST(Gaussian, LossFollowsTheIdealGaussianAsFarAsItsSeriesHolds)
{
    for (const GaussianRow& row : kGaussianRows) {
        FamilyRequest r;
        r.family = Family::Gaussian;
        r.N = row.N;
        const Characteristic c = Approximate(r);
        const Real wMax = std::sqrt(row.downToDb / (10.0L * std::log10(2.0L)));
        Real worst = 0.0L;
        for (int i = 1; i <= 200; ++i) {
            const Real w = wMax * i / 200;
            const Real lossDb = -10.0L * std::log10(PowerGain(c, w));
            worst = std::max(worst, std::fabs(lossDb - 10.0L * std::log10(2.0L) * w * w));
        }
        EXPECT_LT(worst, row.withinDb) << "N=" << row.N;
        EXPECT_NEAR(static_cast<double>(-10.0L * std::log10(PowerGain(c, 1.0L))), 3.0103, 1e-4) << "N=" << row.N;
    }
}

} // namespace
