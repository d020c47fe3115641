// SPDX-License-Identifier: Apache-2.0
#include "analysis/MaskGrid.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr int kRefineRounds = 5;
constexpr int kProbes = 7; // per peak and round: the bracket shrinks to a quarter each round

int GridSteps(std::size_t branchCount)
{
    return 8 * static_cast<int>(branchCount) + 16;
}

// One band's grid, ascending, both edges included exactly.
std::vector<double> BandGrid(double low, double high, int steps, double openEnd)
{
    std::vector<double> f;
    const double quarter = M_PI / 2 / steps, half = M_PI / steps;
    if (low <= 0.0) {
        for (int j = steps; j >= 0; --j) f.push_back(high * std::max(std::cos(quarter * j), 1.0 / openEnd));
    } else if (std::isinf(high)) {
        for (int j = 0; j <= steps; ++j) f.push_back(low / std::max(std::cos(quarter * j), 1.0 / openEnd));
    } else {
        const double mid = 0.5 * (std::log(low) + std::log(high)), span = 0.5 * (std::log(high) - std::log(low));
        for (int j = 0; j <= steps; ++j) f.push_back(std::exp(mid - span * std::cos(half * j)));
    }
    f.front() = low > 0.0 ? low : f.front();
    f.back() = std::isinf(high) ? f.back() : high;
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

void AddBand(MaskGrid& grid, bool pass, double low, double high, double limitDb, int steps, double openEnd)
{
    if (!(high > low)) return;
    const std::vector<double> f = BandGrid(low, high, steps, openEnd);
    grid.bands.push_back({pass, low, high, limitDb, static_cast<int>(f.size())});
    grid.firstPoint.push_back(grid.frequenciesHz.size());
    grid.frequenciesHz.insert(grid.frequenciesHz.end(), f.begin(), f.end());
}

// Larger is worse: the loss in a passband, the transmission in a stopband.
bool Worse(double den2, double than, bool pass)
{
    return pass ? den2 > than : den2 < than;
}

double Badness(double den2, bool pass)
{
    return pass ? std::log(den2) : -std::log(den2);
}

} // namespace

MaskGrid MakeMaskGrid(const ToleranceMask& mask, std::size_t branchCount, std::size_t totalPoints, double openEndRatio)
{
    // The bands first, then their grids, so that a total can be shared out between them.
    struct Band {
        bool pass;
        double low, high, limitDb;
    };
    std::vector<Band> bands;
    const auto add = [&bands](bool pass, double low, double high, double limitDb) {
        if (high > low) bands.push_back({pass, low, high, limitDb});
    };
    if (mask.HasPassband()) {
        if (mask.bandStop) {
            add(true, 0.0, mask.passLowHz, mask.maxPassLossDb);
            add(true, mask.passHighHz, INFINITY, mask.maxPassLossDb);
        } else {
            add(true, mask.passLowHz, mask.passHighHz, mask.maxPassLossDb);
        }
    }
    if (mask.HasStopband()) {
        if (mask.bandStop) {
            add(false, mask.stopBelowHz, mask.stopAboveHz, mask.stopAttDb);
        } else {
            if (mask.stopBelowHz > 0.0) add(false, 0.0, mask.stopBelowHz, mask.stopAttDb);
            if (std::isfinite(mask.stopAboveHz)) add(false, mask.stopAboveHz, INFINITY, mask.stopAttDb);
        }
    }
    const std::vector<int> steps = StepsOfBands(bands.size(), GridSteps(branchCount), totalPoints);
    MaskGrid grid;
    for (std::size_t b = 0; b < bands.size(); ++b)
        AddBand(grid, bands[b].pass, bands[b].low, bands[b].high, bands[b].limitDb, steps[b], openEndRatio);
    grid.firstPoint.push_back(grid.frequenciesHz.size());
    return grid;
}

MaskMeter::MaskMeter(const MaskGrid& grid, double RS, double RL)
    : grid_(grid),
      RS_(RS),
      RL_(RL),
      gridSweep_(MakeKernelSweep(grid.frequenciesHz)),
      den2_(grid.frequenciesHz.size()),
      reflection_(grid.frequenciesHz.size()),
      worstDen2_(grid.bands.size())
{
}

bool MaskMeter::Margin(const KernelBranch* branches, std::size_t branchCount, double& marginDb)
{
    return Margin(
        [&](const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2, double* reflection) {
            return EvaluateKernel(branches, branchCount, sweep, first, count, RS_, RL_, den2, reflection);
        },
        marginDb);
}

bool MaskMeter::Margin(const SweepEvaluator& evaluate, double& marginDb)
{
    const std::size_t n = grid_.frequenciesHz.size();
    evaluated_ = n;
    if (!evaluate(gridSweep_, 0, n, den2_.data(), reflection_.data())) return false;
    peaks_.clear();
    for (std::size_t band = 0; band < grid_.bands.size(); ++band) FindPeaks(band);
    if (!RefinePeaks(evaluate)) return false;
    marginDb = INFINITY;
    for (std::size_t band = 0; band < grid_.bands.size(); ++band) {
        const MaskBand& b = grid_.bands[band];
        const double s21Db = KernelS21Db(worstDen2_[band], RS_, RL_);
        marginDb = std::min(marginDb, b.pass ? b.limitDb + s21Db : -s21Db - b.limitDb);
    }
    return true;
}

// The grid's worst point of the band, and every local extreme that a peak between grid points
// could make worse than it: the parabola through an extreme and its neighbours (in the
// logarithm, where a ripple peak is smooth) bounds the gain, taken twice for safety.
void MaskMeter::FindPeaks(std::size_t band)
{
    const bool pass = grid_.bands[band].pass;
    const std::size_t first = grid_.firstPoint[band], last = grid_.firstPoint[band + 1] - 1;
    std::size_t worst = first;
    for (std::size_t i = first + 1; i <= last; ++i)
        if (Worse(den2_[i], den2_[worst], pass)) worst = i;
    worstDen2_[band] = den2_[worst];
    const double worstBad = Badness(den2_[worst], pass);
    const std::vector<double>& f = grid_.frequenciesHz;
    for (std::size_t i = first; i <= last; ++i) {
        const bool aboveLeft = i == first || Worse(den2_[i], den2_[i - 1], pass);
        const bool notBelowRight = i == last || !Worse(den2_[i + 1], den2_[i], pass);
        if (!aboveLeft || !notBelowRight) continue;
        const double here = Badness(den2_[i], pass);
        double gain;
        if (i == first || i == last) {
            gain = std::fabs(here - Badness(den2_[i == first ? i + 1 : i - 1], pass));
        } else {
            const double left = Badness(den2_[i - 1], pass), right = Badness(den2_[i + 1], pass);
            const double curvature = 2.0 * here - left - right;
            gain = curvature > 0.0 ? (right - left) * (right - left) / (8.0 * curvature) : std::fabs(right - left);
        }
        if (here + 2.0 * gain + 1e-12 < worstBad) continue;
        peaks_.push_back({band, f[i == first ? i : i - 1], f[i == last ? i : i + 1], f[i], den2_[i]});
    }
}

// Narrows every bracket together, kProbes points each per round, so that each round is one
// pass of the kernel over a short sweep.
bool MaskMeter::RefinePeaks(const SweepEvaluator& evaluate)
{
    if (peaks_.empty()) return true;
    const std::size_t n = peaks_.size() * kProbes;
    probe_.w.resize(n);
    probe_.invW.resize(n);
    probeDen2_.resize(n);
    probeReflection_.resize(n);
    for (int round = 0; round < kRefineRounds; ++round) {
        for (std::size_t p = 0; p < peaks_.size(); ++p)
            for (int j = 0; j < kProbes; ++j) {
                const Peak& peak = peaks_[p];
                const double w = 2.0 * M_PI * (peak.low + (peak.high - peak.low) * (j + 1) / (kProbes + 1));
                probe_.w[p * kProbes + j] = w;
                probe_.invW[p * kProbes + j] = 1.0 / w;
            }
        if (!evaluate(probe_, 0, n, probeDen2_.data(), probeReflection_.data())) return false;
        evaluated_ += n;
        for (std::size_t p = 0; p < peaks_.size(); ++p) {
            Peak& peak = peaks_[p];
            const bool pass = grid_.bands[peak.band].pass;
            const double step = (peak.high - peak.low) / (kProbes + 1);
            double best = peak.best, bestDen2 = peak.bestDen2;
            for (int j = 0; j < kProbes; ++j)
                if (Worse(probeDen2_[p * kProbes + j], bestDen2, pass)) {
                    bestDen2 = probeDen2_[p * kProbes + j];
                    best = peak.low + step * (j + 1);
                }
            // The new bracket: the probes (or old ends) on either side of the worst place.
            const double low = std::max(peak.low, best - step), high = std::min(peak.high, best + step);
            peak = {peak.band, low, high, best, bestDen2};
            if (Worse(bestDen2, worstDen2_[peak.band], pass)) worstDen2_[peak.band] = bestDen2;
        }
    }
    return true;
}

} // namespace corvane
