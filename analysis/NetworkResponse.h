// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/PerPartModels.h"
#include "filtermath/ESeries.h"
#include "filtermath/LadderAnalysis.h"
#include "design/LadderModel.h"
#include "filtermath/Sweep.h"

namespace corvane {

// The exact response of the designed ladder over a sweep of any length, with the options the
// window's workbench and the command line offer: standard values, part losses, another load.

enum class SweepSpacing { Linear, Log };

// In the chosen unit, from start to stop inclusive.
struct SweepPlan {
    double start = 1.0;
    double stop = 101.0;
    int points = kMinNetworkPoints;
    SweepSpacing spacing = SweepSpacing::Linear;
};

// The sweep's frequencies in the chosen unit, start and stop exact, a point of exactly zero moved
// to 1e-10 as in the run's sweep. A log sweep needs a start and
// a stop above zero (ArithmeticError invalid operation otherwise); points outside the range above
// throw std::invalid_argument.
std::vector<double> NetworkFrequencies(const SweepPlan& plan);

// One entry per frequency of NetFreq (chosen unit): dB, degrees and seconds.
struct NetworkCurves {
    std::vector<double> NetFreq;
    std::vector<double> NetS21, NetS21Deg;
    std::vector<double> NetS11, NetS11Deg;
    std::vector<double> NetS22, NetS22Deg;
    std::vector<double> NetGroupDelay;
};

// The ladder at every frequency of NetFreq times UnitScale, through AnalyseMany (double where it
// keeps the extended result's digits). Faults as AnalyseAt.
NetworkCurves AnalyseCurves(const LadderModel& ladder, const std::vector<double>& NetFreq, double UnitScale,
                            const PartQuality& quality);

// A ladder with every part value rounded to a standard series; the terminations stay.
// changePercent holds the change of each part, in ladder order (branch by branch, as listed).
struct RoundedParts {
    LadderModel ladder;
    std::vector<double> changePercent;
};
RoundedParts RoundParts(const LadderModel& ladder, ESeries series);

struct AnalysisOptions {
    std::optional<ESeries> series; // round the parts first
    PartQuality quality; // 0: ideal parts
    std::optional<double> loadOhms; // instead of the load the ladder was designed for
    // The kinds' default part models and the board's strays, when given in place of the ladder's own.
    std::optional<PartModel> inductorModel;
    std::optional<PartModel> capacitorModel;
    std::optional<BoardStrays> strays;
    std::map<std::string, OwnPartModel> ownModels; // by designator, in place of the kind's model
    bool absorbStrays = false; // take the node strays out of the shunt capacitors (analysis/Strays.h)
    // Vendors' measured parts by designator, in place of the parts as built (analysis/MeasuredParts.h).
    std::map<std::string, std::shared_ptr<const MeasuredPart>> measuredParts;
};

// The kind's Q in the options: a constant one in quality, a growing one in the kind's model.
void ApplyKindQ(AnalysisOptions& options, PartKind kind, double Q, double QHz);

// What one analysis of a designed ladder produced.
struct DesignAnalysis {
    LadderModel ladder; // as built: rounded when a series was given, with its terminations RS and RL
    std::vector<double> changePercent; // per part as in RoundedParts; empty unless rounded
    NetworkCurves curves;
    // With absorbStrays: the response before the strays were absorbed, and what absorbing them did.
    NetworkCurves beforeAbsorbing;
    std::vector<std::string> absorbed; // designators
    std::vector<std::string> absorbRefused; // messages
    // One per measured part whose data do not cover the sweep (MeasuredRangeWarnings).
    std::vector<std::string> rangeWarnings;
};

// designed ladder + options -> the ladder as built and its response over NetFreq times UnitScale.
// Faults as AnalyseAt.
DesignAnalysis AnalyseDesign(const LadderModel& designed, const AnalysisOptions& options,
                             const std::vector<double>& NetFreq, double UnitScale);

} // namespace corvane
