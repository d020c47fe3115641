// SPDX-License-Identifier: Apache-2.0
// The chart's data operations on a real widget: point order, clearing, colours as stored
// and as drawn, automatic and fixed ranges, and the logarithmic bottom axis.
#include <QtTest>
#include <cmath>

#include "tests/chart/ChartTestKit.h"
#include "chart/NiceScale.h"
#include "chart/TChart.h"

using namespace corvane;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);

using PointList = QList<QPointF>;

void AddAll(TChart& chart, int series, const PointList& points, const QColor& colour = kRed)
{
    for (const QPointF& p : points) chart.AddPoint(series, p.x(), p.y(), colour);
}

PointList Line(double x0, double x1, int count, double y0, double y1)
{
    PointList points;
    for (int i = 0; i < count; ++i) {
        const double t = count > 1 ? double(i) / (count - 1) : 0.0;
        points.append({x0 + t * (x1 - x0), y0 + t * (y1 - y0)});
    }
    return points;
}

bool AnyPixel(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (kit::ColourNear(image, QPointF(x, y), colour, 0)) return true;
    return false;
}

} // namespace

class ChartDataTest : public QObject {
    Q_OBJECT
private slots:
    void startsEmpty();
    void titleRoundTrip();
    void addPointKeepsXAscending_data();
    void addPointKeepsXAscending();
    void clearEmptiesOneSeries();
    void invalidSeriesIndexIsIgnored();
    void pointColours();
    void segmentsDrawnInTheColourOfTheirEndPoint();
    void automaticRangeFollowsData_data();
    void automaticRangeFollowsData();
    void fixedLeftMinimum_data();
    void fixedLeftMinimum();
    void logarithmicSwitchWithData_data();
    void logarithmicSwitchWithData();
    void logarithmicAxisDrawsOnlyPositiveX();
    void negativeMinimumThenLogarithmic();
    void setBottomMinimum_data();
    void setBottomMinimum();
    void nonFiniteValuesStayOffTheRanges();
};

void ChartDataTest::startsEmpty()
{
    TChart chart;
    kit::Prepare(chart);
    QCOMPARE(chart.PointCount(0), 0);
    QCOMPARE(chart.PointCount(1), 0);
    QCOMPARE(chart.Title(), QString());
    QVERIFY(!chart.BottomLogarithmic());
    QVERIFY(chart.LeftAutomaticMinimum());
    QCOMPARE(chart.HoverCursor(), Qt::ArrowCursor);
    QCOMPARE(chart.SeriesColour(0), kRed);
    QCOMPARE(chart.SeriesColour(1), QColor(0, 255, 0));
    const QRect plot = chart.PlotRect();
    QVERIFY(chart.rect().contains(plot));
    QVERIFY(plot.width() > 200 && plot.height() > 150);
}

void ChartDataTest::titleRoundTrip()
{
    TChart chart;
    kit::Prepare(chart);
    const int topBefore = chart.PlotRect().top();
    chart.SetTitle("Chebyshev  BPF");
    QCOMPARE(chart.Title(), QString("Chebyshev  BPF"));
    QVERIFY(chart.PlotRect().top() > topBefore); // the title line takes room above the plot
    chart.SetTitle("");
    QCOMPARE(chart.PlotRect().top(), topBefore);
}

void ChartDataTest::addPointKeepsXAscending_data()
{
    QTest::addColumn<PointList>("added");
    QTest::addColumn<PointList>("stored");
    QTest::newRow("ascending") << PointList{{1, 1}, {2, 2}, {3, 3}} << PointList{{1, 1}, {2, 2}, {3, 3}};
    QTest::newRow("descending") << PointList{{3, 1}, {2, 2}, {1, 3}} << PointList{{1, 3}, {2, 2}, {3, 1}};
    QTest::newRow("mixed") << PointList{{5, 0}, {-1, 1}, {3, 2}, {10, 3}, {0, 4}}
                           << PointList{{-1, 1}, {0, 4}, {3, 2}, {5, 0}, {10, 3}};
    QTest::newRow("equal x after existing")
        << PointList{{1, 1}, {2, 2}, {1, 3}, {1, 4}} << PointList{{1, 1}, {1, 3}, {1, 4}, {2, 2}};
    QTest::newRow("equal x at the front") << PointList{{5, 1}, {2, 2}, {2, 3}} << PointList{{2, 2}, {2, 3}, {5, 1}};
    QTest::newRow("all equal keep order") << PointList{{7, 3}, {7, 1}, {7, 2}} << PointList{{7, 3}, {7, 1}, {7, 2}};
}

void ChartDataTest::addPointKeepsXAscending()
{
    QFETCH(PointList, added);
    QFETCH(PointList, stored);
    TChart chart;
    AddAll(chart, 1, added);
    QCOMPARE(chart.PointCount(1), stored.size());
    for (int i = 0; i < stored.size(); ++i) QCOMPARE(chart.PointAt(1, i), stored[i]);
    QCOMPARE(chart.PointCount(0), 0);
}

void ChartDataTest::clearEmptiesOneSeries()
{
    TChart chart;
    kit::Prepare(chart);
    AddAll(chart, 0, Line(0, 10, 50, -10, 0), kRed);
    AddAll(chart, 1, Line(0, 10, 50, 0, -10), kGreen);
    QVERIFY(AnyPixel(kit::Snapshot(chart), chart.PlotRect(), kRed));
    chart.Clear(0);
    QCOMPARE(chart.PointCount(0), 0);
    QCOMPARE(chart.PointCount(1), 50);
    QCOMPARE(chart.PointAt(0, 0), QPointF());
    const QImage image = kit::Snapshot(chart);
    QVERIFY(!AnyPixel(image, chart.PlotRect(), kRed));
    QVERIFY(AnyPixel(image, chart.PlotRect(), kGreen));
    chart.AddPoint(0, 4, 4, kRed);
    QCOMPARE(chart.PointCount(0), 1);
    QCOMPARE(chart.PointAt(0, 0), QPointF(4, 4));
}

void ChartDataTest::invalidSeriesIndexIsIgnored()
{
    TChart chart;
    chart.AddPoint(2, 1, 1, kRed);
    chart.AddPoint(-1, 1, 1, kRed);
    chart.Clear(5);
    QCOMPARE(chart.PointCount(0) + chart.PointCount(1), 0);
    QCOMPARE(chart.PointCount(2), 0);
    QVERIFY(!chart.PointColour(2, 0).isValid());
    QVERIFY(!chart.SeriesColour(-1).isValid());
}

void ChartDataTest::pointColours()
{
    TChart chart;
    chart.AddPoint(0, 2, 0, kBlue);
    chart.AddPoint(0, 1, 0, kGreen);
    chart.AddPoint(1, 1, 0, QColor());
    QCOMPARE(chart.PointColour(0, 0), kGreen);
    QCOMPARE(chart.PointColour(0, 1), kBlue);
    QCOMPARE(chart.PointColour(1, 0), QColor(0, 255, 0)); // no colour: the series' own
    QVERIFY(!chart.PointColour(0, 2).isValid());
}

void ChartDataTest::segmentsDrawnInTheColourOfTheirEndPoint()
{
    // Points 0..5 red, 6..10 blue on a flat line: the segment 5-6 ends at a blue point.
    TChart chart;
    kit::Prepare(chart);
    for (int i = 0; i <= 10; ++i) chart.AddPoint(0, i, 1, i <= 5 ? kRed : kBlue);
    chart.AddPoint(0, 10, 9, kGreen); // vertical segment at x = 10, green
    const QImage image = kit::Snapshot(chart);
    QVERIFY(kit::ColourNear(image, kit::PixelOf(chart, 4.5, 1), kRed));
    QVERIFY(!kit::ColourNear(image, kit::PixelOf(chart, 4.5, 1), kBlue));
    QVERIFY(kit::ColourNear(image, kit::PixelOf(chart, 5.5, 1), kBlue));
    QVERIFY(!kit::ColourNear(image, kit::PixelOf(chart, 5.5, 1), kRed));
    QVERIFY(kit::ColourNear(image, kit::PixelOf(chart, 10, 5), kGreen));
    QVERIFY(!kit::ColourNear(image, kit::PixelOf(chart, 3, 5), kRed)); // off the line: white
}

void ChartDataTest::automaticRangeFollowsData_data()
{
    QTest::addColumn<PointList>("series0");
    QTest::addColumn<PointList>("series1");
    QTest::newRow("lowpass-like") << Line(1, 101, 100, 0, -63) << Line(1, 101, 100, -140, 0);
    QTest::newRow("descending sweep") << Line(101, 1, 100, -3, -80) << PointList{};
    QTest::newRow("negative frequencies") << Line(-50, 50, 11, 2, 7) << Line(-20, 80, 5, 1, 9);
    QTest::newRow("tiny values") << Line(1e-9, 3e-9, 10, 1e-6, 2e-6) << PointList{};
    QTest::newRow("one point") << PointList{{5, -3}} << PointList{};
    QTest::newRow("flat line") << Line(0, 1, 10, -20, -20) << PointList{};
}

void ChartDataTest::automaticRangeFollowsData()
{
    QFETCH(PointList, series0);
    QFETCH(PointList, series1);
    TChart chart;
    kit::Prepare(chart);
    AddAll(chart, 0, series0);
    AddAll(chart, 1, series1, kGreen);
    double xLow = 1e300, xHigh = -1e300, yLow = 1e300, yHigh = -1e300;
    for (const QPointF& p : series0 + series1) {
        xLow = std::min(xLow, p.x());
        xHigh = std::max(xHigh, p.x());
        yLow = std::min(yLow, p.y());
        yHigh = std::max(yHigh, p.y());
    }
    const double xSpan = chart.BottomMaximum() - chart.BottomMinimum();
    const double ySpan = chart.LeftMaximum() - chart.LeftMinimum();
    QVERIFY(xSpan > 0 && ySpan > 0);
    // The frequency axis sits on the data's ends unless they coincide.
    if (xHigh > xLow) {
        QCOMPARE(chart.BottomMinimum(), xLow);
        QCOMPARE(chart.BottomMaximum(), xHigh);
    } else {
        QVERIFY(chart.BottomMinimum() < xLow && chart.BottomMaximum() > xHigh);
    }
    // The level axis covers the data with little room to spare.
    QVERIFY(chart.LeftMinimum() <= yLow + 1e-9 * ySpan);
    QVERIFY(chart.LeftMaximum() >= yHigh - 1e-9 * ySpan);
    if (yHigh > yLow) QVERIFY((yHigh - yLow) / ySpan > 0.4);
    // Clearing both series goes back to the empty chart's range.
    chart.Clear(0);
    chart.Clear(1);
    QCOMPARE(chart.BottomMinimum(), 0.0);
    QCOMPARE(chart.BottomMaximum(), 1.0);
}

void ChartDataTest::fixedLeftMinimum_data()
{
    QTest::addColumn<double>("deepest");
    QTest::addColumn<double>("highest");
    QTest::newRow("floor inside the data") << -150.0 << 0.0;
    QTest::newRow("floor at the data") << -120.0 << 0.0;
    QTest::newRow("all data below the floor") << -180.0 << -125.0;
    QTest::newRow("data just touching") << -200.0 << -120.0;
}

void ChartDataTest::fixedLeftMinimum()
{
    QFETCH(double, deepest);
    QFETCH(double, highest);
    TChart chart;
    kit::Prepare(chart);
    AddAll(chart, 0, Line(1, 101, 100, highest, deepest));
    chart.SetLeftAutomaticMinimum(false);
    chart.SetLeftMinimum(-120);
    QVERIFY(!chart.LeftAutomaticMinimum());
    QCOMPARE(chart.LeftMinimum(), -120.0);
    QVERIFY(chart.LeftMaximum() > -120.0);
    QVERIFY(chart.LeftMaximum() >= std::min(highest, chart.LeftMaximum()));
    if (highest > -120)
        QVERIFY(chart.LeftMaximum() >= highest && chart.LeftMaximum() - highest < 20);
    else
        QVERIFY(chart.LeftMaximum() - -120.0 <= 20); // an empty strip, not a huge range
    QVERIFY(!kit::Snapshot(chart).isNull());
    chart.SetLeftAutomaticMinimum(true);
    QVERIFY(chart.LeftMinimum() <= deepest);
    // A new fixed minimum while automatic is only remembered.
    chart.SetLeftMinimum(-60);
    QVERIFY(chart.LeftMinimum() <= deepest);
    chart.SetLeftAutomaticMinimum(false);
    QCOMPARE(chart.LeftMinimum(), -60.0);
}

void ChartDataTest::logarithmicSwitchWithData_data()
{
    QTest::addColumn<PointList>("points");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("positive sweep") << Line(1, 101, 100, 0, -60) << 1.0 << 101.0;
    QTest::newRow("sweep through zero") << Line(-50, 50, 101, -1, -9) << 1.0 << 50.0;
    QTest::newRow("all negative") << Line(-100, -1, 100, -1, -9) << 1.0 << 10.0;
    QTest::newRow("zero and negative") << PointList{{0, -1}, {-3, -2}} << 1.0 << 10.0;
    QTest::newRow("narrow band") << Line(52, 58, 100, -1, -9) << 10.0 << 100.0;
    QTest::newRow("empty") << PointList{} << 1.0 << 10.0;
}

void ChartDataTest::logarithmicSwitchWithData()
{
    QFETCH(PointList, points);
    QFETCH(double, min);
    QFETCH(double, max);
    TChart chart;
    kit::Prepare(chart);
    AddAll(chart, 0, points);
    const double linearMin = chart.BottomMinimum();
    const double linearMax = chart.BottomMaximum();
    chart.SetBottomLogarithmic(true);
    QVERIFY(chart.BottomLogarithmic());
    QCOMPARE(chart.BottomMinimum(), min);
    QCOMPARE(chart.BottomMaximum(), max);
    QVERIFY(!kit::Snapshot(chart).isNull());
    QCOMPARE(chart.PointCount(0), points.size()); // hidden, not dropped
    chart.SetBottomLogarithmic(false);
    QCOMPARE(chart.BottomMinimum(), linearMin);
    QCOMPARE(chart.BottomMaximum(), linearMax);
}

void ChartDataTest::logarithmicAxisDrawsOnlyPositiveX()
{
    // A red line over negative x, a green one over positive x, both at the same level.
    TChart chart;
    kit::Prepare(chart);
    AddAll(chart, 0, Line(-10, -1, 10, -5, -5), kRed);
    AddAll(chart, 0, Line(1, 100, 10, -5, -5), kGreen);
    chart.SetBottomLogarithmic(true);
    const QImage image = kit::Snapshot(chart);
    QVERIFY(!AnyPixel(image, chart.PlotRect(), kRed));
    QVERIFY(kit::ColourNear(image, kit::PixelOf(chart, 30, -5), kGreen));
    QVERIFY(kit::ColourNear(image, kit::PixelOf(chart, 3, -5), kGreen));
}

void ChartDataTest::negativeMinimumThenLogarithmic()
{
    // The window's sequence: a negative minimum is first raised to 1e-10, then the axis
    // turns logarithmic from there; back to linear, the minimum stays where it was raised.
    TChart chart;
    kit::Prepare(chart);
    AddAll(chart, 0, Line(-20, 80, 101, 0, -30));
    QCOMPARE(chart.BottomMinimum(), -20.0);
    chart.SetBottomMinimum(1e-10);
    QCOMPARE(chart.BottomMinimum(), 1e-10);
    QCOMPARE(chart.BottomMaximum(), 80.0);
    chart.SetBottomLogarithmic(true);
    QCOMPARE(chart.BottomMinimum(), 1e-10);
    QCOMPARE(chart.BottomMaximum(), 80.0);
    QVERIFY(!kit::Snapshot(chart).isNull());
    chart.SetBottomLogarithmic(false);
    QCOMPARE(chart.BottomMinimum(), 1e-10);
    QCOMPARE(chart.BottomMaximum(), 80.0);
    QVERIFY(!kit::Snapshot(chart).isNull());
}

void ChartDataTest::setBottomMinimum_data()
{
    QTest::addColumn<bool>("logarithmic");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("expectedMin");
    QTest::addColumn<double>("expectedMax");
    QTest::newRow("linear inside") << false << 30.0 << 30.0 << 100.0;
    QTest::newRow("linear below the data") << false << -5.0 << -5.0 << 100.0;
    QTest::newRow("linear above the maximum") << false << 150.0 << 150.0 << 240.0;
    QTest::newRow("linear NaN ignored") << false << std::nan("") << 10.0 << 100.0;
    QTest::newRow("log inside") << true << 20.0 << 20.0 << 100.0;
    QTest::newRow("log tiny") << true << 1e-10 << 1e-10 << 100.0;
    QTest::newRow("log zero ignored") << true << 0.0 << 10.0 << 100.0;
    QTest::newRow("log negative ignored") << true << -4.0 << 10.0 << 100.0;
    QTest::newRow("log above the maximum") << true << 500.0 << 500.0 << 5000.0;
}

void ChartDataTest::setBottomMinimum()
{
    QFETCH(bool, logarithmic);
    QFETCH(double, minimum);
    QFETCH(double, expectedMin);
    QFETCH(double, expectedMax);
    TChart chart;
    kit::Prepare(chart);
    AddAll(chart, 0, Line(10, 100, 91, -1, -2));
    chart.SetBottomLogarithmic(logarithmic);
    chart.SetBottomMinimum(minimum);
    QCOMPARE(chart.BottomMinimum(), expectedMin);
    QCOMPARE(chart.BottomMaximum(), expectedMax);
    // A data change brings the automatic range back.
    chart.AddPoint(0, 50, -1.5, kRed);
    QCOMPARE(chart.BottomMinimum(), 10.0);
    QCOMPARE(chart.BottomMaximum(), 100.0);
}

void ChartDataTest::nonFiniteValuesStayOffTheRanges()
{
    TChart chart;
    kit::Prepare(chart);
    AddAll(chart, 0, Line(1, 10, 10, -1, -5));
    chart.AddPoint(0, 5, std::nan(""), kRed);
    chart.AddPoint(0, std::numeric_limits<double>::infinity(), -3, kRed);
    chart.AddPoint(1, 3, -std::numeric_limits<double>::infinity(), kGreen);
    QCOMPARE(chart.PointCount(0), 12);
    QCOMPARE(chart.BottomMinimum(), 1.0);
    QCOMPARE(chart.BottomMaximum(), 10.0);
    QVERIFY(std::isfinite(chart.LeftMinimum()) && chart.LeftMinimum() <= -5);
    QVERIFY(chart.LeftMaximum() >= -1 && chart.LeftMaximum() < 10);
    QVERIFY(!kit::Snapshot(chart).isNull());
}

QTEST_MAIN(ChartDataTest)
#include "ChartDataTest.moc"
