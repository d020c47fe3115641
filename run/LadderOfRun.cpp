// SPDX-License-Identifier: Apache-2.0
#include "run/LadderOfRun.h"

#include <stdexcept>

#include "filtermath/FpMath.h"
#include "filtermath/SelectFilter.h"
#include "filtermath/UElement.h"
#include "filtermath/UG.h"

namespace corvane {

DesignState ComputeDesign(const DesignParameters& design)
{
    if (design.N < 0) throw std::invalid_argument("a design needs N >= 0");
    DesignState state;
    state.FilterKind = design.FilterKind;
    state.UnitScale = design.UnitScale;
    state.Order = design.N;
    state.Ripple = design.Ripple;
    state.PassF = design.PassF;
    state.Fmin = design.Fmin;
    state.Fmax = design.Fmax;
    state.RL = design.RL;
    const size_t entries = static_cast<size_t>(design.N) + 2;
    state.GValues.resize(entries);
    state.ElementValues.resize(entries);
    state.ElementUnits.resize(entries);
    state.BandL.resize(entries);
    state.BandC.resize(entries);
    ComputePrototype(design.FilterKind, design.N, design.Ripple, state.GValues);
    ComputeElementTable(design.FilterKind, design.topology, design.N, state.GValues, design.PassF, design.Fmin,
                        design.Fmax, design.RL, design.UnitScale, state.ElementUnits, state.ElementValues, state.BandL,
                        state.BandC);
    return state;
}

double PrototypeLoad(double R, const std::vector<double>& g, LadderTopology topology)
{
    const int N = static_cast<int>(g.size()) - 2;
    if (N < 1) return R;
    const fpmath::Real load = g.back();
    if (PlaceOfPosition(N, topology) == BranchPlace::Shunt) return fpmath::StoreDouble(fpmath::Mul(R, load));
    return fpmath::StoreDouble(fpmath::Div(R, load));
}

LadderModel ModelOfRun(const DesignState& state, LadderTopology topology, std::optional<double> loadOhms)
{
    const int N = static_cast<int>(state.GValues.size()) - 2;
    if (N < 0) throw std::invalid_argument("the design holds no prototype");
    const double R = state.RL;
    LadderModel model{R, loadOhms ? *loadOhms : PrototypeLoad(R, state.GValues, topology), {}, {}, {}, {}};
    for (int i = 1; i <= N; ++i) {
        const BranchPlace place = PlaceOfPosition(i, topology);
        const size_t at = static_cast<size_t>(i);
        if (IsBandPassKind(state.FilterKind)) {
            model.branches.push_back(
                MakeBranch(i, place, BranchKind::Resonator, state.BandL.at(at), state.BandC.at(at)));
            continue;
        }
        const bool inSeries = place == BranchPlace::Series;
        const bool inductor = IsLowPassKind(state.FilterKind) ? inSeries : !inSeries;
        const double value = state.ElementValues.at(at);
        model.branches.push_back(inductor ? MakeBranch(i, place, BranchKind::Inductor, value, 0.0)
                                          : MakeBranch(i, place, BranchKind::Capacitor, 0.0, value));
    }
    return model;
}

DesignBand BandOfRun(const DesignState& state)
{
    const double scale = state.UnitScale;
    if (IsLowPassKind(state.FilterKind)) return {BandShape::LowPass, 0.0, state.PassF * scale};
    if (IsHighPassKind(state.FilterKind)) return {BandShape::HighPass, state.PassF * scale, 0.0};
    return {BandShape::BandPass, state.Fmin * scale, state.Fmax * scale};
}

} // namespace corvane
