// SPDX-License-Identifier: Apache-2.0
#include <QtTest>

#include <algorithm>
#include <iterator>
#include <vector>

#include "tests/schematic/PixelProbe.h"
#include "schematic/UDrawF.h"

using namespace corvane;

using probe::Ink;
using probe::Render;

namespace {

// The arch of the series coil as listed point by point, relative to its start (x0, y).
const QPoint kSeriesArch[] = {{0, 0},  {0, -2}, {1, -5}, {2, -7},  {3, -9}, {5, -10},
                              {7, -9}, {8, -7}, {9, -5}, {10, -2}, {10, 0}};
// The arch of the shunt coil, relative to its start (x, y0).
const QPoint kShuntArch[] = {{0, 0}, {2, 0}, {5, 1}, {7, 2}, {9, 3}, {10, 5}, {9, 7}, {7, 8}, {5, 9}, {2, 10}, {0, 10}};

using Symbol = void (*)(int, int, Surface&);

// Each symbol anchored at (40, 30) and the box its pixels must fill exactly.
struct SymbolCase {
    const char* name;
    Symbol draw;
    QRect extent;
};

const SymbolCase kSymbolsAt40_30[] = {
    {"series inductor", DrawSeriesInductor, QRect(QPoint(40, 20), QPoint(70, 30))},
    {"shunt inductor", DrawShuntInductor, QRect(QPoint(40, 30), QPoint(50, 60))},
    {"series capacitor", DrawSeriesCapacitor, QRect(QPoint(40, 22), QPoint(45, 38))},
    {"shunt capacitor", DrawShuntCapacitor, QRect(QPoint(32, 30), QPoint(48, 35))},
};

} // namespace

class TestSchematicPrimitives : public QObject {
    Q_OBJECT
private slots:
    void seriesInductorRisesToItsArchTopsAndEndsOnTheWire();
    void shuntInductorReachesTenPixelsRightAndEndsBelow();
    void coilsAreExactlyTheirArchPaths_data();
    void coilsAreExactlyTheirArchPaths();
    void capacitorPlates_data();
    void capacitorPlates();
    void symbolsWipeNothingAndDrawNoWires_data();
    void symbolsWipeNothingAndDrawNoWires();
    void frameWipesTheAreaToItsOutline();
    void frameDrawsFourHollowTerminals();
    void frameDrawsTheReturnLineAndBothRlLabels();
};

void TestSchematicPrimitives::seriesInductorRisesToItsArchTopsAndEndsOnTheWire()
{
    const QImage image = Render([](Surface& s) { DrawSeriesInductor(40, 30, s); });
    QCOMPARE(probe::InkBounds(image), QRect(QPoint(40, 20), QPoint(70, 30)));
    for (int top : {45, 55, 65}) QVERIFY(Ink(image, top, 20));
    QCOMPARE(probe::InkCount(image, QRect(40, 20, 31, 1)), 3);
    QVERIFY2(Ink(image, 70, 30), "the coil ends on the wire at x + 30");
    for (int apex : {45, 55, 65})
        for (int d = 1; d <= 5; ++d)
            for (int y = 20; y <= 30; ++y)
                QVERIFY2(Ink(image, apex - d, y) == Ink(image, apex + d, y), "each arch is symmetric about its apex");
    for (int x = 40; x <= 70; ++x) QCOMPARE(Ink(image, x, 30), x % 10 == 0);
}

void TestSchematicPrimitives::shuntInductorReachesTenPixelsRightAndEndsBelow()
{
    const QImage image = Render([](Surface& s) { DrawShuntInductor(80, 50, s); });
    QCOMPARE(probe::InkBounds(image), QRect(QPoint(80, 50), QPoint(90, 80)));
    for (int y = 50; y <= 80; ++y) QCOMPARE(Ink(image, 90, y), y == 55 || y == 65 || y == 75);
    QVERIFY2(Ink(image, 80, 80), "the coil ends at y + 30");
    for (int apex : {55, 65, 75})
        for (int d = 1; d <= 5; ++d)
            for (int x = 80; x <= 90; ++x)
                QVERIFY2(Ink(image, x, apex - d) == Ink(image, x, apex + d), "each arch is symmetric about its apex");
    for (int y = 50; y <= 80; ++y) QCOMPARE(Ink(image, 80, y), y % 10 == 0);
}

void TestSchematicPrimitives::coilsAreExactlyTheirArchPaths_data()
{
    QTest::addColumn<bool>("series");
    QTest::addColumn<QPoint>("anchor");
    QTest::newRow("series at (40,30)") << true << QPoint(40, 30);
    QTest::newRow("series at (170,30)") << true << QPoint(170, 30);
    QTest::newRow("shunt at (80,50)") << false << QPoint(80, 50);
    QTest::newRow("shunt at (25,50)") << false << QPoint(25, 50);
}

// Each arch traced through its listed points, each flank from its wire end to the apex,
// gives the coil pixel for pixel: no extra strokes, no missing ones.
void TestSchematicPrimitives::coilsAreExactlyTheirArchPaths()
{
    QFETCH(bool, series);
    QFETCH(QPoint, anchor);
    const QImage coil =
        Render([&](Surface& s) { (series ? DrawSeriesInductor : DrawShuntInductor)(anchor.x(), anchor.y(), s); });
    const QImage traced = Render([&](Surface& s) {
        for (int k = 0; k < 3; ++k) {
            const QPoint start = anchor + (series ? QPoint(10 * k, 0) : QPoint(0, 10 * k));
            SurfacePoint rising[6];
            SurfacePoint falling[6];
            for (int i = 0; i < 6; ++i) {
                const QPoint up = start + (series ? kSeriesArch[i] : kShuntArch[i]);
                const QPoint down = start + (series ? kSeriesArch[10 - i] : kShuntArch[10 - i]);
                rising[i] = {up.x(), up.y()};
                falling[i] = {down.x(), down.y()};
            }
            s.Polyline(rising, 6);
            s.Polyline(falling, 6);
        }
    });
    QCOMPARE(coil, traced);
}

void TestSchematicPrimitives::capacitorPlates_data()
{
    QTest::addColumn<bool>("series");
    QTest::addColumn<QPoint>("anchor");
    QTest::addColumn<QRect>("firstPlate");
    QTest::addColumn<QRect>("secondPlate");
    QTest::newRow("shunt at (80,60)") << false << QPoint(80, 60) << QRect(QPoint(72, 60), QPoint(88, 60))
                                      << QRect(QPoint(72, 65), QPoint(88, 65));
    QTest::newRow("series at (40,30)") << true << QPoint(40, 30) << QRect(QPoint(40, 22), QPoint(40, 38))
                                       << QRect(QPoint(45, 22), QPoint(45, 38));
    QTest::newRow("shunt at (100,62)") << false << QPoint(100, 62) << QRect(QPoint(92, 62), QPoint(108, 62))
                                       << QRect(QPoint(92, 67), QPoint(108, 67));
}

void TestSchematicPrimitives::capacitorPlates()
{
    QFETCH(bool, series);
    QFETCH(QPoint, anchor);
    QFETCH(QRect, firstPlate);
    QFETCH(QRect, secondPlate);
    const QImage image =
        Render([&](Surface& s) { (series ? DrawSeriesCapacitor : DrawShuntCapacitor)(anchor.x(), anchor.y(), s); });
    QCOMPARE(probe::InkCount(image, firstPlate), 17);
    QCOMPARE(probe::InkCount(image, secondPlate), 17);
    QCOMPARE(probe::InkCount(image, image.rect()), 34);
    QCOMPARE(probe::InkBounds(image), firstPlate | secondPlate);
}

void TestSchematicPrimitives::symbolsWipeNothingAndDrawNoWires_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kSymbolsAt40_30)); ++i) QTest::newRow(kSymbolsAt40_30[i].name) << i;
}

void TestSchematicPrimitives::symbolsWipeNothingAndDrawNoWires()
{
    QFETCH(int, index);
    const SymbolCase& symbol = kSymbolsAt40_30[index];
    const QImage image = Render([&](Surface& s) { symbol.draw(40, 30, s); }, probe::kGrey);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!symbol.extent.contains(x, y))
                QVERIFY2(probe::IsColour(image, x, y, probe::kGrey),
                         qPrintable(QString("(%1,%2) changed").arg(x).arg(y)));
    QCOMPARE(probe::InkBounds(image), symbol.extent);
}

void TestSchematicPrimitives::frameWipesTheAreaToItsOutline()
{
    QImage image(probe::kWidth, probe::kHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    probe::DrawOnto(image, [](Surface& s) {
        DrawSeriesInductor(100, 50, s);
        DrawSchematicFrame(s);
    });
    for (int x = 0; x < probe::kWidth; ++x) QVERIFY(Ink(image, x, 0) && Ink(image, x, probe::kHeight - 1));
    for (int y = 0; y < probe::kHeight; ++y) QVERIFY(Ink(image, 0, y) && Ink(image, probe::kWidth - 1, y));

    std::vector<QRect> drawn = {QRect(7, 27, 6, 6),
                                QRect(7, 97, 6, 6),
                                QRect(237, 27, 6, 6),
                                QRect(237, 97, 6, 6),
                                QRect(13, 100, 224, 1),
                                probe::TextBox(5, 60, QStringLiteral("Rl")),
                                probe::TextBox(235, 60, QStringLiteral("Rl"))};
    for (int y = 1; y < probe::kHeight - 1; ++y)
        for (int x = 1; x < probe::kWidth - 1; ++x) {
            const bool known =
                std::any_of(drawn.begin(), drawn.end(), [&](const QRect& r) { return r.contains(x, y); });
            if (!known)
                QVERIFY2(probe::IsColour(image, x, y, Qt::white),
                         qPrintable(QString("(%1,%2) not wiped").arg(x).arg(y)));
        }
}

void TestSchematicPrimitives::frameDrawsFourHollowTerminals()
{
    const QImage image = Render(DrawSchematicFrame, probe::kGrey);
    for (const QPoint centre : {QPoint(10, 30), QPoint(10, 100), QPoint(240, 30), QPoint(240, 100)}) {
        const QRect box(centre - QPoint(3, 3), QSize(6, 6));
        const QString where = QString("circle at (%1,%2)").arg(centre.x()).arg(centre.y());
        QVERIFY2(probe::InkCount(image, QRect(box.left(), box.top(), 1, 6)) > 0, qPrintable(where + " left"));
        QVERIFY2(probe::InkCount(image, QRect(box.right(), box.top(), 1, 6)) > 0, qPrintable(where + " right"));
        QVERIFY2(probe::InkCount(image, QRect(box.left(), box.top(), 6, 1)) > 0, qPrintable(where + " top"));
        QVERIFY2(probe::InkCount(image, QRect(box.left(), box.bottom(), 6, 1)) > 0, qPrintable(where + " bottom"));
        QVERIFY2(!Ink(image, box.left(), box.top()), qPrintable(where + " is round"));
        QVERIFY2(probe::IsColour(image, centre.x() - 1, centre.y() - 1, Qt::white), qPrintable(where + " is hollow"));
        QVERIFY2(probe::InkCount(image, box.adjusted(-2, -2, 2, 2)) - probe::InkCount(image, box) <= 2,
                 qPrintable(where + " stays in its box, save the wire"));
    }
}

void TestSchematicPrimitives::frameDrawsTheReturnLineAndBothRlLabels()
{
    const QImage image = Render(DrawSchematicFrame, probe::kGrey);
    for (int x = 13; x <= 236; ++x) QVERIFY2(Ink(image, x, 100), qPrintable(QString("return line at x=%1").arg(x)));
    QCOMPARE(probe::InkCount(image, QRect(13, 30, 224, 1)), 0);
    for (int x : {5, 235}) {
        const QRect box = probe::TextBox(x, 60, QStringLiteral("Rl"));
        QVERIFY2(probe::InkCount(image, box) >= 8, qPrintable(QString("Rl at x=%1").arg(x)));
        const QImage alone = Render([&](Surface& s) {
            s.SetBrushColour(255, 255, 255);
            s.TextOut(x, 60, "Rl");
        });
        QCOMPARE(image.copy(box), alone.copy(box));
        QVERIFY2(probe::IsColour(image, box.left() + 1, box.top(), Qt::white), "written on the white brush");
    }
}

QTEST_MAIN(TestSchematicPrimitives)
#include "SchematicPrimitivesTest.moc"
