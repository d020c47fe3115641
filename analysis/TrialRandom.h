// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cmath>
#include <cstdint>

#include "filtermath/Pi.h"

namespace corvane {

// The random numbers of one Monte Carlo trial. Every trial owns a stream keyed by the run's seed
// and its own index, so a trial draws the same numbers whichever thread runs it and whatever
// ran before. The generator is SplitMix64 (Steele, Lea and Flood, 2014): a 64-bit counter
// stepped by the golden-ratio increment and passed through a bijective mixer. The library's
// distributions are not used because their algorithms differ between standard libraries.
class TrialRandom {
public:
    TrialRandom(std::uint64_t seed, std::uint64_t trial) : state_(Mix(seed ^ Mix(trial + kGolden))) {}

    std::uint64_t NextBits()
    {
        state_ += kGolden;
        return Mix(state_);
    }

    // Uniform on [0, 1) in steps of 2^-53.
    double NextUnit() { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }

    // Uniform on [-1, 1).
    double NextSigned() { return 2.0 * NextUnit() - 1.0; }

    // Standard normal by the Box-Muller transform; the second value of each pair is kept for
    // the next call. u1 lies in (0, 1], so the radius stays finite: at most
    // sqrt(2 * 53 * ln 2) = 8.57 standard deviations.
    double NextNormal()
    {
        if (haveSpare_) {
            haveSpare_ = false;
            return spare_;
        }
        const double u1 = 1.0 - NextUnit();
        const double u2 = NextUnit();
        const double radius = std::sqrt(-2.0 * std::log(u1));
        const double angle = 2.0 * kPi<double> * u2;
        spare_ = radius * std::sin(angle);
        haveSpare_ = true;
        return radius * std::cos(angle);
    }

    static std::uint64_t Mix(std::uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

private:
    static constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ULL;
    std::uint64_t state_;
    double spare_ = 0.0;
    bool haveSpare_ = false;
};

// The largest |z| NextNormal can return.
constexpr double kLargestNormalDraw = 8.58;

} // namespace corvane
