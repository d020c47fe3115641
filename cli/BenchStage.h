// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/NetworkResponse.h"
#include "analysis/TimeResponse.h"
#include "cli/BenchOptions.h"
#include "design/DesignBand.h"
#include "run/DesignState.h"
#include "run/LadderOfRun.h"

namespace corvane {

// After a completed design: the ladder as built (rounded, between the load and with the part
// losses the analysis options give) in the time domain, and beside a measured file.
class BenchStage {
public:
    explicit BenchStage(const BenchOptions& options) : options_(options) {}

    // The ladder of a completed classic run. Faults and unreadable files are thrown to the caller.
    void Run(const DesignState& state, LadderTopology topology, const AnalysisOptions& analysis);
    // A ladder already built, designed for band (hertz).
    void RunLadder(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band);

    // Time, Step and Impulse as asked, Overshoot (%), RiseTime and SettlingTime (s; null for a
    // response that settles to zero).
    void AddJson(nlohmann::ordered_json& json) const;
    // The figures in engineering units and a short table of the responses.
    void PrintText(std::ostream& out) const;

private:
    void PrintTime(std::ostream& out) const;

    const BenchOptions& options_;
    std::optional<TimeResponse> time_;
};

} // namespace corvane
