// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "analysis/PartModels.h"
#include "filtermath/Failure.h"
#include "tests/support/Designs.h"

using namespace corvane;

namespace {

const double kTwoPi = 2.0 * M_PI;

std::complex<double> Z(PartKind kind, double value, const PartModel& model, double hz, double lead = 0.0)
{
    const PartImpedance z = ImpedanceOf(kind, value, model, lead, kTwoPi * hz);
    return {static_cast<double>(z.value.real()), static_cast<double>(z.value.imag())};
}

// Worked by hand at the resonances, where the formulas collapse to a line each.
TEST(PartImpedance, HandValuesAtResonanceAndAtTheStatedQ)
{
    // 390 nH, Q 50 at any frequency, resonant at 1 GHz: at resonance the parallel tank of
    // X = w0 L with R = X/Q is X (Q - j).
    const double X = kTwoPi * 1e9 * 390e-9;
    const std::complex<double> tank = Z(PartKind::Inductor, 390e-9, {50, QGrowth::Constant, 0, 0, 1e9, 0}, 1e9);
    EXPECT_NEAR(tank.real(), 50 * X, 1e-9 * 50 * X);
    EXPECT_NEAR(tank.imag(), -X, 1e-9 * X);
    // A Q growing with sqrt(f): 40 at 10 MHz is 80 at 40 MHz, so R = wL/80, plus the DC resistance.
    const std::complex<double> skin = Z(PartKind::Inductor, 1e-6, {40, QGrowth::SqrtF, 10e6, 0.3, 0, 0}, 40e6);
    EXPECT_NEAR(skin.real(), 0.3 + kTwoPi * 40e6 * 1e-6 / 80, 1e-12);
    EXPECT_NEAR(skin.imag(), kTwoPi * 40e6 * 1e-6, 1e-9);
    // 100 pF with 0.4 nH (0402): series resonance at 1/(2 pi sqrt(LC)) = 795.8 MHz, where only ESR and
    // the Q loss 1/(w C Q) are left.
    const double f0 = 1.0 / (kTwoPi * std::sqrt(0.4e-9 * 100e-12));
    const std::complex<double> cap = Z(PartKind::Capacitor, 100e-12, {200, QGrowth::Constant, 0, 0.1, 0, 0.4e-9}, f0);
    EXPECT_NEAR(cap.real(), 0.1 + 1.0 / (kTwoPi * f0 * 100e-12 * 200), 1e-12);
    EXPECT_NEAR(cap.imag(), 0.0, 1e-9);
    // The same capacitor given by its self-resonance instead of its ESL, and a 1 nH lead.
    const std::complex<double> bySrf =
        Z(PartKind::Capacitor, 100e-12, {0, QGrowth::Constant, 0, 0, f0, 0}, 2 * f0, 1e-9);
    const std::complex<double> byEsl = Z(PartKind::Capacitor, 100e-12, {0, QGrowth::Constant, 0, 0, 0, 0.4e-9}, 2 * f0);
    EXPECT_NEAR(bySrf.imag(), byEsl.imag() + kTwoPi * 2 * f0 * 1e-9, 1e-9);
}

TEST(PartImpedance, RefusesModelsThatAreNoParts)
{
    const PartModel negativeQ{-5, QGrowth::Constant, 0, 0, 0, 0};
    const PartModel growingWithoutPoint{50, QGrowth::SqrtF, 0, 0, 0, 0};
    const PartModel nanEsl{0, QGrowth::Constant, 0, 0, 0, NAN};
    for (const PartModel& model : {negativeQ, growingWithoutPoint, nanEsl})
        EXPECT_THROW(ImpedanceOf(PartKind::Capacitor, 1e-9, model, 0.0, 1e6), ArithmeticError);
    EXPECT_THROW(ImpedanceOf(PartKind::Inductor, 1e-6, {}, -1e-9, 1e6), ArithmeticError);
}

// A kind's default Q through the part models must give what the plain analysis gives with the same
// one Q per kind: two routes through different code to the same ladder.
TEST(AnalyseModelAt, KindQAgreesWithThePlainAnalysis)
{
    for (const Design& design : {Design{3, LadderTopology::T, 5, 0.5, 10, 0, 0, 50, 1e6},
                                 Design{5, LadderTopology::Pi, 4, 1.0, 0, 10, 20, 50, 1e6}}) {
        LadderModel model = DesignModel(design);
        const Ladder plain = LadderOfModel(model);
        model.inductorModel.Q = 70;
        model.capacitorModel.Q = 350;
        for (double hz : {1e6, 9.5e6, 14e6, 31e6}) {
            const NetworkPoint a = AnalyseModelAt(model, hz, {});
            const NetworkPoint b = AnalyseAt(plain, hz, {70, 350});
            EXPECT_NEAR(a.S21dB, b.S21dB, 1e-12 * (1 + std::fabs(b.S21dB))) << hz;
            EXPECT_NEAR(a.S11dB, b.S11dB, 1e-9 * (1 + std::fabs(b.S11dB))) << hz;
            EXPECT_NEAR(a.GroupDelay, b.GroupDelay, 1e-12 * std::fabs(b.GroupDelay)) << hz;
        }
    }
}

// The delay comes from each model's derivative; the phase difference over a small step is a second
// route to it, through every feature at once.
TEST(AnalyseModelAt, DelayAgreesWithThePhaseSlope)
{
    LadderModel model = DesignModel({2, LadderTopology::T, 3, 0, 0, 90, 110, 50, 1e6});
    model.inductorModel = {60, QGrowth::SqrtF, 100e6, 0.1, 700e6, 0};
    model.capacitorModel = {500, QGrowth::Constant, 0, 0.02, 0, 0.5e-9};
    model.branches[1].parts[1].model = PartModel{0, QGrowth::Constant, 0, 0, 900e6, 0};
    model.strays = {2e-12, 1e-9, {{2, 5e-12}}};
    for (double hz : {70e6, 95e6, 101e6, 108e6, 150e6}) {
        const double h = hz * 1e-6;
        const double up = AnalyseModelAt(model, hz + h, {}).S21Deg;
        const double down = AnalyseModelAt(model, hz - h, {}).S21Deg;
        const double slope = -(up - down) * (M_PI / 180.0) / (kTwoPi * 2 * h);
        const double delay = AnalyseModelAt(model, hz, {}).GroupDelay;
        EXPECT_NEAR(delay, slope, 1e-6 * std::fabs(slope)) << hz;
    }
}

// The parts table's model column: what each part is built as, in brief, its kind's Q included.
TEST(ModelSummary, NamesEachFeatureOfTheModelAsBuilt)
{
    LadderModel ladder = DesignModel(Design{0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6}); // L1 C2 L3
    const ModelPart& L1 = ladder.branches[0].parts[0];
    const ModelPart& C2 = ladder.branches[1].parts[0];
    EXPECT_EQ(ModelSummary(ladder, L1, {}), "ideal");
    EXPECT_EQ(ModelSummary(ladder, L1, {80, 0}), "Q 80");
    ladder.inductorModel = {40, QGrowth::SqrtF, 10e6, 0.3, 1.2e9, 0};
    ladder.strays.leadL = 1e-9;
    EXPECT_EQ(ModelSummary(ladder, L1, {80, 0}),
              "Q 40 @ 10 MHz, Rdc 300 m\u03a9, SRF 1.2 GHz, lead 1 nH");
    ladder.capacitorModel = {0, QGrowth::Constant, 0, 0.05, 0, 0.4e-9};
    EXPECT_EQ(ModelSummary(ladder, C2, {}), "ESR 50 m\u03a9, ESL 400 pH, lead 1 nH");
    const LadderModel ideal = WithIdealParts(ladder);
    EXPECT_FALSE(HasPartModels(ideal));
    EXPECT_EQ(ideal.branches[1].parts[0].value, C2.value);
}

} // namespace
