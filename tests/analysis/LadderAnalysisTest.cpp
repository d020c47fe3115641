// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/Designs.h"
#include "filtermath/Failure.h"
#include "filtermath/LadderAnalysis.h"

using namespace corvane;

namespace {

using Cx = std::complex<double>;
const double kTwoPi = 2.0 * M_PI;

// A one-branch network and its S-parameters from the textbook formulas for a lone series
// impedance (S21 = 2R/(2R+Z)) or shunt admittance (S21 = 2/(2+YR)) between two R.
struct OneBranchCase {
    const char* name;
    LadderBranch branch;
    PartQuality quality;
    double frequencyHz;
};

void PrintTo(const OneBranchCase& c, std::ostream* os)
{
    *os << c.name;
}

Cx SeriesImpedance(const LadderBranch& b, double w, const PartQuality& q)
{
    const Cx zl{q.QL > 0 ? w * b.L / q.QL : 0.0, w * b.L};
    const Cx zc = (q.QC > 0 ? Cx{1.0 / (w * b.C * q.QC), 0.0} : Cx{}) + 1.0 / Cx{0.0, w * b.C};
    if (b.kind == BranchKind::Inductor) return zl;
    if (b.kind == BranchKind::Capacitor) return zc;
    return zl + zc;
}

Cx ShuntAdmittance(const LadderBranch& b, double w, const PartQuality& q)
{
    const Cx zl{q.QL > 0 ? w * b.L / q.QL : 0.0, w * b.L};
    const Cx yc = 1.0 / ((q.QC > 0 ? Cx{1.0 / (w * b.C * q.QC), 0.0} : Cx{}) + 1.0 / Cx{0.0, w * b.C});
    if (b.kind == BranchKind::Inductor) return 1.0 / zl;
    if (b.kind == BranchKind::Capacitor) return yc;
    return 1.0 / zl + yc;
}

void Textbook(const OneBranchCase& c, double R, double f, Cx& s21, Cx& s11)
{
    const double w = kTwoPi * f;
    if (c.branch.place == BranchPlace::Series) {
        const Cx z = SeriesImpedance(c.branch, w, c.quality);
        s21 = 2.0 * R / (2.0 * R + z);
        s11 = z / (2.0 * R + z);
    } else {
        const Cx y = ShuntAdmittance(c.branch, w, c.quality);
        s21 = 2.0 / (2.0 + y * R);
        s11 = -y * R / (2.0 + y * R);
    }
}

double Db(Cx s)
{
    return 20.0 * std::log10(std::abs(s));
}
double Deg(Cx s)
{
    return std::arg(s) * 180.0 / M_PI;
}

class OneBranch : public ::testing::TestWithParam<OneBranchCase> {};

TEST_P(OneBranch, MatchesTextbookFormulas)
{
    const OneBranchCase& c = GetParam();
    const double R = 50.0;
    Ladder ladder;
    ladder.RS = R;
    ladder.RL = R;
    ladder.branches = {c.branch};
    const NetworkPoint p = AnalyseAt(ladder, c.frequencyHz, c.quality);

    Cx s21, s11;
    Textbook(c, R, c.frequencyHz, s21, s11);
    EXPECT_NEAR(p.S21dB, Db(s21), 1e-9);
    EXPECT_NEAR(p.S21Deg, Deg(s21), 1e-9);
    EXPECT_NEAR(p.S11dB, Db(s11), 1e-9);
    EXPECT_NEAR(p.S11Deg, Deg(s11), 1e-9);
    // A lone branch is symmetric: the output sees the same reflection.
    EXPECT_NEAR(p.S22dB, p.S11dB, 1e-9);

    // Group delay by a central difference of the textbook phase: an independent method.
    const double h = c.frequencyHz * 1e-5;
    Cx up21, down21, unused;
    Textbook(c, R, c.frequencyHz + h, up21, unused);
    Textbook(c, R, c.frequencyHz - h, down21, unused);
    const double dPhase = std::arg(up21 / down21);
    const double delay = -dPhase / (kTwoPi * 2.0 * h);
    EXPECT_NEAR(p.GroupDelay, delay, 1e-6 * std::fabs(delay) + 1e-18);
}

const PartQuality kIdeal{};
INSTANTIATE_TEST_SUITE_P(
    Branches, OneBranch,
    ::testing::Values(
        OneBranchCase{"SeriesL", {BranchPlace::Series, BranchKind::Inductor, 1e-6, 0}, kIdeal, 5e6},
        OneBranchCase{"SeriesC", {BranchPlace::Series, BranchKind::Capacitor, 0, 1e-9}, kIdeal, 2e6},
        OneBranchCase{"ShuntL", {BranchPlace::Shunt, BranchKind::Inductor, 2e-6, 0}, kIdeal, 3e6},
        OneBranchCase{"ShuntC", {BranchPlace::Shunt, BranchKind::Capacitor, 0, 4e-10}, kIdeal, 7e6},
        OneBranchCase{"SeriesResonatorBelow", {BranchPlace::Series, BranchKind::Resonator, 1e-6, 1e-9}, kIdeal, 3e6},
        OneBranchCase{"SeriesResonatorAbove", {BranchPlace::Series, BranchKind::Resonator, 1e-6, 1e-9}, kIdeal, 8e6},
        OneBranchCase{"ShuntResonator", {BranchPlace::Shunt, BranchKind::Resonator, 1e-6, 1e-9}, kIdeal, 4e6},
        OneBranchCase{"LossySeriesL", {BranchPlace::Series, BranchKind::Inductor, 1e-6, 0}, {10, 0}, 5e6},
        OneBranchCase{"LossySeriesC", {BranchPlace::Series, BranchKind::Capacitor, 0, 1e-9}, {0, 25}, 2e6},
        OneBranchCase{"LossyShuntL", {BranchPlace::Shunt, BranchKind::Inductor, 2e-6, 0}, {15, 0}, 3e6},
        OneBranchCase{"LossyShuntC", {BranchPlace::Shunt, BranchKind::Capacitor, 0, 4e-10}, {0, 20}, 7e6},
        OneBranchCase{"LossyShuntResonator", {BranchPlace::Shunt, BranchKind::Resonator, 1e-6, 1e-9}, {40, 80}, 5.2e6}),
    [](const ::testing::TestParamInfo<OneBranchCase>& info) { return std::string(info.param.name); });

TEST(LadderAnalysis, ResonatorsPassAllAtTheirCentre)
{
    // L = 1 uH with C = 1 nF resonates at 1/(2 pi sqrt(LC)) = 5.0329 MHz: a series resonator
    // is a short there and a shunt one an open circuit.
    const double f0 = 1.0 / (kTwoPi * std::sqrt(1e-6 * 1e-9));
    for (BranchPlace place : {BranchPlace::Series, BranchPlace::Shunt}) {
        Ladder ladder{50.0, 50.0, {{place, BranchKind::Resonator, 1e-6, 1e-9}}};
        const NetworkPoint p = AnalyseAt(ladder, f0, {});
        EXPECT_NEAR(p.S21dB, 0.0, 1e-12);
        EXPECT_LT(p.S11dB, -250.0);
    }
}

TEST(LadderAnalysis, ButterworthDelayAtLowFrequencyIsTheTextbookValue)
{
    // A Butterworth low-pass delays a slow signal by 1 / (wc sin(pi / 2N)).
    for (int N = 1; N <= 10; ++N) {
        for (LadderTopology topology : {LadderTopology::T, LadderTopology::Pi}) {
            const Design d{0, topology, N, 0, 10, 0, 0, 50, 1e6};
            const NetworkPoint p = AnalyseAt(DesignLadder(d), 1e-4 * 10e6, {});
            const double expected = 1.0 / (kTwoPi * 10e6 * std::sin(M_PI / (2 * N)));
            EXPECT_NEAR(p.GroupDelay, expected, 1e-6 * expected) << DesignName(d);
        }
    }
}

struct PowerCase {
    Design design;
    PartQuality quality;
};

void PrintTo(const PowerCase& c, std::ostream* out)
{
    *out << DesignName(c.design) << " QL " << c.quality.QL << " QC " << c.quality.QC;
}

class PowerBalance : public ::testing::TestWithParam<PowerCase> {};

TEST_P(PowerBalance, LosslessLaddersConservePowerAndLossyOnesDoNot)
{
    const PowerCase& c = GetParam();
    const Ladder ladder = DesignLadder(c.design);
    const bool lossless = c.quality.QL == 0 && c.quality.QC == 0;
    const double centre = c.design.FilterKind % 3 == 2 ? std::sqrt(c.design.Fmin * c.design.Fmax) : c.design.PassF;
    for (double ratio : {0.3, 0.7, 0.95, 1.0, 1.05, 1.4, 2.5}) {
        const NetworkPoint p = AnalyseAt(ladder, ratio * centre * c.design.UnitScale, c.quality);
        const double through = std::pow(10.0, p.S21dB / 10.0);
        const double back = std::pow(10.0, p.S11dB / 10.0);
        const double backOut = std::pow(10.0, p.S22dB / 10.0);
        if (lossless) {
            EXPECT_NEAR(through + back, 1.0, 1e-12) << DesignName(c.design) << " at " << ratio;
            EXPECT_NEAR(through + backOut, 1.0, 1e-12) << DesignName(c.design) << " at " << ratio;
        } else {
            EXPECT_LT(through + back, 1.0 - 1e-6) << DesignName(c.design) << " at " << ratio;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Designs, PowerBalance,
                         ::testing::Values(PowerCase{{0, LadderTopology::T, 5, 0, 10, 0, 0, 50, 1e6}, {}},
                                           PowerCase{{1, LadderTopology::Pi, 4, 0, 10, 0, 0, 75, 1e3}, {}},
                                           PowerCase{{2, LadderTopology::T, 3, 0, 0, 8, 12, 50, 1e6}, {}},
                                           PowerCase{{3, LadderTopology::Pi, 4, 0.5, 10, 0, 0, 50, 1e9}, {}},
                                           PowerCase{{5, LadderTopology::Pi, 6, 1.0, 0, 95, 105, 50, 1e6}, {}},
                                           PowerCase{{0, LadderTopology::T, 5, 0, 10, 0, 0, 50, 1e6}, {50, 0}},
                                           PowerCase{{4, LadderTopology::Pi, 3, 0.1, 10, 0, 0, 50, 1e6}, {0, 100}},
                                           PowerCase{{2, LadderTopology::Pi, 4, 0, 0, 9, 11, 50, 1e6}, {100, 300}}));

TEST(LadderAnalysis, OutputReflectionDiffersOnlyInPhaseForAnAsymmetricLadder)
{
    // An even-order equal-ripple ladder is not symmetric: |S22| = |S11| (lossless), angles differ.
    const Ladder ladder = DesignLadder({3, LadderTopology::T, 4, 1.0, 10, 0, 0, 50, 1e6});
    const NetworkPoint p = AnalyseAt(ladder, 13e6, {});
    EXPECT_NEAR(p.S22dB, p.S11dB, 1e-9);
    EXPECT_GT(std::fabs(p.S22Deg - p.S11Deg), 1.0);
    // A symmetric one (odd Butterworth) reflects alike at both ports.
    const NetworkPoint q = AnalyseAt(DesignLadder({0, LadderTopology::Pi, 5, 0, 10, 0, 0, 50, 1e6}), 13e6, {});
    EXPECT_NEAR(q.S22dB, q.S11dB, 1e-9);
    EXPECT_NEAR(q.S22Deg, q.S11Deg, 1e-9);
}

TEST(LadderAnalysis, LosslessQualityMatchesTheIdealLadder)
{
    // Q = 0 and an infinite Q both mean an ideal part.
    const Ladder ladder = DesignLadder({3, LadderTopology::T, 5, 0.5, 10, 0, 0, 50, 1e6});
    const double inf = std::numeric_limits<double>::infinity();
    const NetworkPoint ideal = AnalyseAt(ladder, 9e6, {});
    const NetworkPoint infinite = AnalyseAt(ladder, 9e6, {inf, inf});
    const NetworkPoint lossy = AnalyseAt(ladder, 9e6, {30, 30});
    EXPECT_EQ(ideal.S21dB, infinite.S21dB);
    EXPECT_LT(lossy.S21dB, ideal.S21dB - 0.1);
}

TEST(LadderAnalysis, NegativeFrequencyMirrorsPositiveOne)
{
    const Ladder ladder = DesignLadder({4, LadderTopology::Pi, 5, 0.5, 10, 0, 0, 50, 1e6});
    for (double f : {3e6, 12e6, 40e6}) {
        const NetworkPoint up = AnalyseAt(ladder, f, {});
        const NetworkPoint down = AnalyseAt(ladder, -f, {});
        EXPECT_EQ(up.S21dB, down.S21dB);
        EXPECT_EQ(up.S11dB, down.S11dB);
        EXPECT_EQ(up.GroupDelay, down.GroupDelay);
    }
}

TEST(LadderAnalysis, EmptyLadderIsAPerfectThroughConnection)
{
    const NetworkPoint p = AnalyseAt(Ladder{50.0, 50.0, {}}, 1e6, {});
    EXPECT_EQ(p.S21dB, 0.0);
    EXPECT_EQ(p.S11dB, kReflectionFloorDb);
    EXPECT_EQ(p.GroupDelay, 0.0);
}

TEST(LadderAnalysis, ThroughConnectionBetweenUnequalTerminationsIsTheMismatchLoss)
{
    // A wire from 50 ohm into 200 ohm: reflection (RL - RS)/(RL + RS) = 0.6 at both ports, and
    // transducer gain 4 RS RL / (RS + RL)^2 = 0.64, the textbook mismatch loss of 1.938 dB.
    const NetworkPoint p = AnalyseAt(Ladder{50.0, 200.0, {}}, 1e6, {});
    EXPECT_NEAR(p.S21dB, 10.0 * std::log10(0.64), 1e-12);
    EXPECT_NEAR(p.S11dB, 20.0 * std::log10(0.6), 1e-12);
    EXPECT_NEAR(p.S11Deg, 0.0, 1e-12);
    EXPECT_NEAR(p.S22dB, 20.0 * std::log10(0.6), 1e-12);
    EXPECT_NEAR(std::fabs(p.S22Deg), 180.0, 1e-12);
}

TEST(LadderAnalysis, LSectionMatchesFiftyToTwoHundredOhmAtItsDesignFrequency)
{
    // The textbook L match: Q = sqrt(200/50 - 1), series reactance Q*50 ohm at the source side,
    // shunt susceptance Q/200 at the load. At f0 all the power reaches the load.
    const double f0 = 10e6;
    const double w0 = kTwoPi * f0;
    const double Q = std::sqrt(3.0);
    const Ladder match{50.0,
                       200.0,
                       {{BranchPlace::Series, BranchKind::Inductor, Q * 50.0 / w0, 0},
                        {BranchPlace::Shunt, BranchKind::Capacitor, 0, Q / 200.0 / w0}}};
    const NetworkPoint p = AnalyseAt(match, f0, {});
    EXPECT_NEAR(p.S21dB, 0.0, 1e-12);
    EXPECT_LT(p.S11dB, -200.0);
    EXPECT_LT(p.S22dB, -200.0);
    // Off f0 the lossless network still conserves power at either port.
    for (double f : {2e6, 7e6, 13e6, 40e6}) {
        const NetworkPoint q = AnalyseAt(match, f, {});
        const double t = std::pow(10.0, q.S21dB / 10.0);
        EXPECT_NEAR(t + std::pow(10.0, q.S11dB / 10.0), 1.0, 1e-12) << f;
        EXPECT_NEAR(t + std::pow(10.0, q.S22dB / 10.0), 1.0, 1e-12) << f;
    }
}

TEST(LadderAnalysis, LowPassAtDirectCurrentPassesEverything)
{
    // Inductors in series are shorts and capacitors across the line open at f = 0.
    const NetworkPoint p = AnalyseAt(DesignLadder({0, LadderTopology::T, 4, 0, 10, 0, 0, 50, 1e6}), 0.0, {});
    EXPECT_NEAR(p.S21dB, 0.0, 1e-15);
    EXPECT_EQ(p.S11dB, kReflectionFloorDb);
}

struct FaultCase {
    const char* name;
    Ladder ladder;
    double frequencyHz;
    PartQuality quality;
    const char* text;
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.name;
}

class Faults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(Faults, RaiseTheArithmeticErrorText)
{
    const FaultCase& c = GetParam();
    try {
        AnalyseAt(c.ladder, c.frequencyHz, c.quality);
        FAIL() << "no error for " << c.name;
    } catch (const ArithmeticError& e) {
        EXPECT_STREQ(e.what(), c.text);
    }
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const char* const kDiv = "Floating point division by zero";
const char* const kInv = "Invalid floating point operation";
const char* const kOvf = "Floating point overflow";

Ladder Series(BranchKind kind, double L, double C)
{
    return {50.0, 50.0, {{BranchPlace::Series, kind, L, C}}};
}
Ladder Shunt(BranchKind kind, double L, double C)
{
    return {50.0, 50.0, {{BranchPlace::Shunt, kind, L, C}}};
}

// Sections of tiny series capacitors and shunt inductors at a very low frequency: each one
// multiplies the chain matrix by about 1e78, past the extended range after 64 of them.
Ladder Overflowing()
{
    Ladder ladder{50.0, 50.0, {}};
    for (int i = 0; i < 70; ++i) {
        ladder.branches.push_back({BranchPlace::Series, BranchKind::Capacitor, 0, 1e-30});
        ladder.branches.push_back({BranchPlace::Shunt, BranchKind::Inductor, 1e-30, 0});
    }
    return ladder;
}

INSTANTIATE_TEST_SUITE_P(
    Guards, Faults,
    ::testing::Values(FaultCase{"SeriesCapacitorAtDc", Series(BranchKind::Capacitor, 0, 1e-9), 0.0, {}, kDiv},
                      FaultCase{"ShuntInductorAtDc", Shunt(BranchKind::Inductor, 1e-6, 0), 0.0, {}, kDiv},
                      FaultCase{"ZeroSeriesCapacitor", Series(BranchKind::Capacitor, 0, 0), 1e6, {}, kDiv},
                      FaultCase{"ZeroShuntInductor", Shunt(BranchKind::Inductor, 0, 0), 1e6, {}, kDiv},
                      FaultCase{"ZeroResonatorCapacitor", Series(BranchKind::Resonator, 1e-6, 0), 1e6, {}, kDiv},
                      FaultCase{"ZeroResistance", Ladder{0.0, 0.0, {}}, 1e6, {}, kDiv},
                      FaultCase{"ZeroSource", Ladder{0.0, 50.0, {}}, 1e6, {}, kDiv},
                      FaultCase{"NegativeLoad", Ladder{50.0, -50.0, {}}, 1e6, {}, kInv},
                      FaultCase{"NegativeQL", Series(BranchKind::Inductor, 1e-6, 0), 1e6, {-5, 0}, kInv},
                      FaultCase{"NaNQC", Series(BranchKind::Inductor, 1e-6, 0), 1e6, {0, kNaN}, kInv},
                      FaultCase{"NaNFrequency", Series(BranchKind::Inductor, 1e-6, 0), kNaN, {}, kInv},
                      FaultCase{"NaNPart", Series(BranchKind::Inductor, kNaN, 0), 1e6, {}, kInv},
                      FaultCase{"InfiniteFrequency", Series(BranchKind::Inductor, 1e-6, 0), kInf, {}, kOvf},
                      FaultCase{"BeyondExtendedRange", Overflowing(), 1e-10, {}, kOvf}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

struct HarmlessZeroCase {
    const char* name;
    Ladder ladder;
};

void PrintTo(const HarmlessZeroCase& c, std::ostream* os)
{
    *os << c.name;
}

class HarmlessZeros : public ::testing::TestWithParam<HarmlessZeroCase> {};

TEST_P(HarmlessZeros, AreShortsOrOpensThatPassEverything)
{
    const NetworkPoint p = AnalyseAt(GetParam().ladder, 1e6, {30, 30});
    EXPECT_NEAR(p.S21dB, 0.0, 1e-15);
    EXPECT_EQ(p.S11dB, kReflectionFloorDb);
}

INSTANTIATE_TEST_SUITE_P(Guards, HarmlessZeros,
                         ::testing::Values(HarmlessZeroCase{"ZeroSeriesInductor", Series(BranchKind::Inductor, 0, 0)},
                                           HarmlessZeroCase{"ZeroShuntCapacitor", Shunt(BranchKind::Capacitor, 0, 0)}),
                         [](const ::testing::TestParamInfo<HarmlessZeroCase>& info) {
                             return std::string(info.param.name);
                         });

struct PlaceCase {
    int position;
    LadderTopology topology;
    BranchPlace place;
};

void PrintTo(const PlaceCase& c, std::ostream* out)
{
    *out << "position " << c.position << (c.topology == LadderTopology::T ? " T" : " Pi");
}

class Places : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(Places, AlternateFromTheFirstPosition)
{
    EXPECT_EQ(PlaceOfPosition(GetParam().position, GetParam().topology), GetParam().place);
}

INSTANTIATE_TEST_SUITE_P(Roles, Places,
                         ::testing::Values(PlaceCase{1, LadderTopology::T, BranchPlace::Series},
                                           PlaceCase{2, LadderTopology::T, BranchPlace::Shunt},
                                           PlaceCase{7, LadderTopology::T, BranchPlace::Series},
                                           PlaceCase{1, LadderTopology::Pi, BranchPlace::Shunt},
                                           PlaceCase{2, LadderTopology::Pi, BranchPlace::Series},
                                           PlaceCase{10, LadderTopology::Pi, BranchPlace::Series}));

TEST(LadderPlace, TopologyForIndex)
{
    EXPECT_EQ(TopologyForIndex(0), LadderTopology::T);
    EXPECT_EQ(TopologyForIndex(1), LadderTopology::Pi);
    EXPECT_EQ(TopologyForIndex(-1), LadderTopology::Pi);
}

} // namespace
