// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "analysis/MeasuredFigures.h"
#include "filtermath/Failure.h"
#include "tests/support/Designs.h"

using namespace corvane;

namespace {

// The 5-pole Butterworth low-pass at 10 MHz between 50 ohm: |S21|^2 = 1 / (1 + (f/fc)^10), with
// fc its 3.01 dB point, and |S11|^2 = 1 - |S21|^2 (lossless).
TEST(MeasuredFigures, ButterworthEdgesFromItsClosedForm)
{
    const double fc = 10e6;
    std::vector<double> hz, s21, s11;
    for (int i = 0; i <= 4000; ++i) {
        const double f = 1e6 + i * 25e6 / 4000;
        const double x = std::pow(f / fc, 10);
        hz.push_back(f);
        s21.push_back(-10.0 * std::log10(1.0 + x));
        s11.push_back(10.0 * std::log10(x / (1.0 + x)));
    }
    const ResponseFigures f = FiguresOf(hz, s21, s11, {BandShape::LowPass, 0.0, fc});
    EXPECT_NEAR(f.passLossDb, 0.0, 1e-6);
    EXPECT_NEAR(f.rippleDb, 10.0 * std::log10(2.0), 1e-9);
    EXPECT_NEAR(f.returnLossDb, 10.0 * std::log10(2.0), 1e-9);
    EXPECT_FALSE(f.edge3LowHz);
    ASSERT_TRUE(f.edge3HighHz && f.edge20HighHz);
    // 3 and 20 dB below the best point, which is at 1 MHz, a hair below 0 dB.
    const double best = s21.front();
    EXPECT_NEAR(*f.edge3HighHz, fc * std::pow(std::pow(10.0, (3.0 - best) / 10.0) - 1.0, 0.1), 1e3);
    EXPECT_NEAR(*f.edge20HighHz, fc * std::pow(std::pow(10.0, (20.0 - best) / 10.0) - 1.0, 0.1), 1e3);
}

TEST(MeasuredFigures, RefusesDataOutsideThePassband)
{
    EXPECT_THROW(FiguresOf({20e6, 30e6}, {-40, -50}, {0, 0}, {BandShape::LowPass, 0.0, 10e6}), Failure);
}

// A pure delay of 3.7 ns turns the phase through many turns over the sweep; unwrapped, its slope is
// the delay at every point.
TEST(MeasuredFigures, GroupDelayOfAWrappedPhase)
{
    const double tau = 3.7e-9;
    std::vector<MeasuredPoint> points;
    for (int i = 0; i <= 400; ++i) {
        const double f = 1e6 + i * 1e6;
        const std::complex<double> s21 = 0.5 * std::polar(1.0, -2.0 * M_PI * f * tau);
        points.push_back({f, 0.1, s21, 0.2});
    }
    const NetworkCurves c = CurvesOfMeasured(points, 1e6);
    ASSERT_EQ(c.NetGroupDelay.size(), points.size());
    for (double d : c.NetGroupDelay) EXPECT_NEAR(d, tau, 1e-15);
    EXPECT_NEAR(c.NetS21.front(), 20.0 * std::log10(0.5), 1e-12);
    EXPECT_DOUBLE_EQ(c.NetFreq.back(), 401.0);
}

} // namespace
