// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/ToleranceMask.h"
#include "filtermath/Failure.h"

using namespace corvane;

namespace {

// Bands with their edges in MHz.
DesignBand LowPass(double edge)
{
    return {BandShape::LowPass, 0.0, edge * 1e6};
}
DesignBand HighPass(double edge)
{
    return {BandShape::HighPass, edge * 1e6, 0.0};
}
DesignBand BandPass(double low, double high)
{
    return {BandShape::BandPass, low * 1e6, high * 1e6};
}

ToleranceMask Mask(const DesignBand& band, double maxLoss, double stopMHz)
{
    return MaskOfEdges(band, maxLoss, stopMHz * 1e6, 40.0);
}

// The stopband lies beyond the stop frequency on the far side from the passband; a band-pass
// mask covers its geometric mirror about F0 = sqrt(Fmin Fmax) as well.
TEST(ToleranceMask, StopbandSidesFollowTheKind)
{
    const ToleranceMask low = Mask(LowPass(10), 1, 20);
    EXPECT_EQ(low.passHighHz, 10e6);
    EXPECT_EQ(low.stopAboveHz, 20e6);
    EXPECT_TRUE(std::isnan(low.stopBelowHz));

    const ToleranceMask high = Mask(HighPass(10), 1, 4);
    EXPECT_EQ(high.passLowHz, 10e6);
    EXPECT_TRUE(std::isinf(high.passHighHz));
    EXPECT_EQ(high.stopBelowHz, 4e6);

    const ToleranceMask upper = Mask(BandPass(9, 11), 1, 14);
    EXPECT_EQ(upper.stopAboveHz, 14e6);
    EXPECT_NEAR(upper.stopBelowHz, 99e6 / 14, 1e-3);
    const ToleranceMask lower = Mask(BandPass(9, 11), 1, 6);
    EXPECT_EQ(lower.stopBelowHz, 6e6);
    EXPECT_NEAR(lower.stopAboveHz, 16.5e6, 1e-3);
}

// A band-stop's passbands lie outside its band edges and its stopband between the stop
// frequency and its mirror, whichever of the two is given.
TEST(ToleranceMask, BandStopHoldsItsStopbandBetweenTheEdges)
{
    for (double fs : {9.5e6, 99e6 / 9.5}) {
        const ToleranceMask m = MaskOfEdges({BandShape::BandStop, 9e6, 11e6}, 1.0, fs, 30.0);
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
    EXPECT_THROW(Mask(BandPass(9, 11), 1, 10), Failure);
    EXPECT_THROW(Mask(HighPass(10), 1, 20), Failure);
    EXPECT_THROW(Mask(LowPass(10), 1, 5), Failure);
    EXPECT_THROW(MaskOfEdges({BandShape::BandStop, 9e6, 11e6}, 1.0, 12e6, 30.0), Failure);
    EXPECT_NO_THROW(Mask(LowPass(10), 1, 200));
}

} // namespace
