// SPDX-License-Identifier: Apache-2.0
#include <QPainter>
#include <QtTest>

#include "tests/window/WindowHarness.h"
#include "schematic/PaintBox.h"
#include "schematic/QtSurface.h"
#include "schematic/UDrawF.h"

using namespace corvane;

// The schematic as the window draws it: the choice of layout from the selection and the
// order, repaints, and what a failed conversion leaves behind.
class SchematicWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startShowsTheLowPassTOddLayout();
    void orderParityPicksTheLayout_data();
    void orderParityPicksTheLayout();
    void emptiedOrderIsNotRedrawnUntilTheTopologyChanges();
    void orderThatIsNoNumberReportsAndKeepsThePicture();
    void repaintWithAnOrderThatIsNoNumberKeepsThePictureSilently();
    void noTopologySelectedDrawsNothing();
    void highPassPiEvenOnChangeAndOnRepaint();
};

namespace {

TPaintBox* Area(const WindowHarness& h)
{
    return h.Child<TPaintBox>("PB1");
}

// The picture a layout draws by itself on an area like PB1, in PB1's font.
QImage Reference(const WindowHarness& h, SchematicLayout layout)
{
    const QImage& buffer = Area(h)->Buffer();
    QImage picture(buffer.size(), buffer.format());
    picture.fill(Qt::magenta);
    QPainter painter(&picture);
    painter.setFont(Area(h)->font());
    QtSurface surface(painter, picture.width(), picture.height());
    layout(surface);
    return picture;
}

bool Shows(const WindowHarness& h, SchematicLayout layout)
{
    return Area(h)->Buffer() == Reference(h, layout);
}

// Forces PB1 to repaint at once, as when it is uncovered.
void Repaint(const WindowHarness& h)
{
    Area(h)->repaint();
    QCoreApplication::processEvents();
}

} // namespace

void SchematicWindowTest::startShowsTheLowPassTOddLayout()
{
    WindowHarness h;
    QVERIFY(Shows(h, DrawLowPassTOdd));
    h.Choose("CBModel", "Chebyshev");
    QCOMPARE(h.window.State().FilterKind, 3);
    QVERIFY2(Shows(h, DrawLowPassTOdd), "both approximations share the picture");
    QVERIFY(h.boxes.empty());
}

void SchematicWindowTest::orderParityPicksTheLayout_data()
{
    QTest::addColumn<QString>("order");
    QTest::addColumn<double>("stored");
    QTest::addColumn<bool>("even");
    QTest::newRow("4") << "4" << 4.0 << true;
    QTest::newRow("0") << "0" << 0.0 << true;
    QTest::newRow("-2") << "-2" << -2.0 << true;
    QTest::newRow("2") << "2" << 2.0 << true;
    QTest::newRow("3") << "3" << 3.0 << false;
    QTest::newRow("1") << "1" << 1.0 << false;
    QTest::newRow("-3") << "-3" << -3.0 << false;
}

void SchematicWindowTest::orderParityPicksTheLayout()
{
    QFETCH(QString, order);
    QFETCH(double, stored);
    QFETCH(bool, even);
    WindowHarness h;
    h.Choose("CBType", "BPF");
    // Start from the other parity, so that the picture has to change.
    h.Type("leN", even ? "5" : "6");
    QVERIFY(Shows(h, even ? DrawBandPassTOdd : DrawBandPassTEven));
    h.window.findChild<QLineEdit*>("leN")->setText(order);
    QCOMPARE(h.window.State().Order, stored);
    QVERIFY(Shows(h, even ? DrawBandPassTEven : DrawBandPassTOdd));
    QVERIFY(h.boxes.empty());
}

void SchematicWindowTest::emptiedOrderIsNotRedrawnUntilTheTopologyChanges()
{
    WindowHarness h;
    h.Type("leN", "4");
    QVERIFY(Shows(h, DrawLowPassTEven));
    h.Type("leN", "");
    QCOMPARE(h.Text("leN"), QString());
    QVERIFY2(Shows(h, DrawLowPassTEven), "emptying the order does not redraw");
    QCOMPARE(h.window.State().Order, 4.0);
    h.Choose("CBType1", "Pi - Type");
    QVERIFY2(Shows(h, DrawLowPassPiOdd), "an empty order counts as odd");
    QVERIFY(h.boxes.empty());
}

void SchematicWindowTest::orderThatIsNoNumberReportsAndKeepsThePicture()
{
    WindowHarness h;
    h.Type("leN", "x");
    QCOMPARE(h.boxes.size(), size_t(1));
    h.Choose("CBType", "HPF");
    QCOMPARE(h.window.State().FilterKind, 1);
    QCOMPARE(h.boxes.size(), size_t(2));
    const MessageBoxRecord& box = h.boxes.back();
    QCOMPARE(box.text, QString("'x' is not a valid floating point value."));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.caption, QString("Corvane"));
    QVERIFY2(Shows(h, DrawLowPassTOdd), "the schematic is not redrawn");
    QCOMPARE(h.window.State().Order, 3.0);
}

void SchematicWindowTest::repaintWithAnOrderThatIsNoNumberKeepsThePictureSilently()
{
    WindowHarness h;
    h.Type("leN", "4");
    h.Type("leN", "x");
    const size_t reported = h.boxes.size();
    Area(h)->Buffer().fill(Qt::cyan);
    Repaint(h);
    QCOMPARE(h.boxes.size(), reported);
    QVERIFY2(Area(h)->Buffer().pixel(100, 60) == QColor(Qt::cyan).rgb(), "nothing is drawn over the last picture");
    h.Type("leN", "4");
    Area(h)->Buffer().fill(Qt::cyan);
    Repaint(h);
    QVERIFY2(Shows(h, DrawLowPassTEven), "a number again draws again");
}

void SchematicWindowTest::noTopologySelectedDrawsNothing()
{
    WindowHarness h;
    h.TypeInCombo("CBType1", "zz");
    QCOMPARE(h.Combo("CBType1")->currentIndex(), -1);
    QVERIFY(Shows(h, DrawLowPassTOdd));
    h.Type("leN", "4");
    QCOMPARE(h.window.State().Order, 4.0);
    QVERIFY2(Shows(h, DrawLowPassTOdd), "the order is converted but nothing is drawn");
    Area(h)->Buffer().fill(Qt::cyan);
    Repaint(h);
    QVERIFY(Area(h)->Buffer().pixel(100, 60) == QColor(Qt::cyan).rgb());
    h.TypeInCombo("CBType1", "Pi - Type");
    QVERIFY(Shows(h, DrawLowPassPiEven));
}

void SchematicWindowTest::highPassPiEvenOnChangeAndOnRepaint()
{
    WindowHarness h;
    h.Type("leN", "4");
    h.Choose("CBType1", "Pi - Type");
    h.Choose("CBType", "HPF");
    QVERIFY2(Shows(h, DrawHighPassPiEven), "drawn on the selection change");
    Area(h)->Buffer().fill(Qt::cyan);
    Repaint(h);
    QVERIFY2(Shows(h, DrawHighPassPiEven), "drawn again on repaint");
    QVERIFY(h.boxes.empty());
}

QTEST_MAIN(SchematicWindowTest)
#include "SchematicWindowTest.moc"
