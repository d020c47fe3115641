// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include "run/LadderOfRun.h"
#include "analysis/NetworkResponse.h"

using namespace corvane;

namespace {

// The exact analysis of a 9-pole 0.5 dB Chebyshev low-pass between its true terminations over a
// 1001-point sweep: every S-parameter and the group delay at every point.
void BM_ExactAnalysis(benchmark::State& bench)
{
    const bool lossy = bench.range(0) != 0;
    const DesignState state = ComputeDesign({3, LadderTopology::T, 9, 0.5, 10, 0, 0, 50, 1e6});
    const LadderModel ladder = ModelOfRun(state, LadderTopology::T);
    const std::vector<double> frequencies = NetworkFrequencies({1, 101, 1001, SweepSpacing::Linear});
    const PartQuality quality = lossy ? PartQuality{100, 400} : PartQuality{};
    for (auto _ : bench) benchmark::DoNotOptimize(AnalyseCurves(ladder, frequencies, 1e6, quality));
    bench.SetItemsProcessed(bench.iterations() * static_cast<int64_t>(frequencies.size()));
    bench.SetLabel(lossy ? "9 poles, 1001 points, QL 100, QC 400" : "9 poles, 1001 points, ideal parts");
}
BENCHMARK(BM_ExactAnalysis)->Arg(0)->Arg(1)->ArgName("lossy")->Unit(benchmark::kMicrosecond);

// The same ladder with every part model and stray at once: inductors with DC resistance, a Q
// growing with sqrt(f) and a self-resonance, capacitors with ESR, Q and ESL, a lead on every part
// and a stray at every node; the long double cascade of branch immittances at every point.
void BM_ExactAnalysisWithPartModels(benchmark::State& bench)
{
    const DesignState state = ComputeDesign({3, LadderTopology::T, 9, 0.5, 10, 0, 0, 50, 1e6});
    LadderModel ladder = ModelOfRun(state, LadderTopology::T);
    ladder.inductorModel = {60, QGrowth::SqrtF, 10e6, 0.2, 150e6, 0};
    ladder.capacitorModel = {400, QGrowth::Constant, 0, 0.05, 0, 0.5e-9};
    ladder.strays = {1.5e-12, 0.4e-9, {}};
    const std::vector<double> frequencies = NetworkFrequencies({1, 101, 1001, SweepSpacing::Linear});
    for (auto _ : bench) benchmark::DoNotOptimize(AnalyseCurves(ladder, frequencies, 1e6, {}));
    bench.SetItemsProcessed(bench.iterations() * static_cast<int64_t>(frequencies.size()));
    bench.SetLabel("9 poles, 1001 points, every part model and stray");
}
BENCHMARK(BM_ExactAnalysisWithPartModels)->Unit(benchmark::kMicrosecond);

} // namespace
