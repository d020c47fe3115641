// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "filtermath/SelectFilter.h"
#include "run/LadderOfRun.h"

using namespace corvane;

namespace {

const double kTwoPi = 6.283185307179586;

// Textbook 3-pole Butterworth (g = 1, 2, 1) at 10 MHz between 50 ohm: a low-pass T ladder is
// L = g R / w in series and C = g / (w R) across; a high-pass T ladder is C = 1 / (g w R) in series
// and L = R / (g w) across.
TEST(ModelOfRun, ButterworthTLaddersHoldTheTextbookParts)
{
    const double w = kTwoPi * 1e7;
    struct Case {
        int kind;
        std::vector<PartKind> kinds;
        std::vector<double> values;
    };
    const Case cases[] = {
        {0, {PartKind::Inductor, PartKind::Capacitor, PartKind::Inductor}, {50 / w, 2 / (w * 50), 50 / w}},
        {1, {PartKind::Capacitor, PartKind::Inductor, PartKind::Capacitor}, {1 / (w * 50), 50 / (2 * w), 1 / (w * 50)}},
    };
    for (const Case& c : cases) {
        const LadderModel model =
            ModelOfRun(ComputeDesign({c.kind, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6}), LadderTopology::T);
        ASSERT_EQ(model.branches.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            const ModelBranch& b = model.branches[i];
            EXPECT_EQ(b.place, i == 1 ? BranchPlace::Shunt : BranchPlace::Series);
            ASSERT_EQ(b.parts.size(), 1u);
            EXPECT_EQ(b.parts[0].kind, c.kinds[i]) << "kind " << c.kind << " position " << i + 1;
            EXPECT_NEAR(b.parts[0].value, c.values[i], 1e-12 * c.values[i]);
        }
        EXPECT_EQ(model.RS, 50.0);
        EXPECT_EQ(model.RL, 50.0);
    }
}

// The run's element table states each part's unit; the model must make the same part of every
// position for every kind, topology and order, and name each part once.
TEST(ModelOfRun, AgreesWithTheUnitsOfTheRunsTable)
{
    for (int kind = 0; kind < 6; ++kind) {
        for (LadderTopology topology : {LadderTopology::T, LadderTopology::Pi}) {
            for (int N = 1; N <= 6; ++N) {
                const double ripple = IsChebyshevKind(kind) ? 0.5 : 0.0;
                const DesignState state = ComputeDesign({kind, topology, N, ripple, 10, 9, 11, 50, 1e6});
                const LadderModel model = ModelOfRun(state, topology);
                ASSERT_EQ(model.branches.size(), static_cast<size_t>(N));
                std::set<std::string> names;
                for (int i = 1; i <= N; ++i) {
                    const ModelBranch& b = model.branches[static_cast<size_t>(i - 1)];
                    for (const ModelPart& part : b.parts) names.insert(part.designator);
                    if (IsBandPassKind(kind)) {
                        ASSERT_EQ(b.parts.size(), 2u);
                        EXPECT_EQ(b.parts[0].value, state.BandL[static_cast<size_t>(i)]);
                        EXPECT_EQ(b.parts[1].value, state.BandC[static_cast<size_t>(i)]);
                        continue;
                    }
                    ASSERT_EQ(b.parts.size(), 1u);
                    const std::string& unit = state.ElementUnits[static_cast<size_t>(i)];
                    EXPECT_EQ(b.parts[0].kind, unit == "F" ? PartKind::Capacitor : PartKind::Inductor)
                        << "kind " << kind << " N " << N << " position " << i;
                    EXPECT_EQ(b.parts[0].value, state.ElementValues[static_cast<size_t>(i)]);
                }
                EXPECT_EQ(names.size(), IsBandPassKind(kind) ? 2u * N : 1u * N);
            }
        }
    }
}

TEST(ModelOfRun, TakesAChosenLoad)
{
    const DesignState state = ComputeDesign({3, LadderTopology::T, 4, 0.5, 10, 0, 0, 50, 1e6});
    EXPECT_EQ(ModelOfRun(state, LadderTopology::T, 75.0).RL, 75.0);
    EXPECT_THROW(ModelOfRun(DesignState{}, LadderTopology::T), std::invalid_argument);
}

} // namespace
