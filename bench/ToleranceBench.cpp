// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include <vector>

#include "run/LadderOfRun.h"
#include "analysis/Tolerance.h"

using namespace corvane;

namespace {

// A 7-pole 0.5 dB Chebyshev low-pass at 10 MHz between 50 ohm, swept linearly over 1 to
// 100 MHz in 1001 points, 5 % inductors and capacitors, a mask of 1 dB to 10 MHz and 40 dB from
// 20 MHz. state.range(0) is the number of threads (0: every core), state.range(1) the trials.
// The CPU column is the whole process's: on an otherwise idle machine the wall time of the
// all-core run approaches it divided by the cores.
void BM_ToleranceMonteCarlo(benchmark::State& state)
{
    DesignParameters design;
    design.FilterKind = 3;
    design.N = 7;
    design.Ripple = 0.5;
    design.PassF = 10.0;
    const LadderModel ladder = ModelOfRun(ComputeDesign(design), design.topology);
    std::vector<double> f;
    for (int i = 0; i < 1001; ++i) f.push_back(1e6 + 99e6 * i / 1000.0);
    ToleranceMask mask;
    mask.passHighHz = 10e6;
    mask.maxPassLossDb = 1.0;
    mask.stopAboveHz = 20e6;
    mask.stopAttDb = 40.0;
    ToleranceSettings settings;
    settings.trials = static_cast<int>(state.range(1));
    settings.inductorPercent = 5.0;
    settings.capacitorPercent = 5.0;
    settings.threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(RunTolerance(ladder, {}, f, mask, settings));
    state.counters["per_trial"] = benchmark::Counter(settings.trials, benchmark::Counter::kIsIterationInvariantRate |
                                                                          benchmark::Counter::kInvert);
}
BENCHMARK(BM_ToleranceMonteCarlo)
    ->ArgNames({"threads", "trials"})
    ->Args({0, 10000})
    ->Args({1, 10000})
    ->Args({0, 100000})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Growth with the trials at the command line's default sweep of 101 points: ten times the
// trials should cost ten times the time and no more memory. One iteration each; 10^6 trials
// take a few seconds per core.
void BM_ToleranceTrialScaling(benchmark::State& state)
{
    DesignParameters design;
    design.FilterKind = 3;
    design.N = 5;
    design.Ripple = 0.5;
    design.PassF = 10.0;
    const LadderModel ladder = ModelOfRun(ComputeDesign(design), design.topology);
    std::vector<double> f;
    for (int i = 0; i <= 100; ++i) f.push_back(1e6 + 19e6 * i / 100.0);
    ToleranceMask mask;
    mask.passHighHz = 10e6;
    mask.maxPassLossDb = 1.0;
    ToleranceSettings settings;
    settings.trials = static_cast<int>(state.range(0));
    settings.inductorPercent = 5.0;
    for (auto _ : state) benchmark::DoNotOptimize(RunTolerance(ladder, {}, f, mask, settings));
    state.counters["per_trial"] = benchmark::Counter(settings.trials, benchmark::Counter::kIsIterationInvariantRate |
                                                                          benchmark::Counter::kInvert);
}
BENCHMARK(BM_ToleranceTrialScaling)
    ->ArgNames({"trials"})
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace
