// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "filtermath/LadderAnalysis.h"

using namespace corvane;

// Ladders for the tolerance tests, from published low-pass prototype values by the textbook
// frequency transformations, written out here rather than through the design procedures.

// Chebyshev 0.5 dB, 7 poles (the published prototype tables, e.g. Matthaei, Young and Jones): g1..g7.
extern const std::vector<double> kChebyshev05dB7;
// Butterworth, 5 poles: 2 sin((2k-1) pi / 10).
extern const std::vector<double> kButterworth5;

Ladder LowPassLadder(const std::vector<double>& g, double edgeHz, double R, bool seriesFirst);
Ladder HighPassLadder(const std::vector<double>& g, double edgeHz, double R, bool seriesFirst);
Ladder BandPassLadder(const std::vector<double>& g, double lowHz, double highHz, double R, bool seriesFirst);
// Passbands up to lowHz and from highHz on.
Ladder BandStopLadder(const std::vector<double>& g, double lowHz, double highHz, double R, bool seriesFirst);

std::vector<double> LinearHz(double start, double stop, int points);
std::vector<double> LogHz(double start, double stop, int points);
