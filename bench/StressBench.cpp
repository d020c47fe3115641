// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include "analysis/NetworkResponse.h"
#include "analysis/PartStress.h"
#include "run/LadderOfRun.h"

using namespace corvane;

namespace {

// The workbench's part stress: a 7-pole 0.1 dB Chebyshev low-pass at 30 MHz with lossy parts over
// a 1001-point sweep to three times its edge, the passband's and the sweep's worst case in one
// pass; at a VSWR above 1 every point is solved for each of 72 load phases.
void BM_StressOverBand(benchmark::State& bench)
{
    const double vswr = bench.range(0) == 0 ? 1.0 : 2.0;
    const DesignState state = ComputeDesign({1, LadderTopology::Pi, 7, 0.1, 30, 0, 0, 50, 1e6});
    LadderModel ladder = ModelOfRun(state, LadderTopology::Pi);
    ladder.inductorModel = {80, QGrowth::Constant, 0, 0.05, 0, 0};
    const std::vector<double> hz = NetworkFrequencies({0.1e6, 90e6, 1001, SweepSpacing::Linear});
    const DesignBand band{BandShape::LowPass, 0.0, 30e6};
    const StressDrive drive{100.0, vswr, 72};
    for (auto _ : bench) benchmark::DoNotOptimize(StressOverBand(ladder, {}, hz, band, drive));
    bench.SetItemsProcessed(bench.iterations() * static_cast<int64_t>(hz.size()));
    bench.SetLabel(vswr > 1.0 ? "7 poles, 1001 points, VSWR 2 (72 load phases)" : "7 poles, 1001 points, matched");
}
BENCHMARK(BM_StressOverBand)->Arg(0)->Arg(1)->ArgName("mismatched")->Unit(benchmark::kMillisecond);

} // namespace
