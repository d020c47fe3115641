// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "run/LadderOfRun.h"
#include "analysis/NetworkResponse.h"

using namespace corvane;

namespace {

// Published g[N+1] of equal-ripple prototypes (Matthaei, Young and Jones, table 4.05-2):
// the load the ladder is designed for, relative to the source.
struct LoadCase {
    int N;
    double ripple;
    double gLoad;
};

TEST(PrototypeLoad, EvenChebyshevTerminatesInThePublishedLoad)
{
    const LoadCase cases[] = {{2, 0.5, 1.9841}, {4, 0.5, 1.9841}, {4, 1.0, 2.6599},
                              {2, 3.0, 5.8095}, {6, 0.1, 1.3554}, {3, 0.5, 1.0}};
    for (const LoadCase& c : cases) {
        for (LadderTopology topology : {LadderTopology::T, LadderTopology::Pi}) {
            const DesignState state = ComputeDesign({3, topology, c.N, c.ripple, 10, 0, 0, 50, 1e6});
            // The last position of an even T ladder and of an odd Pi ladder lies across the line.
            const bool shuntLast = (c.N % 2 == 0) == (topology == LadderTopology::T);
            const double expected = shuntLast ? 50.0 * c.gLoad : 50.0 / c.gLoad;
            const double load = PrototypeLoad(50.0, state.GValues, topology);
            EXPECT_NEAR(load, expected, 1e-4 * expected) << "N " << c.N << " ripple " << c.ripple;
            EXPECT_EQ(ModelOfRun(state, topology).RL, load);
            EXPECT_EQ(ModelOfRun(state, topology).RS, 50.0);
        }
    }
}

TEST(PrototypeLoad, ButterworthAndNoBranchesKeepTheSource)
{
    for (int N = 1; N <= 8; ++N)
        EXPECT_NEAR(PrototypeLoad(75.0, ComputeDesign({0, LadderTopology::T, N, 0, 10, 0, 0, 75, 1e6}).GValues,
                                  LadderTopology::T),
                    75.0, 1e-12);
    EXPECT_EQ(PrototypeLoad(75.0, {1.0, 1.0}, LadderTopology::Pi), 75.0);
}

double PassbandLoss(const DesignAnalysis& analysis)
{
    const auto& s21 = analysis.curves.NetS21;
    return -*std::min_element(s21.begin(), s21.end());
}

struct EvenCase {
    int kind; // 3 LPF, 4 HPF, 5 BPF
    int N;
    double ripple;
    LadderTopology topology;
};

std::string EvenCaseName(const ::testing::TestParamInfo<EvenCase>& info)
{
    const EvenCase& c = info.param;
    const char* kinds[] = {"LPF", "HPF", "BPF"};
    return std::string(kinds[c.kind - 3]) + (c.topology == LadderTopology::T ? "T" : "Pi") + "N" + std::to_string(c.N) +
           "Ripple" + std::to_string(static_cast<int>(c.ripple * 10)) + "Tenths";
}

std::vector<EvenCase> EvenCases()
{
    std::vector<EvenCase> cases;
    for (int kind : {3, 4, 5})
        for (int N = 2; N <= 10; N += 2)
            for (double ripple : {0.1, 0.5, 1.0, 3.0})
                for (LadderTopology topology : {LadderTopology::T, LadderTopology::Pi})
                    cases.push_back({kind, N, ripple, topology});
    return cases;
}

class EvenChebyshev : public ::testing::TestWithParam<EvenCase> {};

// Between its true terminations an even-order Chebyshev ladder loses no more than its ripple
// anywhere in the passband, and reaches the full ripple there.
TEST_P(EvenChebyshev, PassbandLossStaysWithinTheRipple)
{
    const EvenCase& c = GetParam();
    const DesignState state = ComputeDesign({c.kind, c.topology, c.N, c.ripple, 10, 9, 11, 50, 1e6});
    // The passband: below 10 MHz (LPF), above it (HPF), or 9 to 11 MHz, at 2001 points.
    SweepPlan plan{0.01, 10.0, 2001, SweepSpacing::Linear};
    if (c.kind == 4) plan = {10.0, 1000.0, 2001, SweepSpacing::Log};
    if (c.kind == 5) plan = {9.0, 11.0, 2001, SweepSpacing::Linear};
    const DesignAnalysis analysis = AnalyseDesign(ModelOfRun(state, c.topology), {}, NetworkFrequencies(plan), 1e6);
    EXPECT_LE(PassbandLoss(analysis), c.ripple + 0.01);
    EXPECT_GE(PassbandLoss(analysis), c.ripple - 0.01);
}

INSTANTIATE_TEST_SUITE_P(Ladders, EvenChebyshev, ::testing::ValuesIn(EvenCases()), EvenCaseName);

TEST(LoadOverride, FiftyOhmsCostsTheFourPoleLadderOverOneDecibel)
{
    // The 4-pole 0.5 dB low-pass terminated in its source resistance instead of 99.2 ohm: the
    // mismatch adds to the ripple, 1.81 dB of passband loss in all.
    const DesignState state = ComputeDesign({3, LadderTopology::T, 4, 0.5, 10, 0, 0, 50, 1e6});
    const std::vector<double> passband = NetworkFrequencies({0.01, 10.0, 2001, SweepSpacing::Linear});
    AnalysisOptions options;
    options.loadOhms = 50.0;
    const DesignAnalysis mismatched = AnalyseDesign(ModelOfRun(state, LadderTopology::T), options, passband, 1e6);
    EXPECT_EQ(mismatched.ladder.RL, 50.0);
    EXPECT_NEAR(PassbandLoss(mismatched), 1.81, 0.005);
}

} // namespace
