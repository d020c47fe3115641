// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include "analysis/TimeResponse.h"
#include "run/LadderOfRun.h"

using namespace corvane;

namespace {

// Step and impulse responses over 4096 time points, with their figures: a 9-pole 0.5 dB Chebyshev
// low-pass at 10 MHz and a 5-pole one as a 9 to 11 MHz band-pass, whose narrow band rings longest.
void BM_TimeResponse(benchmark::State& bench)
{
    const bool bandPass = bench.range(0) != 0;
    const DesignParameters design = bandPass ? DesignParameters{5, LadderTopology::T, 5, 0.5, 0, 9, 11, 50, 1e6}
                                             : DesignParameters{3, LadderTopology::T, 9, 0.5, 10, 0, 0, 50, 1e6};
    const LadderModel ladder = ModelOfRun(ComputeDesign(design), LadderTopology::T);
    const DesignBand band =
        bandPass ? DesignBand{BandShape::BandPass, 9e6, 11e6} : DesignBand{BandShape::LowPass, 0, 10e6};
    for (auto _ : bench) benchmark::DoNotOptimize(AnalyseTime(ladder, {}, band, 4096));
    bench.SetLabel(bandPass ? "5-pole band-pass, 4096 points" : "9-pole low-pass, 4096 points");
}
BENCHMARK(BM_TimeResponse)->Arg(0)->Arg(1)->ArgName("bandpass")->Unit(benchmark::kMillisecond);

} // namespace
