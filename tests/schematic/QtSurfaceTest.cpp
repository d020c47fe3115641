// SPDX-License-Identifier: Apache-2.0
#include <QtTest>

#include "tests/schematic/PixelProbe.h"

using probe::Ink;
using probe::Render;

class TestQtSurface : public QObject {
    Q_OBJECT
private slots:
    void rectangleIsOutlinedInsideTheExclusiveCornerAndFilled();
    void ellipseStaysInItsBoxAndTouchesEverySide();
    void degenerateBoxesDrawNothing();
    void lineToContinuesFromTheEndOfTheLastSegment();
    void polylinePlotsEveryVertexIncludingTheLast();
    void dashDotPenLeavesGapsAndSolidRestoresAnUnbrokenLine();
    void textStandsOnTheBrushColourFromItsTopLeftCorner();
};

void TestQtSurface::rectangleIsOutlinedInsideTheExclusiveCornerAndFilled()
{
    const QImage image = Render(
        [](Surface& s) {
            s.SetBrushColour(255, 0, 0);
            s.Rectangle(10, 10, 20, 15);
        },
        probe::kGrey, 40, 30);
    for (int x = 10; x <= 19; ++x) {
        QVERIFY2(Ink(image, x, 10), qPrintable(QString("top edge at x=%1").arg(x)));
        QVERIFY2(Ink(image, x, 14), qPrintable(QString("bottom edge at x=%1").arg(x)));
    }
    for (int y = 10; y <= 14; ++y) {
        QVERIFY(Ink(image, 10, y));
        QVERIFY(Ink(image, 19, y));
        QVERIFY(probe::IsColour(image, 20, y, probe::kGrey));
    }
    for (int x = 9; x <= 20; ++x) QVERIFY(probe::IsColour(image, x, 15, probe::kGrey));
    QCOMPARE(probe::InkBounds(image), QRect(QPoint(10, 10), QPoint(19, 14)));
    for (int x = 11; x <= 18; ++x) QVERIFY2(probe::IsColour(image, x, 12, QColor(255, 0, 0)), "filled with the brush");
}

void TestQtSurface::ellipseStaysInItsBoxAndTouchesEverySide()
{
    const QImage image = Render(
        [](Surface& s) {
            s.SetBrushColour(255, 255, 255);
            s.Ellipse(7, 27, 13, 33);
        },
        probe::kGrey, 40, 40);
    QCOMPARE(probe::InkBounds(image), QRect(QPoint(7, 27), QPoint(12, 32)));
    QVERIFY2(!Ink(image, 7, 27) && !Ink(image, 12, 32), "a circle leaves the box corners free");
    QVERIFY2(probe::IsColour(image, 10, 30, Qt::white), "filled with the brush");
    QVERIFY(probe::IsColour(image, 9, 29, Qt::white));
}

void TestQtSurface::degenerateBoxesDrawNothing()
{
    const QImage image = Render(
        [](Surface& s) {
            s.Rectangle(10, 10, 10, 20);
            s.Rectangle(20, 20, 10, 10);
            s.Ellipse(10, 10, 20, 10);
            s.Ellipse(20, 20, 10, 10);
        },
        probe::kGrey, 40, 40);
    QVERIFY(probe::InkBounds(image).isEmpty());
}

void TestQtSurface::lineToContinuesFromTheEndOfTheLastSegment()
{
    const QImage image = Render(
        [](Surface& s) {
            s.MoveTo(5, 5);
            s.LineTo(15, 5);
            s.LineTo(15, 15);
            s.MoveTo(30, 30);
            s.LineTo(30, 35);
        },
        Qt::white, 40, 40);
    QVERIFY(Ink(image, 5, 5));
    QVERIFY2(Ink(image, 15, 5), "the second segment starts at the first one's end");
    QVERIFY(Ink(image, 15, 14));
    QVERIFY(!Ink(image, 15, 15));
    QVERIFY(Ink(image, 30, 30));
    QVERIFY2(!Ink(image, 22, 22), "a MoveTo draws nothing");
    QCOMPARE(probe::InkCount(image, image.rect()), 10 + 10 + 5);
}

void TestQtSurface::polylinePlotsEveryVertexIncludingTheLast()
{
    const SurfacePoint points[] = {{2, 2}, {12, 2}, {12, 12}, {20, 20}};
    const QImage image = Render([&](Surface& s) { s.Polyline(points, 4); }, Qt::white, 40, 40);
    for (const SurfacePoint& point : points)
        QVERIFY2(Ink(image, point.x, point.y), qPrintable(QString("(%1,%2)").arg(point.x).arg(point.y)));
    QCOMPARE(probe::InkBounds(image), QRect(QPoint(2, 2), QPoint(20, 20)));

    const QImage none = Render(
        [&](Surface& s) {
            s.Polyline(points, 0);
            s.Polyline(nullptr, 3);
        },
        Qt::white, 40, 40);
    QVERIFY(probe::InkBounds(none).isEmpty());
}

void TestQtSurface::dashDotPenLeavesGapsAndSolidRestoresAnUnbrokenLine()
{
    const QImage image = Render(
        [](Surface& s) {
            s.SetPenStyle(PenStyle::DashDot);
            s.MoveTo(0, 5);
            s.LineTo(60, 5);
            s.SetPenStyle(PenStyle::Solid);
            s.MoveTo(0, 10);
            s.LineTo(60, 10);
        },
        Qt::white, 70, 20);
    QString dashed;
    QString solid;
    for (int x = 0; x < 60; ++x) {
        dashed += Ink(image, x, 5) ? QLatin1Char('#') : QLatin1Char('.');
        solid += Ink(image, x, 10) ? QLatin1Char('#') : QLatin1Char('.');
    }
    QVERIFY2(dashed.startsWith(QLatin1String("###")) && dashed.contains(QLatin1String(".#.")), qPrintable(dashed));
    QVERIFY2(dashed.count(QLatin1Char('.')) >= 15, qPrintable(dashed));
    QCOMPARE(solid, QString(60, QLatin1Char('#')));
}

void TestQtSurface::textStandsOnTheBrushColourFromItsTopLeftCorner()
{
    const QColor green(0, 255, 0);
    const QImage image = Render(
        [](Surface& s) {
            s.SetBrushColour(0, 255, 0);
            s.TextOut(10, 8, "Rl");
        },
        probe::kGrey, 60, 40);
    const QRect box = probe::TextBox(10, 8, QStringLiteral("Rl"));
    QVERIFY(box.width() > 0 && box.height() > 0);
    int ink = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            QVERIFY2(!probe::IsColour(image, x, y, probe::kGrey), "the background is opaque");
            ink += Ink(image, x, y) ? 1 : 0;
        }
    }
    QVERIFY2(ink >= 8, "the glyphs are drawn");
    QCOMPARE(probe::InkBounds(image).intersected(box), probe::InkBounds(image));
    QVERIFY(probe::IsColour(image, box.left() - 1, box.top(), probe::kGrey));
    QVERIFY(probe::IsColour(image, box.left(), box.top() - 1, probe::kGrey));
    QVERIFY(probe::IsColour(image, box.left(), box.top(), green));
}

QTEST_MAIN(TestQtSurface)
#include "QtSurfaceTest.moc"
