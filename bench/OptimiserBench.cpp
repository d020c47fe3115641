// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include <cmath>

#include "analysis/MaskGrid.h"
#include "analysis/Optimiser.h"
#include "run/LadderOfRun.h"

using namespace corvane;

namespace {

// Every stock part with figures of a small chip part: Q 50 (inductors) or 500 (capacitors) at
// 100 MHz and 0.1 ohm; with selfResonance, each inductor resonates with 0.065 pF across it, as
// 0603 chip inductors do (390 nH near 1 GHz).
void GiveFigures(PartStock& stock, bool selfResonance)
{
    constexpr double kTwoPi = 6.283185307179586, kAcross = 0.065e-12;
    for (CataloguePart& p : stock.inductors) {
        p.Q = 50.0, p.qFrequencyHz = 100e6, p.seriesOhms = 0.1;
        if (selfResonance) p.srfHz = 1.0 / (kTwoPi * std::sqrt(p.value * kAcross));
    }
    for (CataloguePart& p : stock.capacitors) p.Q = 500.0, p.qFrequencyHz = 100e6, p.seriesOhms = 0.1;
}

// A 9-pole 0.1 dB Chebyshev low-pass at 30 MHz between 50 ohm against a mask of 0.5 dB to 30 MHz
// and 50 dB from 45 MHz on the optimiser's 1001-point grid, its parts chosen from E12.
// state.range(0): 1 allows pairs; state.range(1): 0 for the margin, else the yield with that many
// trials per candidate (5 % parts); state.range(2): 1 gives every part the figures above, so
// that each choice and the yield's every trial are measured with its part model; 2 adds the
// inductors' self-resonance and eases the passband to 3.5 dB, a loss those parts can meet.
void BM_OptimiseNineParts(benchmark::State& state)
{
    DesignParameters design;
    design.FilterKind = 3;
    design.N = 9;
    design.Ripple = 0.1;
    design.PassF = 30.0;
    const LadderModel ladder = ModelOfRun(ComputeDesign(design), design.topology);
    const Mask mask = MaskOfEdges({BandShape::LowPass, 0.0, 30e6}, state.range(2) == 2 ? 3.5 : 0.5, 45e6, 50.0);
    OptimiseRequest request;
    request.stock = StockOfSeries(ESeries::E12, 1e-12, 1e-5);
    if (state.range(2) != 0) GiveFigures(request.stock, state.range(2) == 2);
    request.allowPairs = state.range(0) != 0;
    if (state.range(1) > 0) {
        request.goal = OptimiseGoal::Yield;
        request.yield.trials = static_cast<int>(state.range(1));
        request.yield.inductorPercent = request.yield.capacitorPercent = 5.0;
    }
    OptimiseResult result;
    for (auto _ : state) benchmark::DoNotOptimize(result = OptimiseParts(ladder, {}, mask, request));
    state.counters["margins"] = static_cast<double>(result.evaluations);
    state.counters["mask_points"] =
        static_cast<double>(MakeMaskGrid(mask, 9, {}, request.maskPoints).frequenciesHz.size());
    state.counters["before_dB"] = result.marginBeforeDb;
    state.counters["after_dB"] = result.marginAfterDb;
    if (result.yieldAfter) state.counters["yield_before"] = *result.yieldBefore;
    if (result.yieldAfter) state.counters["yield_after"] = *result.yieldAfter;
}
BENCHMARK(BM_OptimiseNineParts)
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({0, 2000, 0})
    ->Args({0, 0, 1})
    ->Args({0, 2000, 1})
    ->Args({0, 0, 2})
    ->Args({0, 2000, 2})
    ->Unit(benchmark::kMillisecond);

} // namespace
