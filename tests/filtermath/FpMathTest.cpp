// SPDX-License-Identifier: Apache-2.0
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

#include "tests/filtermath/FaultCheck.h"
#include "filtermath/FpMath.h"
#include "filtermath/Pi.h"

using namespace corvane;

using namespace fpmath;

namespace {

struct FaultCase {
    const char* name;
    std::function<void()> operation;
    const char* text;
};

const Real kNaN = std::numeric_limits<Real>::quiet_NaN();

TEST(FpMath, FaultsCarryTheirExactText)
{
    const FaultCase cases[] = {
        {"x/0", [] { Div(1, 0); }, kDivisionByZeroText},
        {"-x/0", [] { Div(-3, 0); }, kDivisionByZeroText},
        {"0/0", [] { Div(0, 0); }, kInvalidOperationText},
        {"NaN/1", [] { Div(kNaN, 1); }, kInvalidOperationText},
        {"quotient beyond range", [] { Div(1e4000L, 1e-4000L); }, kOverflowText},
        {"sqrt(-1)", [] { Sqrt(-1); }, kInvalidOperationText},
        {"ln(-1)", [] { Ln(-1); }, kInvalidOperationText},
        {"ln(0)", [] { Ln(0); }, kDivisionByZeroText},
        {"ln(NaN)", [] { Ln(kNaN); }, kInvalidOperationText},
        {"log10(-2)", [] { Log10(-2); }, kInvalidOperationText},
        {"log10(0)", [] { Log10(0); }, kDivisionByZeroText},
        {"exp(12000)", [] { Exp(12000); }, kOverflowText},
        {"0^-1", [] { Power(0, -1); }, kDivisionByZeroText},
        {"(-2)^0.5", [] { Power(-2, 0.5L); }, kInvalidOperationText},
        {"10^5000", [] { Power(10, 5000); }, kOverflowText},
        {"product beyond range", [] { Mul(1e3000L, 1e3000L); }, kOverflowText},
        {"sum beyond range", [] { Add(LDBL_MAX, LDBL_MAX); }, kOverflowText},
        {"difference beyond range", [] { Sub(-LDBL_MAX, LDBL_MAX); }, kOverflowText},
        {"arccos(1.5)", [] { ArcCos(1.5L); }, kInvalidOperationText},
        {"arccos(-1.01)", [] { ArcCos(-1.01L); }, kInvalidOperationText},
        {"store 1e309", [] { StoreDouble(1e309L); }, kOverflowText},
        {"store -1e309", [] { StoreDouble(-1e309L); }, kOverflowText},
        {"store NaN", [] { StoreDouble(kNaN); }, kInvalidOperationText},
    };
    for (const FaultCase& c : cases) EXPECT_EQ(ArithmeticFaultOf(c.operation), c.text) << c.name;
}

struct ValueCase {
    const char* name;
    std::function<Real()> operation;
    Real expected;
};

TEST(FpMath, ValidOperandsGiveTheOrdinaryResult)
{
    const ValueCase cases[] = {
        {"6/3", [] { return Div(6, 3); }, 2},
        {"0/5", [] { return Div(0, 5); }, 0},
        {"sqrt(2.25)", [] { return Sqrt(2.25L); }, 1.5L},
        {"sqrt(-0)", [] { return Sqrt(-0.0L); }, 0},
        {"ln(e^2)", [] { return Ln(std::exp(2.0L)); }, 2},
        {"log10(1000)", [] { return Log10(1000); }, 3},
        {"exp(-12000) underflows silently", [] { return Exp(-12000); }, 0},
        {"(-2)^3", [] { return Power(-2, 3); }, -8},
        {"(-2)^6", [] { return Power(-2, 6); }, 64},
        {"0^0", [] { return Power(0, 0); }, 1},
        {"10^4000 fits the extended range", [] { return Power(10, 4000) / 1e4000L; }, 1},
        {"arccos(-1)", [] { return ArcCos(-1); }, kPi<Real>},
        {"store 1e-400 underflows silently", [] { return StoreDouble(1e-400L); }, 0},
        {"store DBL_MAX", [] { return StoreDouble(DBL_MAX); }, DBL_MAX},
    };
    for (const ValueCase& c : cases)
        EXPECT_NEAR(c.operation(), c.expected, 1e-15L * (1 + std::fabs(c.expected))) << c.name;
}

// The quarter-turn reduction must agree with the library's sine and cosine to a few
// extended-precision units, on both sides of every quadrant boundary and beyond the turn.
TEST(FpMath, SineAndCosineAgreeWithTheLibraryAcrossQuadrants)
{
    for (int step = -1100; step <= 1100; ++step) {
        const Real x = step * (kPi<Real> / 160) + 1e-3L;
        // Compared in extended precision: rounding both to double could split them by an ulp.
        EXPECT_LT(std::fabs(Sin(x) - std::sin(x)), 1e-18L) << "sin " << static_cast<double>(x);
        EXPECT_LT(std::fabs(Cos(x) - std::cos(x)), 1e-18L) << "cos " << static_cast<double>(x);
    }
    EXPECT_EQ(Sin(kPi<Real> / 2), 1.0L);
    EXPECT_EQ(Cos(0), 1.0L);
    EXPECT_EQ(Sin(1e6L), std::sin(1e6L));
}

TEST(FpMath, PowerBySquaringMatchesTheGeneralPower)
{
    const Real bases[] = {0.5L, 0.9L, 1.1L, 9.0L, 1e11L, -3.0L};
    for (Real base : bases) {
        for (int exponent : {-198, -20, -7, 0, 1, 2, 6, 20, 99, 198}) {
            const Real expected = std::pow(base, static_cast<Real>(exponent));
            EXPECT_LT(std::fabs(Power(base, exponent) / expected - 1), 1e-16L)
                << static_cast<double>(base) << "^" << exponent;
        }
    }
}

TEST(Failure, RaisersThrowArithmeticErrorsWithTheSystemTexts)
{
    EXPECT_STREQ(kDivisionByZeroText, "Floating point division by zero");
    EXPECT_STREQ(kInvalidOperationText, "Invalid floating point operation");
    EXPECT_STREQ(kOverflowText, "Floating point overflow");
    const std::pair<void (*)(), const char*> raisers[] = {
        {RaiseDivisionByZero, kDivisionByZeroText},
        {RaiseInvalidOperation, kInvalidOperationText},
        {RaiseOverflow, kOverflowText},
    };
    for (const auto& [raise, text] : raisers) {
        try {
            raise();
            ADD_FAILURE() << text << " was not raised";
        } catch (const Failure& failure) {
            EXPECT_NE(dynamic_cast<const ArithmeticError*>(&failure), nullptr);
            EXPECT_STREQ(failure.what(), text);
        }
    }
}

} // namespace
