// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Designs.h"
#include "tests/support/Ngspice.h"
#include "tests/support/TempFolder.h"
#include "analysis/NetworkResponse.h"
#include "analysis/PartModels.h"
#include "export/ExportSweep.h"
#include "export/SpiceNetlist.h"
#include "filtermath/ESeries.h"
#include "synthesis/Synthesis.h"

using namespace corvane;

namespace {

constexpr double kDepthLimitDb = -100.0;
constexpr double kToleranceDb = 0.01;

struct SpiceCase {
    const char* name;
    Design design;
    Sweep Freq;
    PartQuality quality;
    bool roundToE24;
};

void PrintTo(const SpiceCase& c, std::ostream* os)
{
    *os << c.name;
}

LadderModel CaseLadder(const SpiceCase& c)
{
    const LadderModel designed = DesignModel(c.design);
    return c.roundToE24 ? RoundParts(designed, ESeries::E24).ladder : designed;
}

// Simulates the netlist and compares its S21 with the analysis at every point above the depth limit.
void ExpectSimulationMatches(const char* name, const LadderModel& model, const Sweep& Freq, double unitScale,
                             const PartQuality& quality, const std::string& title)
{
    const Ladder ladder = LadderOfModel(model);
    TempFolder folder;
    const std::string path = folder.Path("ladder.cir");
    WriteSpiceNetlist(path, model, List(Freq), unitScale, quality, title);

    const NgspiceRun run = RunNgspice(path);
    EXPECT_EQ(run.status, 0) << run.output.substr(0, 3000);
    EXPECT_EQ(WarningLines(run.output), std::vector<std::string>{});
    const std::vector<SimulatedPoint> points = ParseNgspiceTable(run.output);
    // One table: a single heading over every row, no page breaks.
    size_t headings = 0;
    for (size_t at = run.output.find("\nIndex "); at != std::string::npos; at = run.output.find("\nIndex ", at + 1))
        ++headings;
    EXPECT_EQ(headings, 1u);
    const std::vector<double> exported = ExportFrequencies(List(Freq));
    ASSERT_EQ(points.size(), exported.size()) << run.output.substr(0, 3000);

    int compared = 0;
    double largest = 0.0;
    const double powerRatio = ladder.RS / ladder.RL;
    for (size_t i = 0; i < points.size(); ++i) {
        const double hz = exported[i] * unitScale;
        EXPECT_NEAR(points[i].hz, hz, 1e-12 * hz) << i;
        const double ours = AnalyseLadderAt(model, hz, quality).S21dB;
        if (ours <= kDepthLimitDb) continue;
        ASSERT_TRUE(std::isfinite(points[i].vout) && points[i].vout > 0.0) << "point " << i;
        // 1 V source: the power into RL over the available power RS/4 is 4 |V(out)|^2 RS/RL.
        const double fromVoltage = 10.0 * std::log10(4.0 * points[i].vout * points[i].vout * powerRatio);
        EXPECT_NEAR(points[i].s21db, fromVoltage, 1e-9) << "at " << hz << " Hz";
        largest = std::max(largest, std::fabs(points[i].s21db - ours));
        EXPECT_NEAR(points[i].s21db, ours, kToleranceDb) << "at " << hz << " Hz";
        ++compared;
    }
    EXPECT_GE(compared, static_cast<int>(points.size()) / 4);
    std::printf("[ MEASURED ] %-24s ngspice vs analysis: %d points, largest difference %.2e dB\n", name, compared,
                largest);
}

class Ngspice : public ::testing::TestWithParam<SpiceCase> {};

TEST_P(Ngspice, SimulatedS21MatchesTheAnalysis)
{
    if (!NgspiceInstalled())
        GTEST_SKIP() << "ngspice is not installed (Debian package ngspice); the netlist cannot be simulated";
    const SpiceCase& c = GetParam();
    ExpectSimulationMatches(c.name, CaseLadder(c), c.Freq, c.design.UnitScale, c.quality, DesignName(c.design));
}

// Traps and band arms leave inner nodes that reach ground only through capacitors.
TEST(NgspiceSynthesised, TrapLaddersRunWithoutWarnings)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    using namespace synthesis;
    struct Case {
        const char* name;
        Family family;
        FilterType type;
        int N;
        Sweep Freq;
    };
    const Case cases[] = {
        {"EllipticLPF5", Family::Elliptic, FilterType::LowPass, 5, LinearSweep(1, 40)},
        {"EllipticBPF4", Family::Elliptic, FilterType::BandPass, 4, LinearSweep(2, 20)},
        {"InverseChebyshevBSF5", Family::InverseChebyshev, FilterType::BandStop, 5, LinearSweep(2, 20)}};
    for (const Case& c : cases) {
        DesignRequest request;
        request.response = {c.family, c.N, 0.5L, 40.0L};
        request.type = c.type;
        request.passHz = 10e6;
        request.lowHz = 8e6;
        request.highHz = 12e6;
        ExpectSimulationMatches(c.name, Synthesise(request).ladder, c.Freq, 1e6, PartQuality{}, c.name);
    }
}

Sweep MixedKHz()
{
    Sweep Freq = LinearSweep(60, -39); // descending through zero into negative frequencies
    for (double& f : Freq) {
        if (f == 0.0) f = 1e-10;
    }
    return Freq;
}

INSTANTIATE_TEST_SUITE_P(
    Designs, Ngspice,
    ::testing::Values(
        SpiceCase{
            "DefaultButterworthLPF", {0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6}, LinearSweep(1, 100), {}, false},
        SpiceCase{
            "ButterworthLPFPi8", {0, LadderTopology::Pi, 8, 0, 10, 0, 0, 50, 1e6}, LinearSweep(1, 100), {}, false},
        SpiceCase{"ButterworthLPFT15", {0, LadderTopology::T, 15, 0, 10, 0, 0, 50, 1e6}, LogSweep(0.1, 100), {}, false},
        SpiceCase{"ChebyshevLPFT5", {3, LadderTopology::T, 5, 0.5, 10, 0, 0, 50, 1e6}, LinearSweep(1, 40), {}, false},
        SpiceCase{
            "ChebyshevLPFPi4Even", {3, LadderTopology::Pi, 4, 1.0, 10, 0, 0, 75, 1e6}, LinearSweep(1, 40), {}, false},
        SpiceCase{
            "ButterworthHPFT4kHz", {1, LadderTopology::T, 4, 0, 10, 0, 0, 600, 1e3}, LogSweep(0.5, 200), {}, false},
        SpiceCase{
            "ChebyshevHPFPi7GHz", {4, LadderTopology::Pi, 7, 0.1, 2.4, 0, 0, 50, 1e9}, LinearSweep(0.5, 6), {}, false},
        SpiceCase{"ButterworthBPFT3", {2, LadderTopology::T, 3, 0, 0, 10, 20, 50, 1e6}, LinearSweep(1, 50), {}, false},
        SpiceCase{"ChebyshevBPFPi5Narrow",
                  {5, LadderTopology::Pi, 5, 0.5, 0, 95, 105, 50, 1e6},
                  LinearSweep(85, 115),
                  {},
                  false},
        SpiceCase{"ChebyshevBPFT4Even", {5, LadderTopology::T, 4, 1.0, 0, 10, 20, 50, 1e6}, LogSweep(2, 80), {}, false},
        SpiceCase{"LossyButterworthLPFT5",
                  {0, LadderTopology::T, 5, 0, 10, 0, 0, 50, 1e6},
                  LinearSweep(1, 30),
                  {50, 200},
                  false},
        SpiceCase{
            "LossyBPFPi3", {2, LadderTopology::Pi, 3, 0, 0, 90, 110, 50, 1e6}, LinearSweep(70, 130), {100, 400}, false},
        SpiceCase{"E24ChebyshevLPFT5", {3, LadderTopology::T, 5, 0.5, 10, 0, 0, 50, 1e6}, LinearSweep(1, 40), {}, true},
        SpiceCase{
            "E24LossyHPFPi6", {1, LadderTopology::Pi, 6, 0, 10, 0, 0, 50, 1e6}, LinearSweep(1, 60), {80, 0}, true},
        SpiceCase{"ChebyshevLPFT6EvenLossy",
                  {3, LadderTopology::T, 6, 0.5, 10, 0, 0, 50, 1e6},
                  LinearSweep(1, 30),
                  {60, 300},
                  false},
        SpiceCase{
            "ChebyshevHPFT2ThreeDb", {4, LadderTopology::T, 2, 3.0, 10, 0, 0, 50, 1e6}, LogSweep(1, 100), {}, false},
        SpiceCase{"MixedSweepLPFkHz", {3, LadderTopology::T, 3, 1.0, 20, 0, 0, 50, 1e3}, MixedKHz(), {}, false}),
    [](const ::testing::TestParamInfo<SpiceCase>& info) { return info.param.name; });

// Part models and board strays as the netlist writes them (plain R, L and C, the losses set per
// frequency) against the analysis of the same models, through and past the self-resonances.
struct ModelCase {
    const char* name;
    Design design;
    Sweep Freq;
    PartQuality quality;
    void (*apply)(LadderModel&);
};

TEST(NgspicePartModels, SimulatedS21MatchesTheAnalysis)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    const ModelCase cases[] = {
        {"KindDefaultsLPF",
         {3, LadderTopology::T, 5, 0.5, 10, 0, 0, 50, 1e6},
         LinearSweep(1, 100),
         {},
         [](LadderModel& m) {
             m.inductorModel = {60, QGrowth::Constant, 0, 0.2, 80e6, 0};
             m.capacitorModel = {0, QGrowth::Constant, 0, 0.05, 0, 1.5e-9};
         }},
        {"GrowingQWithGlobalQC",
         {0, LadderTopology::Pi, 4, 0, 10, 0, 0, 50, 1e6},
         LogSweep(0.5, 200),
         {0, 300},
         [](LadderModel& m) {
             m.inductorModel = {40, QGrowth::SqrtF, 10e6, 0.1, 0, 0};
             m.capacitorModel = {0, QGrowth::Constant, 0, 0, 150e6, 0};
         }},
        {"PerPartModelsAndStrays",
         {0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6},
         LinearSweep(1, 60),
         {80, 0},
         [](LadderModel& m) {
             m.branches[0].parts[0].model = PartModel{25, QGrowth::Constant, 0, 0, 45e6, 0};
             m.branches[1].parts[0].model = PartModel{400, QGrowth::SqrtF, 5e6, 0.02, 90e6, 0};
             m.branches[1].parts[0].leadL = 2e-9;
             m.strays.nodeC = 3e-12;
             m.strays.leadL = 0.7e-9;
             m.strays.nodeCAt[2] = 8e-12;
         }},
        {"BandPassResonators",
         {2, LadderTopology::Pi, 3, 0, 0, 90, 110, 50, 1e6},
         LinearSweep(60, 300),
         {},
         [](LadderModel& m) {
             m.inductorModel = {120, QGrowth::Constant, 0, 0.05, 600e6, 0};
             m.capacitorModel = {800, QGrowth::Constant, 0, 0, 0, 0.4e-9};
             m.strays.nodeC = 1e-12;
         }},
    };
    for (const ModelCase& c : cases) {
        LadderModel model = DesignModel(c.design);
        c.apply(model);
        ExpectSimulationMatches(c.name, model, c.Freq, c.design.UnitScale, c.quality, c.name);
    }
}

// The arms of traps and band-stops, each part with a self-resonance and a loss.
TEST(NgspicePartModels, TrapArmsMatchTheAnalysis)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    using namespace synthesis;
    for (FilterType type : {FilterType::LowPass, FilterType::BandStop, FilterType::BandPass}) {
        DesignRequest request;
        request.response = {Family::Elliptic, 4, 0.5L, 40.0L};
        request.type = type;
        request.passHz = 10e6;
        request.lowHz = 8e6;
        request.highHz = 12e6;
        LadderModel model = Synthesise(request).ladder;
        model.inductorModel = {90, QGrowth::SqrtF, 10e6, 0.03, 250e6, 0};
        model.capacitorModel = {600, QGrowth::Constant, 0, 0.01, 0, 0.6e-9};
        model.strays.nodeC = 0.5e-12;
        ExpectSimulationMatches("EllipticWithModels", model, LinearSweep(2, 40), 1e6, {}, "trap arms");
    }
}

} // namespace
