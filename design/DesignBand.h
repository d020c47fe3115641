// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvane {

// The band a ladder was designed for, in hertz: the passband edge of a low-pass (highHz) or a
// high-pass (lowHz), the passband of a band-pass and the stopband of a band-stop (lowHz to highHz).
enum class BandShape { LowPass, HighPass, BandPass, BandStop };

struct DesignBand {
    BandShape shape = BandShape::LowPass;
    double lowHz = 0.0;
    double highHz = 0.0;
};

// Whether a frequency in hertz lies in the band's passband, edges included.
inline bool InPassband(const DesignBand& band, double hz)
{
    switch (band.shape) {
    case BandShape::LowPass: return hz <= band.highHz;
    case BandShape::HighPass: return hz >= band.lowHz;
    case BandShape::BandPass: return hz >= band.lowHz && hz <= band.highHz;
    case BandShape::BandStop: break;
    }
    return hz <= band.lowHz || hz >= band.highHz;
}

} // namespace corvane
