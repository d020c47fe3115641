// SPDX-License-Identifier: Apache-2.0
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "bench/window/WindowTiming.h"
#include "chart/TChart.h"
#include "window/TFMain.h"
#include "workbench/MainWindow.h"

using namespace corvane;

namespace {

// Two designs of the given size, so that every open changes the controls and reruns the design.
DesignFile Saved(int poles, bool bandPass)
{
    DesignFile design;
    design.Index(Selector::Type) = bandPass ? 2 : 0;
    design.Index(Selector::Model) = 1;
    design.Text(Field::Ripple) = "0.5";
    design.Text(Field::N) = std::to_string(poles);
    design.Text(Field::Fmin) = "40";
    design.Text(Field::Fmax) = "60";
    return design;
}

// From File > Open's chosen path to the window painted with the design and its run: the file
// read and checked, every control set, the calculation, the chart, grid and schematic drawn.
void BM_OpenDesignAndShow(benchmark::State& state)
{
    const int poles = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString files[2] = {dir.filePath(QStringLiteral("a.corvane")), dir.filePath(QStringLiteral("b.corvane"))};
    WriteDesignFile(files[0].toStdString(), Saved(poles, false));
    WriteDesignFile(files[1].toStdString(), Saved(poles, true));
    MainWindow window;
    window.SetBoxHook([](const WorkbenchBox&) { return QMessageBox::Ok; });
    if (!ShowUntilPainted(window)) state.SkipWithError("the window was never painted");
    const TChart* chart = window.DesignWindow()->findChild<TChart*>(QStringLiteral("chGain"));
    int next = 0;
    for (auto _ : state) {
        if (!window.OpenDesign(files[next])) state.SkipWithError("the design did not open");
        window.repaint();
        next = 1 - next;
    }
    if (chart->PointCount(0) != 100 || !ShowsRun(*window.DesignWindow(), poles))
        state.SkipWithError("the design's run is not on screen");
    state.SetLabel("N=" + std::to_string(poles));
}
BENCHMARK(BM_OpenDesignAndShow)->Arg(3)->Arg(11)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Recent files go to a throw-away settings folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
