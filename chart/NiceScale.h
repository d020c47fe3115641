// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvane {

// Axis ranges with readable tick values. Plain maths, no Qt.

// A range to show on an axis and the distance between labelled ticks.
struct AxisRange {
    double min;
    double max;
    double step;
};

// The smallest step of the form 1, 2 or 5 times a power of ten that cuts span into at most
// maxIntervals intervals.
double NiceStep(double span, int maxIntervals);

// Linear axis over the data lo..hi. With roundOutward the ends move out to whole steps,
// otherwise they stay at the data. A flat or empty range is widened so it can be drawn.
AxisRange LinearRange(double lo, double hi, int maxIntervals, bool roundOutward);

// Left axis: the data lo..hi (hasData false when there is none), minimum automatic or
// fixed at fixedMinimum. The maximum always follows the data; a fixed minimum at or above
// every value still gives a drawable range starting at the fixed minimum.
AxisRange LeftAxisRange(bool hasData, double lo, double hi, bool automaticMinimum, double fixedMinimum,
                        int maxIntervals);

// Logarithmic axis over the positive data lo..hi. Without positive data the axis shows one
// decade, 1 to 10. A range holding no power of ten widens to the decades around it, and a
// range of more than kMaxDecades decades is cut at the bottom.
constexpr double kMaxDecades = 12.0;
AxisRange LogRange(bool hasPositiveData, double lo, double hi);

// A linear range another operation asked for (zoom, a set minimum), made safe to draw:
// finite, max above min by more than rounding noise, with a readable step.
AxisRange SafeLinearRange(double min, double max, int maxIntervals);
// The same for a logarithmic axis: both ends positive, max above min.
AxisRange SafeLogRange(double min, double max);

// Decades between labels of a logarithmic axis over min..max (both positive) so that at
// most maxLabels powers of ten carry a label; at least 1.
int LogLabelDecades(double min, double max, int maxLabels);

} // namespace corvane
