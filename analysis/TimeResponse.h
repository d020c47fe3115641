// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <vector>

#include "design/DesignBand.h"
#include "design/LadderModel.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// Time points of a step or impulse response.
constexpr int kMinTimePoints = 16;
constexpr int kMaxTimePoints = 65536;

// What a step response that settles to a level of its own (a low-pass, a band-stop) is judged by.
struct StepFigures {
    double finalValue = 0.0; // the level it settles to: S21 at DC
    double overshootPercent = 0.0; // its highest excursion past that level, in per cent of it; 0 for none
    double riseSeconds = 0.0; // from its first crossing of 10 % of the level to its first of 90 %
    double settlingSeconds = 0.0; // from the step until it stays within 1 % of the level
};

// The response of the transfer whose frequency response is S21, 2 sqrt(RS/RL) V(load) / V(source),
// to a unit step and to a unit impulse of the source, from rest. A matched lossless low-pass steps
// to 1.
struct TimeResponse {
    std::vector<double> time; // seconds, evenly spaced from 0, long enough to show the response die away
    std::vector<double> step;
    std::vector<double> impulse; // per second, without the pulse at 0
    double impulseAtZero = 0.0; // the weight of the pulse at 0: S21 at infinite frequency (a high-pass's)
    std::optional<StepFigures> figures; // absent for a response that settles to zero
};

// The step and impulse responses of the ladder as built, at the given number of time points
// (kMinTimePoints to kMaxTimePoints, std::invalid_argument otherwise). The band sets the time scale to
// begin with. They come from the exact frequency response, part losses included: its Fourier
// series over a period long enough for the response to have died away (to 1e-6 of its peak), cut
// where S21 has come within 1e-5 of its value at infinite frequency, which is taken off first and
// returned as the pulse at 0. The figures are refined between the time points on the same series.
// Faults of the analysis as AnalyseAt; a response that never dies away raises Failure.
TimeResponse AnalyseTime(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band, int points);

} // namespace corvane
