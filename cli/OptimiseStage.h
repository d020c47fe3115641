// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/NetworkResponse.h"
#include "analysis/Mask.h"
#include "analysis/Optimiser.h"
#include "design/DesignBand.h"
#include "design/LadderModel.h"

namespace corvane {

struct CliOptions;

// Builds the ladder from catalogue or series parts chosen by the optimiser, against the mask of
// the tolerance options, and reports what it chose.
class OptimiseStage {
public:
    explicit OptimiseStage(const CliOptions& options) : options_(options) {}
    bool Asked() const;

    // The designed ladder between the terminations it is analysed with, its band, the chosen
    // unit's hertz, the analysis options (the kinds' Q; the series to choose from without a catalogue). Failures (a bad
    // catalogue, no mask, an unknown designator) throw Failure or std::invalid_argument.
    LadderModel Build(const LadderModel& designed, const DesignBand& band, double unitScale,
                      const AnalysisOptions& analysis);
    const std::vector<PartChoice>& Choices() const { return result_.choices; }

    // Optimised (per designator: Value, Form, Tuned, Parts), MarginBefore, MarginAfter, YieldBefore, YieldAfter.
    void AddJson(nlohmann::ordered_json& json) const;
    // The mask used, band by band, its warnings (none without a stopband), the parts and the margins.
    void PrintText(std::ostream& out, const std::string& unitText) const;

private:
    const CliOptions& options_;
    bool done_ = false;
    std::string method_;
    Mask mask_;
    double unitScale_ = 1.0;
    std::string stopNote_;
    std::vector<std::string> Warnings() const;
    LadderModel designed_;
    OptimiseResult result_;
};

} // namespace corvane
