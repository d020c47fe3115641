// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "filtermath/Failure.h"
#include "synthesis/Approximation.h"
#include "synthesis/EllipticFunctions.h"

using namespace corvane;

using namespace synthesis;

namespace {

FamilyRequest Request(Family family, int N, Real ripple = 0.5L, Real stopAtt = 40.0L)
{
    FamilyRequest r;
    r.family = family;
    r.N = N;
    r.rippleDb = ripple;
    r.stopAttDb = stopAtt;
    return r;
}

Real LossDb(const Characteristic& c, Real w)
{
    return -10.0L * std::log10(PowerGain(c, w));
}

TEST(EllipticFunctions, KnownValues)
{
    // K(1/sqrt 2) = Gamma(1/4)^2 / (4 sqrt(pi)).
    const Real k = std::sqrt(0.5L);
    EXPECT_NEAR(static_cast<double>(EllipticK(k)), 1.8540746773013719, 1e-15);
    // cd(K/2, k) = 1 / sqrt(1 + k'): the quarter-period values of cn and dn.
    for (Real modulus : {0.1L, 0.5L, 0.9L, 0.999L}) {
        const Real complement = std::sqrt(1.0L - modulus * modulus);
        EXPECT_NEAR(static_cast<double>(CdOfFraction(0.5L, modulus)), 1.0 / std::sqrt(1.0 + (double)complement), 1e-15)
            << "k=" << (double)modulus;
        Real back, backComplement;
        ModulusFromNome(Nome(modulus, complement), back, backComplement);
        EXPECT_NEAR(static_cast<double>(back), static_cast<double>(modulus), 1e-15);
        EXPECT_NEAR(static_cast<double>(backComplement), static_cast<double>(complement), 1e-15);
    }
}

TEST(Approximation, LegendreMatchesPublishedOptimumLPolynomials)
{
    // Papoulis' optimum-L polynomials L_N(w^2), x = w^2.
    struct Case {
        int N;
        std::vector<double> coefficients; // ascending powers of x
    };
    const Case cases[] = {{3, {0, 1, -3, 3}}, {4, {0, 0, 3, -8, 6}}, {5, {0, 1, -8, 28, -40, 20}}};
    for (const Case& c : cases) {
        const Characteristic ch = Approximate(Request(Family::Legendre, c.N));
        for (Real w : {0.3L, 0.7L, 1.0L, 1.6L}) {
            Real L = 0.0L;
            for (size_t i = c.coefficients.size(); i-- > 0;) L = L * w * w + c.coefficients[i];
            EXPECT_NEAR(static_cast<double>(PowerGain(ch, w)), static_cast<double>(1.0L / (1.0L + L)), 1e-15)
                << "N=" << c.N << " w=" << (double)w;
        }
    }
}

TEST(Approximation, BesselIsTheReverseBesselPolynomialScaledToThreeDecibels)
{
    // s^2 + 3 s + 3 and s^3 + 6 s^2 + 15 s + 15, scaled so that 1 rad/s is the 3 dB point; the
    // second order's 3 dB frequency is 1.36165412871613 (a published value).
    const Characteristic two = Approximate(Request(Family::Bessel, 2));
    EXPECT_NEAR(static_cast<double>(two.E[1] / two.E[0]), 1.36165412871613, 1e-13);
    EXPECT_NEAR(static_cast<double>(two.E[2] / two.E[0]), 1.36165412871613 * 1.36165412871613 / 3, 1e-13);
    const Characteristic three = Approximate(Request(Family::Bessel, 3));
    const Real w3 = three.E[1] / three.E[0];
    EXPECT_NEAR(static_cast<double>(three.E[2] / three.E[0]), static_cast<double>(6.0L * w3 * w3 / 15.0L), 1e-15);
    EXPECT_NEAR(static_cast<double>(three.E[3] / three.E[0]), static_cast<double>(w3 * w3 * w3 / 15.0L), 1e-15);
    for (int N = 1; N <= 15; ++N)
        EXPECT_NEAR(static_cast<double>(LossDb(Approximate(Request(Family::Bessel, N)), 1.0L)), 10 * std::log10(2.0),
                    1e-12);
}

TEST(Approximation, ChebyshevAndButterworthAgreeWithHyperbolicForms)
{
    for (int N = 1; N <= 15; ++N) {
        const Real ripple = 0.25L;
        const Real eps2 = std::pow(10.0L, ripple / 10.0L) - 1.0L;
        const Characteristic cheb = Approximate(Request(Family::Chebyshev, N, ripple));
        const Characteristic butter = Approximate(Request(Family::Butterworth, N));
        for (Real w : {0.2L, 0.9L, 1.0L, 1.3L, 4.0L}) {
            const Real t = w <= 1.0L ? std::cos(N * std::acos(w)) : std::cosh(N * std::acosh(w));
            const Real expected = 10.0L * std::log10(1.0L + eps2 * t * t);
            EXPECT_NEAR(static_cast<double>(LossDb(cheb, w)), static_cast<double>(expected), 1e-9)
                << "N=" << N << " w=" << (double)w;
            EXPECT_NEAR(static_cast<double>(LossDb(butter, w)),
                        static_cast<double>(10.0L * std::log10(1.0L + std::pow(w, 2.0L * N))), 1e-9);
        }
    }
}

// The largest loss over [0, 1] and the smallest over [from, 100 from], on a fine grid.
void Extremes(const Characteristic& c, Real from, Real& passMax, Real& stopMin)
{
    passMax = 0.0L;
    stopMin = 1e9L;
    for (int i = 0; i <= 20000; ++i) {
        passMax = std::max(passMax, LossDb(c, i / 20000.0L));
        stopMin = std::min(stopMin, LossDb(c, from * std::pow(100.0L, i / 20000.0L)));
    }
}

TEST(Approximation, EllipticIsEquirippleInBothBands)
{
    struct Case {
        int N;
        Real ripple, stopAtt;
    };
    std::vector<Case> cases;
    for (int N = 2; N <= 9; ++N) cases.push_back({N, 0.1L, 50.0L});
    // Sharp designs: their zeros crowd the passband edge, where the response comes from the
    // factors rather than from expanded coefficients.
    cases.push_back({13, 0.1L, 30.0L});
    cases.push_back({15, 1.0L, 40.0L});
    cases.push_back({15, 0.01L, 100.0L});
    for (const Case& k : cases) {
        const int N = k.N;
        SCOPED_TRACE("N=" + std::to_string(N) + " stop " + std::to_string(static_cast<double>(k.stopAtt)));
        const Characteristic c = Approximate(Request(Family::Elliptic, N, k.ripple, k.stopAtt));
        Real passMax, stopMin;
        Extremes(c, c.stopEdge, passMax, stopMin);
        EXPECT_NEAR(static_cast<double>(passMax), static_cast<double>(k.ripple), 1e-6);
        EXPECT_NEAR(static_cast<double>(LossDb(c, 1.0L)), static_cast<double>(k.ripple), 1e-9);
        EXPECT_GT(static_cast<double>(stopMin), static_cast<double>(k.stopAtt) - 1e-3);
        if (N <= 9) {
            EXPECT_LT(static_cast<double>(stopMin), static_cast<double>(k.stopAtt) + 1e-3);
        }
        EXPECT_NEAR(static_cast<double>(LossDb(c, c.stopEdge)), static_cast<double>(k.stopAtt), 1e-6);
        // Even orders: the zero moved to infinity leaves a ladder with no loss at DC.
        EXPECT_NEAR(static_cast<double>(LossDb(c, 0.0L)), 0.0, 1e-12);
        const Real k1 = EllipticSelectivity(N, k.ripple, k.stopAtt);
        if (N % 2 == 0) {
            EXPECT_GT(static_cast<double>(c.stopEdge), 1.0 / static_cast<double>(k1));
        } else {
            EXPECT_NEAR(static_cast<double>(c.stopEdge), 1.0 / static_cast<double>(k1), 1e-12);
            EXPECT_EQ(c.zeros.size(), static_cast<size_t>(N / 2));
        }
        // Each transmission zero is a zero of the gain, not merely a dip.
        for (Real z : c.zeros) EXPECT_LT(static_cast<double>(PowerGain(c, z)), 1e-24);
    }
}

TEST(Approximation, InverseChebyshevPassbandEdgeIsItsHalfPowerPoint)
{
    const double halfPowerDb = 10.0 * std::log10(2.0);
    for (int N = 2; N <= 9; ++N) {
        SCOPED_TRACE("N=" + std::to_string(N));
        const Characteristic c = Approximate(Request(Family::InverseChebyshev, N, 0.5L, 45.0L));
        EXPECT_NEAR(static_cast<double>(LossDb(c, 1.0L)), halfPowerDb, 1e-9);
        Real passMax, stopMin;
        Extremes(c, c.stopEdge, passMax, stopMin);
        EXPECT_LE(static_cast<double>(passMax), halfPowerDb + 1e-9);
        EXPECT_NEAR(static_cast<double>(LossDb(c, c.stopEdge)), 45.0, 1e-9);
        EXPECT_NEAR(static_cast<double>(stopMin), 45.0, 1e-3);
        if (N % 2 != 0) {
            // The textbook form: stopband edge over half-power frequency cosh(acosh(1 / eps) / N),
            // transmission zeros at the stopband edge over cos((2k - 1) pi / 2N).
            const double edge = std::cosh(std::acosh(std::sqrt(std::pow(10.0, 4.5) - 1.0)) / N);
            EXPECT_NEAR(static_cast<double>(c.stopEdge), edge, 1e-12);
            for (size_t k = 1; k <= c.zeros.size(); ++k) {
                const Real expected = c.stopEdge / std::cos((2.0L * k - 1.0L) * 3.14159265358979323846L / (2.0L * N));
                EXPECT_NEAR(static_cast<double>(c.zeros[k - 1]), static_cast<double>(expected), 1e-14);
            }
        }
    }
}

TEST(Approximation, RefusesRequestsOutsideTheFamily)
{
    EXPECT_THROW(Approximate(Request(Family::Butterworth, 0)), Failure);
    EXPECT_THROW(Approximate(Request(Family::Bessel, 16)), Failure);
    EXPECT_THROW(Approximate(Request(Family::Chebyshev, 3, 0.0L)), Failure);
    EXPECT_THROW(Approximate(Request(Family::Elliptic, 3, 1.0L, 1.0L)), Failure);
    EXPECT_THROW(Approximate(Request(Family::InverseChebyshev, 3, 0.5L, -3.0L)), Failure);
    EXPECT_THROW(Approximate(Request(Family::Elliptic, 3, std::nanl(""), 40.0L)), Failure);
}

} // namespace
