// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <vector>

#include "analysis/NetworkResponse.h"
#include "design/DesignBand.h"
#include <complex>

namespace corvane {

// What an engineer reads off a filter's measured (or designed) response on the bench.
struct ResponseFigures {
    double passLossDb = 0.0; // the least loss in the passband
    double rippleDb = 0.0; // the spread of |S21| over the passband
    // Where |S21| has fallen 3 and 20 dB below its best in the passband, searched from there down
    // and up in frequency; absent where it does not fall that far within the points.
    std::optional<double> edge3LowHz, edge3HighHz;
    std::optional<double> edge20LowHz, edge20HighHz;
    double returnLossDb = 0.0; // the least return loss (-|S11|) in the passband
};

// The figures of a response at frequencies in hertz (ascending), in dB. The passband is the
// band's: up to its edge for a low-pass, from it for a high-pass, between the edges for a
// band-pass and outside them for a band-stop. Raises Failure when no point lies in it.
ResponseFigures FiguresOf(const std::vector<double>& hz, const std::vector<double>& s21Db,
                          const std::vector<double>& s11Db, const DesignBand& band);

// One point of a measured two-port (a network analyser's file): S12 plays no part here.
struct MeasuredPoint {
    double hz = 0.0;
    std::complex<double> S11, S21, S22;
};

// A measured two-port as curves in the chosen unit (frequencies over unitScale): magnitudes in dB,
// phases in degrees, and the group delay from the slope of the unwrapped S21 phase between
// neighbouring points (one-sided at the ends).
NetworkCurves CurvesOfMeasured(const std::vector<MeasuredPoint>& data, double unitScale);

// A measured file beside the ladder as built: both sets of figures at the file's frequencies.
struct MeasuredComparison {
    NetworkCurves measured; // in the chosen unit
    NetworkCurves design; // the ladder at the same frequencies
    ResponseFigures measuredFigures;
    ResponseFigures designFigures;
};
MeasuredComparison CompareMeasured(const std::vector<MeasuredPoint>& data, const LadderModel& built,
                                   const PartQuality& quality, const DesignBand& band, double unitScale);

} // namespace corvane
