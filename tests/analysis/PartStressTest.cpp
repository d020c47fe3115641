// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <sstream>
#include <string>

#include "analysis/PartModels.h"
#include "analysis/PartStress.h"
#include "export/SpiceNetlist.h"
#include "tests/support/Designs.h"
#include "tests/support/Ngspice.h"
#include "tests/support/SpiceDeck.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

namespace {

// 3-pole Butterworth T (g = 1, 2, 1) between 50 ohm at its 10 MHz corner, worked by hand in the
// normalised ladder with V = 1, I = 1 at the load: V2 = 1 + j, I(C2) = 2j(1 + j), I1 = -1 + 2j,
// V1 = -1, EMF = V1 + I1 = -2 + 2j. A 1 W source has an EMF of sqrt(8 * 50 * 1) = 20 V peak, so
// the scale is 20 / (2 sqrt 2).
TEST(PartStress, ThreePoleCornerByHand)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
    const std::vector<PartStress> s = StressOfParts(ladder, {}, {10e6}, {1.0, 1.0, 72});
    ASSERT_EQ(s.size(), 3u);
    const double scale = 20.0 / (2.0 * std::sqrt(2.0));
    EXPECT_NEAR(s[0].iPeak, scale * std::sqrt(5.0) / 50.0, 1e-9); // L1: |I1| = sqrt 5
    EXPECT_NEAR(s[0].vPeak, scale * std::sqrt(5.0), 1e-7); // |j X I1|, X = 50 ohm
    EXPECT_NEAR(s[1].vPeak, scale * std::sqrt(2.0), 1e-7); // C2: |1 + j|
    EXPECT_NEAR(s[1].iPeak, scale * 2.0 * std::sqrt(2.0) / 50.0, 1e-9);
    EXPECT_NEAR(s[2].iPeak, scale / 50.0, 1e-9); // L3: the load current
    EXPECT_EQ(s[1].vHz, 10e6);
    for (const PartStress& p : s) EXPECT_NEAR(p.pDiss, 0.0, 1e-12) << p.part; // ideal parts
}

// Near DC the low-pass is a wire: the current is EMF / (RS + ZL), largest where the load's
// reflection is -|G|, (1 + |G|) times the matched one; the voltage, EMF ZL / (RS + ZL), is largest at +|G|.
TEST(PartStress, VswrWorstCaseNearDc)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
    const std::vector<PartStress> matched = StressOfParts(ladder, {}, {1e3}, {4.0, 1.0, 72});
    const std::vector<PartStress> mismatched = StressOfParts(ladder, {}, {1e3}, {4.0, 3.0, 72});
    const double rho = 0.5;
    EXPECT_NEAR(matched[0].iPeak, 40.0 / 100.0, 1e-6);
    EXPECT_NEAR(mismatched[0].iPeak, (1 + rho) * matched[0].iPeak, 1e-6);
    EXPECT_NEAR(mismatched[1].vPeak, (1 + rho) * matched[1].vPeak, 1e-5);
    EXPECT_THROW(StressOfParts(ladder, {}, {1e3}, {4.0, 0.5, 72}), std::invalid_argument);
    EXPECT_THROW(StressOfParts(ladder, {}, {1e3}, {0.0, 1.0, 72}), std::invalid_argument);
}

// What the source makes available and the load does not take, nor the input reflects, is lost in
// the parts: the sum of their dissipations is P (1 - |S21|^2 - |S11|^2).
TEST(PartStress, DissipationAddsUpToTheLostPower)
{
    LadderModel ladder = DesignModel({3, LadderTopology::Pi, 5, 0.5, 10, 0, 0, 50, 1e6});
    ladder.inductorModel = {40, QGrowth::SqrtF, 10e6, 0.2, 90e6, 0};
    ladder.capacitorModel = {300, QGrowth::Constant, 0, 0.05, 0, 0.8e-9};
    for (double hz : {2e6, 9e6, 12e6}) {
        double total = 0.0;
        for (const PartStress& p : StressOfParts(ladder, {}, {hz}, {2.0, 1.0, 72})) total += p.pDiss;
        const NetworkPoint n = AnalyseModelAt(ladder, hz, {});
        const double lost = 2.0 * (1.0 - std::pow(10.0, n.S21dB / 10) - std::pow(10.0, n.S11dB / 10));
        EXPECT_NEAR(total, lost, 1e-9 + 1e-9 * lost) << hz;
    }
}

// ngspice's expression for the voltage from node a to node b; ground is no vector of its own.
std::string Difference(const std::string& a, const std::string& b)
{
    return b == "0" ? "v(" + a + ")" : "v(" + a + ") - v(" + b + ")";
}

// The voltage across each capacitor and the current through each inductor against ngspice's AC
// solution of the exported netlist (1 V source, matched load), with DC resistances and ESRs.
TEST(PartStress, AgreesWithNgspiceAtAMatchedLoad)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    LadderModel ladder = DesignModel({3, LadderTopology::T, 5, 0.5, 10, 0, 0, 50, 1e6});
    ladder.inductorModel.seriesR = 0.4;
    ladder.capacitorModel.seriesR = 0.15;
    const double hz = 8.3e6;
    const std::string netlist = SpiceNetlist(ladder, {hz}, {}, "stress");
    const SpiceDeck deck = ParseSpiceDeck(netlist);
    std::ostringstream control;
    control << netlist.substr(0, netlist.find(".control")) << ".control\nset numdgt=12\nac lin 1 " << hz << ' ' << hz
            << '\n';
    std::vector<std::string> names;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) {
            names.push_back(part.designator);
            if (part.kind == PartKind::Inductor)
                control << "print mag(i(" << part.designator << "))\n";
            else
                control << "print mag("
                        << Difference(deck.elements.at(part.designator).a, deck.elements.at("RQ" + part.designator).b)
                        << ")\n";
        }
    control << "quit 0\n.endc\n.end\n";
    TempFolder folder;
    const std::string path = folder.Path("stress.cir");
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(control.str().c_str(), file);
    std::fclose(file);
    const NgspiceRun run = RunNgspice(path);
    ASSERT_EQ(run.status, 0) << run.output;
    const std::vector<PartPhasor> ours = PartPhasorsAt(ladder, {}, hz, {50.0L, 0.0L}, 1.0L);
    std::istringstream lines(run.output);
    std::string line;
    size_t k = 0;
    while (std::getline(lines, line) && k < names.size()) {
        const size_t eq = line.find(" = ");
        if (line.rfind("mag(", 0) != 0 || eq == std::string::npos) continue;
        const double simulated = std::stod(line.substr(eq + 3));
        const PartPhasor& p = ours[k];
        const double mine = static_cast<double>(std::abs(names[k][0] == 'L' ? p.i : p.v));
        EXPECT_NEAR(mine, simulated, 1e-3 * simulated) << names[k];
        ++k;
    }
    EXPECT_EQ(k, names.size()) << run.output;
}

// At a mismatched load the worst case is kept over the circle of loads of that VSWR: the same as
// solving the ladder for each load on its own (PartPhasorsAt) and keeping the largest, for a lossy
// ladder with strays in its passband, at its edge and in its stopband.
TEST(PartStress, MismatchedWorstCaseIsThatOfEachLoadSolvedAlone)
{
    LadderModel ladder = DesignModel({3, LadderTopology::Pi, 5, 0.5, 10, 0, 0, 50, 1e6});
    ladder.inductorModel = {40, QGrowth::SqrtF, 10e6, 0.2, 90e6, 0};
    ladder.capacitorModel = {300, QGrowth::Constant, 0, 0.05, 0, 0.8e-9};
    ladder.strays = {1e-12, 0.3e-9, {}};
    const double watts = 25.0, vswr = 3.0, rho = 0.5;
    const int steps = 12;
    const long double emf = SourcePeakVolts(ladder.RS, watts);
    for (double hz : {3e6, 10e6, 17e6}) {
        const std::vector<PartStress> s = StressOfParts(ladder, {}, {hz}, {watts, vswr, steps});
        std::vector<double> v(s.size()), i(s.size()), w(s.size());
        for (int k = 0; k < steps; ++k) {
            const std::complex<long double> gamma =
                std::polar<long double>(rho, 2 * 3.14159265358979323846L * k / steps);
            const std::complex<long double> load =
                static_cast<long double>(ladder.RL) * (1.0L + gamma) / (1.0L - gamma);
            const std::vector<PartPhasor> p = PartPhasorsAt(ladder, {}, hz, load, emf);
            for (size_t n = 0; n < p.size(); ++n) {
                v[n] = std::max(v[n], static_cast<double>(std::abs(p[n].v)));
                i[n] = std::max(i[n], static_cast<double>(std::abs(p[n].i)));
                w[n] = std::max(w[n], static_cast<double>(0.5L * std::real(p[n].v * std::conj(p[n].i))));
            }
        }
        for (size_t n = 0; n < s.size(); ++n) {
            EXPECT_NEAR(s[n].vPeak, v[n], 1e-12 * v[n]) << s[n].part << " at " << hz;
            EXPECT_NEAR(s[n].iPeak, i[n], 1e-12 * i[n]) << s[n].part << " at " << hz;
            EXPECT_NEAR(s[n].pDiss, w[n], 1e-12 * w[n] + 1e-15) << s[n].part << " at " << hz;
        }
    }
}

// One pass keeps the passband's worst case beside the sweep's: each the same as the stress over
// those points alone, for a low-pass whose sweep runs far past its edge and at a mismatched load.
TEST(PartStress, OverBandSplitsThePassbandFromTheSweep)
{
    const LadderModel ladder = DesignModel({1, LadderTopology::Pi, 5, 0.5, 10, 0, 0, 50, 1e6});
    const std::vector<double> sweep = {1e6, 5e6, 9.5e6, 10e6, 14e6, 30e6};
    const StressDrive drive{10.0, 2.0, 24};
    const BandStress both = StressOverBand(ladder, {}, sweep, {BandShape::LowPass, 0.0, 10e6}, drive);
    EXPECT_EQ(both.passbandPoints, 4);
    const std::vector<PartStress> pass = StressOfParts(ladder, {}, {1e6, 5e6, 9.5e6, 10e6}, drive);
    const std::vector<PartStress> all = StressOfParts(ladder, {}, sweep, drive);
    ASSERT_EQ(both.passband.size(), pass.size());
    for (size_t k = 0; k < pass.size(); ++k) {
        EXPECT_EQ(both.passband[k].vPeak, pass[k].vPeak) << pass[k].part;
        EXPECT_EQ(both.passband[k].iHz, pass[k].iHz) << pass[k].part;
        EXPECT_EQ(both.sweep[k].iPeak, all[k].iPeak) << pass[k].part;
        EXPECT_EQ(RatedPeakHz(both.sweep[k]), pass[k].kind == PartKind::Capacitor ? all[k].vHz : all[k].iHz);
    }
    // A sweep wholly in the stopband leaves the passband's figures at zero and says so.
    const BandStress outside = StressOverBand(ladder, {}, {20e6, 30e6}, {BandShape::LowPass, 0.0, 10e6}, drive);
    EXPECT_EQ(outside.passbandPoints, 0);
    EXPECT_EQ(outside.passband[0].vPeak, 0.0);
    EXPECT_GT(outside.sweep[0].vPeak, 0.0);
}

// A capacitor is held to its voltage rating, an inductor to its current rating; no rating, no mark.
TEST(PartStress, ExceededRatingByKind)
{
    struct Case {
        PartKind kind;
        double vPeak, iPeak;
        StressRatings ratings;
        double exceeded;
    };
    const Case cases[] = {{PartKind::Capacitor, 60, 9, {50, 1}, 50},  {PartKind::Capacitor, 40, 9, {50, 1}, 0},
                          {PartKind::Capacitor, 50, 9, {50, 1}, 0},   {PartKind::Capacitor, 60, 9, {0, 1}, 0},
                          {PartKind::Inductor, 900, 2.5, {50, 2}, 2}, {PartKind::Inductor, 900, 1.5, {50, 2}, 0},
                          {PartKind::Inductor, 900, 2.5, {50, 0}, 0}};
    for (const Case& c : cases) {
        PartStress stress{"X1", c.kind, c.vPeak, 1e6, c.iPeak, 2e6, 0.0, 0.0};
        EXPECT_EQ(ExceededRating(stress, c.ratings), c.exceeded) << c.vPeak << " V, " << c.iPeak << " A";
    }
}

} // namespace
