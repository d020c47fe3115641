// SPDX-License-Identifier: Apache-2.0
#include <QtTest>

#include "schematic/LineRaster.h"

using namespace corvane;

namespace {

const QList<qreal> kSolid;
const QList<qreal> kDashDot = {4, 2, 1, 2};

} // namespace

class TestLineRaster : public QObject {
    Q_OBJECT
private slots:
    void plotsTheStartButNotTheEnd_data();
    void plotsTheStartButNotTheEnd();
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

void TestLineRaster::dashPatternCutsGapsFromTheStart()
{
    const QPolygon pixels = SegmentPixels(0, 0, 20, 0, kDashDot);
    QString drawn(20, QLatin1Char('.'));
    for (const QPoint& p : pixels) drawn[p.x()] = QLatin1Char('#');
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
#include "LineRasterTest.moc"
