// SPDX-License-Identifier: Apache-2.0
#include "analysis/ModelMaskMeter.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "analysis/PartModels.h"
#include "analysis/ToleranceKernel.h"
#include "filtermath/LadderCascade.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

using Cx = std::complex<double>;

constexpr std::size_t kStray = std::numeric_limits<std::size_t>::max();

// What makes a branch's immittance: its parts' values, models and leads.
std::vector<double> KeyOf(const ModelBranch& branch)
{
    std::vector<double> key;
    for (const ModelPart& part : branch.parts) {
        key.push_back(part.value);
        key.push_back(part.model ? 1.0 : 0.0);
        if (part.model) {
            const PartModel& m = *part.model;
            key.insert(key.end(), {m.Q, m.growth == QGrowth::SqrtF ? 1.0 : 0.0, m.QHz, m.seriesR, m.srfHz, m.esl});
        }
        key.push_back(part.leadL ? *part.leadL : -1.0);
        // A measured part by its data's address: user-space addresses fit a double's mantissa.
        key.push_back(static_cast<double>(reinterpret_cast<std::uintptr_t>(part.measured.get())));
    }
    return key;
}

} // namespace

ModelMaskMeter::ModelMaskMeter(const LadderModel& ladder, const PartQuality& quality, const MaskGrid& grid)
    : context_(ladder),
      quality_(quality),
      grid_(grid),
      meter_(grid, ladder.RS, ladder.RL),
      cache_(ladder.branches.size())
{
    for (double f : grid_.frequenciesHz) w_.push_back(2.0L * kPi<long double> * f);
    // Node k lies after the (k-1)-th series branch; node 1 is the source's.
    int node = 1;
    const auto stray = [&](int k) {
        const double C = NodeCapacitance(ladder, k);
        if (!(C > 0.0)) return;
        Immittances y;
        for (long double w : w_) y.emplace_back(0.0, static_cast<double>(w * C));
        strays_.push_back(std::move(y));
        strayC_.push_back(C);
        order_.push_back(kStray);
    };
    stray(node);
    for (std::size_t b = 0; b < ladder.branches.size(); ++b) {
        order_.push_back(b);
        if (ladder.branches[b].place == BranchPlace::Series) stray(++node);
    }
}

const ModelMaskMeter::Immittances& ModelMaskMeter::BranchAt(const LadderModel& ladder, std::size_t b)
{
    const ModelBranch& branch = ladder.branches[b];
    auto& cache = cache_[b];
    std::vector<double> key = KeyOf(branch);
    const auto found = cache.find(key);
    if (found != cache.end()) return found->second;
    Immittances x;
    x.reserve(w_.size());
    for (long double w : w_) {
        const PartImpedance z = BranchFromParts(branch, PartImpedancesAt(ladder, branch, w, quality_));
        x.emplace_back(static_cast<double>(z.value.real()), static_cast<double>(z.value.imag()));
    }
    return cache.emplace(std::move(key), std::move(x)).first->second;
}

// An element's immittance off the grid, where nothing is kept.
Cx ModelMaskMeter::ImmittanceAt(const LadderModel& ladder, std::size_t element, std::size_t nextStray, double w) const
{
    if (element == kStray) return {0.0, w * strayC_[nextStray]};
    const ModelBranch& branch = ladder.branches[element];
    const PartImpedance z = BranchFromParts(branch, PartImpedancesAt(ladder, branch, w, quality_));
    return {static_cast<double>(z.value.real()), static_cast<double>(z.value.imag())};
}

bool ModelMaskMeter::Evaluate(const LadderModel& ladder, const KernelSweep& sweep, std::size_t first, std::size_t count,
                              double* den2, double* reflection)
{
    const bool onGrid = &sweep == &meter_.GridSweep();
    std::vector<const Immittances*> kept;
    if (onGrid) {
        std::size_t nextStray = 0;
        for (std::size_t e : order_) kept.push_back(e == kStray ? &strays_[nextStray++] : &BranchAt(ladder, e));
    }
    const double RS = ladder.RS, RL = ladder.RL;
    for (std::size_t i = first; i < first + count; ++i) {
        Chain<double> m;
        std::size_t nextStray = 0;
        for (std::size_t k = 0; k < order_.size(); ++k) {
            const std::size_t e = order_[k];
            const Cx x = onGrid ? (*kept[k])[i] : ImmittanceAt(ladder, e, nextStray, sweep.w[i]);
            if (e == kStray) ++nextStray;
            CascadeStep<double>(e != kStray && ladder.branches[e].place == BranchPlace::Series, x.real(), x.imag(),
                                PartsOf(m));
        }
        const WaveSums<double> sums = WaveSumsOf(m, RS, RL);
        const double d2 = DenNorm(sums);
        if (!std::isfinite(d2)) return false;
        den2[i - first] = d2;
        reflection[i - first] = ReflectionNorm(sums, d2);
    }
    return true;
}

double ModelMaskMeter::Margin(const LadderModel& ladder)
{
    const auto evaluate = [&](const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2,
                              double* reflection) { return Evaluate(ladder, sweep, first, count, den2, reflection); };
    double margin = 0.0;
    return meter_.Margin(evaluate, margin, ExactDelay(ladder, quality_)) ? margin : -INFINITY;
}

} // namespace corvane
