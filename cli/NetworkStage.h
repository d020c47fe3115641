#pragma once
#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/CliPorts.h"
#include "cli/NetworkOptions.h"
#include "filtermath/LadderAnalysis.h"

// After a completed run: rounds the element table to a standard series, analyses the ladder
// and writes the SPICE and Touchstone files, as the options ask.
class NetworkStage {
public:
    explicit NetworkStage(const NetworkOptions& options) : options_(options) {}

    // A failure (arithmetic fault, unwritable file) is reported and ends the stage.
    void Run(const DesignState& state, const CliForm& form, StreamMessages& messages);
    bool Failed() const { return failed_; }

    // NetS21, NetS11, NetGroupDelay (--network) and the rounded values (--series).
    void AddJson(nlohmann::ordered_json& json) const;
    // The rounded values with their changes, then the analysis as columns.
    void PrintText(std::ostream& out) const;

private:
    void RoundToSeries();
    Ladder BuildLadder(const CliForm& form) const;
    std::string Description(const CliForm& form) const;
    void PrintRounded(std::ostream& out) const;
    void PrintAnalysis(std::ostream& out) const;

    const NetworkOptions& options_;
    bool failed_ = false;
    bool rounded_ = false;
    bool analysed_ = false;
    bool bandPass_ = false;
    int N_ = 0;
    double RL_ = 0.0;
    double unitScale_ = 1.0;
    std::string unitText_;
    std::vector<std::string> units_;
    std::vector<double> values_, bandL_, bandC_;
    std::vector<double> change_, changeL_, changeC_;
    Sweep freq_{}, s21_{}, s11_{}, delay_{};
};
