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

ToleranceMask Mask(const DesignState& state, double maxLoss, double stopFreq)
{
    return MaskOfDesign(state, maxLoss, stopFreq, 40.0);
}

// The stopband lies beyond the stop frequency on the far side from the passband; a band-pass
// mask covers its geometric mirror about F0 = sqrt(Fmin Fmax) as well.
TEST(ToleranceMask, StopbandSidesFollowTheKind)
{
    const ToleranceMask low = Mask(Design(0, 10, 0, 0), 1, 20);
    EXPECT_EQ(low.passHighHz, 10e6);
    EXPECT_EQ(low.stopAboveHz, 20e6);
    EXPECT_TRUE(std::isnan(low.stopBelowHz));

    const ToleranceMask high = Mask(Design(4, 10, 0, 0), 1, 4);
    EXPECT_EQ(high.passLowHz, 10e6);
    EXPECT_TRUE(std::isinf(high.passHighHz));
    EXPECT_EQ(high.stopBelowHz, 4e6);

    const ToleranceMask upper = Mask(Design(2, 0, 9, 11), 1, 14);
    EXPECT_EQ(upper.stopAboveHz, 14e6);
    EXPECT_NEAR(upper.stopBelowHz, 99e6 / 14, 1e-3);
    const ToleranceMask lower = Mask(Design(5, 0, 9, 11), 1, 6);
    EXPECT_EQ(lower.stopBelowHz, 6e6);
    EXPECT_NEAR(lower.stopAboveHz, 16.5e6, 1e-3);
}

// A band-stop's passbands lie outside its band edges and its stopband between the stop
// frequency and its mirror, whichever of the two is given.
TEST(ToleranceMask, BandStopHoldsItsStopbandBetweenTheEdges)
{
    for (double fs : {9.5e6, 99e6 / 9.5}) {
        const ToleranceMask m = MaskOfEdges({MaskShape::BandStop, 9e6, 11e6}, 1.0, fs, 30.0);
        EXPECT_TRUE(m.bandStop);
        EXPECT_EQ(m.passLowHz, 9e6);
        EXPECT_EQ(m.passHighHz, 11e6);
        EXPECT_NEAR(m.stopBelowHz, 9.5e6, 1e-3);
        EXPECT_NEAR(m.stopAboveHz, 99e6 / 9.5, 1e-3);
    }
}

// A stop frequency on the passband's side of an edge leaves no stopband to hold.
TEST(ToleranceMask, StopFrequencyOnThePassbandSideIsRefused)
{
    EXPECT_THROW(Mask(Design(2, 0, 9, 11), 1, 10), Failure);
    EXPECT_THROW(Mask(Design(1, 10, 0, 0), 1, 20), Failure);
    EXPECT_THROW(Mask(Design(0, 10, 0, 0), 1, 5), Failure);
    EXPECT_THROW(MaskOfEdges({MaskShape::BandStop, 9e6, 11e6}, 1.0, 12e6, 30.0), Failure);
    EXPECT_NO_THROW(Mask(Design(0, 10, 0, 0), 1, 200));
}

} // namespace
