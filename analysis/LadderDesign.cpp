// SPDX-License-Identifier: Apache-2.0
#include "analysis/LadderDesign.h"

#include <stdexcept>

#include "filtermath/FpMath.h"
#include "filtermath/SelectFilter.h"
#include "filtermath/UElement.h"
#include "filtermath/UG.h"

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

Ladder LadderOfDesign(const DesignState& state, LadderTopology topology, std::optional<double> loadOhms)
{
    const int N = static_cast<int>(state.GValues.size()) - 2;
    if (N < 0) throw std::invalid_argument("the design holds no prototype");
    Ladder ladder = IsBandPassKind(state.FilterKind)
                        ? LadderFromResonators(N, topology, state.RL, state.BandL, state.BandC)
                        : LadderFromElements(N, topology, state.RL, state.ElementUnits, state.ElementValues);
    ladder.RL = loadOhms ? *loadOhms : PrototypeLoad(state.RL, state.GValues, topology);
    return ladder;
}
