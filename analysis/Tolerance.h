// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "analysis/Mask.h"
#include "design/LadderModel.h"
#include "design/Names.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// Monte Carlo tolerance analysis of a ladder: every trial scales each inductance and each
// capacitance by its own random factor, measures the ladder against a mask and analyses it over
// the display sweep. The results are the envelope of |S21| and |S11| per sweep point, the yield
// with its confidence interval, the distribution of the worst mask margin and the sensitivity
// of the margin to each part.
//
// The mask is measured on its own frequencies by the one mask meter (MaskGrid.h), so the yield and
// the margins do not depend on the display sweep. Nothing is kept per trial: a trial's factors come again from
// its own random stream whenever they are needed, its margin goes into a histogram, and each
// block of 64 sweep points counts the responses of every trial into a histogram per point
// (ResponseHistogram.h), from which the percentiles are read. So time grows with the trials
// times the points, and memory stays at about 7 MB per thread whatever the number of trials.

// Tolerance of one branch's parts in percent; a negative value takes the kind's default.
struct PartTolerance {
    double inductorPercent = -1.0;
    double capacitorPercent = -1.0;
};

struct ToleranceSettings {
    int trials = 1000;
    double inductorPercent = 0.0;
    double capacitorPercent = 0.0;
    std::vector<PartTolerance> perBranch; // empty, or one entry per branch
    ToleranceDistribution distribution = ToleranceDistribution::Uniform;
    std::uint64_t seed = 1;
    unsigned threads = 0; // 0: every core
};

// Per sweep point, in dB.
struct Envelope {
    std::vector<double> min, p05, p50, p95, max;
};

struct MarginHistogram {
    double lowDb = 0.0; // left edge of the first bin
    double binDb = 0.0; // bin width
    std::vector<int> counts;
};

struct Sensitivity {
    std::string name; // the part's designator: "L3", "C4", "L102"
    double dbPerPercent; // change of the worst margin for +1 % on the part
};

struct ToleranceResult {
    bool cancelled = false;
    int trials = 0;
    std::vector<double> frequenciesHz;
    std::vector<double> nominalS21Db, nominalS11Db; // the exact analysis of the nominal ladder
    Envelope s21, s11;

    bool masked = false; // the mask has at least one band
    std::vector<MaskBand> maskBands;
    std::vector<int> maskPoints; // of each band's grid
    double nominalMarginDb = 0.0;
    std::size_t nominalWorstBand = 0; // where the nominal ladder's margin is: its band's index
    double nominalWorstHz = 0.0; // and its frequency
    std::size_t worstBand = 0; // the same for the worst trial
    double worstHz = 0.0;
    int passed = 0;
    double yield = 0.0;
    double yieldLow = 0.0, yieldHigh = 0.0; // 95 % Wilson score interval
    double worstMarginDb = 0.0, bestMarginDb = 0.0;
    MarginHistogram margins;
    std::vector<Sensitivity> sensitivities; // in ladder order
};

// done and total count the points analysed, mask and sweep, over every trial. Called on the thread that runs the
// analysis.
using ToleranceProgress = std::function<void(long long done, long long total)>;

// The largest tolerance, exclusive, that keeps every perturbed part above zero: 100 % for the
// uniform distribution, 100 % / (8.58 / 3) = 35 % for the normal one, whose generator reaches
// 8.58 standard deviations.
double ToleranceLimitPercent(ToleranceDistribution distribution);

// The most trials one run takes.
constexpr int kMaxToleranceTrials = 1000000;

// Runs the analysis on settings.threads threads. The same settings give the same result bit for
// bit whatever the number of threads. The percentiles of the envelope are within about 0.0011 dB
// plus 0.2 % of their distance from the nominal response of the exact order statistics; the
// minimum, the maximum and every mask figure are exact. A set cancel flag ends the run soon, with cancelled set and
// no statistics. Faults of the nominal ladder or of a trial raise ArithmeticError; unusable
// settings raise std::invalid_argument naming the setting. A ladder with part models or strays (or
// a measured part) keeps them in every trial as stated (Q, ESR, self-resonance, leads, node
// strays, a measured part scaled with its Q and self-resonance kept) while its values vary; its
// trials are analysed in double precision by ModelTrial (ModelTrials.h), about ten times the time
// of the plain kernel's.
ToleranceResult RunTolerance(const LadderModel& ladder, const PartQuality& quality,
                             const std::vector<double>& frequenciesHz, const Mask& mask,
                             const ToleranceSettings& settings, const ToleranceProgress& progress = {},
                             const std::atomic<bool>* cancel = nullptr);

// The worst mask margin of a ladder in dB, measured as every trial is: +infinity without a mask.
double MaskMarginDb(const Ladder& ladder, const PartQuality& quality, const Mask& mask);

// The worst margin of a ladder as built (part models and strays kept) as every trial is measured,
// with the band (its index in the mask) and the frequency in hertz where it is.
struct MaskVerdict {
    double marginDb = INFINITY;
    std::size_t band = 0;
    double hz = 0.0;
};
MaskVerdict MeasureMask(const LadderModel& ladder, const PartQuality& quality, const Mask& mask);

// A yield or a bound of its interval in percent as the front ends show it: two decimals, and the
// digits that keep a value off 0 % or 100 % where it is not there ("0.0038 %", "99.99617 %").
std::string YieldPercentText(double fraction);

// 95 % Wilson score interval of a proportion of successes out of trials.
void WilsonInterval(int successes, int trials, double& low, double& high);

} // namespace corvane
