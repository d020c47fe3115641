// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>

#include "analysis/PartFit.h"
#include "run/LadderOfRun.h"

using namespace corvane;

namespace {

// Which part is off: a 9-pole 0.5 dB Chebyshev low-pass at 10 MHz whose third and sixth parts are
// 3 % high and 2.5 % low, "measured" over 1601 points from 1 to 30 MHz, fitted from the design.
void BM_PartFit(benchmark::State& bench)
{
    const LadderModel design =
        ModelOfRun(ComputeDesign({3, LadderTopology::T, 9, 0.5, 10, 0, 0, 50, 1e6}), LadderTopology::T);
    LadderModel built = design;
    built.branches[2].parts[0].value *= 1.03;
    built.branches[5].parts[0].value *= 0.975;
    std::vector<double> hz;
    for (int i = 0; i < 1601; ++i) hz.push_back(1e6 + i * 29e6 / 1600);
    const NetworkCurves c = AnalyseCurves(built, hz, 1.0, {});
    const auto s = [](double db, double deg) { return std::polar(std::pow(10.0, db / 20), deg * M_PI / 180); };
    std::vector<MeasuredPoint> measured;
    for (size_t i = 0; i < hz.size(); ++i)
        measured.push_back(
            {hz[i], s(c.NetS11[i], c.NetS11Deg[i]), s(c.NetS21[i], c.NetS21Deg[i]), s(c.NetS22[i], c.NetS22Deg[i])});
    for (auto _ : bench) benchmark::DoNotOptimize(FitParts(measured, design, {}, {BandShape::LowPass, 0.0, 10e6}, {}));
    bench.SetLabel("9 parts, 1601 points");
}
BENCHMARK(BM_PartFit)->Unit(benchmark::kMillisecond);

} // namespace
