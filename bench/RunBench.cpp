// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "run/CalculationRun.h"
#include "run/Rules.h"

using namespace corvane;

namespace {

// A front end that shows nothing: fixed texts in, the curves and the grid texts dropped.
class SilentFront : public FormPort, public MessagePort, public ResultPort {
public:
    SilentFront(int type, int model, int poles)
        : indices_{type, model, 0, 2}, poles_(std::to_string(poles)), ripple_(model == 0 ? "0" : "0.5")
    {
    }
    void Attach(const CalculationRun& run) { run_ = &run; }

    std::string FieldText(Field field) const override
    {
        switch (field) {
        case Field::N: return poles_;
        case Field::Ripple: return ripple_;
        case Field::PassF: return "10";
        case Field::Fmin: return "9";
        case Field::Fmax: return "11";
        case Field::R: return "50";
        case Field::FStart: return "1";
        case Field::Stop: return "101";
        }
        return {};
    }
    int ItemIndex(Selector selector) const override { return indices_[static_cast<size_t>(selector)]; }
    std::string SelectorText(Selector selector) const override
    {
        return selector == Selector::Model ? "Butterworth" : "LPF";
    }
    void SetStepText(const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
    void PlotResponse(const Sweep&, const Sweep& Att, const Sweep& S11) override
    {
        benchmark::DoNotOptimize(AttenuationNeedsFloor(Att));
        benchmark::DoNotOptimize(S11);
    }
    void FillElementGrid() override { benchmark::DoNotOptimize(run_->GridRows()); }

private:
    std::array<int, 4> indices_;
    std::string poles_;
    std::string ripple_;
    const CalculationRun* run_ = nullptr;
};

// One whole "&Calculate": sweep, validation, response, prototype, elements, S11, grid texts.
void BM_Run(benchmark::State& bench)
{
    const int kind = static_cast<int>(bench.range(0));
    const int poles = static_cast<int>(bench.range(1));
    SilentFront front(kind % 3, kind / 3, poles);
    CalculationRun run(front, front, front);
    front.Attach(run);
    run.Create();
    for (auto _ : bench) {
        run.Calculate();
        benchmark::ClobberMemory();
    }
    static const char* const kNames[] = {"Butterworth LPF", "Butterworth HPF", "Butterworth BPF",
                                         "Chebyshev LPF",   "Chebyshev HPF",   "Chebyshev BPF"};
    bench.SetLabel(kNames[kind]);
}

BENCHMARK(BM_Run)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {3, 10, 99}})
    ->ArgNames({"kind", "N"})
    ->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// The run's own share, apart from the filter mathematics: S11 over a typical curve.
void BM_S11(benchmark::State& bench)
{
    Sweep att{};
    for (int i = 0; i < SweepPoints; ++i) att[static_cast<size_t>(i)] = -0.05 * i * i;
    Sweep s11{};
    for (auto _ : bench) {
        ComputeS11(att, s11);
        benchmark::DoNotOptimize(s11);
    }
}
BENCHMARK(BM_S11)->Unit(benchmark::kMicrosecond);

// The sweep and the grid texts of a ten-pole band-pass.
void BM_SweepAndGrid(benchmark::State& bench)
{
    SilentFront front(2, 0, 10);
    CalculationRun run(front, front, front);
    front.Attach(run);
    run.Create();
    run.Calculate();
    for (auto _ : bench) {
        run.UpdateSweep();
        benchmark::DoNotOptimize(run.GridRows());
    }
}
BENCHMARK(BM_SweepAndGrid)->Unit(benchmark::kMicrosecond);

} // namespace
