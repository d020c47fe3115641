// SPDX-License-Identifier: Apache-2.0
#include "analysis/Tolerance.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "analysis/MaskGrid.h"
#include "analysis/ModelTrials.h"
#include "analysis/PartModels.h"
#include "analysis/ResponseHistogram.h"
#include "analysis/ToleranceKernel.h"
#include "analysis/TrialParts.h"
#include "analysis/TrialRandom.h"
#include "filtermath/Failure.h"

namespace corvane {

namespace {

constexpr std::size_t kBlockPoints = 64; // sweep points per envelope block: one kernel chunk
constexpr long long kMarginTrials = 256; // trials per unit of mask work
constexpr long long kTrialsPerTick = 64;
constexpr int kMarginBins = 40;
// A reflection anchor far below any trial's keeps the histogram's range on the values.
constexpr double kLeastReflectionAnchor = 1e-20;

void CheckRun(const ToleranceSettings& settings, const std::vector<double>& frequenciesHz)
{
    if (settings.trials < 1 || settings.trials > kMaxToleranceTrials)
        throw std::invalid_argument("The number of trials must be from 1 to " + std::to_string(kMaxToleranceTrials));
    if (frequenciesHz.empty()) throw std::invalid_argument("The sweep has no points");
}

ToleranceResult NominalResult(const LadderModel& model, const PartQuality& quality,
                              const std::vector<double>& frequenciesHz, int trials)
{
    ToleranceResult result;
    result.trials = trials;
    result.frequenciesHz = frequenciesHz;
    for (double f : frequenciesHz) {
        const NetworkPoint point = AnalyseLadderAt(model, f, quality);
        result.nominalS21Db.push_back(point.S21dB);
        result.nominalS11Db.push_back(point.S11dB);
    }
    return result;
}

MaskVerdict LadderVerdict(const Ladder& ladder, const PartQuality& quality, const MaskGrid& grid)
{
    std::vector<KernelBranch> branches;
    for (const LadderBranch& b : ladder.branches)
        branches.push_back(
            MakeKernelBranch(b, {b.L, b.C, b.L2, b.C2}, KernelLossFactor(quality.QL), KernelLossFactor(quality.QC)));
    MaskMeter meter(grid, ladder.RS, ladder.RL);
    MaskVerdict verdict;
    if (!meter.Margin(branches.data(), branches.size(), verdict.marginDb, ExactDelay(ladder, quality)))
        throw ArithmeticError(kOverflowText);
    verdict.band = meter.WorstBand();
    verdict.hz = meter.WorstHz();
    return verdict;
}

double LadderMarginDb(const Ladder& ladder, const PartQuality& quality, const MaskGrid& grid)
{
    return LadderVerdict(ladder, quality, grid).marginDb;
}

std::vector<Sensitivity> SensitivitiesOf(const Ladder& ladder, const PartQuality& quality,
                                         const std::vector<Part>& parts, const MaskGrid& grid, double nominalMarginDb)
{
    std::vector<Sensitivity> out;
    for (const Part& part : parts) {
        Ladder changed = ladder;
        PartValue(changed, part) *= 1.01;
        out.push_back({PartName(part), LadderMarginDb(changed, quality, grid) - nominalMarginDb});
    }
    return out;
}

// The margin of a trial scaled as scaled is; the exact analysis of scaled gives a delay band's delay.
MaskVerdict ModelVerdict(ModelTrial& trial, const MaskGrid& grid, const LadderModel& scaled, const PartQuality& quality)
{
    MaskMeter meter(grid, scaled.RS, scaled.RL);
    MaskVerdict verdict;
    if (!TrialMarginDb(trial, meter, verdict.marginDb, ExactDelay(scaled, quality)))
        throw ArithmeticError(kOverflowText);
    verdict.band = meter.WorstBand();
    verdict.hz = meter.WorstHz();
    return verdict;
}

// As SensitivitiesOf, each part scaled with its model kept.
std::vector<Sensitivity> ModelSensitivitiesOf(const LadderModel& model, const PartQuality& quality,
                                              const std::vector<Part>& parts, const MaskGrid& grid,
                                              double nominalMarginDb)
{
    ModelTrial trial(model, quality, parts);
    std::vector<double> factors(parts.size(), 1.0);
    std::vector<Sensitivity> out;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        factors[k] = 1.01;
        trial.Scale(factors.data());
        const LadderModel scaled = ScaledModel(model, parts, factors.data());
        out.push_back({PartName(parts[k]), ModelVerdict(trial, grid, scaled, quality).marginDb - nominalMarginDb});
        factors[k] = 1.0;
    }
    return out;
}

void FillFromNominal(Envelope& e, const std::vector<double>& nominal)
{
    e.min = e.p05 = e.p50 = e.p95 = e.max = nominal;
}

void StoreMargins(ToleranceResult& result, const MarginTally& tally)
{
    result.passed = static_cast<int>(tally.Passed());
    result.yield = static_cast<double>(result.passed) / result.trials;
    WilsonInterval(result.passed, result.trials, result.yieldLow, result.yieldHigh);
    result.worstMarginDb = tally.Worst();
    result.bestMarginDb = tally.Best();
    result.margins.lowDb = tally.Worst();
    result.margins.binDb = (tally.Best() - tally.Worst()) / kMarginBins;
    result.margins.counts = tally.Binned(kMarginBins);
}

// What the threads share. Work comes in items: first the mask margins of kMarginTrials trials
// each, then the envelope blocks of sweep points over every trial.
struct TrialRun {
    const Ladder& ladder;
    const LadderModel* models; // the ladder with its part models, analysed as such; null: the kernel alone
    const PartQuality& quality;
    const std::vector<Part>& parts;
    const ToleranceSettings& settings;
    const MaskGrid& grid;
    bool delayBands;
    KernelSweep sweep;
    std::vector<double> anchorDen2, anchorReflection; // the nominal ladder at each sweep point
    double lossL, lossC;
    long long marginItems, blocks;
    ToleranceResult& result;
    std::atomic<long long> nextItem{0};
    std::atomic<long long> done{0};
    std::atomic<bool> stop{false};
    const std::atomic<bool>* cancel = nullptr;
    std::mutex mutex{};
    std::exception_ptr failure{};

    bool Stopping()
    {
        if (cancel && cancel->load()) stop.store(true);
        return stop.load();
    }
    void Fail(std::exception_ptr error)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!failure) failure = error;
        stop.store(true);
    }
};

// What each thread keeps: its share of the margins and the histograms of one block.
struct Worker {
    MarginTally tally;
    double worstMargin = INFINITY; // of this worker's trials, and where it lies
    long long worstTrial = -1;
    std::size_t worstBand = 0;
    double worstHz = 0.0;
    std::vector<KeyHistogram> den2, reflection;
    std::vector<double> factors;
    std::vector<KernelBranch> branches;
    std::vector<double> pointDen2, pointReflection;
    std::unique_ptr<ModelTrial> model; // with part models
};

void PrepareTrial(TrialRun& run, Worker& w, long long trial)
{
    DrawTrialFactors(run.parts, run.settings, trial, w.factors.data());
    if (w.model)
        w.model->Scale(w.factors.data());
    else
        TrialBranches(run.ladder, run.parts, w.factors.data(), run.lossL, run.lossC, w.branches.data());
}

// The prepared trial over points of a sweep.
bool EvaluateTrial(const TrialRun& run, const Worker& w, const KernelSweep& sweep, std::size_t first, std::size_t count,
                   double* den2, double* reflection)
{
    if (w.model) return w.model->Evaluate(sweep, first, count, den2, reflection);
    return EvaluateKernel(w.branches.data(), w.branches.size(), sweep, first, count, run.ladder.RS, run.ladder.RL, den2,
                          reflection);
}

// The group delay of the prepared trial by the exact analysis of its ladder, built when a delay band asks.
DelayEvaluator TrialDelay(const TrialRun& run, const Worker& w)
{
    if (!run.delayBands) return {};
    return [&run, &w](const double* hz, std::size_t count, double* delay) {
        if (run.models)
            return ExactDelay(ScaledModel(*run.models, run.parts, w.factors.data()), run.quality)(hz, count, delay);
        return ExactDelay(ScaledLadder(run.ladder, run.parts, w.factors.data()), run.quality)(hz, count, delay);
    };
}

void RunMarginItem(TrialRun& run, Worker& w, MaskMeter& meter, long long item)
{
    const long long first = item * kMarginTrials;
    const long long last = std::min<long long>(first + kMarginTrials, run.settings.trials);
    for (long long t = first; t < last; ++t) {
        PrepareTrial(run, w, t);
        double margin = 0.0;
        const auto evaluate = [&](const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2,
                                  double* reflection) {
            return EvaluateTrial(run, w, sweep, first, count, den2, reflection);
        };
        if (!meter.Margin(evaluate, margin, TrialDelay(run, w))) throw ArithmeticError(kOverflowText);
        w.tally.Add(margin);
        if (margin < w.worstMargin) {
            w.worstMargin = margin;
            w.worstTrial = t;
            w.worstBand = meter.WorstBand();
            w.worstHz = meter.WorstHz();
        }
    }
    run.done.fetch_add((last - first) * static_cast<long long>(run.grid.frequenciesHz.size()));
}

// Envelope values per point: min, then the lower and upper order statistic of the 5th, 50th
// and 95th percentile, then max, ascending in dB.
void StoreEnvelopePoint(Envelope& e, std::size_t point, const double* orderedDb, const QuantilePosition* q)
{
    const auto at = [&](int k) {
        return orderedDb[1 + 2 * k] + q[k].fraction * (orderedDb[2 + 2 * k] - orderedDb[1 + 2 * k]);
    };
    e.min[point] = orderedDb[0];
    e.p05[point] = at(0);
    e.p50[point] = at(1);
    e.p95[point] = at(2);
    e.max[point] = orderedDb[7];
}

void StoreEnvelopeBlock(TrialRun& run, Worker& w, std::size_t first, std::size_t n)
{
    const std::size_t T = static_cast<std::size_t>(run.settings.trials);
    QuantilePosition q[3];
    const double quantiles[3] = {0.05, 0.50, 0.95};
    for (int k = 0; k < 3; ++k) q[k] = PositionOfQuantile(quantiles[k], T);
    const std::size_t ranks[8] = {0, q[0].lower, q[0].upper, q[1].lower, q[1].upper, q[2].lower, q[2].upper, T - 1};
    double orderedDb[8];
    for (std::size_t p = 0; p < n; ++p) {
        // |S21| falls as |den|^2 grows: its ascending dB order is the descending |den|^2 order.
        for (int k = 0; k < 8; ++k)
            orderedDb[k] = KernelS21Db(w.den2[p].ValueOfRank(T - 1 - ranks[k]), run.ladder.RS, run.ladder.RL);
        StoreEnvelopePoint(run.result.s21, first + p, orderedDb, q);
        for (int k = 0; k < 8; ++k) orderedDb[k] = KernelS11Db(w.reflection[p].ValueOfRank(ranks[k]));
        StoreEnvelopePoint(run.result.s11, first + p, orderedDb, q);
    }
}

void RunEnvelopeBlock(TrialRun& run, Worker& w, long long block)
{
    const std::size_t first = static_cast<std::size_t>(block) * kBlockPoints;
    const std::size_t n = std::min(kBlockPoints, run.sweep.w.size() - first);
    for (std::size_t p = 0; p < n; ++p) {
        w.den2[p].Reset(run.anchorDen2[first + p]);
        w.reflection[p].Reset(run.anchorReflection[first + p]);
    }
    for (long long t = 0; t < run.settings.trials; ++t) {
        if (t % kTrialsPerTick == 0 && t > 0) {
            run.done.fetch_add(kTrialsPerTick * static_cast<long long>(n));
            if (run.Stopping()) return;
        }
        PrepareTrial(run, w, t);
        if (!EvaluateTrial(run, w, run.sweep, first, n, w.pointDen2.data(), w.pointReflection.data()))
            throw ArithmeticError(kOverflowText);
        for (std::size_t p = 0; p < n; ++p) {
            w.den2[p].Add(w.pointDen2[p]);
            w.reflection[p].Add(w.pointReflection[p]);
        }
    }
    const long long trials = run.settings.trials;
    run.done.fetch_add((trials - (trials - 1) / kTrialsPerTick * kTrialsPerTick) * static_cast<long long>(n));
    StoreEnvelopeBlock(run, w, first, n);
}

void RunWorker(TrialRun& run, Worker& w)
{
    w.factors.resize(run.parts.size());
    w.branches.resize(run.ladder.branches.size());
    if (run.models) w.model = std::make_unique<ModelTrial>(*run.models, run.quality, run.parts);
    MaskMeter meter(run.grid, run.ladder.RS, run.ladder.RL);
    for (;;) {
        const long long item = run.nextItem.fetch_add(1);
        if (item >= run.marginItems + run.blocks || run.Stopping()) return;
        if (item < run.marginItems) {
            RunMarginItem(run, w, meter, item);
            continue;
        }
        if (w.den2.empty()) {
            w.den2.resize(kBlockPoints);
            w.reflection.resize(kBlockPoints);
            w.pointDen2.resize(kBlockPoints);
            w.pointReflection.resize(kBlockPoints);
        }
        RunEnvelopeBlock(run, w, item - run.marginItems);
    }
}

// Runs the workers and reports progress from this thread until they end.
void RunPool(TrialRun& run, std::vector<Worker>& workers, long long total, const ToleranceProgress& progress)
{
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    std::size_t running = workers.size();
    std::vector<std::thread> pool;
    for (Worker& worker : workers)
        pool.emplace_back([&] {
            try {
                RunWorker(run, worker);
            } catch (...) {
                run.Fail(std::current_exception());
            }
            std::lock_guard<std::mutex> lock(doneMutex);
            --running;
            doneSignal.notify_all();
        });
    {
        std::unique_lock<std::mutex> lock(doneMutex);
        while (!doneSignal.wait_for(lock, std::chrono::milliseconds(50), [&] { return running == 0; }))
            if (progress) {
                lock.unlock();
                progress(std::min(run.done.load(), total), total);
                lock.lock();
            }
    }
    for (std::thread& t : pool) t.join();
}

// The kernel's values of the nominal ladder at the sweep points anchor the histograms there.
void AnchorAtNominal(TrialRun& run)
{
    Worker nominal;
    nominal.factors.assign(run.parts.size(), 1.0);
    nominal.branches.resize(run.ladder.branches.size());
    if (run.models) nominal.model = std::make_unique<ModelTrial>(*run.models, run.quality, run.parts);
    TrialBranches(run.ladder, run.parts, nominal.factors.data(), run.lossL, run.lossC, nominal.branches.data());
    const std::size_t n = run.sweep.w.size();
    run.anchorDen2.resize(n);
    run.anchorReflection.resize(n);
    if (!EvaluateTrial(run, nominal, run.sweep, 0, n, run.anchorDen2.data(), run.anchorReflection.data()))
        throw ArithmeticError(kOverflowText);
    for (double& r : run.anchorReflection) r = std::max(r, kLeastReflectionAnchor);
}

// The trials on the threads; false when cancelled.
bool RunTrials(const Ladder& ladder, const LadderModel* models, const PartQuality& quality,
               const std::vector<Part>& parts, const MaskGrid& grid, const ToleranceSettings& settings,
               ToleranceResult& result, const ToleranceProgress& progress, const std::atomic<bool>* cancel)
{
    const std::size_t points = result.frequenciesHz.size();
    TrialRun run{
        ladder,
        models,
        quality,
        parts,
        settings,
        grid,
        std::any_of(grid.bands.begin(), grid.bands.end(), [](const MaskBand& b) { return b.kind == MaskKind::Delay; }),
        MakeKernelSweep(result.frequenciesHz),
        {},
        {},
        KernelLossFactor(quality.QL),
        KernelLossFactor(quality.QC),
        grid.bands.empty() ? 0 : (settings.trials + kMarginTrials - 1) / kMarginTrials,
        static_cast<long long>((points + kBlockPoints - 1) / kBlockPoints),
        result};
    run.cancel = cancel;
    AnchorAtNominal(run);
    for (Envelope* e : {&result.s21, &result.s11})
        for (std::vector<double>* v : {&e->min, &e->p05, &e->p50, &e->p95, &e->max}) v->assign(points, 0.0);

    unsigned threads = settings.threads ? settings.threads : std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<long long>(threads, run.marginItems + run.blocks));
    std::vector<Worker> workers(threads);
    const long long total = static_cast<long long>(settings.trials) *
                            static_cast<long long>(points + (grid.bands.empty() ? 0 : grid.frequenciesHz.size()));
    RunPool(run, workers, total, progress);
    if (run.failure) std::rethrow_exception(run.failure);
    if (run.stop.load() || (cancel && cancel->load())) return false;
    if (progress) progress(total, total);
    if (!grid.bands.empty()) {
        MarginTally tally;
        const Worker* worst = nullptr;
        for (const Worker& w : workers) {
            tally.Merge(w.tally);
            // The first trial of the least margin, whichever thread met it.
            if (w.worstTrial >= 0 && (!worst || w.worstMargin < worst->worstMargin ||
                                      (w.worstMargin == worst->worstMargin && w.worstTrial < worst->worstTrial)))
                worst = &w;
        }
        StoreMargins(result, tally);
        if (worst) {
            result.worstBand = worst->worstBand;
            result.worstHz = worst->worstHz;
        }
    }
    return true;
}

} // namespace

double ToleranceLimitPercent(ToleranceDistribution distribution)
{
    // Every factor must stay positive: a part of negative value is no part.
    return distribution == ToleranceDistribution::Normal ? 100.0 / (kLargestNormalDraw / 3.0) : 100.0;
}

double MaskMarginDb(const Ladder& ladder, const PartQuality& quality, const Mask& mask)
{
    return LadderMarginDb(ladder, quality,
                          MakeMaskGrid(mask, ladder.branches.size(), FeaturesOf(ModelOfLadder(ladder), quality)));
}

MaskVerdict MeasureMask(const LadderModel& ladder, const PartQuality& quality, const Mask& mask)
{
    const MaskGrid grid = MakeMaskGrid(mask, ladder.branches.size(), FeaturesOf(ladder, quality));
    if (grid.bands.empty()) return {};
    if (!HasPartModels(ladder)) return LadderVerdict(LadderOfModel(ladder), quality, grid);
    const std::vector<Part> parts = PartsOf(LadderOfModel(ladder), ToleranceSettings{});
    ModelTrial trial(ladder, quality, parts);
    return ModelVerdict(trial, grid, ladder, quality);
}

std::string YieldPercentText(double fraction)
{
    const double percent = 100.0 * fraction;
    const char* format = "%.2f %%";
    if (fraction > 0.0 && percent < 0.01) format = "%.2g %%";
    if (fraction < 1.0 && percent > 99.99) format = "%.7g %%";
    char text[32];
    std::snprintf(text, sizeof text, format, percent);
    return text;
}

void WilsonInterval(int successes, int trials, double& low, double& high)
{
    const double z = 1.959963984540054; // two-sided 95 %
    const double n = trials;
    const double p = successes / n;
    const double z2n = z * z / n;
    const double centre = (p + z2n / 2.0) / (1.0 + z2n);
    const double half = z / (1.0 + z2n) * std::sqrt(p * (1.0 - p) / n + z2n / (4.0 * n));
    low = std::max(0.0, centre - half);
    high = std::min(1.0, centre + half);
    // At no or every success the bound on that side is exactly 0 or 1.
    if (successes == 0) low = 0.0;
    if (successes == trials) high = 1.0;
}

ToleranceResult RunTolerance(const LadderModel& model, const PartQuality& quality,
                             const std::vector<double>& frequenciesHz, const Mask& mask,
                             const ToleranceSettings& settings, const ToleranceProgress& progress,
                             const std::atomic<bool>* cancel)
{
    const Ladder ladder = LadderOfModel(model);
    // The trials' kernel knows one Q per kind: a ladder with part models or strays is analysed with them.
    const LadderModel* models = HasPartModels(model) ? &model : nullptr;
    CheckRun(settings, frequenciesHz);
    const std::vector<Part> parts = PartsOf(ladder, settings);
    ToleranceResult result = NominalResult(model, quality, frequenciesHz, settings.trials);
    const MaskGrid grid = MakeMaskGrid(mask, ladder.branches.size(), FeaturesOf(model, quality));
    result.maskBands = grid.bands;
    result.maskPoints = grid.points;
    result.masked = !grid.bands.empty();
    if (result.masked) {
        MaskVerdict nominal;
        if (models) {
            ModelTrial trial(model, quality, parts);
            nominal = ModelVerdict(trial, grid, model, quality);
            result.sensitivities = ModelSensitivitiesOf(model, quality, parts, grid, nominal.marginDb);
        } else {
            nominal = LadderVerdict(ladder, quality, grid);
            result.sensitivities = SensitivitiesOf(ladder, quality, parts, grid, nominal.marginDb);
        }
        result.nominalMarginDb = nominal.marginDb;
        result.nominalWorstBand = result.worstBand = nominal.band;
        result.nominalWorstHz = result.worstHz = nominal.hz;
    }
    if (std::none_of(parts.begin(), parts.end(), [](const Part& p) { return p.tolerance > 0.0; })) {
        // Every trial is the nominal ladder, whose exact response is already at hand.
        FillFromNominal(result.s21, result.nominalS21Db);
        FillFromNominal(result.s11, result.nominalS11Db);
        MarginTally tally;
        for (int t = 0; t < settings.trials && result.masked; ++t) tally.Add(result.nominalMarginDb);
        if (result.masked) StoreMargins(result, tally);
        const long long total = static_cast<long long>(settings.trials) * static_cast<long long>(frequenciesHz.size());
        if (progress) progress(total, total);
        return result;
    }
    result.cancelled = !RunTrials(ladder, models, quality, parts, grid, settings, result, progress, cancel);
    return result;
}

} // namespace corvane
