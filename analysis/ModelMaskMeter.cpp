// SPDX-License-Identifier: Apache-2.0
#include "analysis/ModelMaskMeter.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "analysis/PartModels.h"
#include "analysis/ToleranceKernel.h"
#include "filtermath/LadderCascade.h"

namespace corvane {

namespace {

using Cx = std::complex<double>;

constexpr std::size_t kStray = std::numeric_limits<std::size_t>::max();
const long double kTwoPi = 6.283185307179586476925286766559L;

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

ModelMaskMeter::ModelMaskMeter(const LadderModel& ladder, const PartQuality& quality, MaskGrid grid)
    : context_(ladder), quality_(quality), grid_(std::move(grid)), cache_(ladder.branches.size())
{
    for (double f : grid_.frequenciesHz) w_.push_back(kTwoPi * f);
    // Node k lies after the (k-1)-th series branch; node 1 is the source's.
    int node = 1;
    const auto stray = [&](int k) {
        const double C = NodeCapacitance(ladder, k);
        if (!(C > 0.0)) return;
        Immittances y;
        for (long double w : w_) y.emplace_back(0.0, static_cast<double>(w * C));
        strays_.push_back(std::move(y));
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

double ModelMaskMeter::Margin(const LadderModel& ladder)
{
    std::vector<const Immittances*> elements;
    std::vector<bool> series;
    std::size_t nextStray = 0;
    for (std::size_t e : order_) {
        if (e == kStray) {
            elements.push_back(&strays_[nextStray++]);
            series.push_back(false);
        } else {
            elements.push_back(&BranchAt(ladder, e));
            series.push_back(ladder.branches[e].place == BranchPlace::Series);
        }
    }
    const double RS = ladder.RS, RL = ladder.RL;
    double margin = INFINITY;
    for (std::size_t band = 0; band < grid_.bands.size(); ++band) {
        const MaskBand& mb = grid_.bands[band];
        double worst = mb.pass ? 0.0 : INFINITY; // |den|^2: greatest in a passband, least in a stopband
        for (std::size_t i = grid_.firstPoint[band]; i < grid_.firstPoint[band + 1]; ++i) {
            Chain<double> m;
            for (std::size_t k = 0; k < elements.size(); ++k) {
                const Cx x = (*elements[k])[i];
                CascadeStep<double>(series[k], x.real(), x.imag(), PartsOf(m));
            }
            const double den2 = DenNorm(WaveSumsOf(m, RS, RL));
            if (!std::isfinite(den2)) return -INFINITY;
            worst = mb.pass ? std::max(worst, den2) : std::min(worst, den2);
        }
        const double s21Db = KernelS21Db(worst, RS, RL);
        margin = std::min(margin, mb.pass ? mb.limitDb + s21Db : -s21Db - mb.limitDb);
    }
    return margin;
}

} // namespace corvane
