// SPDX-License-Identifier: Apache-2.0
#include <QtTest>

#include <QPainter>
#include <QPalette>

#include "schematic/PaintBox.h"

using namespace corvane;

class TestPaintBox : public QObject {
    Q_OBJECT
private slots:
    void startsAtTheSchematicSizeFilledWithTheButtonFace();
    void repaintAsksForADrawingBeforeShowingTheBuffer();
    void repaintShowsTheLastPictureWhenNobodyRedraws();
    void resizeKeepsThePictureAndFillsTheNewPart();
};

namespace {

bool AllPixels(const QImage& image, const QRect& box, QRgb colour)
{
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (image.pixel(x, y) != colour) return false;
    return true;
}

} // namespace

void TestPaintBox::startsAtTheSchematicSizeFilledWithTheButtonFace()
{
    TPaintBox box;
    QCOMPARE(box.size(), QSize(249, 121));
    QCOMPARE(box.Buffer().size(), QSize(249, 121));
    QVERIFY(AllPixels(box.Buffer(), box.Buffer().rect(), box.palette().color(QPalette::Button).rgb()));
}

void TestPaintBox::repaintAsksForADrawingBeforeShowingTheBuffer()
{
    TPaintBox box;
    int requests = 0;
    QObject::connect(&box, &TPaintBox::Painting, &box, [&] {
        ++requests;
        QPainter painter(&box.Buffer());
        painter.fillRect(QRect(10, 10, 20, 20), Qt::red);
    });
    const QImage shown = box.grab().toImage();
    QCOMPARE(requests, 1);
    QVERIFY2(AllPixels(shown, QRect(10, 10, 20, 20), QColor(Qt::red).rgb()), "the drawing made on request is shown");
    QCOMPARE(shown.pixel(5, 5), box.palette().color(QPalette::Button).rgb());
}

void TestPaintBox::repaintShowsTheLastPictureWhenNobodyRedraws()
{
    TPaintBox box;
    {
        QPainter painter(&box.Buffer());
        painter.fillRect(box.Buffer().rect(), Qt::white);
        painter.fillRect(QRect(100, 50, 5, 5), Qt::black);
    }
    const QImage first = box.grab().toImage();
    const QImage second = box.grab().toImage();
    QCOMPARE(first.convertToFormat(QImage::Format_RGB32), box.Buffer());
    QCOMPARE(second.convertToFormat(QImage::Format_RGB32), box.Buffer());
}

void TestPaintBox::resizeKeepsThePictureAndFillsTheNewPart()
{
    TPaintBox box;
    box.Buffer().fill(Qt::blue);
    box.resize(300, 150);
    QCoreApplication::sendPostedEvents();
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.Buffer().size(), QSize(300, 150));
    QVERIFY(AllPixels(box.Buffer(), QRect(0, 0, 249, 121), QColor(Qt::blue).rgb()));
    const QRgb face = box.palette().color(QPalette::Button).rgb();
    QVERIFY(AllPixels(box.Buffer(), QRect(249, 0, 51, 150), face));
    QVERIFY(AllPixels(box.Buffer(), QRect(0, 121, 300, 29), face));
}

QTEST_MAIN(TestPaintBox)
#include "PaintBoxTest.moc"
