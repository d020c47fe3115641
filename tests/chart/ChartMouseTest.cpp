// SPDX-License-Identifier: Apache-2.0
// The chart under the mouse: hover state, its order against the movement report, clicks
// on a line, drag zoom, drag pan and the ways back to the full view.
#include <QSignalSpy>
#include <QtTest>

#include "tests/chart/ChartTestKit.h"
#include "chart/TChart.h"

using namespace corvane;

namespace {

// Series 0 falls from (0, 0) to (100, -100); series 1 is flat at -80.
void FillTwoLines(TChart& chart)
{
    for (int i = 0; i <= 100; i += 5) {
        chart.AddPoint(0, i, -i, QColor(255, 0, 0));
        chart.AddPoint(1, i, -80, QColor(0, 128, 0));
    }
}

QPoint At(const TChart& chart, double x, double y, QPoint offset = {})
{
    return kit::PixelOf(chart, x, y).toPoint() + offset;
}

struct Ranges {
    double xMin, xMax, yMin, yMax;
};

Ranges RangesOf(const TChart& chart)
{
    return {chart.BottomMinimum(), chart.BottomMaximum(), chart.LeftMinimum(), chart.LeftMaximum()};
}

bool Same(const Ranges& a, const Ranges& b)
{
    return a.xMin == b.xMin && a.xMax == b.xMax && a.yMin == b.yMin && a.yMax == b.yMax;
}

} // namespace

class ChartMouseTest : public QObject {
    Q_OBJECT
private slots:
    void hoverNearOrOffALine_data();
    void hoverNearOrOffALine();
    void movementReportedBeforeHoverUpdate();
    void hoverOutsideThePlotIsOff();
    void clickOnALineEmitsItsSeries_data();
    void clickOnALineEmitsItsSeries();
    void dragZoomsToTheRectangle();
    void hoverFrozenDuringDrag();
    void shortDragIsAClick();
    void resetByDoubleClickOrCall_data();
    void resetByDoubleClickOrCall();
    void rightDragPansWithThePointer_data();
    void rightDragPansWithThePointer();
    void newDataEndsTheZoom();
    void zoomOnLogarithmicAxis();
    void mousePositionFollowsSystemPointer();
};

void ChartMouseTest::hoverNearOrOffALine_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<bool>("onLine");
    QTest::newRow("on series 0") << 40.0 << -40.0 << QPoint(0, 0) << true;
    QTest::newRow("3 px below series 0") << 40.0 << -40.0 << QPoint(0, 3) << true;
    QTest::newRow("on series 1") << 70.0 << -80.0 << QPoint(0, 0) << true;
    QTest::newRow("2 px above series 1") << 70.0 << -80.0 << QPoint(0, -2) << true;
    QTest::newRow("9 px above series 1") << 70.0 << -80.0 << QPoint(0, -9) << false;
    QTest::newRow("between the lines") << 20.0 << -50.0 << QPoint(0, 0) << false;
    QTest::newRow("at a point") << 50.0 << -50.0 << QPoint(0, 0) << true;
}

void ChartMouseTest::hoverNearOrOffALine()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QPoint, offset);
    QFETCH(bool, onLine);
    TChart chart;
    kit::Prepare(chart);
    FillTwoLines(chart);
    const Qt::CursorShape expected = onLine ? Qt::PointingHandCursor : Qt::ArrowCursor;
    kit::MoveTo(chart, At(chart, x, y, offset));
    QCOMPARE(chart.HoverCursor(), expected);
    QCOMPARE(kit::Viewport(chart)->cursor().shape(), expected);
    // And back the other way from a spot of the opposite state.
    kit::MoveTo(chart, onLine ? At(chart, 20, -50) : At(chart, 40, -40));
    QVERIFY(chart.HoverCursor() != expected);
}

void ChartMouseTest::movementReportedBeforeHoverUpdate()
{
    TChart chart;
    kit::Prepare(chart);
    FillTwoLines(chart);
    QList<Qt::CursorShape> seen;
    connect(&chart, &TChart::MouseMoved, &chart, [&] { seen.append(chart.HoverCursor()); });
    kit::MoveTo(chart, At(chart, 20, -50)); // off
    kit::MoveTo(chart, At(chart, 60, -60)); // on: the report still sees "off"
    kit::MoveTo(chart, At(chart, 62, -62)); // on
    kit::MoveTo(chart, At(chart, 20, -50)); // off: the report still sees "on"
    kit::MoveTo(chart, At(chart, 22, -50)); // off
    const QList<Qt::CursorShape> expected{Qt::ArrowCursor, Qt::ArrowCursor, Qt::PointingHandCursor,
                                          Qt::PointingHandCursor, Qt::ArrowCursor};
    QCOMPARE(seen, expected);
    QCOMPARE(chart.HoverCursor(), Qt::ArrowCursor);
}

void ChartMouseTest::hoverOutsideThePlotIsOff()
{
    // The line runs along the plot's top edge at y = 0 and continues to its left corner;
    // well above the plot area nothing is hovered even in line with it.
    TChart chart;
    kit::Prepare(chart);
    FillTwoLines(chart);
    kit::MoveTo(chart, At(chart, 0, 0, QPoint(0, 2)));
    QCOMPARE(chart.HoverCursor(), Qt::PointingHandCursor);
    const QRect plot = chart.PlotRect();
    kit::MoveTo(chart, QPoint(plot.left() - 20, plot.top() - 10));
    QCOMPARE(chart.HoverCursor(), Qt::ArrowCursor);
}

void ChartMouseTest::clickOnALineEmitsItsSeries_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("series");
    QTest::newRow("attenuation line") << 30.0 << -30.0 << 0;
    QTest::newRow("reflection line") << 45.0 << -80.0 << 1;
    QTest::newRow("where they cross: the first series") << 80.0 << -80.0 << 0;
    QTest::newRow("off both") << 80.0 << -30.0 << -1;
}

void ChartMouseTest::clickOnALineEmitsItsSeries()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, series);
    TChart chart;
    kit::Prepare(chart);
    FillTwoLines(chart);
    QSignalSpy clicks(&chart, &TChart::SeriesClicked);
    const QPoint p = At(chart, x, y);
    kit::MoveTo(chart, p);
    kit::Press(chart, p);
    kit::Release(chart, p);
    if (series < 0) {
        QCOMPARE(clicks.count(), 0);
    } else {
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.at(0).at(0).toInt(), series);
    }
    kit::Press(chart, p, Qt::MiddleButton);
    kit::Release(chart, p, Qt::MiddleButton);
    QCOMPARE(clicks.count(), series < 0 ? 0 : 1);
}

void ChartMouseTest::dragZoomsToTheRectangle()
{
    TChart chart;
    kit::Prepare(chart);
    FillTwoLines(chart);
    const Ranges full = RangesOf(chart);
    const QPoint from = At(chart, 20, -30);
    const QPoint to = At(chart, 60, -70);
    // The values the pixels stand for before the zoom, by the readout's linear mapping.
    const QRect r = chart.PlotRect();
    auto xOf = [&](int px) {
        return full.xMin + double(px - r.left()) * (full.xMax - full.xMin) / (r.right() - r.left());
    };
    auto yOf = [&](int py) {
        return full.yMin + double(py - r.bottom()) * (full.yMax - full.yMin) / (r.top() - r.bottom());
    };
    QSignalSpy clicks(&chart, &TChart::SeriesClicked);
    kit::Drag(chart, to, from); // drawn from the lower right to the upper left
    const Ranges zoomed = RangesOf(chart);
    const double pixelX = (full.xMax - full.xMin) / (r.right() - r.left());
    const double pixelY = (full.yMax - full.yMin) / (r.bottom() - r.top());
    QVERIFY(std::fabs(zoomed.xMin - xOf(from.x())) <= pixelX);
    QVERIFY(std::fabs(zoomed.xMax - xOf(to.x())) <= pixelX);
    QVERIFY(std::fabs(zoomed.yMin - yOf(to.y())) <= pixelY);
    QVERIFY(std::fabs(zoomed.yMax - yOf(from.y())) <= pixelY);
    QCOMPARE(clicks.count(), 0); // a drag is no click, even though it started on a line
    // The rectangle's centre, (40, -50), now sits in the middle of the plot.
    const QPoint centre = At(chart, 40, -50);
    QVERIFY((centre - chart.PlotRect().center()).manhattanLength() <= 3);
    QVERIFY(std::fabs(xOf(centre.x()) - 40) > 5);
}

void ChartMouseTest::hoverFrozenDuringDrag()
{
    TChart chart;
    kit::Prepare(chart);
    FillTwoLines(chart);
    QSignalSpy moves(&chart, &TChart::MouseMoved);
    const QPoint start = At(chart, 20, -50);
    kit::MoveTo(chart, start);
    kit::Press(chart, start);
    kit::MoveTo(chart, At(chart, 30, -60), Qt::LeftButton);
    kit::MoveTo(chart, At(chart, 60, -60), Qt::LeftButton); // over series 0, still dragging
    QCOMPARE(chart.HoverCursor(), Qt::ArrowCursor);
    QCOMPARE(moves.count(), 3); // every movement is still reported
    kit::Release(chart, At(chart, 60, -60));
    kit::MoveTo(chart, At(chart, 60, -60)); // after the zoom the point has moved away
    kit::MoveTo(chart, At(chart, 60, -60));
    QCOMPARE(chart.HoverCursor(), Qt::PointingHandCursor);
}

void ChartMouseTest::shortDragIsAClick()
{
    TChart chart;
    kit::Prepare(chart);
    FillTwoLines(chart);
    const Ranges full = RangesOf(chart);
    QSignalSpy clicks(&chart, &TChart::SeriesClicked);
    const QPoint p = At(chart, 50, -50);
    kit::MoveTo(chart, p);
    kit::Press(chart, p);
    kit::MoveTo(chart, p + QPoint(2, 1), Qt::LeftButton);
    kit::Release(chart, p + QPoint(2, 1));
    QVERIFY(Same(RangesOf(chart), full));
    QCOMPARE(clicks.count(), 1);
}

void ChartMouseTest::resetByDoubleClickOrCall_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("double click") << 0;
    QTest::newRow("ResetZoom") << 1;
}

void ChartMouseTest::resetByDoubleClickOrCall()
{
    QFETCH(int, way);
    TChart chart;
    kit::Prepare(chart);
    FillTwoLines(chart);
    const Ranges full = RangesOf(chart);
    kit::Drag(chart, At(chart, 10, -10), At(chart, 40, -60));
    QVERIFY(!Same(RangesOf(chart), full));
    const QPoint inside = At(chart, 20, -40);
    if (way == 0)
        kit::DoubleClick(chart, inside);
    else
        chart.ResetZoom();
    QVERIFY(Same(RangesOf(chart), full));
}

void ChartMouseTest::rightDragPansWithThePointer_data()
{
    QTest::addColumn<bool>("logarithmic");
    QTest::newRow("linear") << false;
    QTest::newRow("logarithmic") << true;
}

void ChartMouseTest::rightDragPansWithThePointer()
{
    QFETCH(bool, logarithmic);
    TChart chart;
    kit::Prepare(chart);
    for (int x = 1; x <= 1000; x += 9) chart.AddPoint(0, x, -x / 10.0, QColor(255, 0, 0));
    chart.SetBottomLogarithmic(logarithmic);
    const Ranges full = RangesOf(chart);
    // A click without movement moves nothing.
    const QPoint grip = At(chart, 100, -60);
    kit::Press(chart, grip, Qt::RightButton);
    kit::Release(chart, grip, Qt::RightButton);
    QVERIFY(Same(RangesOf(chart), full));
    // The point under the press stays under the pointer; the view keeps its width and height.
    const QPoint drop = grip + QPoint(60, -40);
    kit::MoveTo(chart, grip);
    kit::Press(chart, grip, Qt::RightButton);
    kit::MoveTo(chart, grip + QPoint(20, 5), Qt::RightButton);
    kit::MoveTo(chart, drop, Qt::RightButton);
    kit::Release(chart, drop, Qt::RightButton);
    const QPointF moved = kit::PixelOf(chart, 100, -60);
    QVERIFY2(std::fabs(moved.x() - drop.x()) < 1.5 && std::fabs(moved.y() - drop.y()) < 1.5,
             qPrintable(QStringLiteral("%1,%2").arg(moved.x()).arg(moved.y())));
    QVERIFY(chart.BottomMinimum() < full.xMin);
    const auto width = [logarithmic](double lo, double hi) { return logarithmic ? std::log10(hi / lo) : hi - lo; };
    QVERIFY(std::fabs(width(chart.BottomMinimum(), chart.BottomMaximum()) / width(full.xMin, full.xMax) - 1) < 1e-9);
    QVERIFY(std::fabs((chart.LeftMaximum() - chart.LeftMinimum()) / (full.yMax - full.yMin) - 1) < 1e-9);
    // Moving without the button pans no further.
    const Ranges panned = RangesOf(chart);
    kit::MoveTo(chart, grip);
    QVERIFY(Same(RangesOf(chart), panned));
    kit::DoubleClick(chart, grip);
    QVERIFY(Same(RangesOf(chart), full));
}

void ChartMouseTest::newDataEndsTheZoom()
{
    TChart chart;
    kit::Prepare(chart);
    FillTwoLines(chart);
    kit::Drag(chart, At(chart, 10, -10), At(chart, 40, -60));
    QVERIFY(chart.BottomMaximum() < 50);
    chart.Clear(0);
    chart.Clear(1);
    FillTwoLines(chart);
    QCOMPARE(chart.BottomMinimum(), 0.0);
    QCOMPARE(chart.BottomMaximum(), 100.0);
}

void ChartMouseTest::zoomOnLogarithmicAxis()
{
    TChart chart;
    kit::Prepare(chart);
    for (int i = 1; i <= 1000; i *= 10) chart.AddPoint(0, i, -std::log10(i) * 10, QColor(255, 0, 0));
    chart.SetBottomLogarithmic(true);
    QCOMPARE(chart.BottomMinimum(), 1.0);
    QCOMPARE(chart.BottomMaximum(), 1000.0);
    // The pixel of 10 and of 100 bound the zoom: the log axis maps them back.
    kit::Drag(chart, At(chart, 10, -5), At(chart, 100, -25));
    QVERIFY(std::fabs(std::log10(chart.BottomMinimum()) - 1) < 0.02);
    QVERIFY(std::fabs(std::log10(chart.BottomMaximum()) - 2) < 0.02);
    QVERIFY(chart.BottomMinimum() > 0);
    kit::DoubleClick(chart, At(chart, 30, -15));
    QCOMPARE(chart.BottomMinimum(), 1.0);
}

void ChartMouseTest::mousePositionFollowsSystemPointer()
{
    TChart chart;
    kit::Prepare(chart);
    const QPoint p(123, 77);
    QCursor::setPos(chart.mapToGlobal(p));
    QCOMPARE(chart.MousePosition(), p);
    QCursor::setPos(chart.mapToGlobal(QPoint(-5, 400)));
    QCOMPARE(chart.MousePosition(), QPoint(-5, 400));
}

QTEST_MAIN(ChartMouseTest)
#include "ChartMouseTest.moc"
