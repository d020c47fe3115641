// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/ToleranceMask.h"
#include "filtermath/Failure.h"

namespace {

DesignState Design(int kind, double passF, double fmin, double fmax)
{
    DesignState state;
    state.FilterKind = kind;
    state.UnitScale = 1e6;
    state.PassF = passF;
    state.Fmin = fmin;
    state.Fmax = fmax;
    return state;
}

ToleranceMask Mask(const DesignState& state, double maxLoss, double stopFreq, const std::vector<double>& hz)
{
    return MaskOfDesign(state, maxLoss, stopFreq, 40.0, hz);
}

std::vector<double> Sweep(double startMHz, double stopMHz)
{
    std::vector<double> hz;
    for (int i = 0; i <= 100; ++i) hz.push_back(1e6 * (startMHz + (stopMHz - startMHz) * i / 100));
    return hz;
}

// The stopband lies beyond the stop frequency on the far side from the passband; a band-pass
// mask covers its geometric mirror about F0 = sqrt(Fmin Fmax) as well.
TEST(ToleranceMask, StopbandSidesFollowTheKind)
{
    const ToleranceMask low = Mask(Design(0, 10, 0, 0), 1, 20, Sweep(1, 50));
    EXPECT_EQ(low.passHighHz, 10e6);
    EXPECT_EQ(low.stopAboveHz, 20e6);
    EXPECT_TRUE(std::isnan(low.stopBelowHz));

    const ToleranceMask high = Mask(Design(4, 10, 0, 0), 1, 4, Sweep(1, 50));
    EXPECT_EQ(high.passLowHz, 10e6);
    EXPECT_TRUE(std::isinf(high.passHighHz));
    EXPECT_EQ(high.stopBelowHz, 4e6);

    const ToleranceMask upper = Mask(Design(2, 0, 9, 11), 1, 14, Sweep(1, 50));
    EXPECT_EQ(upper.stopAboveHz, 14e6);
    EXPECT_NEAR(upper.stopBelowHz, 99e6 / 14, 1e-3);
    const ToleranceMask lower = Mask(Design(5, 0, 9, 11), 1, 6, Sweep(1, 50));
    EXPECT_EQ(lower.stopBelowHz, 6e6);
    EXPECT_NEAR(lower.stopAboveHz, 16.5e6, 1e-3);
}

// A bound that no sweep point can test would pass every trial: it is refused instead.
TEST(ToleranceMask, BoundsWithoutSweepPointsOrInsideThePassbandAreRefused)
{
    EXPECT_THROW(Mask(Design(0, 10, 0, 0), 1, 20, Sweep(1, 15)), Failure);
    EXPECT_THROW(Mask(Design(0, 10, 0, 0), 1, 20, Sweep(12, 30)), Failure);
    EXPECT_THROW(Mask(Design(2, 0, 9, 11), 1, 10, Sweep(1, 50)), Failure);
    EXPECT_THROW(Mask(Design(1, 10, 0, 0), 1, 20, Sweep(1, 50)), Failure);
}

} // namespace
