// SPDX-License-Identifier: Apache-2.0
// The zoomable plot every workbench chart is: the zoom, pan and wheel arithmetic against worked
// values, the gestures on a real view, the readout, the thinning of long curves and the export
// drawing at a chosen size.
#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

#include "chart/ChartZoom.h"
#include "chart/PlotView.h"

using namespace corvane;

class PlotViewTest : public QObject {
    Q_OBJECT
private slots:
    void rangeArithmetic_data();
    void rangeArithmetic();
    void gesturesZoomPanResetAndWheel();
    void readoutFollowsThePointer();
    void longCurveDrawnAsEachColumnsExtremes();
    void imageHasTheChosenSizeAndLegend();
};

namespace {

const QRectF kArea(100, 50, 400, 200); // plot rectangle: x 100..500, y 50..250

ChartViewRanges View(double x0, double x1, bool logarithmic, double y0, double y1)
{
    return {AxisRange{x0, x1, 1.0}, logarithmic, {AxisRange{y0, y1, 1.0}}};
}

struct Viewed {
    PlotView plot;
    int curve;
    explicit Viewed(int points = 101)
    {
        plot.resize(800, 500);
        curve = plot.AddCurve("line", QPen(Qt::blue));
        std::vector<double> x, y;
        for (int i = 0; i < points; ++i) {
            x.push_back(100.0 * i / (points - 1));
            y.push_back(-x.back());
        }
        plot.SetCurve(curve, x, y);
        plot.show();
        if (!QTest::qWaitForWindowExposed(&plot)) qWarning("not exposed");
        plot.ResetView();
    }
    QWidget* Viewport() { return plot.findChild<QChartView*>()->viewport(); }
    QPoint At(double fx, double fy)
    {
        const QRectF a = plot.PlotArea();
        return Viewport()->mapFrom(&plot, QPointF(a.left() + fx * a.width(), a.top() + fy * a.height())).toPoint();
    }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), QPointF(Viewport()->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(Viewport(), &event);
    }
    void Drag(Qt::MouseButton button, QPoint from, QPoint to)
    {
        Send(QEvent::MouseButtonPress, from, button, button);
        Send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, button);
        Send(QEvent::MouseMove, to, Qt::NoButton, button);
        Send(QEvent::MouseButtonRelease, to, button, Qt::NoButton);
    }
};

} // namespace

// Each row: a view, an operation on the plot rectangle, and the ranges worked out by hand.
void PlotViewTest::rangeArithmetic_data()
{
    QTest::addColumn<int>("operation"); // 0 zoom to rect, 1 pan by offset, 2 scale about point
    QTest::addColumn<bool>("logarithmic");
    QTest::addColumn<QRectF>("rect"); // zoom: the rectangle; pan: (dx, dy) in topLeft; scale: point, factor in width
    QTest::addColumn<double>("x0");
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("y0");
    QTest::addColumn<double>("y1");
    // View 0..100 over -100..0.
    QTest::newRow("zoom to the middle quarter")
        << 0 << false << QRectF(200, 100, 200, 100) << 25.0 << 75.0 << -75.0 << -25.0;
    QTest::newRow("zoom too thin is no zoom")
        << 0 << false << QRectF(200, 100, 1, 100) << 0.0 << 100.0 << -100.0 << 0.0;
    QTest::newRow("pan a quarter right and down")
        << 1 << false << QRectF(100, 50, 0, 0) << -25.0 << 75.0 << -75.0 << 25.0;
    QTest::newRow("wheel out twice the span about the centre")
        << 2 << false << QRectF(300, 150, 2.0, 0) << -50.0 << 150.0 << -150.0 << 50.0;
    QTest::newRow("wheel in about the left edge")
        << 2 << false << QRectF(100, 250, 0.5, 0) << 0.0 << 50.0 << -100.0 << -50.0;
    // Logarithmic 1..10000 (four decades over 400 px): a decade is 100 px.
    QTest::newRow("log zoom to the second decade")
        << 0 << true << QRectF(200, 50, 100, 200) << 10.0 << 100.0 << -100.0 << 0.0;
    QTest::newRow("log pan a decade left") << 1 << true << QRectF(-100, 0, 0, 0) << 10.0 << 100000.0 << -100.0 << 0.0;
    QTest::newRow("log wheel out about 100") << 2 << true << QRectF(300, 150, 2.0, 0) << 0.01 << 1e6 << -150.0 << 50.0;
}

void PlotViewTest::rangeArithmetic()
{
    QFETCH(int, operation);
    QFETCH(bool, logarithmic);
    QFETCH(QRectF, rect);
    QFETCH(double, x0);
    QFETCH(double, x1);
    QFETCH(double, y0);
    QFETCH(double, y1);
    const ChartViewRanges view = logarithmic ? View(1, 10000, true, -100, 0) : View(0, 100, false, -100, 0);
    ChartViewRanges out;
    if (operation == 0) out = ZoomedView(view, kArea, rect, 5, 5);
    if (operation == 1) out = PannedView(view, kArea, rect.topLeft(), 5, 5);
    if (operation == 2) out = ScaledView(view, kArea, rect.topLeft(), rect.width(), 5, 5);
    const auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b)); };
    QVERIFY2(near(out.bottom.min, x0) && near(out.bottom.max, x1),
             qPrintable(QString("x %1..%2").arg(out.bottom.min).arg(out.bottom.max)));
    QVERIFY2(near(out.verticals[0].min, y0) && near(out.verticals[0].max, y1),
             qPrintable(QString("y %1..%2").arg(out.verticals[0].min).arg(out.verticals[0].max)));
}

void PlotViewTest::gesturesZoomPanResetAndWheel()
{
    Viewed v;
    const AxisRange full = v.plot.BottomRange();
    QCOMPARE(full.min, 0.0);
    QCOMPARE(full.max, 100.0);
    v.Drag(Qt::LeftButton, v.At(0.25, 0.0), v.At(0.5, 0.5));
    QVERIFY(std::fabs(v.plot.BottomRange().min - 25) < 0.5 && std::fabs(v.plot.BottomRange().max - 50) < 0.5);
    const AxisRange zoomed = v.plot.BottomRange();
    v.Drag(Qt::RightButton, v.At(0.4, 0.5), v.At(0.6, 0.5));
    QVERIFY(std::fabs(v.plot.BottomRange().min - (zoomed.min - 0.2 * (zoomed.max - zoomed.min))) < 0.3);

    // The wheel towards the user shows more than the whole view: the way out of a home range.
    v.Send(QEvent::MouseButtonDblClick, v.At(0.5, 0.5), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(v.plot.BottomRange().max, full.max);
    const QPoint centre = v.At(0.5, 0.5);
    QWheelEvent wheel(QPointF(centre), QPointF(v.Viewport()->mapToGlobal(centre)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(v.Viewport(), &wheel);
    QVERIFY(v.plot.BottomRange().max - v.plot.BottomRange().min > 1.2 * (full.max - full.min));
}

void PlotViewTest::readoutFollowsThePointer()
{
    Viewed v;
    QSignalSpy moved(&v.plot, &PlotView::CursorMoved);
    v.Send(QEvent::MouseMove, v.At(0.5, 0.5), Qt::NoButton, Qt::NoButton);
    QCOMPARE(moved.size(), 1);
    QVERIFY(std::fabs(moved.last().at(0).toDouble() - 50.0) < 0.5);
    v.Send(QEvent::MouseMove, v.At(-0.2, 0.5), Qt::NoButton, Qt::NoButton);
    QVERIFY(std::isnan(moved.last().at(0).toDouble()));
}

static QList<QPointF> Drawn(const PlotView& plot)
{
    for (QAbstractSeries* series : plot.Chart()->series())
        if (series->name() == "ripple") return static_cast<QLineSeries*>(series)->points();
    return {};
}

void PlotViewTest::longCurveDrawnAsEachColumnsExtremes()
{
    PlotView plot;
    plot.resize(800, 500);
    const int id = plot.AddCurve("ripple", QPen(Qt::blue));
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    // 100001 points of a ripple far finer than a pixel, between -3 and -1.
    std::vector<double> x, y;
    for (int i = 0; i <= 100000; ++i) {
        x.push_back(i / 1000.0);
        y.push_back(i % 7 == 3 ? -1.0 : i % 11 == 5 ? -3.0 : -2.0);
    }
    plot.SetCurve(id, x, y);
    plot.ResetView();
    QList<QPointF> drawn = Drawn(plot);
    QVERIFY2(drawn.size() <= 4 * 800 + 8, qPrintable(QString::number(drawn.size())));
    double low = 0, high = -10;
    for (const QPointF& p : drawn) {
        low = std::min(low, p.y());
        high = std::max(high, p.y());
    }
    QCOMPARE(low, -3.0);
    QCOMPARE(high, -1.0);
    QCOMPARE(drawn.front().x(), 0.0);
    QCOMPARE(drawn.back().x(), 100.0);
}

void PlotViewTest::imageHasTheChosenSizeAndLegend()
{
    Viewed v;
    const QSize shown = v.plot.size();
    const QImage image = v.plot.Image(QSize(1000, 640));
    QCOMPARE(image.size(), QSize(1000, 640));
    QVERIFY(v.plot.Chart()->legend()->isVisible());
    // The view on screen keeps its own size and plot.
    QCOMPARE(v.plot.size(), shown);
    QVERIFY(v.plot.PlotArea().width() < 800);
    // Not a blank page: the curve and the axes are drawn.
    int dark = 0;
    for (int yy = 0; yy < image.height(); yy += 4)
        for (int xx = 0; xx < image.width(); xx += 4) dark += qGray(image.pixel(xx, yy)) < 128;
    QVERIFY(dark > 50);
}

QTEST_MAIN(PlotViewTest)
#include "PlotViewTest.moc"
