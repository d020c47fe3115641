// SPDX-License-Identifier: Apache-2.0
#include "synthesis/ChosenZeros.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace synthesis {

namespace {

// acos(x) from 1 - x and 1 + x, which the callers have in factored form: near the passband edge x
// comes close to 1 and acos(x) itself would keep only half the digits.
Real AcosOf(Real oneMinus, Real onePlus)
{
    return 2.0L * std::atan2(std::sqrt(oneMinus), std::sqrt(onePlus));
}

// acos(x_k(w)) for a zero at 1 / a: 1 -+ x = (1 -+ w)(1 +- a) / (1 - a w).
Real ZeroPhase(Real w, Real a)
{
    const Real d = 1.0L - a * w;
    return AcosOf((1.0L - w) * (1.0L + a) / d, (1.0L + w) * (1.0L - a) / d);
}

Real PhaseSum(Real w, int N, const std::vector<Real>& zeros)
{
    Real sum = 0.0L;
    for (Real z : zeros) sum += ZeroPhase(w, 1.0L / z) + ZeroPhase(w, -1.0L / z);
    const int atInfinity = N - 2 * static_cast<int>(zeros.size());
    return sum + atInfinity * AcosOf(1.0L - w, 1.0L + w);
}

std::string Hz(double f)
{
    return EngineeringText(f, "Hz", true);
}

std::string PassbandText(const DesignRequest& r)
{
    switch (r.type) {
    case FilterType::LowPass: return "up to " + Hz(r.passHz);
    case FilterType::HighPass: return "from " + Hz(r.passHz);
    default: break;
    }
    return "from " + Hz(r.lowHz) + " to " + Hz(r.highHz);
}

// Zeros this close (relative) in the prototype are one: a band-pass zero typed with its mirror.
constexpr Real kSameZero = 1e-9L;

} // namespace

std::vector<Real> PrototypeZeros(const DesignRequest& r)
{
    if (r.zerosHz.empty()) return {};
    if (r.type == FilterType::BandStop)
        throw Failure("Chosen transmission zeros are for low-pass, high-pass and band-pass designs.");
    std::vector<Real> zeros;
    for (double f : r.zerosHz) {
        if (!(f > 0.0) || !std::isfinite(f)) throw Failure("A transmission zero frequency must be a positive number.");
        const Real w = PrototypeFrequency(r, f);
        if (!(w > 1.0L))
            throw Failure("The transmission zero at " + Hz(f) + " lies in the passband (" + PassbandText(r) +
                          "); place it in the stopband.");
        zeros.push_back(w);
    }
    std::sort(zeros.begin(), zeros.end());
    zeros.erase(std::unique(zeros.begin(), zeros.end(),
                            [](Real a, Real b) { return std::fabs(a - b) <= kSameZero * std::max(a, b); }),
                zeros.end());
    return zeros;
}

std::vector<double> ZeroFrequenciesHz(const Design& design)
{
    const DesignRequest& r = design.request;
    std::vector<double> hz;
    for (Real w : design.response.zeros) {
        switch (r.type) {
        case FilterType::LowPass: hz.push_back(static_cast<double>(w * r.passHz)); break;
        case FilterType::HighPass: hz.push_back(static_cast<double>(r.passHz / w)); break;
        default: {
            // The band types map w to the roots of f^2 -+ d f - f0^2 = 0, d = w bw or bw / w.
            const Real f0sq = static_cast<Real>(r.lowHz) * r.highHz;
            const Real bw = static_cast<Real>(r.highHz) - r.lowHz;
            const Real d = r.type == FilterType::BandPass ? w * bw : bw / w;
            const Real root = std::sqrt(d * d + 4.0L * f0sq);
            hz.push_back(static_cast<double>(2.0L * f0sq / (root + d)));
            hz.push_back(static_cast<double>((root + d) / 2.0L));
        }
        }
    }
    std::sort(hz.begin(), hz.end());
    return hz;
}

bool TakesChosenZeros(Family family)
{
    return family == Family::Butterworth || family == Family::Chebyshev;
}

int LeastOrderForZeros(size_t count)
{
    return 2 * static_cast<int>(count) + 1;
}

std::vector<Real> GeneralisedChebyshevReflectionSquares(int N, const std::vector<Real>& zeros)
{
    std::vector<Real> squares;
    for (int j = 1; j <= N / 2; ++j) {
        const Real target = (j - 0.5L) * kPi<Real>;
        Real low = 0.0L, high = 1.0L;
        // The phase falls with w: above the target the root lies further out.
        while (true) {
            const Real mid = (low + high) / 2.0L;
            if (!(mid > low && mid < high)) break;
            (PhaseSum(mid, N, zeros) > target ? low : high) = mid;
        }
        const Real w = (low + high) / 2.0L;
        squares.push_back(w * w);
    }
    return squares;
}

} // namespace synthesis

} // namespace corvane
