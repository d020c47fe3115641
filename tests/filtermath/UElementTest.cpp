// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/filtermath/FaultCheck.h"
#include "filtermath/UElement.h"
#include "filtermath/UG.h"

using namespace corvane;

namespace {

using LadderProcedure = void (*)(int, const std::vector<double>&, double, double, double, std::vector<std::string>&,
                                 std::vector<double>&);
using BandProcedure = void (*)(int, const std::vector<double>&, double, double, double, double, std::vector<double>&,
                               std::vector<double>&);

constexpr double kRL = 50;
constexpr double kMHz = 1e6;

std::vector<double> Butterworth(int N)
{
    std::vector<double> g(N + 2);
    ButterworthG(N, g);
    return g;
}

std::vector<double> Chebyshev(int N, double ripple)
{
    std::vector<double> g(N + 2);
    ChebyshevG(N, g, ripple);
    return g;
}

void ExpectFiveDigits(const std::vector<double>& actual, const std::vector<double>& expected, const std::string& name)
{
    ASSERT_EQ(actual.size(), expected.size()) << name;
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], FiveDigitTolerance(expected[i])) << name << " [" << i << "]";
}

struct LadderCase {
    const char* name;
    LadderProcedure procedure;
    std::vector<double> g;
    std::vector<std::string> units;
    std::vector<double> values;
};

TEST(LadderElements, WorkedValuesAtFiftyOhmsAndTenMegahertz)
{
    const LadderCase cases[] = {
        {"Butterworth LPF T",
         LowPassElementsT,
         Butterworth(3),
         {"Ohm", "H", "F", "H", "Ohm"},
         {50, 7.9577e-07, 6.3662e-10, 7.9577e-07, 50}},
        {"Butterworth LPF Pi",
         LowPassElementsPi,
         Butterworth(3),
         {"Ohm", "F", "H", "F", "Ohm"},
         {50, 3.1831e-10, 1.5915e-06, 3.1831e-10, 50}},
        {"Butterworth HPF T",
         HighPassElementsT,
         Butterworth(3),
         {"Ohm", "F", "H", "F", "Ohm"},
         {50, 3.1831e-10, 3.9789e-07, 3.1831e-10, 50}},
        {"Butterworth HPF Pi",
         HighPassElementsPi,
         Butterworth(3),
         {"Ohm", "H", "F", "H", "Ohm"},
         {50, 7.9577e-07, 1.5915e-10, 7.9577e-07, 50}},
        {"Chebyshev 0.5 dB N=3 LPF T",
         LowPassElementsT,
         Chebyshev(3, 0.5),
         {"Ohm", "H", "F", "H", "Ohm"},
         {50, 1.2703e-06, 3.4908e-10, 1.2703e-06, 50}},
        {"Chebyshev 0.5 dB N=4 LPF T keeps an RL load",
         LowPassElementsT,
         Chebyshev(4, 0.5),
         {"Ohm", "H", "F", "H", "F", "Ohm"},
         {50, 1.3292e-06, 3.7960e-10, 1.8829e-06, 2.6797e-10, 50}},
    };
    for (const LadderCase& c : cases) {
        const int N = static_cast<int>(c.g.size()) - 2;
        std::vector<std::string> units(N + 2);
        std::vector<double> values(N + 2, kUntouched);
        c.procedure(N, c.g, 10, kRL, kMHz, units, values);
        EXPECT_EQ(units, c.units) << c.name;
        ExpectFiveDigits(values, c.values, c.name);
    }
}

struct RoleCase {
    const char* name;
    LadderProcedure procedure;
    const char* odd; // unit at positions 1, 3, 5, ...
    const char* even; // unit at positions 2, 4, ...
};

TEST(LadderElements, RolesAlternateFromTheFirstPosition)
{
    const RoleCase cases[] = {
        {"LPF T", LowPassElementsT, "H", "F"},
        {"LPF Pi", LowPassElementsPi, "F", "H"},
        {"HPF T", HighPassElementsT, "F", "H"},
        {"HPF Pi", HighPassElementsPi, "H", "F"},
    };
    for (const RoleCase& c : cases) {
        for (int N : {1, 2, 5, 8}) {
            std::vector<std::string> units(N + 2);
            std::vector<double> values(N + 2, kUntouched);
            c.procedure(N, Butterworth(N), 10, kRL, kMHz, units, values);
            EXPECT_EQ(units.front(), "Ohm") << c.name;
            EXPECT_EQ(units.back(), "Ohm") << c.name;
            EXPECT_EQ(values.front(), kRL) << c.name;
            EXPECT_EQ(values.back(), kRL) << c.name;
            for (int i = 1; i <= N; ++i)
                EXPECT_EQ(units[i], i % 2 ? c.odd : c.even) << c.name << " N=" << N << " i=" << i;
        }
    }
}

TEST(LadderElements, ZeroPolesWritesOnlyTheTerminations)
{
    for (LadderProcedure procedure : {LowPassElementsT, LowPassElementsPi, HighPassElementsT, HighPassElementsPi}) {
        std::vector<std::string> units(2);
        std::vector<double> values(2, kUntouched);
        procedure(0, Butterworth(0), 10, kRL, kMHz, units, values);
        EXPECT_EQ(units, (std::vector<std::string>{"Ohm", "Ohm"}));
        EXPECT_EQ(values, (std::vector<double>{kRL, kRL}));
    }
}

TEST(LadderElements, AThousandTimesSmallerUnitGivesAThousandTimesLargerParts)
{
    for (LadderProcedure procedure : {LowPassElementsT, LowPassElementsPi, HighPassElementsT, HighPassElementsPi}) {
        std::vector<std::string> units(5);
        std::vector<double> mega(5), kilo(5);
        procedure(3, Butterworth(3), 10, kRL, kMHz, units, mega);
        procedure(3, Butterworth(3), 10, kRL, 1000, units, kilo);
        for (int i = 1; i <= 3; ++i) EXPECT_NEAR(kilo[i], 1000 * mega[i], 1e-12 * kilo[i]) << i;
        EXPECT_EQ(kilo[0], kRL);
    }
}

struct LadderFaultCase {
    const char* name;
    LadderProcedure procedure;
    double PassF;
    double RL;
    bool terminationsWritten;
};

// A zero PassF faults at the source position; a zero RL at the first capacitor.
TEST(LadderElements, ZeroPassbandOrResistanceFaultsWhereItIsDividedBy)
{
    const LadderFaultCase cases[] = {
        {"LPF T, PassF 0", LowPassElementsT, 0, kRL, false},
        {"LPF Pi, PassF 0", LowPassElementsPi, 0, kRL, false},
        {"HPF T, PassF 0", HighPassElementsT, 0, kRL, false},
        {"HPF Pi, PassF 0", HighPassElementsPi, 0, kRL, false},
        {"LPF T, RL 0: shunt C at the source", LowPassElementsT, 10, 0, false},
        {"LPF Pi, RL 0: C at position 1", LowPassElementsPi, 10, 0, true},
        {"HPF T, RL 0: C at position 1", HighPassElementsT, 10, 0, true},
        {"HPF Pi, RL 0: series C at the source", HighPassElementsPi, 10, 0, false},
    };
    for (const LadderFaultCase& c : cases) {
        std::vector<std::string> units(5, "old");
        std::vector<double> values(5, kUntouched);
        EXPECT_EQ(ArithmeticFaultOf([&] { c.procedure(3, Butterworth(3), c.PassF, c.RL, kMHz, units, values); }),
                  kDivisionByZeroText)
            << c.name;
        for (int i : {0, 4}) {
            EXPECT_EQ(units[i], c.terminationsWritten ? "Ohm" : "old") << c.name;
            EXPECT_EQ(values[i], c.terminationsWritten ? c.RL : kUntouched) << c.name;
        }
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(units[i], "old") << c.name << " " << i;
            EXPECT_EQ(values[i], kUntouched) << c.name << " " << i;
        }
    }
}

struct BandCase {
    const char* name;
    BandProcedure procedure;
    std::vector<double> L;
    std::vector<double> C;
};

TEST(BandElements, WorkedValuesNineToElevenMegahertz)
{
    const BandCase cases[] = {
        {"T",
         BandPassElementsT,
         {50, 3.9789e-06, 8.0381e-08, 3.9789e-06, 50},
         {50, 6.4305e-11, 3.1831e-09, 6.4305e-11, 50}},
        {"Pi",
         BandPassElementsPi,
         {50, 1.6076e-07, 7.9577e-06, 1.6076e-07, 50},
         {50, 1.5915e-09, 3.2153e-11, 1.5915e-09, 50}},
    };
    for (const BandCase& c : cases) {
        std::vector<double> C(5, kUntouched), L(5, kUntouched);
        c.procedure(3, Butterworth(3), 9, 11, kRL, kMHz, C, L);
        ExpectFiveDigits(L, c.L, std::string(c.name) + " L");
        ExpectFiveDigits(C, c.C, std::string(c.name) + " C");
    }
}

struct TuningCase {
    double Fmin;
    double Fmax;
    double S;
    int N;
    double ripple; // 0 for Butterworth
};

TEST(BandElements, EveryResonatorIsTunedToTheBandCentre)
{
    const TuningCase cases[] = {
        {9, 11, 1e6, 3, 0}, {1, 100, 1, 5, 0}, {0.5, 0.6, 1e9, 4, 0.5}, {100, 200, 1e3, 7, 1.0}, {20, 10, 1e6, 2, 0},
    };
    for (const TuningCase& c : cases) {
        const std::vector<double> g = c.ripple > 0 ? Chebyshev(c.N, c.ripple) : Butterworth(c.N);
        const double product = 1 / (4 * M_PI * M_PI * c.S * c.S * c.Fmin * c.Fmax);
        for (BandProcedure procedure : {BandPassElementsT, BandPassElementsPi}) {
            std::vector<double> C(c.N + 2), L(c.N + 2);
            procedure(c.N, g, c.Fmin, c.Fmax, kRL, c.S, C, L);
            for (int i = 1; i <= c.N; ++i) EXPECT_NEAR(L[i] * C[i], product, 1e-12 * product) << c.Fmin << " " << i;
        }
    }
}

TEST(BandElements, ReversedEdgesGiveNegativeResonators)
{
    for (BandProcedure procedure : {BandPassElementsT, BandPassElementsPi}) {
        std::vector<double> C(5), L(5);
        procedure(3, Butterworth(3), 11, 9, kRL, kMHz, C, L);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_LT(L[i], 0) << i;
            EXPECT_LT(C[i], 0) << i;
        }
        EXPECT_EQ(L[0], kRL);
        EXPECT_EQ(C[4], kRL);
    }
}

// Equal edges are nudged 1e-10 rad per unit apart instead of dividing by a zero width.
TEST(BandElements, EqualEdgesGiveATinyBandwidthWithoutFault)
{
    const std::vector<double> g = Butterworth(3);
    const double dw = 1e-10;
    const double w0Squared = 4 * M_PI * M_PI * 25;
    std::vector<double> C(5), L(5);
    BandPassElementsT(3, g, 5, 5, kRL, kMHz, C, L);
    EXPECT_NEAR(L[1], g[1] * kRL / (kMHz * dw), 1e-6 * L[1]);
    EXPECT_NEAR(C[1], dw / (kMHz * w0Squared * g[1] * kRL), 1e-6 * C[1]);
    EXPECT_NEAR(L[2], dw * kRL / (kMHz * w0Squared * g[2]), 1e-6 * L[2]);
    EXPECT_NEAR(C[2], g[2] / (kMHz * dw * kRL), 1e-6 * C[2]);
}

struct BandGuardCase {
    const char* name;
    double Fmin;
    double Fmax;
    double RL;
    const char* text; // "no fault" when the guard returns quietly
};

TEST(BandElements, MissingOrImpossibleEdgesWriteNothing)
{
    const BandGuardCase cases[] = {
        {"Fmin 0", 0, 11, kRL, "no fault"},
        {"Fmax 0", 9, 0, kRL, "no fault"},
        {"both 0", 0, 0, kRL, "no fault"},
        {"Fmin negative", -5, 10, kRL, kInvalidOperationText},
        {"Fmax negative", 5, -10, kRL, kInvalidOperationText},
        {"RL 0: the source resonator divides by it", 9, 11, 0, kDivisionByZeroText},
    };
    for (const BandGuardCase& c : cases) {
        for (BandProcedure procedure : {BandPassElementsT, BandPassElementsPi}) {
            std::vector<double> C(5, kUntouched), L(5, kUntouched);
            EXPECT_EQ(ArithmeticFaultOf([&] { procedure(3, Butterworth(3), c.Fmin, c.Fmax, c.RL, kMHz, C, L); }),
                      c.text)
                << c.name;
            EXPECT_EQ(C, std::vector<double>(5, kUntouched)) << c.name;
            EXPECT_EQ(L, std::vector<double>(5, kUntouched)) << c.name;
        }
    }
}

TEST(ElementProcedures, RefuseANegativeOrderOrShortArrays)
{
    const std::vector<double> g = Butterworth(3);
    std::vector<std::string> units(5);
    std::vector<double> values(5), shortValues(3), C(5), L(4);
    EXPECT_THROW(LowPassElementsT(-1, g, 10, kRL, kMHz, units, values), std::invalid_argument);
    EXPECT_THROW(HighPassElementsPi(3, g, 10, kRL, kMHz, units, shortValues), std::invalid_argument);
    EXPECT_THROW(BandPassElementsT(3, g, 9, 11, kRL, kMHz, C, L), std::invalid_argument);
    EXPECT_THROW(BandPassElementsPi(-2, g, 9, 11, kRL, kMHz, C, C), std::invalid_argument);
}

} // namespace
