// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

namespace corvane {

// Standard part values: the IEC 60063 series of preferred numbers.
enum class ESeries { E6, E12, E24, E48, E96, E192 };

// The series value nearest to |value| on a logarithmic scale, in value's decade or, past the
// last value of a decade, the 1.0 of the next one (9.6 -> 10 in E24); the sign is kept and 0
// stays 0. An exact tie takes the lower value. A non-finite value raises ArithmeticError.
double RoundToESeries(double value, ESeries series);

// Every value of the series from the decade below low's to the decade above high's (both above
// zero), ascending, each exactly as RoundToESeries returns it.
std::vector<double> ESeriesValues(ESeries series, double low, double high);

// The change from value to rounded in percent of value; 0 when value is 0.
double PercentChange(double value, double rounded);

// Round positions 1..N in place; the terminations (0 and N+1) keep RL. The caller sizes the
// change arrays to N + 2 entries; they receive the percent change, 0 at the terminations.
void RoundElementValues(int N, ESeries series, std::vector<double>& ElementValues, std::vector<double>& Change);
void RoundBandValues(int N, ESeries series, std::vector<double>& BandL, std::vector<double>& BandC,
                     std::vector<double>& ChangeL, std::vector<double>& ChangeC);

} // namespace corvane
