// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/MeasuredFigures.h"
#include "analysis/NetworkResponse.h"
#include "analysis/PartFit.h"
#include "analysis/TimeResponse.h"
#include "cli/BenchOptions.h"
#include "design/DesignBand.h"

namespace corvane {

// After a completed design: the ladder as built (rounded, between the load and with the part
// losses the analysis options give) in the time domain, and beside a measured file.
class BenchStage {
public:
    explicit BenchStage(const BenchOptions& options) : options_(options) {}
    // The tolerances a fitted part is judged against, as typed for --tol-l and --tol-c; 0 (the
    // default) is taken as 5 %. A text the rule refuses throws InputError.
    void SetTolerances(const std::string& inductorPercent, const std::string& capacitorPercent);

    // The ladder as built (rounded, optimised, with its strays), designed for band (hertz). Faults
    // and unreadable files are thrown to the caller.
    void RunLadder(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band, double unitScale);

    // Time, Step and Impulse as asked, Overshoot (%), RiseTime and SettlingTime (s; null for a
    // response that settles to zero).
    void AddJson(nlohmann::ordered_json& json) const;
    // Measured and MeasuredDesign: the figures of the file and of the design at its points
    // (PassLossDb, RippleDb, Edge3dB and Edge20dB as [low, high] in the chosen unit or null,
    // ReturnLossDb).
    void AddMeasuredJson(nlohmann::ordered_json& json) const;
    // The figures in engineering units and a short table of the responses.
    void PrintText(std::ostream& out) const;

private:
    void PrintTime(std::ostream& out) const;
    void PrintMeasured(std::ostream& out) const;
    void PrintFit(std::ostream& out) const;
    void RunFit(const std::vector<MeasuredPoint>& points, const LadderModel& ladder, const PartQuality& quality,
                const DesignBand& band);

    const BenchOptions& options_;
    std::optional<TimeResponse> time_;
    std::optional<MeasuredComparison> measured_;
    size_t measuredPoints_ = 0;
    std::optional<FitResult> fit_;
    FitRequest fitRequest_;
    double unitScale_ = 1.0;
};

} // namespace corvane
