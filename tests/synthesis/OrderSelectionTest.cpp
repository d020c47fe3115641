// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "filtermath/Failure.h"
#include "synthesis/OrderSelection.h"
#include "synthesis/StopRequirement.h"
#include "synthesis/Synthesis.h"

using namespace corvane;

using namespace synthesis;

namespace {

struct Requirement {
    double ratio;
    double stopAtt;
    double ripple;
};

const Requirement kCases[] = {{1.5, 30, 0.5},  {2.0, 40, 0.1},  {1.2, 50, 1.0}, {3.0, 60, 0.25},
                              {1.05, 40, 0.5}, {4.0, 80, 0.01}, {1.3, 25, 2.0}, {2.5, 100, 0.5}};

OrderRequirement Of(const Requirement& c)
{
    OrderRequirement r;
    r.stopRatio = c.ratio;
    r.stopAttDb = c.stopAtt;
    r.rippleDb = c.ripple;
    return r;
}

double PowerRatio(double db)
{
    return std::pow(10.0, db / 10.0) - 1.0;
}

// K by Simpson's rule on the integral itself, a route independent of the AGM; near k = 1, where
// the integrand peaks, the logarithmic series ln(4/k') + k'^2/4 (ln(4/k') - 1).
double IntegralK(double k)
{
    const double kc = std::sqrt((1 - k) * (1 + k));
    if (kc < 1e-3) return std::log(4 / kc) + kc * kc / 4 * (std::log(4 / kc) - 1);
    const int n = 20000;
    const double h = (M_PI / 2) / n;
    double sum = 0;
    for (int i = 0; i <= n; ++i) {
        const double s = std::sin(i * h);
        const double v = 1.0 / std::sqrt(1.0 - k * k * s * s);
        sum += v * (i == 0 || i == n ? 1 : (i % 2 != 0 ? 4 : 2));
    }
    return sum * h / 3;
}

int Expected(Family family, const Requirement& c)
{
    const double ratio = PowerRatio(c.stopAtt) / PowerRatio(c.ripple);
    switch (family) {
    case Family::Butterworth:
        return static_cast<int>(std::ceil(std::log10(PowerRatio(c.stopAtt)) / (2 * std::log10(c.ratio))));
    case Family::Chebyshev: return static_cast<int>(std::ceil(std::acosh(std::sqrt(ratio)) / std::acosh(c.ratio)));
    default: break;
    }
    const double k = 1.0 / c.ratio;
    const double k1 = 1.0 / std::sqrt(ratio);
    const double exact =
        IntegralK(k) * IntegralK(std::sqrt(1 - k1 * k1)) / (IntegralK(std::sqrt(1 - k * k)) * IntegralK(k1));
    return static_cast<int>(std::ceil(exact - 1e-9));
}

TEST(OrderSelection, AgreesWithTheStandardOrderFormulas)
{
    for (const Requirement& c : kCases)
        for (Family family : {Family::Butterworth, Family::Chebyshev, Family::Elliptic}) {
            const int expected = Expected(family, c);
            SCOPED_TRACE(std::string(FamilyName(family)) + " ratio " + std::to_string(c.ratio) + " att " +
                         std::to_string(c.stopAtt) + " formula " + std::to_string(expected));
            if (expected > 15) {
                EXPECT_THROW(ChooseOrder(family, Of(c)), Failure);
                continue;
            }
            const OrderChoice choice = ChooseOrder(family, Of(c));
            if (family == Family::Elliptic && expected % 2 == 0 && choice.N == expected + 1) {
                // The even order realisable as a ladder moves its stopband edge out: one more
                // pole only when that order then falls short.
                OrderRequirement r = Of(c);
                FamilyRequest request{Family::Elliptic, expected, r.rippleDb, r.stopAttDb};
                EXPECT_LT(static_cast<double>(-10 * std::log10(PowerGain(Approximate(request), r.stopRatio))),
                          c.stopAtt);
            } else {
                EXPECT_EQ(choice.N, expected);
            }
            EXPECT_GE(static_cast<double>(choice.reachedDb), c.stopAtt - 1e-9);
        }
}

TEST(OrderSelection, ComparesEveryFamilyAndTheChosenOrderIsTheSmallest)
{
    const OrderRequirement r = Of({1.8, 45, 0.5});
    for (const OrderChoice& c : OrdersOfAllFamilies(r)) {
        SCOPED_TRACE(FamilyName(c.family));
        if (c.N == 0) {
            FamilyRequest most{c.family, 15, r.rippleDb, r.stopAttDb};
            EXPECT_LT(static_cast<double>(-10 * std::log10(PowerGain(Approximate(most), r.stopRatio))), 45.0);
            continue;
        }
        ASSERT_GT(c.N, 1);
        FamilyRequest smaller{c.family, c.N - 1, r.rippleDb, r.stopAttDb};
        EXPECT_LT(static_cast<double>(-10 * std::log10(PowerGain(Approximate(smaller), r.stopRatio))), 45.0);
    }
}

// Between equal terminations an even-order Chebyshev has no ladder: the pick takes the next odd
// order, and every family it lists for comparison designs at the order listed.
TEST(OrderSelection, StopPickBetweenEqualTerminationsTakesOnlyBuildableOrders)
{
    int raised = 0;
    for (const Requirement& c : kCases) {
        const int formula = Expected(Family::Chebyshev, c);
        if (formula > 14) continue;
        SCOPED_TRACE("ratio " + std::to_string(c.ratio) + " att " + std::to_string(c.stopAtt));
        DesignRequest request;
        request.response = {Family::Chebyshev, 0, static_cast<Real>(c.ripple), static_cast<Real>(c.stopAtt)};
        request.passHz = 1e6;
        int needed = 0;
        const std::vector<OrderChoice> others = PickOrderForStop(request, c.ratio * 1e6, &needed);
        EXPECT_EQ(needed, formula);
        EXPECT_EQ(request.response.N, formula % 2 == 0 ? formula + 1 : formula);
        raised += formula % 2 == 0 ? 1 : 0;
        for (const OrderChoice& choice : others) {
            if (choice.N == 0) continue;
            DesignRequest listed = request;
            listed.response.family = choice.family;
            listed.response.N = choice.N;
            EXPECT_NO_THROW(Synthesise(listed)) << FamilyName(choice.family) << " " << choice.N;
        }
    }
    EXPECT_GT(raised, 0);
}

// A transitional Gaussian picks no fewer poles than follow the Gaussian that far (3 to 6 dB, 5 to
// 12 dB), and otherwise the fewest that reach the stopband.
TEST(OrderSelection, TransitionalGaussiansStartAtTheirFewestPoles)
{
    struct Case {
        Family family;
        int least;
        double steepRatio; // beyond the transition, where the loss grows faster than the Gaussian's
    };
    for (const Case& c : {Case{Family::Gaussian6dB, 3, 1.8}, Case{Family::Gaussian12dB, 5, 2.5}}) {
        SCOPED_TRACE(FamilyName(c.family));
        // Twice the passband, 10 dB: one pole would reach it; the family cannot have one.
        EXPECT_EQ(ChooseOrder(c.family, Of({2.0, 10.0, 0.0})).N, c.least);
        const OrderChoice steep = ChooseOrder(c.family, Of({c.steepRatio, 40.0, 0.0}));
        ASSERT_GT(steep.N, c.least);
        FamilyRequest fewer{c.family, steep.N - 1};
        EXPECT_LT(static_cast<double>(-10 * std::log10(PowerGain(Approximate(fewer), c.steepRatio))), 40.0);
    }
}

TEST(OrderSelection, RefusesWhatFifteenPolesCannotReachAndBadRequirements)
{
    EXPECT_THROW(ChooseOrder(Family::Bessel, Of({1.1, 80, 0.5})), Failure);
    EXPECT_THROW(ChooseOrder(Family::Butterworth, Of({0.9, 40, 0.5})), Failure);
    EXPECT_THROW(ChooseOrder(Family::Butterworth, Of({2.0, -1, 0.5})), Failure);
    EXPECT_EQ(OrdersOfAllFamilies(Of({1.1, 80, 0.5}))[static_cast<int>(Family::Bessel)].N, 0);
}

} // namespace
