// SPDX-License-Identifier: Apache-2.0
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "chart/NiceScale.h"

using namespace corvane;

// The chart's axis ranges for any data ends, fixed minimum, zoom ends and interval count:
// every range must be drawable, and the number of ticks or labels it asks for bounded, since
// the chart lays out each tick (a flood of them would hang the window).
namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

// Ticks on a linear axis, with room for the outward rounding that can add an interval at each end.
void CheckLinear(const AxisRange& range, int maxIntervals)
{
    Require(std::isfinite(range.min) && std::isfinite(range.max) && std::isfinite(range.step));
    Require(range.max > range.min && range.step > 0);
    Require(std::isfinite(range.max - range.min));
    const double magnitude = std::max(std::fabs(range.min), std::fabs(range.max));
    Require(range.max - range.min > magnitude * 1e-12);
    Require((range.max - range.min) / range.step <= 2.0 * std::max(1, maxIntervals) + 2.0);
}

void CheckLog(const AxisRange& range, int maxLabels)
{
    Require(std::isfinite(range.min) && std::isfinite(range.max));
    Require(range.min > 0 && range.max > range.min);
    const double decades = std::log10(range.max) - std::log10(range.min);
    Require(decades <= kMaxDecades + 1e-9);
    const int perLabel = LogLabelDecades(range.min, range.max, maxLabels);
    Require(perLabel >= 1 && decades / perLabel <= std::max(1, maxLabels) + 1.0);
    Require(std::isfinite(std::pow(10.0, perLabel)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const double lo = input.Double();
    const double hi = input.Double();
    const double fixedMinimum = input.Double();
    const int intervals = input.Index(40);
    const bool hasData = input.Index(2) != 0;
    const bool automatic = input.Index(2) != 0;

    CheckLinear(LinearRange(lo, hi, intervals, true), intervals);
    CheckLinear(LinearRange(lo, hi, intervals, false), intervals);
    CheckLinear(SafeLinearRange(lo, hi, intervals), intervals);
    const AxisRange left = LeftAxisRange(hasData, lo, hi, automatic, fixedMinimum, intervals);
    CheckLinear(left, intervals);
    CheckLog(LogRange(hasData, lo, hi), intervals);
    CheckLog(SafeLogRange(lo, hi), intervals);
    // The chart keeps its ends within +-1e300, so a span above 2e300 (whose step would pass the
    // largest double) never reaches NiceStep.
    if (std::fabs(hi - lo) <= 2e300) {
        const double step = NiceStep(hi - lo, intervals);
        Require(std::isfinite(step) && step > 0);
    }
    return 0;
}
