// SPDX-License-Identifier: Apache-2.0
#include "filtermath/UElement.h"

#include <stdexcept>

#include "filtermath/FpMath.h"
#include "filtermath/Pi.h"
#include "filtermath/SelectFilter.h"

namespace corvane {

using namespace fpmath;

namespace {

struct Component {
    const char* unit;
    Real value;
};

struct Resonator {
    Real L;
    Real C;
};

// The caller sizes the output arrays; a negative N or a short array is a programming error.
template <typename Array>
void RequireElementRoom(int N, const std::vector<double>& g, const Array& out)
{
    const size_t entries = static_cast<size_t>(N) + 2;
    if (N < 0 || g.size() < entries || out.size() < entries)
        throw std::invalid_argument("element arrays need N + 2 entries, N >= 0");
}

Component LowPassComponent(BranchPlace role, Real g, Real RL, Real omega)
{
    if (role == BranchPlace::Series) return {"H", Div(Mul(g, RL), omega)};
    return {"F", Div(g, Mul(RL, omega))};
}

Component HighPassComponent(BranchPlace role, Real g, Real RL, Real omega)
{
    if (role == BranchPlace::Series) return {"F", Div(1, Mul(Mul(g, RL), omega))};
    return {"H", Div(RL, Mul(g, omega))};
}

using ComponentRule = Component (*)(BranchPlace, Real, Real, Real);

// Visits positions 0..N+1. Each position's formula is evaluated before anything is
// stored there, terminations included, so a zero omega or RL faults at the first
// position whose formula divides by it and earlier positions keep their values.
void FillLadder(int N, const std::vector<double>& g, double PassF, double RL, double UnitScale, LadderTopology topology,
                ComponentRule rule, std::vector<std::string>& ElementUnits, std::vector<double>& ElementValues)
{
    RequireElementRoom(N, g, ElementValues);
    RequireElementRoom(N, g, ElementUnits);
    const Real omega = Mul(Mul(2 * kPi<Real>, PassF), UnitScale);
    for (int i = 0; i <= N + 1; ++i) {
        const Component c = rule(PlaceOfPosition(i, topology), g[i], RL, omega);
        const double value = StoreDouble(c.value);
        if (i == 0) {
            ElementValues[0] = ElementValues[N + 1] = RL;
            ElementUnits[0] = ElementUnits[N + 1] = "Ohm";
        } else if (i <= N) {
            ElementValues[i] = value;
            ElementUnits[i] = c.unit;
        }
    }
}

struct Band {
    Real w0;
    Real dw;
};

// Centre and width of the band in rad per chosen unit; equal edges are nudged apart
// so that the width is never zero.
Band BandOf(double Fmin, double Fmax)
{
    const Real w1 = Mul(2 * kPi<Real>, Fmin);
    Real w2 = Mul(2 * kPi<Real>, Fmax);
    if (w1 == w2) w2 = Add(w1, 1e-10L);
    return {Power(Mul(w1, w2), 0.5L), Sub(w2, w1)};
}

// Each prototype element becomes a resonator tuned to the band centre.
Resonator ResonatorAt(BranchPlace role, Real g, Real RL, Real S, const Band& band)
{
    const Real w0Squared = Mul(band.w0, band.w0);
    if (role == BranchPlace::Series) {
        return {Div(Mul(g, RL), Mul(S, band.dw)), Div(band.dw, Mul(Mul(Mul(S, w0Squared), g), RL))};
    }
    return {Div(Mul(band.dw, RL), Mul(Mul(S, w0Squared), g)), Div(g, Mul(Mul(S, band.dw), RL))};
}

void FillBandLadder(int N, const std::vector<double>& g, double Fmin, double Fmax, double RL, double UnitScale,
                    LadderTopology topology, std::vector<double>& BandC, std::vector<double>& BandL)
{
    RequireElementRoom(N, g, BandC);
    RequireElementRoom(N, g, BandL);
    // Without both edges there is no band; the arrays keep what they held.
    if (Fmin == 0 || Fmax == 0) return;
    const Band band = BandOf(Fmin, Fmax);
    for (int i = 0; i <= N + 1; ++i) {
        const Resonator r = ResonatorAt(PlaceOfPosition(i, topology), g[i], RL, UnitScale, band);
        const double L = StoreDouble(r.L);
        const double C = StoreDouble(r.C);
        if (i == 0) {
            BandL[0] = BandL[N + 1] = RL;
            BandC[0] = BandC[N + 1] = RL;
        } else if (i <= N) {
            BandL[i] = L;
            BandC[i] = C;
        }
    }
}

} // namespace

void LowPassElementsT(int N, const std::vector<double>& g, double PassF, double RL, double UnitScale,
                      std::vector<std::string>& ElementUnits, std::vector<double>& ElementValues)
{
    FillLadder(N, g, PassF, RL, UnitScale, LadderTopology::T, LowPassComponent, ElementUnits, ElementValues);
}

void LowPassElementsPi(int N, const std::vector<double>& g, double PassF, double RL, double UnitScale,
                       std::vector<std::string>& ElementUnits, std::vector<double>& ElementValues)
{
    FillLadder(N, g, PassF, RL, UnitScale, LadderTopology::Pi, LowPassComponent, ElementUnits, ElementValues);
}

void HighPassElementsT(int N, const std::vector<double>& g, double PassF, double RL, double UnitScale,
                       std::vector<std::string>& ElementUnits, std::vector<double>& ElementValues)
{
    FillLadder(N, g, PassF, RL, UnitScale, LadderTopology::T, HighPassComponent, ElementUnits, ElementValues);
}

void HighPassElementsPi(int N, const std::vector<double>& g, double PassF, double RL, double UnitScale,
                        std::vector<std::string>& ElementUnits, std::vector<double>& ElementValues)
{
    FillLadder(N, g, PassF, RL, UnitScale, LadderTopology::Pi, HighPassComponent, ElementUnits, ElementValues);
}

void BandPassElementsT(int N, const std::vector<double>& g, double Fmin, double Fmax, double RL, double UnitScale,
                       std::vector<double>& BandC, std::vector<double>& BandL)
{
    FillBandLadder(N, g, Fmin, Fmax, RL, UnitScale, LadderTopology::T, BandC, BandL);
}

void BandPassElementsPi(int N, const std::vector<double>& g, double Fmin, double Fmax, double RL, double UnitScale,
                        std::vector<double>& BandC, std::vector<double>& BandL)
{
    FillBandLadder(N, g, Fmin, Fmax, RL, UnitScale, LadderTopology::Pi, BandC, BandL);
}

void ComputeElementTable(int FilterKind, LadderTopology topology, int N, const std::vector<double>& g, double PassF,
                         double Fmin, double Fmax, double RL, double UnitScale, std::vector<std::string>& ElementUnits,
                         std::vector<double>& ElementValues, std::vector<double>& BandL, std::vector<double>& BandC)
{
    if (IsBandPassKind(FilterKind))
        FillBandLadder(N, g, Fmin, Fmax, RL, UnitScale, topology, BandC, BandL);
    else if (IsHighPassKind(FilterKind))
        FillLadder(N, g, PassF, RL, UnitScale, topology, HighPassComponent, ElementUnits, ElementValues);
    else
        FillLadder(N, g, PassF, RL, UnitScale, topology, LowPassComponent, ElementUnits, ElementValues);
}

} // namespace corvane
