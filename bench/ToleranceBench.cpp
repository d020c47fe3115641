// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <memory>
#include <vector>

#include "analysis/Mask.h"
#include "analysis/MeasuredParts.h"
#include "analysis/Tolerance.h"
#include "run/LadderOfRun.h"

using namespace corvane;

namespace {

// The 7-pole 0.5 dB Chebyshev low-pass at 10 MHz between 50 ohm that the Monte Carlo cases share.
LadderModel SevenPoleLowPass()
{
    DesignParameters design;
    design.FilterKind = 3;
    design.N = 7;
    design.Ripple = 0.5;
    design.PassF = 10.0;
    return ModelOfRun(ComputeDesign(design), design.topology);
}

// Their sweep, 1 to 100 MHz in 1001 points, and their mask: maxPassLossDb to 10 MHz, 40 dB from 20 MHz.
std::vector<double> SweepTo100MHz()
{
    std::vector<double> f;
    for (int i = 0; i < 1001; ++i) f.push_back(1e6 + 99e6 * i / 1000.0);
    return f;
}

Mask LowPassMask(double maxPassLossDb)
{
    return MaskOfEdges({BandShape::LowPass, 0.0, 10e6}, maxPassLossDb, 20e6, 40.0);
}

// The Monte Carlo of the ladder at 5 % inductors and capacitors, per iteration, on threads (0: every core).
void RunMonteCarlo(benchmark::State& state, const LadderModel& ladder, const Mask& mask, int trials, unsigned threads)
{
    const std::vector<double> f = SweepTo100MHz();
    ToleranceSettings settings;
    settings.trials = trials;
    settings.inductorPercent = 5.0;
    settings.capacitorPercent = 5.0;
    settings.threads = threads;
    for (auto _ : state) benchmark::DoNotOptimize(RunTolerance(ladder, {}, f, mask, settings));
    state.counters["per_trial"] = benchmark::Counter(settings.trials, benchmark::Counter::kIsIterationInvariantRate |
                                                                          benchmark::Counter::kInvert);
}

// A 7-pole 0.5 dB Chebyshev low-pass at 10 MHz between 50 ohm, swept linearly over 1 to
// 100 MHz in 1001 points, 5 % inductors and capacitors, a mask of 1 dB to 10 MHz and 40 dB from
// 20 MHz. state.range(0) is the number of threads (0: every core), state.range(1) the trials.
// The CPU column is the whole process's: on an otherwise idle machine the wall time of the
// all-core run approaches it divided by the cores.
void BM_ToleranceMonteCarlo(benchmark::State& state)
{
    RunMonteCarlo(state, SevenPoleLowPass(), LowPassMask(1.0), static_cast<int>(state.range(1)),
                  static_cast<unsigned>(state.range(0)));
}
BENCHMARK(BM_ToleranceMonteCarlo)
    ->ArgNames({"threads", "trials"})
    ->Args({0, 10000})
    ->Args({1, 10000})
    ->Args({0, 100000})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The same Monte Carlo with part models: inductors of Q 80 at 10 MHz (state.range(1) 0: constant,
// 1: growing with sqrt(f)) that resonate at 400 MHz with 50 mOhm of DC resistance, capacitors with
// 30 mOhm ESR and 0.5 nH ESL, 1 pF at every node; with state.range(2) the middle capacitor is a
// vendor's measured part (41 points from 1 to 200 MHz of the same R-L-C model). state.range(0)
// is the number of threads as above.
void BM_ToleranceWithPartModels(benchmark::State& state)
{
    LadderModel ladder = SevenPoleLowPass();
    const QGrowth growth = state.range(1) ? QGrowth::SqrtF : QGrowth::Constant;
    ladder.inductorModel = {80, growth, 10e6, 0.05, 400e6, 0};
    ladder.capacitorModel = {0, QGrowth::Constant, 0, 0.03, 0, 0.5e-9};
    ladder.strays.nodeC = 1e-12;
    if (state.range(2)) {
        ModelPart& middle = ladder.branches[3].parts[0];
        std::vector<double> f;
        std::vector<std::complex<double>> z;
        for (int i = 0; i < 41; ++i) {
            const double hz = 1e6 * std::pow(200.0, i / 40.0), w = 2 * M_PI * hz;
            f.push_back(hz);
            z.emplace_back(0.03, w * 0.5e-9 - 1.0 / (w * middle.value));
        }
        ApplyMeasuredParts(ladder, {{middle.designator, std::make_shared<const MeasuredPart>(
                                                            MakeMeasuredPart(middle.kind, "middle.s2p", f, z))}});
    }
    RunMonteCarlo(state, ladder, LowPassMask(1.5), 10000, static_cast<unsigned>(state.range(0)));
}
BENCHMARK(BM_ToleranceWithPartModels)
    ->ArgNames({"threads", "sqrtQ", "measured"})
    ->Args({0, 0, 0})
    ->Args({0, 1, 0})
    ->Args({0, 1, 1})
    ->Args({1, 1, 1})
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
    const Mask mask = MaskOfEdges({BandShape::LowPass, 0.0, 10e6}, 1.0, std::nullopt, std::nullopt);
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
