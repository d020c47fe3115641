// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/PartModels.h"
#include "export/SpiceNetlist.h"
#include "synthesis/Synthesis.h"
#include "tests/export/LadderForms.h"
#include "tests/support/Ngspice.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

namespace {

// A deck that instances the subcircuit between a source of RS and a load of RL, with its own
// control lines.
std::string DeckAround(const LadderModel& ladder, const std::string& subcircuitPath, const std::string& source,
                       const std::string& control)
{
    std::ostringstream deck;
    deck.precision(17);
    deck << "* the subcircuit in a circuit of its user's\n.include " << subcircuitPath << "\nV1 src 0 " << source
         << "\nRS src a " << ladder.RS << "\nX1 a out 0 " << kSpiceSubcircuitName << "\nRL out 0 " << ladder.RL
         << "\n.control\n"
         << control << "quit 0\n.endc\n.end\n";
    return deck.str();
}

NgspiceRun RunDeck(const std::string& text, const std::string& path)
{
    std::ofstream(path) << text;
    return RunNgspice(path);
}

// Every kind of part model and stray, one at a time, with values a real board has.
struct ModelKind {
    const char* name;
    PartQuality quality;
    void (*apply)(LadderModel&);
};

const ModelKind kModelKinds[] = {
    {"Ideal", {}, [](LadderModel&) {}},
    {"ConstantQ", {60, 300}, [](LadderModel&) {}},
    {"GrowingQ", {}, [](LadderModel& m) { m.inductorModel = {50, QGrowth::SqrtF, 10e6, 0, 0, 0}; }},
    {"SelfResonance",
     {},
     [](LadderModel& m) {
         m.inductorModel.srfHz = 150e6;
         m.capacitorModel.srfHz = 400e6;
     }},
    {"SeriesResistance",
     {},
     [](LadderModel& m) {
         m.inductorModel.seriesR = 0.2;
         m.capacitorModel.seriesR = 0.05;
     }},
    {"CapacitorEsl", {}, [](LadderModel& m) { m.capacitorModel.esl = 0.8e-9; }},
    {"Leads", {}, [](LadderModel& m) { m.strays.leadL = 1e-9; }},
    {"NodeStrays", {}, [](LadderModel& m) { m.strays.nodeC = 2e-12; }},
};

class NgspiceAnalyses : public ::testing::TestWithParam<ModelKind> {};

// Every exported ladder of every form, with each part model, runs in ngspice's .op, .tran and .ac,
// as the subcircuit in a user's circuit and as the test bench, without a warning line.
TEST_P(NgspiceAnalyses, EveryFormRunsWithoutWarnings)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    const ModelKind& kind = GetParam();
    TempFolder folder;
    const std::string subPath = folder.Path("ladder.sub");
    for (NamedLadder c : EveryLadderForm()) {
        SCOPED_TRACE(c.name);
        kind.apply(c.ladder);
        WriteSpiceSubcircuit(subPath, c.ladder, kind.quality, c.name);
        const NgspiceRun analyses =
            RunDeck(DeckAround(c.ladder, subPath, "DC 0 AC 1 SIN(0 1 10e6)", "op\ntran 2n 400n\nac dec 10 1e6 100e6\n"),
                    folder.Path("analyses.cir"));
        EXPECT_EQ(analyses.status, 0) << analyses.output.substr(0, 2000);
        EXPECT_EQ(WarningLines(analyses.output), std::vector<std::string>{});
        const NgspiceRun bench =
            RunDeck(SpiceNetlist(c.ladder, {2e6, 9e6, 11e6, 40e6}, kind.quality, c.name), folder.Path("bench.cir"));
        EXPECT_EQ(bench.status, 0) << bench.output.substr(0, 2000);
        EXPECT_EQ(WarningLines(bench.output), std::vector<std::string>{});
    }
}

INSTANTIATE_TEST_SUITE_P(PartModels, NgspiceAnalyses, ::testing::ValuesIn(kModelKinds),
                         [](const ::testing::TestParamInfo<ModelKind>& info) { return info.param.name; });

// The steady amplitude of a sine through the subcircuit in a transient, in dB of the source's
// available voltage (as S21): the peak over the last 200 ns of 2 us.
double TransientGainDb(const LadderModel& ladder, const std::string& subPath, double hz, const std::string& deckPath)
{
    std::ostringstream source, control;
    source.precision(17);
    source << "DC 0 SIN(0 1 " << hz << ")";
    control.precision(17);
    control << "tran " << 0.02 / hz << " 2u 0 " << 0.02 / hz << "\nmeas tran top max v(out) from=1.8u to=2u\n"
            << "meas tran bottom min v(out) from=1.8u to=2u\nprint (top - bottom) / 2\n";
    const NgspiceRun run = RunDeck(DeckAround(ladder, subPath, source.str(), control.str()), deckPath);
    EXPECT_EQ(run.status, 0) << run.output.substr(0, 2000);
    EXPECT_EQ(WarningLines(run.output), std::vector<std::string>{});
    const size_t at = run.output.find("(top - bottom) / 2 = ");
    if (at == std::string::npos) {
        ADD_FAILURE() << run.output.substr(0, 2000);
        return 0.0;
    }
    const double amplitude = std::stod(run.output.substr(at + 21));
    return 20.0 * std::log10(2.0 * amplitude * std::sqrt(ladder.RS / ladder.RL));
}

// With capacitor and inductor Q set, a transient passes a passband sine and stops a stopband one
// as the AC analysis says: the loss resistors hold a finite value outside AC. The transient uses
// each loss at the reference frequency, so it agrees to the change in loss, not exactly.
TEST(NgspiceTransient, SineAmplitudesAgreeWithTheAcAnalysis)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    synthesis::DesignRequest request;
    request.response = {Family::Chebyshev, 5, 0.1L, 40.0L};
    request.passHz = 10e6;
    const LadderModel ladder = synthesis::Synthesise(request).ladder;
    const PartQuality quality{80, 500};
    TempFolder folder;
    const std::string subPath = folder.Path("ladder.sub");
    WriteSpiceSubcircuit(subPath, ladder, quality, "transient");
    struct Point {
        double hz, toleranceDb;
    };
    for (const Point& p : {Point{5e6, 0.1}, Point{30e6, 0.5}}) {
        SCOPED_TRACE(p.hz);
        const double ac = AnalyseLadderAt(ladder, p.hz, quality).S21dB;
        const double tran = TransientGainDb(ladder, subPath, p.hz, folder.Path("tran.cir"));
        std::printf("[ MEASURED ] %.0f Hz: AC %.3f dB, transient %.3f dB\n", p.hz, ac, tran);
        EXPECT_NEAR(tran, ac, p.toleranceDb);
    }
}

// A zero just past the passband edge: the DC paths leave the null as deep and the ripple as the
// analysis has them.
TEST(NgspiceDcPaths, LeaveAZeroAtThePassbandEdgeAlone)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    synthesis::DesignRequest request;
    request.response = {Family::Chebyshev, 3, 0.1L, 40.0L};
    request.passHz = 10e6;
    request.zerosHz = {10.001e6};
    const LadderModel ladder = synthesis::Synthesise(request).ladder;
    std::vector<double> hz;
    for (int i = 1; i <= 200; ++i) hz.push_back(10e6 * i / 200.0);
    hz.push_back(10.001e6);
    TempFolder folder;
    const NgspiceRun run = RunDeck(SpiceNetlist(ladder, hz, {}, "edge zero"), folder.Path("edge.cir"));
    ASSERT_EQ(run.status, 0);
    const std::vector<SimulatedPoint> points = ParseNgspiceTable(run.output);
    ASSERT_EQ(points.size(), hz.size());
    double simulatedRipple = 0.0, analysedRipple = 0.0;
    for (size_t i = 0; i + 1 < hz.size(); ++i) {
        simulatedRipple = std::max(simulatedRipple, -points[i].s21db);
        analysedRipple = std::max(analysedRipple, -AnalyseLadderAt(ladder, hz[i], {}).S21dB);
    }
    std::printf("[ MEASURED ] ripple: ngspice %.5f dB, analysis %.5f dB; null %.1f dB\n", simulatedRipple,
                analysedRipple, points.back().s21db);
    EXPECT_NEAR(simulatedRipple, analysedRipple, 1e-4);
    EXPECT_LT(points.back().s21db, -120.0);
}

} // namespace
