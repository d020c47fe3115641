#include <QtTest>

#include <algorithm>

#include "LineRaster.h"

namespace {

const QList<qreal> kSolid;
const QList<qreal> kDashDot = {4, 2, 1, 2};

QList<QPoint> Sorted(QPolygon pixels)
{
    QList<QPoint> points(pixels.begin(), pixels.end());
    std::sort(points.begin(), points.end(), [](const QPoint& a, const QPoint& b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    return points;
}

} // namespace

class TestLineRaster : public QObject {
    Q_OBJECT
private slots:
    void plotsTheStartButNotTheEnd_data();
    void plotsTheStartButNotTheEnd();
    void mirrorImageSegmentsPlotMirrorImagePixels_data();
    void mirrorImageSegmentsPlotMirrorImagePixels();
    void dashPatternCutsGapsFromTheStart();
    void emptySegmentPlotsNothing();
};

void TestLineRaster::plotsTheStartButNotTheEnd_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPolygon>("expected");
    QTest::newRow("horizontal") << QPoint(3, 4) << QPoint(6, 4) << QPolygon({{3, 4}, {4, 4}, {5, 4}});
    QTest::newRow("vertical up") << QPoint(3, 4) << QPoint(3, 1) << QPolygon({{3, 4}, {3, 3}, {3, 2}});
    QTest::newRow("diagonal") << QPoint(0, 0) << QPoint(-3, 3) << QPolygon({{0, 0}, {-1, 1}, {-2, 2}});
    QTest::newRow("shallow") << QPoint(0, 0) << QPoint(4, 1) << QPolygon({{0, 0}, {1, 0}, {2, 0}, {3, 1}});
    QTest::newRow("steep") << QPoint(0, 0) << QPoint(1, 4) << QPolygon({{0, 0}, {0, 1}, {0, 2}, {1, 3}});
    QTest::newRow("half step goes to the start") << QPoint(0, 0) << QPoint(2, 1) << QPolygon({{0, 0}, {1, 0}});
    QTest::newRow("half step reversed") << QPoint(2, 1) << QPoint(0, 0) << QPolygon({{2, 1}, {1, 1}});
    QTest::newRow("steep half step") << QPoint(0, 0) << QPoint(1, 2) << QPolygon({{0, 0}, {0, 1}});
    QTest::newRow("steep half step reversed") << QPoint(1, 2) << QPoint(0, 0) << QPolygon({{1, 2}, {1, 1}});
}

void TestLineRaster::plotsTheStartButNotTheEnd()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QPolygon, expected);
    QCOMPARE(SegmentPixels(from.x(), from.y(), to.x(), to.y(), kSolid), expected);
}

void TestLineRaster::mirrorImageSegmentsPlotMirrorImagePixels_data()
{
    // A flank segment of a coil arch and its partner on the other side of the apex, both
    // drawn towards the apex.
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<bool>("mirrorInX");
    QTest::newRow("series arch near top") << QPoint(3, -9) << QPoint(5, -10) << true;
    QTest::newRow("series arch flank") << QPoint(1, -5) << QPoint(2, -7) << true;
    QTest::newRow("series arch foot") << QPoint(0, -2) << QPoint(1, -5) << true;
    QTest::newRow("shunt arch near tip") << QPoint(9, 3) << QPoint(10, 5) << false;
    QTest::newRow("shunt arch flank") << QPoint(2, 0) << QPoint(5, 1) << false;
    QTest::newRow("shunt arch side") << QPoint(7, 2) << QPoint(9, 3) << false;
}

void TestLineRaster::mirrorImageSegmentsPlotMirrorImagePixels()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(bool, mirrorInX);
    // The arches are symmetric about x = 5 (series) or y = 5 (shunt).
    const auto mirror = [&](const QPoint& p) {
        return mirrorInX ? QPoint(10 - p.x(), p.y()) : QPoint(p.x(), 10 - p.y());
    };
    const QPolygon original = SegmentPixels(from.x(), from.y(), to.x(), to.y(), kSolid);
    QPolygon reflected;
    for (const QPoint& p : original)
        reflected << mirror(p);
    const QPolygon partner = SegmentPixels(mirror(from).x(), mirror(from).y(), mirror(to).x(), mirror(to).y(), kSolid);
    QCOMPARE(Sorted(partner), Sorted(reflected));
}

void TestLineRaster::dashPatternCutsGapsFromTheStart()
{
    const QPolygon pixels = SegmentPixels(0, 0, 20, 0, kDashDot);
    QString drawn(20, QLatin1Char('.'));
    for (const QPoint& p : pixels)
        drawn[p.x()] = QLatin1Char('#');
    QCOMPARE(drawn, QStringLiteral("####..#..####..#..##"));

    const QPolygon upwards = SegmentPixels(0, 9, 0, 0, kDashDot);
    QCOMPARE(upwards.size(), 5);
    QCOMPARE(upwards.first(), QPoint(0, 9));
    QCOMPARE(upwards.last(), QPoint(0, 3));
}

void TestLineRaster::emptySegmentPlotsNothing()
{
    QVERIFY(SegmentPixels(5, 5, 5, 5, kSolid).isEmpty());
    QVERIFY(SegmentPixels(5, 5, 5, 5, kDashDot).isEmpty());
    QCOMPARE(SegmentPixels(0, 0, 3, 0, {0, 0}).size(), 3);
}

QTEST_MAIN(TestLineRaster)
#include "tst_line_raster.moc"
