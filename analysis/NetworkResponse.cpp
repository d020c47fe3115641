// SPDX-License-Identifier: Apache-2.0
#include "analysis/NetworkResponse.h"

#include <cmath>
#include <stdexcept>

#include "run/LadderOfRun.h"
#include "filtermath/Failure.h"
#include "filtermath/LadderSweep.h"
#include "filtermath/SelectFilter.h"

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

NetworkCurves AnalyseCurves(const Ladder& ladder, const std::vector<double>& NetFreq, double UnitScale,
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
    AnalyseMany(ladder, hz.data(), n, quality, points.data());
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

TableChanges RoundDesignTable(DesignState& state, ESeries series)
{
    const int N = static_cast<int>(state.GValues.size()) - 2;
    if (N < 0) throw std::invalid_argument("the design holds no prototype");
    const size_t entries = static_cast<size_t>(N) + 2;
    TableChanges changes;
    if (IsBandPassKind(state.FilterKind)) {
        changes.BandLChange.assign(entries, 0.0);
        changes.BandCChange.assign(entries, 0.0);
        RoundBandValues(N, series, state.BandL, state.BandC, changes.BandLChange, changes.BandCChange);
    } else {
        changes.ElementChange.assign(entries, 0.0);
        RoundElementValues(N, series, state.ElementValues, changes.ElementChange);
    }
    return changes;
}

Ladder RoundedLadder(const Ladder& ladder, ESeries series)
{
    Ladder rounded = ladder;
    const auto round = [series](double& value) {
        if (value > 0) value = RoundToESeries(value, series);
    };
    for (LadderBranch& b : rounded.branches) {
        if (b.kind != BranchKind::Capacitor) round(b.L);
        if (b.kind != BranchKind::Inductor) round(b.C);
        if (b.kind == BranchKind::SeriesArm || b.kind == BranchKind::ParallelArm) {
            round(b.L2);
            round(b.C2);
        }
    }
    return rounded;
}

DesignAnalysis AnalyseDesign(const DesignState& state, LadderTopology topology, const AnalysisOptions& options,
                             const std::vector<double>& NetFreq)
{
    DesignAnalysis result;
    result.design = state;
    if (options.series) result.changes = RoundDesignTable(result.design, *options.series);
    result.ladder = LadderOfModel(ModelOfRun(result.design, topology, options.loadOhms));
    result.curves = AnalyseCurves(result.ladder, NetFreq, state.UnitScale, options.quality);
    return result;
}
