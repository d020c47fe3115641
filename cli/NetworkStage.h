// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>
#include <optional>
#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/NetworkResponse.h"
#include "cli/CliPorts.h"
#include "cli/NetworkOptions.h"
#include "cli/StressReport.h"
#include "rules/BuildSettings.h"

namespace corvane {

// After a completed run: the ladder between its terminations, rounded to a standard series,
// analysed and written to the SPICE and Touchstone files, as the options ask.
class NetworkStage {
public:
    NetworkStage(const NetworkOptions& options, const BuildRequest& settings)
        : options_(options), settings_(settings)
    {
    }

    // Builds the ladder from the designed one between its analysed terminations, in place of
    // rounding it to the series: the optimiser.
    using LadderBuilder = std::function<LadderModel(const LadderModel& designed)>;
    void SetBuilder(LadderBuilder builder) { builder_ = std::move(builder); }

    // A failure (arithmetic fault, unwritable file) is reported and ends the stage.
    void Run(const DesignState& state, const CliForm& form, StreamMessages& messages);
    bool Failed() const { return failed_; }

    // LoadOhms; NetFreq, NetS21, NetS11, NetS22, NetGroupDelay (--network); the rounded values (--series);
    // Stress (passband) and StressSweep, a row per part: Part, Vpeak, Ipeak, Pdiss, Freq (--power-dbm, --power-w).
    void AddJson(nlohmann::ordered_json& json) const;
    // The terminations, the rounded values with their changes, then the analysis as columns.
    void PrintText(std::ostream& out) const;

    // The frequencies of the exact analysis (chosen unit): the run's own sweep, or the settings' own.
    std::vector<double> Frequencies(const DesignState& state) const;

    // The ladder as built after a run that built it, else null; and the title its files carry.
    const LadderModel* BuiltLadder() const { return built_ ? &result_.ladder : nullptr; }
    const PartQuality& Quality() const { return settings_.analysis.quality; }
    std::string Description(const CliForm& form) const;

private:
    // The strays are absorbed unless a builder chose the values with them in place.
    bool Absorbs() const { return settings_.analysis.absorbStrays && !builder_; }
    std::string TerminationText() const;
    void PrintRounded(std::ostream& out) const;
    void PrintAnalysis(std::ostream& out) const;
    void Stress(const DesignState& state, const std::vector<double>& frequencies);

    DesignAnalysis Build(const LadderModel& designed, const AnalysisOptions& options,
                         const std::vector<double>& frequencies, double unitScale) const;

    const NetworkOptions& options_;
    const BuildRequest& settings_;
    LadderBuilder builder_;
    bool failed_ = false;
    bool built_ = false;
    bool analysed_ = false;
    int N_ = 0;
    double designLoad_ = 0.0;
    std::string unitText_;
    DesignAnalysis result_;
    std::optional<StressReport> stress_;
};

} // namespace corvane
