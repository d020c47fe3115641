// SPDX-License-Identifier: Apache-2.0
#include <QPainter>
#include <QtTest>

#include "tests/window/WindowHarness.h"
#include "schematic/PaintBox.h"
#include "schematic/QtSurface.h"
#include "schematic/UDrawF.h"

using namespace corvane;

// Selection rules, the -1 index cases, which edits clear the curves, and the schematic.
class WindowSelectionTest : public QObject {
    Q_OBJECT
private slots:
    void rippleFollowsTheApproximation();
    void typedRippleIsResetOnEveryTypeChange();
    void bandPassEnablesTheBandEdges();
    void typedModelThatIsNoItem();
    void typedTypeThatIsNoItem();
    void editsThatClearTheCurves_data();
    void editsThatClearTheCurves();
    void schematicFollowsTheSelection_data();
    void schematicFollowsTheSelection();
    void repaintDrawsTheCurrentSelection();
    void emptiedPoleCountKeepsThePicture();
    void poleCountThatIsNoNumber();
};

// The picture a layout draws on an area of the schematic's size, in the window's font.
static QImage Expected(const WindowHarness& h, SchematicLayout layout)
{
    const QImage& shown = h.Child<TPaintBox>("PB1")->Buffer();
    QImage picture(shown.size(), shown.format());
    picture.fill(Qt::magenta);
    QPainter painter(&picture);
    painter.setFont(h.window.font());
    QtSurface surface(painter, picture.width(), picture.height());
    layout(surface);
    return picture;
}

static QImage Shown(const WindowHarness& h)
{
    return h.Child<TPaintBox>("PB1")->Buffer();
}

void WindowSelectionTest::rippleFollowsTheApproximation()
{
    WindowHarness h;
    h.Choose("CBModel", "Chebyshev");
    QVERIFY(h.Edit("leRipple")->isEnabled());
    QCOMPARE(h.Text("leRipple"), QString("0.5"));
    h.Choose("CBModel", "Butterworth");
    QVERIFY(!h.Edit("leRipple")->isEnabled());
    QCOMPARE(h.Text("leRipple"), QString("0"));
}

void WindowSelectionTest::typedRippleIsResetOnEveryTypeChange()
{
    WindowHarness h;
    h.Choose("CBModel", "Chebyshev");
    h.Type("leRipple", "1");
    QCOMPARE(h.Text("leRipple"), QString("1"));
    h.Choose("CBType", "HPF");
    QCOMPARE(h.Text("leRipple"), QString("0.5"));
    QVERIFY(h.Edit("leRipple")->isEnabled());
    QCOMPARE(h.window.State().FilterKind, 4);
}

void WindowSelectionTest::bandPassEnablesTheBandEdges()
{
    WindowHarness h;
    h.Choose("CBType", "BPF");
    QVERIFY(h.Edit("leFmin")->isEnabled());
    QVERIFY(h.Edit("leFmax")->isEnabled());
    QCOMPARE(h.Text("leFmin"), QString());
    QCOMPARE(h.Text("leFmax"), QString());
    QVERIFY(!h.Edit("lePassF")->isEnabled());
    QVERIFY(!h.Child("lePassFLabel")->isEnabled());
    QVERIFY(h.Child("leFminLabel")->isEnabled());
    QCOMPARE(h.Text("lePassF"), QString("10"));
    h.Choose("CBType", "LPF");
    QVERIFY(h.Edit("lePassF")->isEnabled());
    QVERIFY(h.Child("lePassFLabel")->isEnabled());
    QVERIFY(!h.Edit("leFmin")->isEnabled());
    QVERIFY(!h.Edit("leFmax")->isEnabled());
}

void WindowSelectionTest::typedModelThatIsNoItem()
{
    WindowHarness h;
    h.Choose("CBType", "HPF");
    h.TypeInCombo("CBModel", "Elliptic");
    QCOMPARE(h.Combo("CBModel")->currentIndex(), -1);
    QCOMPARE(h.Combo("CBModel")->currentText(), QString("Elliptic"));
    QVERIFY(h.Edit("leRipple")->isEnabled());
    QCOMPARE(h.Text("leRipple"), QString("0.5"));
    QCOMPARE(h.window.State().FilterKind, 1);
    QVERIFY(h.boxes.empty());
}

void WindowSelectionTest::typedTypeThatIsNoItem()
{
    WindowHarness h;
    h.Choose("CBType", "BPF");
    h.TypeInCombo("CBType", "Notch");
    QCOMPARE(h.Combo("CBType")->currentIndex(), -1);
    QVERIFY(!h.Edit("leFmin")->isEnabled());
    QVERIFY(!h.Edit("leFmax")->isEnabled());
    QVERIFY(h.Edit("lePassF")->isEnabled());
    QCOMPARE(h.window.State().FilterKind, 2);
    // Typing an item's name selects it like choosing it.
    h.TypeInCombo("CBType", "HPF");
    QCOMPARE(h.Combo("CBType")->currentIndex(), 1);
    QCOMPARE(h.window.State().FilterKind, 1);
}

void WindowSelectionTest::editsThatClearTheCurves_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("pole count") << "poles" << true;
    QTest::newRow("pole count emptied") << "poles emptied" << true;
    QTest::newRow("ripple") << "ripple" << true;
    QTest::newRow("passband") << "passband" << true;
    QTest::newRow("lower band edge") << "fmin" << true;
    QTest::newRow("upper band edge") << "fmax" << true;
    QTest::newRow("response type") << "type" << true;
    QTest::newRow("approximation") << "model" << true;
    QTest::newRow("topology") << "topology" << false;
    QTest::newRow("sweep start") << "start" << false;
    QTest::newRow("sweep stop") << "stop" << false;
    QTest::newRow("unit") << "unit" << false;
    QTest::newRow("resistance") << "resistance" << false;
    QTest::newRow("logarithmic scale") << "log" << false;
}

void WindowSelectionTest::editsThatClearTheCurves()
{
    QFETCH(QString, edit);
    QFETCH(bool, cleared);
    WindowHarness h;
    if (edit == "ripple") h.Choose("CBModel", "Chebyshev");
    if (edit.startsWith("fm")) {
        h.Choose("CBType", "BPF");
        h.Type("leFmin", "5");
        h.Type("leFmax", "15");
    }
    h.Calculate();
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.Chart()->PointCount(0), SweepPoints);
    QCOMPARE(h.Chart()->PointCount(1), SweepPoints);
    const QString title = h.Chart()->Title();

    if (edit == "poles") h.Type("leN", "4");
    if (edit == "poles emptied") h.Type("leN", "");
    if (edit == "ripple") h.Type("leRipple", "1");
    if (edit == "passband") h.Type("lePassF", "20");
    if (edit == "fmin") h.Type("leFmin", "6");
    if (edit == "fmax") h.Type("leFmax", "14");
    if (edit == "type") h.Choose("CBType", "HPF");
    if (edit == "model") h.Choose("CBModel", "Chebyshev");
    if (edit == "topology") h.Choose("CBType1", "Pi - Type");
    if (edit == "start") h.Type("leFStart", "2");
    if (edit == "stop") h.Type("leStop", "90");
    if (edit == "unit") h.Choose("cbScale", "kHz");
    if (edit == "resistance") h.Type("leR", "75");
    if (edit == "log") QTest::mouseClick(h.Child("CheckBox1"), Qt::LeftButton, {}, QPoint(5, 8));

    const int expected = cleared ? 0 : SweepPoints;
    QCOMPARE(h.Chart()->PointCount(0), expected);
    QCOMPARE(h.Chart()->PointCount(1), expected);
    QCOMPARE(h.Chart()->Title(), title);
    QVERIFY(h.boxes.empty());
}

void WindowSelectionTest::schematicFollowsTheSelection_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("topology");
    QTest::addColumn<QString>("poles");
    QTest::addColumn<void*>("layout");
    auto row = [](const char* name, const char* type, const char* model, const char* topology, const char* poles,
                  SchematicLayout layout) {
        QTest::newRow(name) << QString(type) << QString(model) << QString(topology) << QString(poles)
                            << reinterpret_cast<void*>(layout);
    };
    row("defaults", "LPF", "Butterworth", "T - Type", "3", DrawLowPassTOdd);
    row("Chebyshev draws the same", "LPF", "Chebyshev", "T - Type", "3", DrawLowPassTOdd);
    row("even order 4", "LPF", "Butterworth", "T - Type", "4", DrawLowPassTEven);
    row("order 0 is even", "LPF", "Butterworth", "T - Type", "0", DrawLowPassTEven);
    row("order -2 is even", "LPF", "Butterworth", "T - Type", "-2", DrawLowPassTEven);
    row("order -3 is odd", "LPF", "Butterworth", "T - Type", "-3", DrawLowPassTOdd);
    row("order 1 is odd", "LPF", "Butterworth", "Pi - Type", "1", DrawLowPassPiOdd);
    row("high-pass Pi even", "HPF", "Butterworth", "Pi - Type", "4", DrawHighPassPiEven);
    row("high-pass T odd", "HPF", "Chebyshev", "T - Type", "5", DrawHighPassTOdd);
    row("band-pass T even", "BPF", "Butterworth", "T - Type", "2", DrawBandPassTEven);
    row("band-pass Pi odd", "BPF", "Chebyshev", "Pi - Type", "7", DrawBandPassPiOdd);
}

void WindowSelectionTest::schematicFollowsTheSelection()
{
    QFETCH(QString, type);
    QFETCH(QString, model);
    QFETCH(QString, topology);
    QFETCH(QString, poles);
    QFETCH(void*, layout);
    WindowHarness h;
    h.Type("leN", poles);
    h.Choose("CBType1", topology);
    h.Choose("CBModel", model);
    h.Choose("CBType", type);
    QVERIFY(h.boxes.empty());
    QCOMPARE(Shown(h), Expected(h, reinterpret_cast<SchematicLayout>(layout)));
}

void WindowSelectionTest::repaintDrawsTheCurrentSelection()
{
    WindowHarness h;
    QCOMPARE(Shown(h), Expected(h, DrawLowPassTOdd));
    h.Choose("CBType", "HPF");
    h.Choose("CBType1", "Pi - Type");
    h.Type("leN", "4");
    h.Child<TPaintBox>("PB1")->Buffer().fill(Qt::yellow);
    h.Child("PB1")->repaint();
    QCOMPARE(Shown(h), Expected(h, DrawHighPassPiEven));
}

void WindowSelectionTest::emptiedPoleCountKeepsThePicture()
{
    WindowHarness h;
    h.Type("leN", "4");
    const QImage even = Shown(h);
    QCOMPARE(even, Expected(h, DrawLowPassTEven));
    h.Type("leN", "");
    QCOMPARE(Shown(h), even);
    // A later topology change with the field still empty draws the odd layout.
    h.Choose("CBType1", "Pi - Type");
    QCOMPARE(Shown(h), Expected(h, DrawLowPassPiOdd));
    QVERIFY(h.boxes.empty());
}

void WindowSelectionTest::poleCountThatIsNoNumber()
{
    WindowHarness h;
    h.Type("leN", "x");
    QCOMPARE(h.BoxTexts(), QStringList{"'x' is not a valid floating point value."});
    QCOMPARE(h.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(h.boxes[0].caption, QString("Corvane"));
    const QImage before = Shown(h);
    QCOMPARE(before, Expected(h, DrawLowPassTOdd));
    // A type change with that text reports the same error and leaves the picture.
    h.boxes.clear();
    h.Choose("CBType", "HPF");
    QCOMPARE(h.BoxTexts(), QStringList{"'x' is not a valid floating point value."});
    QCOMPARE(Shown(h), before);
    // A repaint never reports it.
    h.boxes.clear();
    h.Child("PB1")->repaint();
    QVERIFY(h.boxes.empty());
    QCOMPARE(Shown(h), before);
}

QTEST_MAIN(WindowSelectionTest)
#include "WindowSelectionTest.moc"
