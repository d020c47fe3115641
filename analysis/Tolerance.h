// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "filtermath/LadderAnalysis.h"

// Monte Carlo tolerance analysis of a ladder: every trial scales each inductance and each
// capacitance by its own random factor, analyses the ladder over the sweep and measures it
// against a mask. The results are the envelope of |S21| and |S11| per sweep point, the yield
// with its confidence interval, the distribution of the worst mask margin and the sensitivity
// of the margin to each part.
//
// No trial's whole curve is kept. Each thread takes a block of sweep points, runs every trial
// over it and keeps, per point and trial, |den|^2 and |S11|^2 (16 bytes); the exact order
// statistics of each point then come from a selection over those values (Percentiles.h), and the
// block's memory is reused for the next. A block holds at most 32 MB, so 128 points at 16 000
// trials and fewer above. Beside that the run keeps the random factor of every part of every
// trial (8 bytes each) and, per thread, the worst passband and stopband value of every trial
// (16 bytes), from which the margins and the yield follow.

enum class ToleranceDistribution {
    Uniform, // the factor is 1 + t u, u uniform on [-1, 1)
    Normal, // the factor is 1 + t z / 3, z standard normal: the tolerance is three standard deviations
};

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

// Insertion loss -20 log10 |S21| is held to at most maxPassLossDb at the sweep points within
// [passLowHz, passHighHz], and to at least stopAttDb at the points at or below stopBelowHz and at
// or above stopAboveHz. An absent bound is NaN; a part of the mask that no sweep point falls in
// constrains nothing.
struct ToleranceMask {
    double passLowHz = 0.0;
    double passHighHz = 0.0;
    double maxPassLossDb = std::numeric_limits<double>::quiet_NaN();
    double stopBelowHz = std::numeric_limits<double>::quiet_NaN();
    double stopAboveHz = std::numeric_limits<double>::quiet_NaN();
    double stopAttDb = std::numeric_limits<double>::quiet_NaN();

    bool HasPassband() const { return !std::isnan(maxPassLossDb); }
    bool HasStopband() const { return !std::isnan(stopAttDb); }
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
    std::string name; // "L3", "C4"
    double dbPerPercent; // change of the worst margin for +1 % on the part
};

struct ToleranceResult {
    bool cancelled = false;
    int trials = 0;
    std::vector<double> frequenciesHz;
    std::vector<double> nominalS21Db, nominalS11Db; // the exact analysis of the nominal ladder
    Envelope s21, s11;

    bool masked = false; // the mask has at least one sweep point
    double nominalMarginDb = 0.0;
    int passed = 0;
    double yield = 0.0;
    double yieldLow = 0.0, yieldHigh = 0.0; // 95 % Wilson score interval
    double worstMarginDb = 0.0, bestMarginDb = 0.0;
    MarginHistogram margins;
    std::vector<Sensitivity> sensitivities; // in ladder order
};

// done and total count sweep points times trials. Called on the thread that runs the analysis.
using ToleranceProgress = std::function<void(long long done, long long total)>;

// The largest tolerance, exclusive, that keeps every perturbed part above zero: 100 % for the
// uniform distribution, 100 % / (8.58 / 3) = 35 % for the normal one, whose generator reaches
// 8.58 standard deviations.
double ToleranceLimitPercent(ToleranceDistribution distribution);

// The most trials one run takes; the per-trial part factors are kept, 8 bytes a part.
constexpr int kMaxToleranceTrials = 1000000;

// Runs the analysis on settings.threads threads. The same settings give the same result bit for
// bit whatever the number of threads. A set cancel flag ends the run soon, with cancelled set and
// no statistics. Faults of the nominal ladder or of a trial raise ArithmeticError; unusable
// settings raise std::invalid_argument naming the setting.
ToleranceResult RunTolerance(const Ladder& ladder, const PartQuality& quality, const std::vector<double>& frequenciesHz,
                             const ToleranceMask& mask, const ToleranceSettings& settings,
                             const ToleranceProgress& progress = {}, const std::atomic<bool>* cancel = nullptr);

// The worst mask margin of one response (|S21| in dB per sweep point): +infinity without a
// mask point. Exposed for the sensitivities and the tests.
double WorstMarginDb(const std::vector<double>& frequenciesHz, const std::vector<double>& s21Db,
                     const ToleranceMask& mask);

// 95 % Wilson score interval of a proportion of successes out of trials.
void WilsonInterval(int successes, int trials, double& low, double& high);
