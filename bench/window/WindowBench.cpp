// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "bench/window/WindowTiming.h"
#include "window/TFMain.h"

using namespace corvane;

namespace {

// Taken while the program's statics are set up, before main(): the start as seen from inside.
const BenchClock::time_point gProgramStart = BenchClock::now();

struct ColdStart {
    double fromProgramStartMs = 0;
    double fromCreationMs = 0;
    bool painted = false;
};
ColdStart gCold;

const Design kDesigns[] = {
    {"LPF", "Butterworth", "3", "0", "", ""},
    {"BPF", "Chebyshev", "11", "0.5", "40", "60"},
    {"BPF", "Chebyshev", "99", "0.5", "40", "60"},
};

// The first window of the process: fonts, style and platform are set up on the way.
void MeasureColdStart()
{
    const BenchClock::time_point created = BenchClock::now();
    TFMain window;
    gCold.painted = ShowUntilPainted(window);
    const BenchClock::time_point painted = BenchClock::now();
    gCold.fromProgramStartMs = Microseconds(painted - gProgramStart) / 1000.0;
    gCold.fromCreationMs = Microseconds(painted - created) / 1000.0;
}

void BM_FirstPaintCold(benchmark::State& state)
{
    if (!gCold.painted) state.SkipWithError("the first window was never painted");
    for (auto _ : state) state.SetIterationTime(gCold.fromCreationMs / 1000.0);
    state.counters["program_start_ms"] = gCold.fromProgramStartMs;
    state.counters["creation_ms"] = gCold.fromCreationMs;
}
BENCHMARK(BM_FirstPaintCold)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Later windows of the same process: creation, show and the first paint.
void BM_CreateToFirstPaint(benchmark::State& state)
{
    std::vector<double> samples;
    for (auto _ : state) {
        const BenchClock::time_point start = BenchClock::now();
        auto window = std::make_unique<TFMain>();
        const bool painted = ShowUntilPainted(*window);
        const BenchClock::duration took = BenchClock::now() - start;
        if (!painted) {
            state.SkipWithError("a window was never painted");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(took).count());
        samples.push_back(Microseconds(took) / 1000.0);
        window.reset();
        ProcessPendingEvents();
    }
    state.counters["median_ms"] = Median(samples);
}
BENCHMARK(BM_CreateToFirstPaint)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// A click on "&Calculate" until the grid and both curves are filled (second argument 0), or
// until the window has also repainted them (1). Arguments: design, repaint.
void BM_CalculateClick(benchmark::State& state)
{
    const Design& design = kDesigns[state.range(0)];
    const bool timeRepaint = state.range(1) != 0;
    TFMain window;
    int boxes = 0;
    window.SetMessageBoxHook([&boxes](const MessageBoxRecord&) { ++boxes; });
    if (!ShowUntilPainted(window)) {
        state.SkipWithError("the window was never painted");
        return;
    }
    EnterDesign(window, design);
    ProcessPendingEvents();
    QPushButton* button = window.findChild<QPushButton*>(QStringLiteral("BCalculate"));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });

    std::vector<double> samples;
    for (auto _ : state) {
        const BenchClock::time_point start = BenchClock::now();
        QTest::mouseClick(button, Qt::LeftButton);
        if (timeRepaint) ProcessPendingEvents();
        const BenchClock::duration took = BenchClock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(took).count());
        samples.push_back(Microseconds(took));
        // The repaint a user would see before the next click, outside the timing.
        if (!timeRepaint) ProcessPendingEvents();
    }
    if (boxes > 0 || clicks != static_cast<int>(state.iterations()) || !ShowsRun(window, design.poles.toInt()))
        state.SkipWithError("the runs did not fill the grid and the chart");
    state.SetLabel(QStringLiteral("%1 %2 %3 poles%4")
                       .arg(design.model, design.type, design.poles, timeRepaint ? ", repainted" : "")
                       .toStdString());
    state.counters["median_us"] = Median(samples);
    state.counters["p95_us"] = Percentile(samples, 0.95);
    state.counters["peak_MiB"] = PeakResidentMiB();
}
BENCHMARK(BM_CalculateClick)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Iterations(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    MeasureColdStart();
    ProcessPendingEvents();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
