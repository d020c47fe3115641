// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include "synthesis/Synthesis.h"

namespace {

// A 15-pole low-pass of each family: the all-pole ones between 50 and 75 ohms (the Darlington
// path with its root finding rather than the closed forms), the elliptic and inverse Chebyshev
// between 50 and 50 ohms at 100 and 120 dB, where 15 poles realise. The pulse families
// (Gaussian, EquirippleDelay at its default 0.05 degrees) include the computation of their poles.
void BM_Synthesise15Poles(benchmark::State& state)
{
    synthesis::DesignRequest r;
    r.response.family = static_cast<synthesis::Family>(state.range(0));
    r.response.N = 15;
    r.response.rippleDb = 0.1L;
    r.response.stopAttDb = r.response.family == synthesis::Family::InverseChebyshev ? 120.0L : 100.0L;
    r.RS = 50.0;
    r.RL = synthesis::HasFiniteZeros(r.response.family) ? 50.0 : 75.0;
    r.passHz = 1e6;
    state.SetLabel(synthesis::FamilyName(r.response.family));
    for (auto _ : state) {
        const synthesis::Design d = synthesis::Synthesise(r);
        benchmark::DoNotOptimize(d.ladder.branches.data());
    }
}
BENCHMARK(BM_Synthesise15Poles)
    ->DenseRange(0, static_cast<int>(synthesis::Family::EquirippleDelay))
    ->Unit(benchmark::kMicrosecond);

} // namespace
