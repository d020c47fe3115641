// SPDX-License-Identifier: Apache-2.0
#include "analysis/Tolerance.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "analysis/Percentiles.h"
#include "analysis/ToleranceKernel.h"
#include "analysis/TrialRandom.h"
#include "design/LadderModel.h"
#include "filtermath/Failure.h"

namespace {

// One perturbed value: an inductance or a capacitance of one branch.
enum class PartField { L, C, L2, C2 };

struct Part {
    std::size_t branch;
    PartField field;
    double tolerance; // fraction, 0.05 for 5 %

    bool Inductor() const { return field == PartField::L || field == PartField::L2; }
};

// The values each kind of branch carries.
std::vector<PartField> FieldsOf(BranchKind kind)
{
    switch (kind) {
    case BranchKind::Inductor: return {PartField::L};
    case BranchKind::Capacitor: return {PartField::C};
    case BranchKind::Resonator:
    case BranchKind::SeriesLC:
    case BranchKind::ParallelLC: return {PartField::L, PartField::C};
    case BranchKind::SeriesArm:
    case BranchKind::ParallelArm: break;
    }
    return {PartField::L, PartField::C, PartField::L2, PartField::C2};
}

// Values kept per thread for the selection of the percentiles: a block of sweep points times
// every trial, two doubles each. The block shrinks as the trials grow.
constexpr std::size_t kBlockBytes = std::size_t{32} << 20;
constexpr std::size_t kMaxBlockPoints = 128;
constexpr int kTrialsPerTick = 64;
constexpr int kMarginBins = 40;

std::string PartName(const Part& part)
{
    const bool second = part.field == PartField::L2 || part.field == PartField::C2;
    return Designator(part.Inductor() ? PartKind::Inductor : PartKind::Capacitor, static_cast<int>(part.branch) + 1,
                      second);
}

double& FieldOf(BranchValues& values, PartField field)
{
    switch (field) {
    case PartField::L: return values.L;
    case PartField::C: return values.C;
    case PartField::L2: return values.L2;
    case PartField::C2: break;
    }
    return values.C2;
}

double& PartValue(Ladder& ladder, const Part& part)
{
    LadderBranch& b = ladder.branches[part.branch];
    switch (part.field) {
    case PartField::L: return b.L;
    case PartField::C: return b.C;
    case PartField::L2: return b.L2;
    case PartField::C2: break;
    }
    return b.C2;
}

double CheckedPercent(double percent, ToleranceDistribution distribution, const std::string& what)
{
    const double limit = ToleranceLimitPercent(distribution);
    if (!std::isfinite(percent) || percent < 0.0 || percent >= limit) {
        char text[64];
        std::snprintf(text, sizeof text, "%.4g", limit);
        throw std::invalid_argument(
            what + " must be at least 0 % and below " + text + " %" +
            (distribution == ToleranceDistribution::Normal ? " for the normal distribution" : ""));
    }
    return percent / 100.0;
}

std::vector<Part> PartsOf(const Ladder& ladder, const ToleranceSettings& settings)
{
    if (!settings.perBranch.empty() && settings.perBranch.size() != ladder.branches.size())
        throw std::invalid_argument("The part tolerances must name every branch of the ladder");
    const double tolL = CheckedPercent(settings.inductorPercent, settings.distribution, "The inductor tolerance");
    const double tolC = CheckedPercent(settings.capacitorPercent, settings.distribution, "The capacitor tolerance");
    std::vector<Part> parts;
    for (std::size_t i = 0; i < ladder.branches.size(); ++i) {
        const PartTolerance own = settings.perBranch.empty() ? PartTolerance{} : settings.perBranch[i];
        const std::string name = std::to_string(i + 1);
        const auto tolerance = [&](double ownPercent, double fallback, const char* what) {
            return ownPercent < 0.0 ? fallback
                                    : CheckedPercent(ownPercent, settings.distribution, std::string(what) + name);
        };
        for (PartField field : FieldsOf(ladder.branches[i].kind)) {
            const bool inductor = field == PartField::L || field == PartField::L2;
            parts.push_back({i, field,
                             inductor ? tolerance(own.inductorPercent, tolL, "The tolerance of L")
                                      : tolerance(own.capacitorPercent, tolC, "The tolerance of C")});
        }
    }
    return parts;
}

// The factors of every part for trials first .. first+count-1, trial-major.
void DrawFactors(const std::vector<Part>& parts, const ToleranceSettings& settings, int first, int count,
                 double* factors)
{
    const bool normal = settings.distribution == ToleranceDistribution::Normal;
    for (int t = 0; t < count; ++t) {
        TrialRandom random(settings.seed, static_cast<std::uint64_t>(first + t));
        double* row = factors + static_cast<std::size_t>(t) * parts.size();
        for (std::size_t k = 0; k < parts.size(); ++k) {
            const double draw = normal ? random.NextNormal() / 3.0 : random.NextSigned();
            row[k] = 1.0 + parts[k].tolerance * draw;
        }
    }
}

// The mask as it applies to each sweep point.
struct PointMask {
    std::vector<char> pass, stop;
    bool any = false;
};

PointMask MaskOfPoints(const std::vector<double>& frequenciesHz, const ToleranceMask& mask)
{
    PointMask m;
    for (double signedF : frequenciesHz) {
        const double f = std::fabs(signedF);
        const bool pass = mask.HasPassband() && f >= mask.passLowHz && f <= mask.passHighHz;
        const bool stop = mask.HasStopband() && (f <= mask.stopBelowHz || f >= mask.stopAboveHz);
        m.pass.push_back(pass);
        m.stop.push_back(stop);
        m.any = m.any || pass || stop;
    }
    return m;
}

// The margin from the extreme |den|^2 of a trial: the largest over the passband points, the
// least over the stopband points. KernelS21Db decreases with |den|^2, so these give the worst
// point of each band.
double MarginOfExtremes(double passDen2, double stopDen2, const ToleranceMask& mask, double RS, double RL)
{
    double margin = std::numeric_limits<double>::infinity();
    if (passDen2 > 0.0) margin = std::min(margin, mask.maxPassLossDb + KernelS21Db(passDen2, RS, RL));
    if (std::isfinite(stopDen2)) margin = std::min(margin, -KernelS21Db(stopDen2, RS, RL) - mask.stopAttDb);
    return margin;
}

struct SharedRun {
    const Ladder& ladder;
    const std::vector<Part>& parts;
    const std::vector<double>& factors;
    const KernelSweep& sweep;
    const PointMask& pointMask;
    int trials;
    std::size_t blockPoints;
    std::size_t blocks;
    double lossL, lossC, RS, RL;
    Envelope& s21;
    Envelope& s11;
    std::atomic<std::size_t> nextBlock{0};
    std::atomic<long long> done{0};
    std::atomic<bool> stop{false};
    const std::atomic<bool>* cancel = nullptr;
    std::mutex mutex{};
    std::exception_ptr failure{};
};

struct WorkerMargins {
    std::vector<double> passDen2; // per trial, the largest |den|^2 at a passband point (0: none)
    std::vector<double> stopDen2; // per trial, the least |den|^2 at a stopband point (inf: none)
};

void StoreEnvelope(Envelope& e, std::size_t point, const double* orderedDb, const QuantilePosition* q)
{
    // orderedDb holds, in ascending dB: min, then lower and upper of the 5th, 50th, 95th, then max.
    const auto at = [&](int k) {
        return orderedDb[1 + 2 * k] + q[k].fraction * (orderedDb[2 + 2 * k] - orderedDb[1 + 2 * k]);
    };
    e.min[point] = orderedDb[0];
    e.p05[point] = at(0);
    e.p50[point] = at(1);
    e.p95[point] = at(2);
    e.max[point] = orderedDb[7];
}

void RunBlocks(SharedRun& run, WorkerMargins& margins)
{
    const std::size_t T = static_cast<std::size_t>(run.trials);
    const std::size_t P = run.blockPoints;
    std::vector<double> den2(P * T), refl(P * T), pointDen(P), pointRefl(P);
    std::vector<KernelBranch> branches(run.ladder.branches.size());
    std::vector<BranchValues> values(branches.size());
    const double quantiles[3] = {0.05, 0.50, 0.95};
    QuantilePosition q[3];
    for (int k = 0; k < 3; ++k) q[k] = PositionOfQuantile(quantiles[k], T);

    for (;;) {
        const std::size_t block = run.nextBlock.fetch_add(1);
        if (block >= run.blocks || run.stop.load()) return;
        const std::size_t first = block * P;
        const std::size_t n = std::min(P, run.sweep.w.size() - first);
        std::vector<std::size_t> passPoints, stopPoints;
        for (std::size_t p = 0; p < n; ++p) {
            if (run.pointMask.pass[first + p]) passPoints.push_back(p);
            if (run.pointMask.stop[first + p]) stopPoints.push_back(p);
        }
        for (std::size_t t = 0; t < T; ++t) {
            if (t % kTrialsPerTick == 0 && t > 0) {
                run.done.fetch_add(static_cast<long long>(kTrialsPerTick * n));
                if (run.stop.load() || (run.cancel && run.cancel->load())) {
                    run.stop.store(true);
                    return;
                }
            }
            for (std::size_t b = 0; b < branches.size(); ++b) {
                const LadderBranch& nominal = run.ladder.branches[b];
                values[b] = {nominal.L, nominal.C, nominal.L2, nominal.C2};
            }
            const double* row = run.factors.data() + t * run.parts.size();
            for (std::size_t k = 0; k < run.parts.size(); ++k)
                FieldOf(values[run.parts[k].branch], run.parts[k].field) *= row[k];
            for (std::size_t b = 0; b < branches.size(); ++b)
                branches[b] = MakeKernelBranch(run.ladder.branches[b], values[b], run.lossL, run.lossC);
            if (!EvaluateKernel(branches.data(), branches.size(), run.sweep, first, n, run.RS, run.RL, pointDen.data(),
                                pointRefl.data())) {
                std::lock_guard<std::mutex> lock(run.mutex);
                if (!run.failure) run.failure = std::make_exception_ptr(ArithmeticError(kOverflowText));
                run.stop.store(true);
                return;
            }
            for (std::size_t p = 0; p < n; ++p) {
                den2[p * T + t] = pointDen[p];
                refl[p * T + t] = pointRefl[p];
            }
            double& passDen2 = margins.passDen2[t];
            double& stopDen2 = margins.stopDen2[t];
            for (std::size_t p : passPoints) passDen2 = std::max(passDen2, pointDen[p]);
            for (std::size_t p : stopPoints) stopDen2 = std::min(stopDen2, pointDen[p]);
        }
        run.done.fetch_add(static_cast<long long>((T - (T - 1) / kTrialsPerTick * kTrialsPerTick) * n));

        // Ranks of min, the three quantiles' pairs and max, ascending. |S21| falls as |den|^2
        // grows, so its ascending dB order is the descending order of |den|^2.
        std::size_t ranks[8] = {0, q[0].lower, q[0].upper, q[1].lower, q[1].upper, q[2].lower, q[2].upper, T - 1};
        std::size_t mirrored[8];
        for (int k = 0; k < 8; ++k) mirrored[k] = T - 1 - ranks[k];
        double picked[8], orderedDb[8];
        for (std::size_t p = 0; p < n; ++p) {
            SelectRanks(den2.data() + p * T, T, mirrored, 8, picked);
            for (int k = 0; k < 8; ++k) orderedDb[k] = KernelS21Db(picked[k], run.RS, run.RL);
            StoreEnvelope(run.s21, first + p, orderedDb, q);
            SelectRanks(refl.data() + p * T, T, ranks, 8, picked);
            for (int k = 0; k < 8; ++k) orderedDb[k] = KernelS11Db(picked[k]);
            StoreEnvelope(run.s11, first + p, orderedDb, q);
        }
    }
}

void SizeEnvelope(Envelope& e, std::size_t points)
{
    for (std::vector<double>* v : {&e.min, &e.p05, &e.p50, &e.p95, &e.max}) v->assign(points, 0.0);
}

void FillFromNominal(Envelope& e, const std::vector<double>& nominal)
{
    e.min = e.p05 = e.p50 = e.p95 = e.max = nominal;
}

MarginHistogram HistogramOf(const std::vector<double>& margins, double low, double high)
{
    MarginHistogram h;
    h.lowDb = low;
    if (!(high > low)) {
        h.counts.assign(1, static_cast<int>(margins.size()));
        return h;
    }
    h.binDb = (high - low) / kMarginBins;
    h.counts.assign(kMarginBins, 0);
    for (double m : margins) {
        const int bin = static_cast<int>((m - low) / h.binDb);
        ++h.counts[static_cast<std::size_t>(std::clamp(bin, 0, kMarginBins - 1))];
    }
    return h;
}

std::vector<double> ExactS21(const Ladder& ladder, const PartQuality& quality, const std::vector<double>& f)
{
    std::vector<double> s21;
    s21.reserve(f.size());
    for (double hz : f) s21.push_back(AnalyseAt(ladder, hz, quality).S21dB);
    return s21;
}

} // namespace

double ToleranceLimitPercent(ToleranceDistribution distribution)
{
    // Every factor must stay positive: a part of negative value is no part.
    return distribution == ToleranceDistribution::Normal ? 100.0 / (kLargestNormalDraw / 3.0) : 100.0;
}

double WorstMarginDb(const std::vector<double>& frequenciesHz, const std::vector<double>& s21Db,
                     const ToleranceMask& mask)
{
    const PointMask m = MaskOfPoints(frequenciesHz, mask);
    double margin = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < frequenciesHz.size(); ++i) {
        if (m.pass[i]) margin = std::min(margin, mask.maxPassLossDb + s21Db[i]);
        if (m.stop[i]) margin = std::min(margin, -s21Db[i] - mask.stopAttDb);
    }
    return margin;
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

ToleranceResult RunTolerance(const Ladder& ladder, const PartQuality& quality, const std::vector<double>& frequenciesHz,
                             const ToleranceMask& mask, const ToleranceSettings& settings,
                             const ToleranceProgress& progress, const std::atomic<bool>* cancel)
{
    if (settings.trials < 1 || settings.trials > kMaxToleranceTrials)
        throw std::invalid_argument("The number of trials must be from 1 to " + std::to_string(kMaxToleranceTrials));
    if (frequenciesHz.empty()) throw std::invalid_argument("The sweep has no points");
    const std::vector<Part> parts = PartsOf(ladder, settings);

    ToleranceResult result;
    result.trials = settings.trials;
    result.frequenciesHz = frequenciesHz;
    for (double f : frequenciesHz) {
        const NetworkPoint point = AnalyseAt(ladder, f, quality);
        result.nominalS21Db.push_back(point.S21dB);
        result.nominalS11Db.push_back(point.S11dB);
    }
    const PointMask pointMask = MaskOfPoints(frequenciesHz, mask);
    result.masked = pointMask.any;
    if (result.masked) {
        result.nominalMarginDb = WorstMarginDb(frequenciesHz, result.nominalS21Db, mask);
        for (const Part& part : parts) {
            Ladder changed = ladder;
            PartValue(changed, part) *= 1.01;
            const double margin = WorstMarginDb(frequenciesHz, ExactS21(changed, quality, frequenciesHz), mask);
            result.sensitivities.push_back({PartName(part), margin - result.nominalMarginDb});
        }
    }

    const long long total = static_cast<long long>(settings.trials) * static_cast<long long>(frequenciesHz.size());
    std::vector<double> trialMargins;
    const bool anyTolerance = std::any_of(parts.begin(), parts.end(), [](const Part& p) { return p.tolerance > 0.0; });
    if (!anyTolerance) {
        // Every trial is the nominal ladder, whose exact response is already at hand.
        FillFromNominal(result.s21, result.nominalS21Db);
        FillFromNominal(result.s11, result.nominalS11Db);
        trialMargins.assign(static_cast<std::size_t>(settings.trials), result.nominalMarginDb);
        if (progress) progress(total, total);
    } else {
        const std::size_t T = static_cast<std::size_t>(settings.trials);
        std::vector<double> factors(T * parts.size());
        DrawFactors(parts, settings, 0, settings.trials, factors.data());
        const KernelSweep sweep = MakeKernelSweep(frequenciesHz);
        SizeEnvelope(result.s21, frequenciesHz.size());
        SizeEnvelope(result.s11, frequenciesHz.size());
        const std::size_t blockPoints = std::clamp<std::size_t>(kBlockBytes / (16 * T), 1, kMaxBlockPoints);
        SharedRun run{ladder,
                      parts,
                      factors,
                      sweep,
                      pointMask,
                      settings.trials,
                      blockPoints,
                      (frequenciesHz.size() + blockPoints - 1) / blockPoints,
                      KernelLossFactor(quality.QL),
                      KernelLossFactor(quality.QC),
                      ladder.RS,
                      ladder.RL,
                      result.s21,
                      result.s11};
        run.cancel = cancel;

        unsigned threads = settings.threads ? settings.threads : std::max(1u, std::thread::hardware_concurrency());
        threads = static_cast<unsigned>(std::min<std::size_t>(threads, run.blocks));
        std::vector<WorkerMargins> margins(threads);
        for (WorkerMargins& m : margins) {
            m.passDen2.assign(T, 0.0);
            m.stopDen2.assign(T, std::numeric_limits<double>::infinity());
        }
        std::mutex doneMutex;
        std::condition_variable doneSignal;
        unsigned running = threads;
        std::vector<std::thread> pool;
        for (unsigned i = 0; i < threads; ++i)
            pool.emplace_back([&, i] {
                try {
                    RunBlocks(run, margins[i]);
                } catch (...) {
                    std::lock_guard<std::mutex> lock(run.mutex);
                    if (!run.failure) run.failure = std::current_exception();
                    run.stop.store(true);
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
        if (run.failure) std::rethrow_exception(run.failure);
        if (run.stop.load() || (cancel && cancel->load())) {
            result.cancelled = true;
            return result;
        }
        if (progress) progress(total, total);

        if (result.masked) {
            trialMargins.resize(T);
            for (std::size_t t = 0; t < T; ++t) {
                double pass = 0.0, stop = std::numeric_limits<double>::infinity();
                for (const WorkerMargins& m : margins) {
                    pass = std::max(pass, m.passDen2[t]);
                    stop = std::min(stop, m.stopDen2[t]);
                }
                trialMargins[t] = MarginOfExtremes(pass, stop, mask, run.RS, run.RL);
            }
        }
    }

    if (result.masked) {
        result.passed = static_cast<int>(
            std::count_if(trialMargins.begin(), trialMargins.end(), [](double m) { return m >= 0.0; }));
        result.yield = static_cast<double>(result.passed) / settings.trials;
        WilsonInterval(result.passed, settings.trials, result.yieldLow, result.yieldHigh);
        const auto [lo, hi] = std::minmax_element(trialMargins.begin(), trialMargins.end());
        result.worstMarginDb = *lo;
        result.bestMarginDb = *hi;
        result.margins = HistogramOf(trialMargins, *lo, *hi);
    }
    return result;
}
