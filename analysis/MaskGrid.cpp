// SPDX-License-Identifier: Apache-2.0
#include "analysis/MaskGrid.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/PartModels.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

// Every bracket is narrowed kRefineRounds times, and on a grid with part models on while the response
// next to its worst place still changes by more than kConverged (as a natural log of the kernel's value, about 4e-7
// dB): a resonance of part models can be far narrower than a ripple peak.
constexpr int kRefineRounds = 5;
constexpr int kMostRefineRounds = 16;
constexpr double kConverged = 1e-7;
constexpr int kProbes = 7; // per peak and round: the bracket shrinks to a quarter each round
// About a feature, as natural logarithms of the frequency: wide enough for a resonance that moves
// with its parts' tolerances, fine enough for one of high Q. Not on it: a lossless arm is a short or
// an open there, which no analysis divides by.
constexpr double kNeighbourhood[] = {0.001, 0.0025, 0.005, 0.01, 0.02, 0.04, 0.08};
constexpr double kLeastReflection = 1e-300; // a perfect match still has a logarithm
const double kTwoPi = 2.0 * kPi<double>;

int GridSteps(std::size_t branchCount)
{
    return 8 * static_cast<int>(branchCount) + 16;
}

// One band's plain grid, ascending, both edges included exactly.
std::vector<double> BandGrid(double low, double high, int steps)
{
    std::vector<double> f;
    const double quarter = M_PI / 2 / steps, half = M_PI / steps;
    if (low <= 0.0) {
        for (int j = steps; j >= 0; --j) f.push_back(high * std::max(std::cos(quarter * j), kMaskLowestRatio));
    } else {
        const double mid = 0.5 * (std::log(low) + std::log(high)), span = 0.5 * (std::log(high) - std::log(low));
        for (int j = 0; j <= steps; ++j) f.push_back(std::exp(mid - span * std::cos(half * j)));
        f.front() = low;
    }
    f.back() = high;
    return f;
}

// The plain grid with the features and, for a ladder with part models, the logarithmic spacing.
std::vector<double> FeatureGrid(double low, double high, int steps, const GridFeatures& features)
{
    std::vector<double> f = BandGrid(low, high, steps);
    const double first = f.front();
    const auto add = [&](double hz) {
        if (hz > first && hz < high) f.push_back(hz);
    };
    if (features.dense) {
        // Parasitics shape the response from about a decade below their resonances up.
        double from = first;
        if (!features.hz.empty())
            from = std::max(first, 0.1 * *std::min_element(features.hz.begin(), features.hz.end()));
        const int n = from < high ? static_cast<int>(std::ceil(std::log(high / from) / kModelLogStep)) : 0;
        for (int j = 1; j < n; ++j) add(from * std::exp(std::log(high / from) * j / n));
    }
    for (double hz : features.hz)
        for (double d : kNeighbourhood) {
            add(hz * std::exp(d));
            add(hz * std::exp(-d));
        }
    std::sort(f.begin(), f.end());
    // Points closer than rounding would only repeat a value.
    f.erase(std::unique(f.begin(), f.end(), [](double a, double b) { return b - a <= 1e-12 * b; }), f.end());
    return f;
}

// The steps of each band: the same for all, or totalPoints shared out, the first bands taking
// what does not divide evenly.
std::vector<int> StepsOfBands(std::size_t bands, int branchSteps, std::size_t totalPoints)
{
    std::vector<int> steps(bands, branchSteps);
    if (totalPoints == 0 || bands == 0) return steps;
    const std::size_t inner = totalPoints > 2 * bands ? totalPoints - bands : bands;
    for (std::size_t b = 0; b < bands; ++b) steps[b] = static_cast<int>(inner / bands + (b < inner % bands ? 1 : 0));
    return steps;
}

// Larger is worse: the loss in a passband, the transmission in a stopband, the reflection in a
// return-loss band.
bool Worse(MaskKind kind, double value, double than)
{
    return kind == MaskKind::Stop ? value < than : value > than;
}

double Badness(MaskKind kind, double value)
{
    return kind == MaskKind::Stop ? -std::log(value) : std::log(std::max(value, kLeastReflection));
}

void AddResonance(std::vector<double>& hz, double L, double C)
{
    if (L > 0.0 && C > 0.0 && std::isfinite(L * C)) hz.push_back(1.0 / (kTwoPi * std::sqrt(L * C)));
}

} // namespace

GridFeatures FeaturesOf(const LadderModel& ladder, const PartQuality& quality)
{
    GridFeatures features;
    features.dense = HasPartModels(ladder);
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& l : branch.parts) {
            if (features.dense)
                for (double f : PartResonancesHz(ladder, l, quality)) features.hz.push_back(f);
            if (l.kind != PartKind::Inductor) continue;
            for (const ModelPart& c : branch.parts)
                if (c.kind == PartKind::Capacitor) AddResonance(features.hz, l.value, c.value);
        }
    return features;
}

MaskGrid MakeMaskGrid(const Mask& mask, std::size_t branchCount, const GridFeatures& features, std::size_t totalPoints)
{
    MaskGrid grid;
    grid.refineEvery = features.dense;
    const std::vector<int> steps = StepsOfBands(mask.bands.size(), GridSteps(branchCount), totalPoints);
    for (std::size_t b = 0; b < mask.bands.size(); ++b) {
        const MaskBand& band = mask.bands[b];
        if (!(band.highHz > band.lowHz)) continue;
        const std::vector<double> f = FeatureGrid(band.lowHz, band.highHz, steps[b], features);
        grid.bands.push_back(band);
        grid.points.push_back(static_cast<int>(f.size()));
        grid.firstPoint.push_back(grid.frequenciesHz.size());
        grid.frequenciesHz.insert(grid.frequenciesHz.end(), f.begin(), f.end());
    }
    grid.firstPoint.push_back(grid.frequenciesHz.size());
    return grid;
}

DelayEvaluator ExactDelay(const Ladder& ladder, const PartQuality& quality)
{
    return [&ladder, &quality](const double* hz, std::size_t count, double* delay) {
        for (std::size_t i = 0; i < count; ++i) delay[i] = AnalyseAt(ladder, hz[i], quality).GroupDelay;
        return true;
    };
}

DelayEvaluator ExactDelay(const LadderModel& ladder, const PartQuality& quality)
{
    return [&ladder, &quality](const double* hz, std::size_t count, double* delay) {
        for (std::size_t i = 0; i < count; ++i) delay[i] = AnalyseLadderAt(ladder, hz[i], quality).GroupDelay;
        return true;
    };
}

double DelayMarginDb(double spreadS, double departureS)
{
    // A spread of zero is met by a flat delay alone; rounding leaves every real one a departure.
    return 20.0 * std::log10(std::max(spreadS, 1e-300) / std::max(departureS, 1e-300));
}

MaskMeter::MaskMeter(const MaskGrid& grid, double RS, double RL)
    : grid_(grid),
      RS_(RS),
      RL_(RL),
      gridSweep_(MakeKernelSweep(grid.frequenciesHz)),
      den2_(grid.frequenciesHz.size()),
      reflection_(grid.frequenciesHz.size()),
      worstValue_(grid.bands.size()),
      bandWorstHz_(grid.bands.size())
{
}

bool MaskMeter::Margin(const KernelBranch* branches, std::size_t branchCount, double& marginDb,
                       const DelayEvaluator& delay)
{
    return Margin(
        [&](const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2, double* reflection) {
            return EvaluateKernel(branches, branchCount, sweep, first, count, RS_, RL_, den2, reflection);
        },
        marginDb, delay);
}

double MaskMeter::ValueAt(std::size_t band, double den2, double reflection) const
{
    return grid_.bands[band].kind == MaskKind::ReturnLoss ? reflection : den2;
}

bool MaskMeter::Margin(const SweepEvaluator& evaluate, double& marginDb, const DelayEvaluator& delay)
{
    const std::size_t n = grid_.frequenciesHz.size();
    evaluated_ = n;
    if (!evaluate(gridSweep_, 0, n, den2_.data(), reflection_.data())) return false;
    peaks_.clear();
    for (std::size_t band = 0; band < grid_.bands.size(); ++band)
        if (grid_.bands[band].kind != MaskKind::Delay) FindPeaks(band);
    if (!RefinePeaks(evaluate)) return false;
    marginDb = INFINITY;
    for (std::size_t band = 0; band < grid_.bands.size(); ++band) {
        const MaskBand& b = grid_.bands[band];
        double margin = 0.0, hz = bandWorstHz_[band];
        switch (b.kind) {
        case MaskKind::Pass: margin = b.value + KernelS21Db(worstValue_[band], RS_, RL_); break;
        case MaskKind::Stop: margin = -KernelS21Db(worstValue_[band], RS_, RL_) - b.value; break;
        case MaskKind::ReturnLoss: margin = -KernelS11Db(worstValue_[band]) - b.value; break;
        case MaskKind::Delay:
            if (!DelayMargin(band, delay, margin, hz)) return false;
            break;
        }
        if (margin < marginDb) {
            marginDb = margin;
            worstBand_ = band;
            worstHz_ = hz;
        }
    }
    return true;
}

// The greatest departure of the delay from its mean over the band's grid points, the mean being
// the delay's integral over the band (trapezoids) over the band's width.
bool MaskMeter::DelayMargin(std::size_t band, const DelayEvaluator& delay, double& marginDb, double& hz)
{
    if (!delay) throw std::invalid_argument("A delay band needs the group delay of the ladder.");
    const std::size_t first = grid_.firstPoint[band], count = grid_.firstPoint[band + 1] - first;
    const double* f = grid_.frequenciesHz.data() + first;
    delay_.resize(count);
    if (!delay(f, count, delay_.data())) return false;
    double area = 0.0;
    for (std::size_t i = 1; i < count; ++i) area += 0.5 * (delay_[i] + delay_[i - 1]) * (f[i] - f[i - 1]);
    const double mean = area / (f[count - 1] - f[0]);
    double departure = -1.0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!std::isfinite(delay_[i])) return false;
        if (std::fabs(delay_[i] - mean) > departure) {
            departure = std::fabs(delay_[i] - mean);
            hz = f[i];
        }
    }
    marginDb = DelayMarginDb(grid_.bands[band].value, departure);
    return true;
}

// The grid's worst point of the band, and every local extreme that a peak between grid points
// could make worse than it: the parabola through an extreme and its neighbours (in the
// logarithm, where a ripple peak is smooth) bounds the gain, taken twice for safety. On the
// grid of a ladder with part models every extreme is refined: a resonance of high Q is no parabola.
void MaskMeter::FindPeaks(std::size_t band)
{
    const MaskKind kind = grid_.bands[band].kind;
    const std::vector<double>& v = kind == MaskKind::ReturnLoss ? reflection_ : den2_;
    const std::size_t first = grid_.firstPoint[band], last = grid_.firstPoint[band + 1] - 1;
    const std::vector<double>& f = grid_.frequenciesHz;
    std::size_t worst = first;
    for (std::size_t i = first + 1; i <= last; ++i)
        if (Worse(kind, v[i], v[worst])) worst = i;
    worstValue_[band] = v[worst];
    bandWorstHz_[band] = f[worst];
    const double worstBad = Badness(kind, v[worst]);
    for (std::size_t i = first; i <= last; ++i) {
        const bool aboveLeft = i == first || Worse(kind, v[i], v[i - 1]);
        const bool notBelowRight = i == last || !Worse(kind, v[i + 1], v[i]);
        if (!aboveLeft || !notBelowRight) continue;
        if (!grid_.refineEvery) {
            const double here = Badness(kind, v[i]);
            double gain;
            if (i == first || i == last) {
                gain = std::fabs(here - Badness(kind, v[i == first ? i + 1 : i - 1]));
            } else {
                const double left = Badness(kind, v[i - 1]), right = Badness(kind, v[i + 1]);
                const double curvature = 2.0 * here - left - right;
                gain = curvature > 0.0 ? (right - left) * (right - left) / (8.0 * curvature) : std::fabs(right - left);
            }
            if (here + 2.0 * gain + 1e-12 < worstBad) continue;
        }
        peaks_.push_back({band, f[i == first ? i : i - 1], f[i == last ? i : i + 1], f[i], v[i]});
    }
}

// Narrows every bracket together, kProbes points each per round, so that each round is one
// pass of the kernel over a short sweep.
bool MaskMeter::RefinePeaks(const SweepEvaluator& evaluate)
{
    std::vector<Peak*> active;
    for (Peak& peak : peaks_) active.push_back(&peak);
    for (int round = 0; round < kMostRefineRounds && !active.empty(); ++round) {
        const std::size_t n = active.size() * kProbes;
        probe_.w.resize(n);
        probe_.invW.resize(n);
        probeDen2_.resize(n);
        probeReflection_.resize(n);
        for (std::size_t p = 0; p < active.size(); ++p)
            for (int j = 0; j < kProbes; ++j) {
                const Peak& peak = *active[p];
                const double w = kTwoPi * (peak.low + (peak.high - peak.low) * (j + 1) / (kProbes + 1));
                probe_.w[p * kProbes + j] = w;
                probe_.invW[p * kProbes + j] = 1.0 / w;
            }
        if (!evaluate(probe_, 0, n, probeDen2_.data(), probeReflection_.data())) return false;
        evaluated_ += n;
        std::size_t kept = 0;
        for (std::size_t p = 0; p < active.size(); ++p) {
            Peak& peak = *active[p];
            const MaskKind kind = grid_.bands[peak.band].kind;
            const double step = (peak.high - peak.low) / (kProbes + 1);
            double best = peak.best, bestValue = peak.bestValue;
            double bad[kProbes];
            int at = -1;
            for (int j = 0; j < kProbes; ++j) {
                const double value = ValueAt(peak.band, probeDen2_[p * kProbes + j], probeReflection_[p * kProbes + j]);
                bad[j] = Badness(kind, value);
                if (Worse(kind, value, bestValue)) {
                    bestValue = value;
                    best = peak.low + step * (j + 1);
                    at = j;
                }
            }
            // How much the response still changes next to the worst place: what a narrower bracket may gain.
            double gained = Badness(kind, bestValue) - Badness(kind, peak.bestValue);
            if (at > 0 && at + 1 < kProbes) gained = std::max(gained, bad[at] - std::min(bad[at - 1], bad[at + 1]));
            // The new bracket: the probes (or old ends) on either side of the worst place.
            const double low = std::max(peak.low, best - step), high = std::min(peak.high, best + step);
            peak = {peak.band, low, high, best, bestValue};
            if (Worse(kind, bestValue, worstValue_[peak.band])) {
                worstValue_[peak.band] = bestValue;
                bandWorstHz_[peak.band] = best;
            }
            // A ripple peak is a parabola by then; only a part model's resonance may need more.
            if (round + 1 < kRefineRounds || (grid_.refineEvery && gained > kConverged)) active[kept++] = &peak;
        }
        active.resize(kept);
    }
    return true;
}

} // namespace corvane
