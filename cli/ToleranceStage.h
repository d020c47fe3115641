// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/NetworkResponse.h"
#include "analysis/Tolerance.h"
#include "analysis/Mask.h"
#include "synthesis/Synthesis.h"
#include "design/DesignBand.h"
#include "run/DesignState.h"
#include "cli/CliPorts.h"
#include "cli/ToleranceOptions.h"

namespace corvane {

// Where the trials report: progress for a person watching, or one line of timing at the end.
struct ToleranceReporting {
    std::ostream* progress = nullptr;
    std::ostream* timing = nullptr;
};

// After a completed run and its network stage: the trials, then the text and JSON reports.
class ToleranceStage {
public:
    explicit ToleranceStage(const ToleranceOptions& options) : options_(options) {}

    // The ladder of the completed design (rounded, between the loads the analysis options give)
    // over NetFreq (chosen unit). A failure is reported and ends the stage.
    void Run(const DesignState& state, LadderTopology topology, const AnalysisOptions& analysis,
             const std::function<std::vector<double>()>& NetFreq, StreamMessages& messages,
             const ToleranceReporting& reporting);
    bool Failed() const { return failed_; }

    // The trials over a ladder already built, against a mask around the band it was designed
    // for. NetFreq and the mask's stop frequency in the chosen unit, UnitScale hertz per unit.
    // Faults and unusable settings are thrown to the caller.
    void RunLadder(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band, double UnitScale,
                   const std::vector<double>& NetFreq, const ToleranceReporting& reporting);

    // Trials, Yield, YieldLow, YieldHigh, the S21 and S11 envelopes, Sensitivity, the mask's bands
    // with their points and the histogram.
    void AddJson(nlohmann::ordered_json& json) const;
    // The yield with its interval, the mask's bands, the sensitivities, largest first, and a short
    // envelope table.
    void PrintText(std::ostream& out, const std::string& unitText) const;

private:
    const ToleranceOptions& options_;
    ToleranceRequest request_;
    Mask mask_;
    std::vector<std::string> maskWarnings_;
    bool failed_ = false;
    bool done_ = false;
    double unitScale_ = 1.0;
    ToleranceResult result_;
};


struct CliOptions;
// A classic design given with --poles and --monte-carlo keeps the classic run: its --stop-freq
// is the mask's stop frequency, not a requirement to pick the order from.
bool KeepsClassicRunForTolerance(const CliOptions& options);

// Progress on stderr when it is a terminal; otherwise the timing line on err.
ToleranceReporting ToleranceReportingOn(std::ostream& err);

} // namespace corvane
