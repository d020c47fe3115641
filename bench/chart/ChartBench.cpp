// SPDX-License-Identifier: Apache-2.0
// Cost of plotting a run's two curves, of drawing them, and of one hover test.
#include <QApplication>
#include <QChartView>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

#include "chart/TChart.h"

using namespace corvane;

namespace {

TChart* chart = nullptr;

// One run's worth of points: a Butterworth low-pass and its reflection over 1 to 100.
void Plot(TChart& target)
{
    target.SetLeftAutomaticMinimum(true);
    target.Clear(0);
    target.Clear(1);
    for (int i = 0; i < 100; ++i) {
        const double f = 1 + i;
        const double att = -10 * std::log10(1 + std::pow(f / 10, 6));
        const double s11 = 10 * std::log10(1.00000000000001 - std::pow(10, att / 10));
        target.AddPoint(0, f, att, QColor(255, 0, 0));
        target.AddPoint(1, f, s11, QColor(0, 128, 0));
    }
    benchmark::DoNotOptimize(target.LeftMinimum()); // settles ranges, runs and layout
}

void BM_PlotRun(benchmark::State& state)
{
    for (auto _ : state) Plot(*chart);
}
BENCHMARK(BM_PlotRun)->Unit(benchmark::kMicrosecond);

void BM_PlotAndDrawRun(benchmark::State& state)
{
    QImage image(chart->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        Plot(*chart);
        QPainter painter(&image);
        chart->render(&painter);
    }
}
BENCHMARK(BM_PlotAndDrawRun)->Unit(benchmark::kMicrosecond);

void BM_HoverMove(benchmark::State& state)
{
    Plot(*chart);
    QWidget* viewport = chart->findChild<QChartView*>()->viewport();
    const QPointF at(200, 100);
    for (auto _ : state) {
        QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        benchmark::DoNotOptimize(chart->HoverCursor());
    }
}
BENCHMARK(BM_HoverMove)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TChart widget;
    widget.resize(407, 299);
    widget.show();
    QApplication::processEvents();
    chart = &widget;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
