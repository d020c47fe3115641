// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <ctime>

#include "bench/window/WindowTiming.h"
#include "window/TFMain.h"
#include "workbench/LadderWorkbench.h"

using namespace corvane;

namespace {

double ProcessCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

const Design kDesigns[] = {
    {"LPF", "Chebyshev", "3", "0.5", "", ""},
    {"LPF", "Chebyshev", "9", "0.5", "", ""},
    {"LPF", "Chebyshev", "20", "0.5", "", ""},
    {"BPF", "Chebyshev", "20", "0.5", "40", "60"},
};

// One frame of the window after a change of its settings: the analysis of the 1001-point
// sweep, the curves, table and schematic refilled, and the whole window painted.
void BM_ExactRecomputeAndRepaint(benchmark::State& state)
{
    const Design& design = kDesigns[state.range(0)];
    TFMain main;
    EnterDesign(main, design);
    main.findChild<QPushButton*>(QStringLiteral("BCalculate"))->click();
    LadderWorkbench window(&main);
    window.resize(1280, 800);
    if (!ShowUntilPainted(window)) state.SkipWithError("the window was never painted");
    if (window.Curves().NetFreq.size() != 1001) state.SkipWithError("no 1001-point response on screen");
    // CPU time of every thread of the process: what one frame costs even where the analysis
    // cannot share the work with a second core, and a figure that a busy machine does not inflate.
    const double cpuStart = ProcessCpuMs();
    for (auto _ : state) {
        window.Recompute();
        window.repaint();
    }
    state.counters["process_cpu_ms"] = (ProcessCpuMs() - cpuStart) / static_cast<double>(state.iterations());
    state.SetLabel(QStringLiteral("%1 %2 N=%3").arg(design.type, design.model, design.poles).toStdString());
    state.counters["points"] = static_cast<double>(window.Curves().NetFreq.size());
}
BENCHMARK(BM_ExactRecomputeAndRepaint)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
