// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "filtermath/ESeries.h"
#include "filtermath/LadderAnalysis.h"
#include "run/DesignState.h"

// The exact response of the designed ladder over a sweep of any length, with the options the
// window's workbench and the command line offer: standard values, part losses, another load.

// Sweep points of the exact analysis: 101 to 100001, linear or logarithmic.
constexpr int kMinNetworkPoints = 101;
constexpr int kMaxNetworkPoints = 100001;

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
NetworkCurves AnalyseCurves(const Ladder& ladder, const std::vector<double>& NetFreq, double UnitScale,
                            const PartQuality& quality);

// Percent change of each rounded position; N + 2 entries (0 at the terminations) for the family
// the design uses, empty for the other.
struct TableChanges {
    std::vector<double> ElementChange;
    std::vector<double> BandLChange;
    std::vector<double> BandCChange;
};

// Rounds positions 1..N of the element table that state's FilterKind uses to the series, in place.
TableChanges RoundDesignTable(DesignState& state, ESeries series);

// The ladder with every part of every arm rounded to the series; the terminations stay.
Ladder RoundedLadder(const Ladder& ladder, ESeries series);

struct AnalysisOptions {
    std::optional<ESeries> series; // round the parts first
    PartQuality quality; // 0: ideal parts
    std::optional<double> loadOhms; // instead of the load the prototype needs
};

// What one analysis of a design produced.
struct DesignAnalysis {
    DesignState design; // the state analysed, with the rounded table when a series was given
    TableChanges changes; // empty unless rounded
    Ladder ladder; // with its terminations RS and RL
    NetworkCurves curves;
};

// design state + topology + options -> ladder and its response over NetFreq (chosen unit). The
// state must be that of a completed run. Faults as AnalyseAt.
DesignAnalysis AnalyseDesign(const DesignState& state, LadderTopology topology, const AnalysisOptions& options,
                             const std::vector<double>& NetFreq);
