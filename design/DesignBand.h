// SPDX-License-Identifier: Apache-2.0
#pragma once

// The band a ladder was designed for, in hertz: the passband edge of a low-pass (highHz) or a
// high-pass (lowHz), the passband of a band-pass and the stopband of a band-stop (lowHz to highHz).
enum class BandShape { LowPass, HighPass, BandPass, BandStop };

struct DesignBand {
    BandShape shape = BandShape::LowPass;
    double lowHz = 0.0;
    double highHz = 0.0;
};
