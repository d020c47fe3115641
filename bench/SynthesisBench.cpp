// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include "synthesis/Synthesis.h"

using namespace corvane;

namespace {

// A 15-pole low-pass of each family: the all-pole ones between 50 and 75 ohms (the Darlington
// path with its root finding rather than the closed forms), the elliptic and inverse Chebyshev
// between 50 and 50 ohms at 100 and 120 dB, where 15 poles realise. The pulse families
// (Gaussian, the transitional Gaussians, EquirippleDelay at its default 0.05 degrees) include the
// computation of their poles.
void BM_Synthesise15Poles(benchmark::State& state)
{
    synthesis::DesignRequest r;
    r.response.family = static_cast<synthesis::Family>(state.range(0));
    r.response.N = 15;
    r.response.rippleDb = 0.1L;
    r.response.stopAttDb = r.response.family == synthesis::Family::InverseChebyshev ? 120.0L : 100.0L;
    r.RS = 50.0;
    r.RL = TraitsOf(r.response.family).finiteZeros ? 50.0 : 75.0;
    r.passHz = 1e6;
    state.SetLabel(synthesis::FamilyName(r.response.family));
    for (auto _ : state) {
        const synthesis::Design d = synthesis::Synthesise(r);
        benchmark::DoNotOptimize(d.ladder.branches.data());
    }
}
BENCHMARK(BM_Synthesise15Poles)
    ->DenseRange(0, static_cast<int>(synthesis::Family::Gaussian12dB))
    ->Unit(benchmark::kMicrosecond);

// A 15-pole 0.1 dB Chebyshev low-pass at 1 MHz with six chosen zeros, from 1.2 to 4 times the
// edge (the generalised Chebyshev passband and six traps), in the T and the Pi form.
void BM_Synthesise15PolesWithChosenZeros(benchmark::State& state)
{
    synthesis::DesignRequest r;
    r.response.family = synthesis::Family::Chebyshev;
    r.response.N = 15;
    r.response.rippleDb = 0.1L;
    r.form = state.range(0) == 0 ? LadderTopology::T : LadderTopology::Pi;
    r.passHz = 1e6;
    r.zerosHz = {1.2e6, 1.5e6, 2e6, 2.5e6, 3e6, 4e6};
    state.SetLabel(state.range(0) == 0 ? "T" : "Pi");
    for (auto _ : state) {
        const synthesis::Design d = synthesis::Synthesise(r);
        benchmark::DoNotOptimize(d.ladder.branches.data());
    }
}
BENCHMARK(BM_Synthesise15PolesWithChosenZeros)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

// A 15-resonator 0.1 dB Chebyshev band-pass of 5 % in the top-C (0) and top-L (1) forms: the
// narrow-band values, their refinement on the exact response, and the measure of the fit.
void BM_SynthesiseCoupled15(benchmark::State& state)
{
    synthesis::DesignRequest r;
    r.response.family = synthesis::Family::Chebyshev;
    r.response.N = 15;
    r.response.rippleDb = 0.1L;
    r.type = synthesis::FilterType::BandPass;
    r.bandForm = state.range(0) == 0 ? synthesis::BandPassForm::TopC : synthesis::BandPassForm::TopL;
    r.RS = r.RL = 50.0;
    r.lowHz = 97.5e6;
    r.highHz = 102.5e6;
    state.SetLabel(state.range(0) == 0 ? "top-C" : "top-L");
    for (auto _ : state) {
        const synthesis::Design d = synthesis::Synthesise(r);
        benchmark::DoNotOptimize(d.ladder.branches.data());
    }
}
BENCHMARK(BM_SynthesiseCoupled15)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

} // namespace
