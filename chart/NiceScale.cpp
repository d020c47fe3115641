// SPDX-License-Identifier: Apache-2.0
#include "chart/NiceScale.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace corvane {

namespace {

// Fraction of a step within which a value counts as lying on a tick (far below a pixel).
// It keeps a curve that ends a rounding error past a tick (S11 at +4e-14 dB, or a hair
// below -140 dB) from adding a whole empty step.
constexpr double kOnTick = 1e-3;
// Ranges narrower than this, relative to their magnitude, are only rounding noise; tick
// loops over them would never end.
constexpr double kMinRelativeSpan = 1e-9;
// Beyond this the difference of two values overflows.
constexpr double kLargest = 1e300;
// Logarithmic ends are kept away from the underflow range, where a division can reach zero.
constexpr double kSmallestPositive = 1e-300;

double Clamp(double value)
{
    return std::clamp(value, -kLargest, kLargest);
}

bool TooNarrow(double lo, double hi)
{
    const double magnitude = std::max(std::fabs(lo), std::fabs(hi));
    return !(hi - lo > magnitude * kMinRelativeSpan);
}

// Widens a flat range around its centre: 10 % of the value, or +-1 around zero.
std::pair<double, double> Widen(double lo, double hi)
{
    const double centre = lo / 2 + hi / 2;
    double half = centre == 0 ? 1.0 : std::fabs(centre) * 0.1;
    // A tenth of a subnormal centre can round to nothing: widen as around zero.
    if (!(centre - half < centre + half)) half = 1.0;
    return {centre - half, centre + half};
}

// Finite, ordered and wide enough to draw.
std::pair<double, double> Drawable(double lo, double hi)
{
    if (!std::isfinite(lo) || !std::isfinite(hi)) return {0.0, 1.0};
    lo = Clamp(lo);
    hi = Clamp(hi);
    if (lo > hi) std::swap(lo, hi);
    if (TooNarrow(lo, hi)) return Widen(lo, hi);
    return {lo, hi};
}

double FloorToStep(double value, double step)
{
    return std::floor(value / step + kOnTick) * step;
}
double CeilToStep(double value, double step)
{
    return std::ceil(value / step - kOnTick) * step;
}
double NoNegativeZero(double value)
{
    return value == 0 ? 0.0 : value;
}

double Decade(double exponent)
{
    return std::pow(10.0, exponent);
}

bool HoldsPowerOfTen(double lo, double hi)
{
    return std::ceil(std::log10(lo) - kOnTick) <= std::floor(std::log10(hi) + kOnTick);
}

// Keeps at most kMaxDecades decades, dropping the lowest ones.
double CapDecades(double lo, double hi)
{
    const double lowest = hi / Decade(kMaxDecades);
    return lo < lowest ? lowest : lo;
}

} // namespace

double NiceStep(double span, int maxIntervals)
{
    if (!(span > 0) || !std::isfinite(span)) return 1.0;
    const double raw = span / std::max(1, maxIntervals);
    const double base = Decade(std::floor(std::log10(raw)));
    // A span of a few subnormals has a power of ten below the smallest double, which is zero:
    // count its step in whole subnormals instead.
    if (!(base > 0)) {
        constexpr double tiny = std::numeric_limits<double>::denorm_min();
        return std::ceil(span / tiny / std::max(1, maxIntervals)) * tiny;
    }
    for (double mantissa : {1.0, 2.0, 5.0}) {
        if (mantissa * base >= raw * (1 - kOnTick)) return mantissa * base;
    }
    return 10 * base;
}

AxisRange LinearRange(double lo, double hi, int maxIntervals, bool roundOutward)
{
    const auto [from, to] = Drawable(lo, hi);
    double step = NiceStep(to - from, maxIntervals);
    if (!roundOutward) return {from, to, step};
    double min = FloorToStep(from, step);
    double max = CeilToStep(to, step);
    // Rounding both ends out can add an interval; a larger step usually brings the count
    // back (not always: a range across zero keeps two), so only a few tries.
    for (int tries = 0; tries < 3 && (max - min) / step > std::max(1, maxIntervals) + kOnTick; ++tries) {
        step = NiceStep(step * 1.5, 1);
        min = FloorToStep(from, step);
        max = CeilToStep(to, step);
    }
    return {NoNegativeZero(min), NoNegativeZero(max), step};
}

AxisRange LeftAxisRange(bool hasData, double lo, double hi, bool automaticMinimum, double fixedMinimum,
                        int maxIntervals)
{
    if (automaticMinimum || !std::isfinite(fixedMinimum)) {
        if (!hasData) return LinearRange(0.0, 1.0, maxIntervals, true);
        return LinearRange(lo, hi, maxIntervals, true);
    }
    const double min = Clamp(fixedMinimum);
    double top = hasData && std::isfinite(hi) ? Clamp(hi) : min;
    if (TooNarrow(min, top) || top < min) top = min + std::max(1.0, std::fabs(min) * 0.1);
    const double step = NiceStep(top - min, maxIntervals);
    double max = CeilToStep(top, step);
    if (TooNarrow(min, max)) max = min + step;
    return {min, NoNegativeZero(max), step};
}

AxisRange LogRange(bool hasPositiveData, double lo, double hi)
{
    if (!hasPositiveData || !(lo > 0) || !(hi > 0) || !std::isfinite(lo) || !std::isfinite(hi))
        return {1.0, 10.0, 10.0};
    lo = std::clamp(lo, kSmallestPositive, kLargest);
    hi = std::clamp(hi, kSmallestPositive, kLargest);
    if (lo > hi) std::swap(lo, hi);
    if (!HoldsPowerOfTen(lo, hi)) {
        const double below = Decade(std::floor(std::log10(lo)));
        const double above = Decade(std::floor(std::log10(lo)) + 1);
        lo = below > 0 ? below : lo;
        hi = std::isfinite(above) && above > hi ? above : hi;
    }
    if (TooNarrow(lo, hi)) return SafeLogRange(lo, hi);
    return {CapDecades(lo, hi), hi, 10.0};
}

AxisRange SafeLinearRange(double min, double max, int maxIntervals)
{
    const auto [from, to] = Drawable(min, max);
    return {from, to, NiceStep(to - from, maxIntervals)};
}

AxisRange SafeLogRange(double min, double max)
{
    const bool minOk = min > 0 && std::isfinite(min);
    const bool maxOk = max > 0 && std::isfinite(max) && max < kLargest;
    if (!minOk && !maxOk) return {1.0, 10.0, 10.0};
    if (!minOk) min = max / 10;
    if (!maxOk) max = min * 10;
    min = std::clamp(min, kSmallestPositive, kLargest);
    max = std::clamp(max, kSmallestPositive, kLargest);
    if (min > max) std::swap(min, max);
    if (TooNarrow(min, max)) {
        const double factor = std::sqrt(10.0);
        min /= factor;
        max *= factor;
    }
    return {CapDecades(min, max), max, 10.0};
}

int LogLabelDecades(double min, double max, int maxLabels)
{
    if (!(min > 0) || !(max > min) || !std::isfinite(max)) return 1;
    const double decades = std::log10(max) - std::log10(min);
    const int perLabel = static_cast<int>(std::ceil(decades / std::max(1, maxLabels) - kOnTick));
    return std::max(1, perLabel);
}

} // namespace corvane
