// SPDX-License-Identifier: Apache-2.0
#include <QtTest>

#include "tests/window/WindowHarness.h"

// The sweep fields and step display, the unit and its labels, and "Apply".
class WindowSweepTest : public QObject {
    Q_OBJECT
private slots:
    void stepDisplayAndPoints_data();
    void stepDisplayAndPoints();
    void emptiedSweepFieldKeepsTheSweep_data();
    void emptiedSweepFieldKeepsTheSweep();
    void sweepTextThatIsNoNumber();
    void applyWithStopBelowStartWarnsThenRuns();
    void applyWithAnAscendingSweepJustRuns();
    void calculateMakesNoSweepCheck();
    void unitLabelsAndScale_data();
    void unitLabelsAndScale();
    void typedUnitThatIsNoItem();
    void unitChangeScalesTheNextRunOnly();
};

void WindowSweepTest::stepDisplayAndPoints_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("middle");
    QTest::addColumn<double>("last");
    QTest::newRow("defaults") << "1"
                              << "101"
                              << "1.000" << 1.0 << 1.0 << 51.0 << 100.0;
    QTest::newRow("zero start") << "0"
                                << "100"
                                << "1.000" << 1.0 << 1e-10 << 50.0 << 99.0;
    QTest::newRow("symmetric") << "-50"
                               << "50"
                               << "1.000" << 1.0 << -50.0 << 1e-10 << 49.0;
    QTest::newRow("large step") << "0"
                                << "200000"
                                << "2.000e+03" << 2000.0 << 1e-10 << 100000.0 << 198000.0;
    QTest::newRow("step of exactly 1000") << "0"
                                          << "100000"
                                          << "1000.000" << 1000.0 << 1e-10 << 50000.0 << 99000.0;
    QTest::newRow("descending") << "101"
                                << "1"
                                << "-1.000" << -1.0 << 101.0 << 51.0 << 2.0;
    QTest::newRow("no step") << "5"
                             << "5"
                             << "0.000" << 0.0 << 5.0 << 5.0 << 5.0;
    QTest::newRow("quarter step") << "0"
                                  << "25"
                                  << "0.250" << 0.25 << 1e-10 << 12.5 << 24.75;
}

void WindowSweepTest::stepDisplayAndPoints()
{
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, shown);
    QFETCH(double, step);
    QFETCH(double, first);
    QFETCH(double, middle);
    QFETCH(double, last);
    WindowHarness h;
    // Stop first, so that every keystroke leaves a pair of numbers.
    h.Type("leStop", stop);
    h.Type("leFStart", start);
    QVERIFY2(h.boxes.empty(), qPrintable(h.BoxTexts().join('|')));
    QCOMPARE(h.Text("leStep"), shown);
    const DesignState& state = h.window.State();
    QCOMPARE(state.FStep, step);
    QCOMPARE(state.Freq[0], first);
    QCOMPARE(state.Freq[50], middle);
    QCOMPARE(state.Freq[99], last);
    QCOMPARE(h.Chart()->PointCount(0), 0);
}

void WindowSweepTest::emptiedSweepFieldKeepsTheSweep_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("start") << "leFStart";
    QTest::newRow("stop") << "leStop";
}

void WindowSweepTest::emptiedSweepFieldKeepsTheSweep()
{
    QFETCH(QString, field);
    WindowHarness h;
    h.Type("leStop", "201");
    QCOMPARE(h.Text("leStep"), QString("2.000"));
    h.Type(field.toLatin1().constData(), "");
    QCOMPARE(h.Text("leStep"), QString("2.000"));
    QCOMPARE(h.window.State().FStep, 2.0);
    QCOMPARE(h.window.State().Freq[99], 199.0);
    // A run keeps using the last sweep.
    h.Calculate();
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.Chart()->PointCount(0), SweepPoints);
    QCOMPARE(h.Chart()->PointAt(0, SweepPoints - 1).x(), 199.0);
}

void WindowSweepTest::sweepTextThatIsNoNumber()
{
    WindowHarness h;
    h.Type("leFStart", "-");
    QCOMPARE(h.BoxTexts(), QStringList{"'-' is not a valid floating point value."});
    QCOMPARE(h.boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(h.Text("leStep"), QString("1.000"));
    QCOMPARE(h.window.State().Freq[0], 1.0);
    QTest::keyClicks(h.Edit("leFStart"), "9");
    QCOMPARE(h.boxes.size(), size_t(1));
    QCOMPARE(h.Text("leStep"), QString("1.100"));
    QCOMPARE(h.window.State().Freq[0], -9.0);
}

void WindowSweepTest::applyWithStopBelowStartWarnsThenRuns()
{
    WindowHarness h;
    h.Type("leStop", "1");
    h.Type("leFStart", "101");
    QCOMPARE(h.Text("leStep"), QString("-1.000"));
    h.Click("BitBtn1");
    QCOMPARE(h.BoxTexts(), QStringList{"Start must be less then Stop"});
    QCOMPARE(h.boxes[0].icon, QMessageBox::NoIcon);
    QCOMPARE(h.boxes[0].caption, QString("Corvane"));
    // The run went on with the descending sweep; the curves are kept in ascending x.
    QCOMPARE(h.Chart()->PointCount(0), SweepPoints);
    QCOMPARE(h.Chart()->PointAt(0, 0).x(), 2.0);
    QCOMPARE(h.Chart()->PointAt(0, SweepPoints - 1).x(), 101.0);
    QCOMPARE(h.Cell(0, 0), QString("G1"));
}

void WindowSweepTest::applyWithAnAscendingSweepJustRuns()
{
    WindowHarness h;
    h.Click("BitBtn1");
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.Chart()->PointCount(0), SweepPoints);
    QCOMPARE(h.Chart()->PointAt(0, 0).x(), 1.0);
    QCOMPARE(h.Cell(1, 0), QString("G2"));
}

void WindowSweepTest::calculateMakesNoSweepCheck()
{
    WindowHarness h;
    h.Type("leStop", "1");
    h.Type("leFStart", "101");
    h.Calculate();
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.Chart()->PointCount(0), SweepPoints);
}

void WindowSweepTest::unitLabelsAndScale_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("scale");
    QTest::newRow("Hz") << "Hz" << 1.0;
    QTest::newRow("kHz") << "kHz" << 1000.0;
    QTest::newRow("MHz") << "MHz" << 1e6;
    QTest::newRow("GHz") << "GHz" << 1e9;
}

void WindowSweepTest::unitLabelsAndScale()
{
    QFETCH(QString, unit);
    QFETCH(double, scale);
    WindowHarness h;
    h.Choose("cbScale", unit == "MHz" ? "GHz" : "MHz");
    h.Choose("cbScale", unit);
    QCOMPARE(h.window.State().UnitScale, scale);
    for (const char* label : {"l1", "l2", "l3", "l4", "l5", "l6"})
        QCOMPARE(h.Child<QLabel>(label)->text(), "(" + unit + ")");
    QCOMPARE(h.Child<QLabel>("lRipple")->text(), QString("(dB)"));
    QCOMPARE(h.Child<QLabel>("Label1")->text(), QString("(Ohm)"));
}

void WindowSweepTest::typedUnitThatIsNoItem()
{
    WindowHarness h;
    h.Choose("cbScale", "kHz");
    h.TypeInCombo("cbScale", "THz");
    QCOMPARE(h.Combo("cbScale")->currentIndex(), -1);
    QCOMPARE(h.window.State().UnitScale, 1000.0);
    QCOMPARE(h.Child<QLabel>("l4")->text(), QString("(THz)"));
    QVERIFY(h.boxes.empty());
}

static double CellValue(const WindowHarness& h, int row, int column)
{
    bool ok = false;
    const double value = h.Cell(row, column).toDouble(&ok);
    if (!ok) qFatal("cell %d,%d holds no number", row, column);
    return value;
}

void WindowSweepTest::unitChangeScalesTheNextRunOnly()
{
    WindowHarness h;
    h.Calculate();
    const double inductor = CellValue(h, 0, 2);
    const double capacitor = CellValue(h, 1, 1);
    h.Choose("cbScale", "kHz");
    QCOMPARE(CellValue(h, 0, 2), inductor);
    QCOMPARE(h.Chart()->PointCount(0), SweepPoints);
    h.Calculate();
    QCOMPARE(CellValue(h, 0, 2), inductor * 1000.0);
    QCOMPARE(CellValue(h, 1, 1), capacitor * 1000.0);
    QVERIFY(h.boxes.empty());
}

QTEST_MAIN(WindowSweepTest)
#include "WindowSweepTest.moc"
