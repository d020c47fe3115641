// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include "run/LadderOfRun.h"
#include "analysis/NetworkResponse.h"

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

} // namespace
