// SPDX-License-Identifier: Apache-2.0
#include "analysis/NetworkResponse.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/MeasuredParts.h"
#include "analysis/PartModels.h"
#include "analysis/Strays.h"
#include "filtermath/Failure.h"
#include "filtermath/LadderSweep.h"

namespace corvane {

namespace {

constexpr double kZeroFrequency = 1e-10;

} // namespace

std::vector<double> NetworkFrequencies(const SweepPlan& plan)
{
    if (plan.points < kMinNetworkPoints || plan.points > kMaxNetworkPoints)
        throw std::invalid_argument("sweep points out of range");
    if (!std::isfinite(plan.start) || !std::isfinite(plan.stop)) RaiseInvalidOperation();
    const bool log = plan.spacing == SweepSpacing::Log;
    if (log && !(plan.start > 0.0 && plan.stop > 0.0)) RaiseInvalidOperation();
    const long double start = plan.start;
    const long double stop = plan.stop;
    // Each point from its index rather than by accumulating a step, so no error builds up and
    // the last point is stop itself.
    const long double span = log ? std::log(stop / start) : stop - start;
    const long double last = plan.points - 1;
    std::vector<double> frequencies(static_cast<size_t>(plan.points));
    for (int i = 0; i < plan.points; ++i) {
        const long double t = i / last;
        frequencies[static_cast<size_t>(i)] = static_cast<double>(log ? start * std::exp(span * t) : start + span * t);
    }
    frequencies.back() = plan.stop;
    // As in the run's sweep: a point of exactly zero would divide by zero in every reactance.
    for (double& f : frequencies)
        if (f == 0.0) f = kZeroFrequency;
    return frequencies;
}

NetworkCurves AnalyseCurves(const LadderModel& model, const std::vector<double>& NetFreq, double UnitScale,
                            const PartQuality& quality)
{
    NetworkCurves curves;
    const size_t n = NetFreq.size();
    curves.NetFreq = NetFreq;
    for (std::vector<double>* curve : {&curves.NetS21, &curves.NetS21Deg, &curves.NetS11, &curves.NetS11Deg,
                                       &curves.NetS22, &curves.NetS22Deg, &curves.NetGroupDelay})
        curve->resize(n);
    std::vector<double> hz(n);
    for (size_t i = 0; i < n; ++i) {
        hz[i] = NetFreq[i] * UnitScale;
        if (std::isinf(hz[i])) RaiseOverflow();
    }
    std::vector<NetworkPoint> points(n);
    if (corvane::HasPartModels(model)) {
        LadderOfModel(model); // refuses parts that do not fit their branch's shape
        for (size_t i = 0; i < n; ++i) points[i] = corvane::AnalyseModelAt(model, hz[i], quality);
    } else {
        AnalyseMany(LadderOfModel(model), hz.data(), n, quality, points.data());
    }
    for (size_t i = 0; i < n; ++i) {
        const NetworkPoint& p = points[i];
        curves.NetS21[i] = p.S21dB;
        curves.NetS21Deg[i] = p.S21Deg;
        curves.NetS11[i] = p.S11dB;
        curves.NetS11Deg[i] = p.S11Deg;
        curves.NetS22[i] = p.S22dB;
        curves.NetS22Deg[i] = p.S22Deg;
        curves.NetGroupDelay[i] = p.GroupDelay;
    }
    return curves;
}

RoundedParts RoundParts(const LadderModel& ladder, ESeries series)
{
    RoundedParts rounded{ladder, {}};
    for (ModelBranch& branch : rounded.ladder.branches) {
        for (ModelPart& part : branch.parts) {
            const double standard = RoundToESeries(part.value, series);
            rounded.changePercent.push_back(PercentChange(part.value, standard));
            part.value = standard;
        }
    }
    return rounded;
}

namespace {

// The ladder with the options' models, strays and load, rounded when a series is given; the
// measured parts then take the places of theirs.
void Build(DesignAnalysis& result, const LadderModel& ladder, const AnalysisOptions& options)
{
    if (!options.series) {
        result.ladder = ladder;
    } else {
        RoundedParts rounded = RoundParts(ladder, *options.series);
        result.ladder = std::move(rounded.ladder);
        result.changePercent = std::move(rounded.changePercent);
    }
    ApplyOwnPartModels(result.ladder, options.ownModels);
    CheckStrayNodes(result.ladder);
    corvane::ApplyMeasuredParts(result.ladder, options.measuredParts);
}

} // namespace

void ApplyKindQ(AnalysisOptions& options, PartKind kind, double Q, double QHz)
{
    const bool inductor = kind == PartKind::Inductor;
    (inductor ? options.quality.QL : options.quality.QC) = QHz > 0.0 ? 0.0 : Q;
    if (QHz <= 0.0) return;
    std::optional<PartModel>& model = inductor ? options.inductorModel : options.capacitorModel;
    if (!model) model = PartModel{};
    model->Q = Q;
    model->growth = QGrowth::SqrtF;
    model->QHz = QHz;
}

DesignAnalysis AnalyseDesign(const LadderModel& designed, const AnalysisOptions& options,
                             const std::vector<double>& NetFreq, double UnitScale)
{
    LadderModel ladder = designed;
    if (options.loadOhms) ladder.RL = *options.loadOhms;
    if (options.inductorModel) ladder.inductorModel = *options.inductorModel;
    if (options.capacitorModel) ladder.capacitorModel = *options.capacitorModel;
    if (options.strays) ladder.strays = *options.strays;
    ResolveOutputNode(ladder);
    DesignAnalysis result;
    if (options.absorbStrays) {
        // Absorbing comes before rounding: the standard value is chosen for what the board leaves.
        Build(result, ladder, options);
        result.beforeAbsorbing = AnalyseCurves(result.ladder, NetFreq, UnitScale, options.quality);
        corvane::AbsorbedStrays absorbed = corvane::AbsorbStrays(ladder);
        result.absorbed = std::move(absorbed.absorbed);
        result.absorbRefused = std::move(absorbed.refused);
    }
    Build(result, ladder, options);
    result.curves = AnalyseCurves(result.ladder, NetFreq, UnitScale, options.quality);
    if (!NetFreq.empty()) {
        const auto [low, high] = std::minmax_element(NetFreq.begin(), NetFreq.end());
        result.rangeWarnings = corvane::MeasuredRangeWarnings(result.ladder, *low * UnitScale, *high * UnitScale);
    }
    return result;
}

} // namespace corvane
