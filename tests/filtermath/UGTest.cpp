// SPDX-License-Identifier: Apache-2.0
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "tests/filtermath/FaultCheck.h"
#include "filtermath/UG.h"

using namespace corvane;

namespace {

struct PrototypeCase {
    int N;
    double ripple; // dB; unused for Butterworth
    std::vector<double> expected;
};

// Tables are given to four decimals.
void ExpectPrototype(const std::vector<double>& g, const PrototypeCase& c)
{
    ASSERT_EQ(g.size(), c.expected.size());
    for (size_t k = 0; k < g.size(); ++k)
        EXPECT_NEAR(g[k], c.expected[k], 5e-5) << "N=" << c.N << " ripple=" << c.ripple << " g[" << k << "]";
}

TEST(ButterworthG, MaximallyFlatTable)
{
    const PrototypeCase cases[] = {
        {1, 0, {1, 2, 1}},
        {2, 0, {1, 1.4142, 1.4142, 1}},
        {3, 0, {1, 1, 2, 1, 1}},
        {4, 0, {1, 0.7654, 1.8478, 1.8478, 0.7654, 1}},
        {5, 0, {1, 0.6180, 1.6180, 2, 1.6180, 0.6180, 1}},
    };
    for (const PrototypeCase& c : cases) {
        std::vector<double> g(c.N + 2, kUntouched);
        ButterworthG(c.N, g);
        ExpectPrototype(g, c);
    }
}

TEST(ButterworthG, ZeroPolesWritesOnlyTheTwoTerminations)
{
    std::vector<double> g(2, kUntouched);
    ButterworthG(0, g);
    EXPECT_EQ(g, (std::vector<double>{1, 1}));
}

TEST(ChebyshevG, EqualRippleTable)
{
    const PrototypeCase cases[] = {
        {1, 0.5, {1, 0.6987, 1}},
        {2, 0.5, {1, 1.4029, 0.7071, 1.9841}},
        {3, 0.5, {1, 1.5963, 1.0967, 1.5963, 1}},
        {4, 0.5, {1, 1.6704, 1.1925, 2.3662, 0.8419, 1.9841}},
        {5, 0.5, {1, 1.7058, 1.2296, 2.5409, 1.2296, 1.7058, 1}},
        {3, 1.0, {1, 2.0237, 0.9941, 2.0237, 1}},
    };
    for (const PrototypeCase& c : cases) {
        std::vector<double> g(c.N + 2, kUntouched);
        ChebyshevG(c.N, g, c.ripple);
        ExpectPrototype(g, c);
    }
}

TEST(ChebyshevG, OddOrdersAreSymmetricAndEndInOne)
{
    for (double ripple : {0.1, 0.5, 1.0, 3.0}) {
        for (int N : {1, 3, 5, 7, 9, 11}) {
            std::vector<double> g(N + 2, kUntouched);
            ChebyshevG(N, g, ripple);
            EXPECT_EQ(g[N + 1], 1.0) << N;
            for (int k = 1; k <= N; ++k) {
                EXPECT_GT(g[k], 0) << N << " " << k;
                EXPECT_NEAR(g[k], g[N + 1 - k], 1e-12 * g[k]) << "N=" << N << " ripple=" << ripple << " k=" << k;
            }
        }
    }
}

TEST(ChebyshevG, EvenOrdersShareOneLoadPerRipple)
{
    const std::pair<double, double> loads[] = {{0.5, 1.9841}, {0.1, 1.3554}, {1.0, 2.6599}};
    for (const auto& [ripple, load] : loads) {
        for (int N : {2, 4, 6, 8, 10}) {
            std::vector<double> g(N + 2, kUntouched);
            ChebyshevG(N, g, ripple);
            EXPECT_NEAR(g[N + 1], load, 5e-5) << "N=" << N << " ripple=" << ripple;
        }
    }
}

struct ChebyshevFaultCase {
    const char* name;
    int N;
    double ripple;
    const char* text;
    int written; // leading entries of g written before the fault
};

TEST(ChebyshevG, InputsWithoutAPrototypeFaultInsideTheArithmetic)
{
    const ChebyshevFaultCase cases[] = {
        {"ripple 0: coth of zero", 3, 0.0, kDivisionByZeroText, 0},
        {"ripple 0 and N 0: coth comes first", 0, 0.0, kDivisionByZeroText, 0},
        {"negative ripple: log of negative coth", 3, -0.5, kInvalidOperationText, 0},
        {"N 0: beta / 2N", 0, 0.5, kDivisionByZeroText, 0},
        {"huge ripple, N 3: gamma vanishes", 3, 311.2, kDivisionByZeroText, 1},
        {"huge ripple, N 10: gamma vanishes", 10, 299.6, kDivisionByZeroText, 1},
        {"ripple where coth rounds to 1", 4, 400.0, kDivisionByZeroText, 1},
        {"ripple beyond the exponential", 3, 9e99, kOverflowText, 0},
    };
    for (const ChebyshevFaultCase& c : cases) {
        std::vector<double> g(c.N + 2, kUntouched);
        EXPECT_EQ(ArithmeticFaultOf([&] { ChebyshevG(c.N, g, c.ripple); }), c.text) << c.name;
        for (int k = 0; k < c.N + 2; ++k)
            EXPECT_EQ(g[k], k < c.written ? 1.0 : kUntouched) << c.name << " g[" << k << "]";
    }
}

TEST(ChebyshevG, RippleJustBelowTheVanishingBoundStillDesigns)
{
    const PrototypeCase cases[] = {{3, 311.0, {}}, {10, 299.4, {}}};
    for (const PrototypeCase& c : cases) {
        std::vector<double> g(c.N + 2, kUntouched);
        EXPECT_EQ(ArithmeticFaultOf([&] { ChebyshevG(c.N, g, c.ripple); }), "no fault") << c.N;
        EXPECT_GT(g[1], 1e14) << c.N;
        EXPECT_NE(g[c.N + 1], kUntouched) << c.N;
    }
}

TEST(PrototypeProcedures, RefuseANegativeOrderOrAShortArray)
{
    std::vector<double> g(5, kUntouched);
    EXPECT_THROW(ButterworthG(-1, g), std::invalid_argument);
    EXPECT_THROW(ChebyshevG(-1, g, 0.5), std::invalid_argument);
    EXPECT_THROW(ButterworthG(4, g), std::invalid_argument);
    EXPECT_THROW(ChebyshevG(4, g, 0.5), std::invalid_argument);
    EXPECT_EQ(g, std::vector<double>(5, kUntouched));
}

} // namespace
