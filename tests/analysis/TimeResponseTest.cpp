// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "analysis/TimeResponse.h"
#include "design/LadderModel.h"
#include "export/SpiceNetlist.h"
#include "tests/support/Designs.h"
#include "tests/support/Ngspice.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

namespace {

const double kTwoPi = 2.0 * M_PI;

// Ladders whose transfer has a closed-form inverse Laplace transform, between 1 ohm terminations.
struct ClosedFormCase {
    const char* name;
    Ladder ladder;
    DesignBand band;
    std::function<double(double)> step;
    std::function<double(double)> impulse;
    double impulseAtZero;
};

void PrintTo(const ClosedFormCase& c, std::ostream* os)
{
    *os << c.name;
}

// The 3-pole Butterworth low-pass at 1 rad/s: S21 = 1 / (s^3 + 2 s^2 + 2 s + 1), poles -1 and
// -1/2 +- j sqrt(3)/2.
ClosedFormCase Butterworth3()
{
    const double r = std::sqrt(3.0) / 2.0;
    return {
        "Butterworth3",
        {1.0,
         1.0,
         {{BranchPlace::Series, BranchKind::Inductor, 1.0, 0.0},
          {BranchPlace::Shunt, BranchKind::Capacitor, 0.0, 2.0},
          {BranchPlace::Series, BranchKind::Inductor, 1.0, 0.0}}},
        {BandShape::LowPass, 0.0, 1.0 / kTwoPi},
        [r](double t) { return 1.0 - std::exp(-t) - std::exp(-t / 2.0) * std::sin(r * t) / r; },
        [r](double t) { return std::exp(-t) + std::exp(-t / 2.0) * (std::sin(r * t) / (2.0 * r) - std::cos(r * t)); },
        0.0};
}

// A lone series capacitor of 0.5 F: S21 = 2 s C / (2 s C + 1) = 1 - 1/(s + 1), which passes the
// edge of the step at once and then decays.
ClosedFormCase SeriesCapacitor()
{
    return {"SeriesCapacitor",
            {1.0, 1.0, {{BranchPlace::Series, BranchKind::Capacitor, 0.0, 0.5}}},
            {BandShape::HighPass, 1.0 / kTwoPi, 0.0},
            [](double t) { return std::exp(-t); },
            [](double t) { return -std::exp(-t); },
            1.0};
}

// A shunt series resonator, L = 1 H and C = 1 F, between 1 ohm: S21 = (s^2 + 1) / (s^2 + s/2 + 1),
// a band-stop at 1 rad/s that passes the step's edge and its level alike.
ClosedFormCase ShuntNotch()
{
    const double wd = std::sqrt(15.0) / 4.0;
    return {"ShuntNotch",
            {1.0, 1.0, {{BranchPlace::Shunt, BranchKind::SeriesLC, 1.0, 1.0}}},
            {BandShape::BandStop, 0.5 / kTwoPi, 2.0 / kTwoPi},
            // 1 - (s/2)/(s^2 + s/2 + 1): the step is 1 - (1/2) e^(-t/4) sin(wd t) / wd.
            [wd](double t) { return 1.0 - 0.5 * std::exp(-t / 4.0) * std::sin(wd * t) / wd; },
            [wd](double t) { return -0.5 * std::exp(-t / 4.0) * (std::cos(wd * t) - std::sin(wd * t) / (4.0 * wd)); },
            1.0};
}

class TimeResponseClosedForm : public ::testing::TestWithParam<ClosedFormCase> {};

TEST_P(TimeResponseClosedForm, FollowsTheInverseLaplaceTransform)
{
    const ClosedFormCase& c = GetParam();
    const TimeResponse r = AnalyseTime(ModelOfLadder(c.ladder), {}, c.band, 4096);
    ASSERT_EQ(r.time.size(), 4096u);
    EXPECT_NEAR(r.impulseAtZero, c.impulseAtZero, 1e-6);
    // The response is shown until it has died away.
    EXPECT_LT(std::fabs(c.impulse(r.time.back())), 0.01);
    double stepError = 0.0, impulseError = 0.0;
    // From the second point on: at 0 itself the series of a jump takes its mid-point.
    for (size_t i = 1; i < r.time.size(); ++i) {
        stepError = std::max(stepError, std::fabs(r.step[i] - c.step(r.time[i])));
        impulseError = std::max(impulseError, std::fabs(r.impulse[i] - c.impulse(r.time[i])));
    }
    EXPECT_LT(stepError, 1e-6);
    EXPECT_LT(impulseError, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Ladders, TimeResponseClosedForm,
                         ::testing::Values(Butterworth3(), SeriesCapacitor(), ShuntNotch()),
                         [](const auto& info) { return std::string(info.param.name); });

// The figures of the 3-pole Butterworth step, read off its closed form on a fine grid.
TEST(TimeResponseFigures, ButterworthStepFromItsClosedForm)
{
    const ClosedFormCase c = Butterworth3();
    double peak = 0.0, t10 = 0.0, t90 = 0.0, settled = 0.0;
    for (double t = 0.0; t < 40.0; t += 1e-5) {
        const double y = c.step(t);
        peak = std::max(peak, y);
        if (t10 == 0.0 && y >= 0.1) t10 = t;
        if (t90 == 0.0 && y >= 0.9) t90 = t;
        if (std::fabs(y - 1.0) > 0.01) settled = t;
    }
    // Few points: the figures come from the series between them, not from the grid.
    const TimeResponse r = AnalyseTime(ModelOfLadder(c.ladder), {}, c.band, 64);
    ASSERT_TRUE(r.figures);
    EXPECT_NEAR(r.figures->finalValue, 1.0, 1e-7);
    EXPECT_NEAR(r.figures->overshootPercent, 100.0 * (peak - 1.0), 1e-3);
    EXPECT_NEAR(r.figures->riseSeconds, t90 - t10, 1e-4);
    EXPECT_NEAR(r.figures->settlingSeconds, settled, 1e-4);
}

// A band-pass settles to zero: no level to judge it against.
TEST(TimeResponseFigures, NoneForAResponseThatSettlesToZero)
{
    const Ladder bandPass{1.0, 1.0, {{BranchPlace::Series, BranchKind::SeriesLC, 1.0, 1.0}}};
    const TimeResponse r = AnalyseTime(ModelOfLadder(bandPass), {}, {BandShape::BandPass, 0.1, 0.2}, 256);
    EXPECT_FALSE(r.figures);
    EXPECT_LT(std::fabs(r.step.back()), 1e-3);
}

// The step read off ngspice's transient of the exported netlist, as S21's step: 2 sqrt(RS/RL) V(out).
struct SimulatedStep {
    std::vector<double> t, y;
    double At(double time) const
    {
        const size_t i = static_cast<size_t>(std::lower_bound(t.begin(), t.end(), time) - t.begin());
        if (i == 0) return y.front();
        if (i == t.size()) return y.back();
        return y[i - 1] + (y[i] - y[i - 1]) * (time - t[i - 1]) / (t[i] - t[i - 1]);
    }
    double FirstTimeAt(double level) const
    {
        for (size_t i = 1; i < t.size(); ++i)
            if (y[i] >= level) return t[i - 1] + (level - y[i - 1]) * (t[i] - t[i - 1]) / (y[i] - y[i - 1]);
        return NAN;
    }
};

class TimeResponseNgspice : public ::testing::TestWithParam<Design> {};

TEST_P(TimeResponseNgspice, StepMatchesTheTransientOfTheNetlist)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    const Design& d = GetParam();
    const LadderModel ladder = DesignModel(d);
    const double edge = d.PassF * d.UnitScale;
    const bool bandPass = d.FilterKind == 2 || d.FilterKind == 5;
    const DesignBand band = bandPass ? DesignBand{BandShape::BandPass, d.Fmin * d.UnitScale, d.Fmax * d.UnitScale}
                                     : DesignBand{BandShape::LowPass, 0.0, edge};
    const TimeResponse r = AnalyseTime(ladder, {}, band, 4096);
    TempFolder folder;
    const std::vector<TransientPoint> points =
        SimulateStep(SpiceNetlist(ladder, {edge}, {}, DesignName(d)), r.time.back(), r.time[1] / 8.0, folder.Path(""));
    ASSERT_GT(points.size(), 1000u);
    SimulatedStep sim;
    for (const TransientPoint& p : points) {
        sim.t.push_back(p.t);
        sim.y.push_back(2.0 * std::sqrt(ladder.RS / ladder.RL) * p.vout);
    }
    double largest = 0.0;
    for (size_t i = 0; i < r.time.size(); ++i) largest = std::max(largest, std::fabs(r.step[i] - sim.At(r.time[i])));
    EXPECT_LT(largest, 2e-4);
    std::printf("[ MEASURED ] %s: step against ngspice within %.1e\n", DesignName(d).c_str(), largest);
    if (bandPass) return;
    ASSERT_TRUE(r.figures);
    // At DC the inductors short and the capacitors open: RL/(RS + RL) of the source reaches the load.
    const double level = 2.0 * std::sqrt(ladder.RS * ladder.RL) / (ladder.RS + ladder.RL);
    EXPECT_NEAR(r.figures->finalValue, level, 1e-9);
    const double simOvershoot = 100.0 * (*std::max_element(sim.y.begin(), sim.y.end()) / level - 1.0);
    const double simRise = sim.FirstTimeAt(0.9 * level) - sim.FirstTimeAt(0.1 * level);
    EXPECT_NEAR(r.figures->overshootPercent, simOvershoot, 0.2);
    EXPECT_NEAR(r.figures->riseSeconds, simRise, 0.01 * simRise);
    std::printf("[ MEASURED ] overshoot %.4f %% (ngspice %.4f %%), rise %.6g s (ngspice %.6g s)\n",
                r.figures->overshootPercent, simOvershoot, r.figures->riseSeconds, simRise);
}

INSTANTIATE_TEST_SUITE_P(Designs, TimeResponseNgspice,
                         ::testing::Values(Design{3, LadderTopology::T, 5, 0.5, 1, 0, 0, 50, 1e6},
                                           Design{3, LadderTopology::Pi, 4, 1.0, 10, 0, 0, 75, 1e3},
                                           Design{0, LadderTopology::Pi, 7, 0, 2.5, 0, 0, 50, 1e6},
                                           Design{5, LadderTopology::T, 3, 0.5, 0, 9, 11, 50, 1e6}),
                         [](const auto& info) { return DesignName(info.param); });

} // namespace
