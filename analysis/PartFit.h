// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "analysis/MeasuredFigures.h"
#include "design/DesignBand.h"
#include "design/LadderModel.h"

namespace corvane {

struct FitRequest {
    double lowHz = 0.0; // the band fitted over; 0 and 0 for the whole file
    double highHz = 0.0;
    bool fitInductorQ = false; // one Q common to every inductor, fitted with the parts
    bool fitStray = false; // one capacitance added at every node of the signal path, fitted with the parts
    double inductorPercent = 5.0; // a part changed by more than its tolerance is marked
    double capacitorPercent = 5.0;
    // Polled between iterations: a fit asked to stop raises FitCancelled. Optional.
    const std::atomic<bool>* cancel = nullptr;
    // Counts the iterations done, of at most kMaxFitIterations. Optional.
    std::atomic<long long>* iterationsDone = nullptr;
};

constexpr int kMaxFitIterations = 60;

class FitCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "The fit was cancelled."; }
};

// How well the data pin a part: its standard error under 0.5 % is high, under 5 % medium.
enum class FitConfidence { High, Medium, Low };

struct FittedPart {
    std::string designator;
    double designed = 0.0; // henries or farads, as built
    double fitted = 0.0;
    double changePercent = 0.0;
    double stdErrorPercent = 0.0; // one standard error of the fitted value
    FitConfidence confidence = FitConfidence::Low;
    bool outsideTolerance = false;
};

struct FitResult {
    std::vector<FittedPart> parts; // in ladder order
    std::optional<double> inductorQ; // when fitted
    std::optional<double> strayFarads; // when fitted: the capacitance found at every node beside the design's strays
    double strayStdErrorFarads = 0.0;
    double residualDb = 0.0; // rms of the remaining |S21| and |S11| differences in the band, dB
    int iterations = 0;
    int points = 0; // measured points in the band
};

// Which part values (and, when asked, which common inductor Q) make the ladder's S21 and S11 best
// match the measured ones in magnitude and phase over the band: a Levenberg-Marquardt least
// squares over the logarithms of the values (so that every part moves in proportion), on the
// differences of ln S (dB and degrees alike, as an analyser's noise is), S11 where it lies above
// -40 dB (deeper nulls are mostly noise). A common stray is fitted on the logarithm of its value,
// starting from a thousandth of the smallest capacitor: the nodes without a shunt capacitor (the
// ports, at least) tell it apart from the capacitors. The standard errors come from the Jacobian at the
// solution and the residual's spread. Refuses (Failure) a file that does not cover the passband
// or whose ports look swapped (its S11 matches the design's S22 far better than its S11).
FitResult FitParts(const std::vector<MeasuredPoint>& measured, const LadderModel& built, const PartQuality& quality,
                   const DesignBand& band, const FitRequest& request);

const char* ConfidenceName(FitConfidence confidence); // "high", "medium", "low"

} // namespace corvane
