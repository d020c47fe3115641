// SPDX-License-Identifier: Apache-2.0
#include <QScrollBar>
#include <QtTest>

#include "tests/window/WindowHarness.h"

// Calculation runs started from the window: the grid, the messages and the keyboard.
class WindowRunTest : public QObject {
    Q_OBJECT
private slots:
    void defaultDesign();
    void twoRunsGiveTheSameResults();
    void bandPassRowsHoldBothValues();
    void twentyPolesGrowTheGrid();
    void fewerPolesShrinkTheGridBack();
    void refusedAndFailedRuns_data();
    void refusedAndFailedRuns();
    void edgeThatConvertsToZero_data();
    void edgeThatConvertsToZero();
    void failedRunKeepsTheGridAndTheWindowGoesOn();
    void enterKeys_data();
    void enterKeys();
    void altCClicksCalculate();
};

static const QStringList kNoBoxes;

void WindowRunTest::defaultDesign()
{
    WindowHarness h;
    h.Calculate();
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.Chart()->Title(), QString("Butterworth  LPF"));
    const QStringList expected[] = {{"G1", "", "7.96e-07"}, {"G2", "6.37e-10", ""}, {"G3", "", "7.96e-07"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) QCOMPARE(h.Cell(r, c), expected[r][c]);
    for (int c = 0; c < 3; ++c) QCOMPARE(h.Cell(3, c), QString());
    QCOMPARE(h.Chart()->PointCount(0), SweepPoints);
    QCOMPARE(h.Chart()->PointCount(1), SweepPoints);
    // Attenuation in red, the reflection derived from it in green.
    QCOMPARE(h.Chart()->PointColour(0, 0), QColor(255, 0, 0));
    QCOMPARE(h.Chart()->PointColour(1, 0), QColor(0, 128, 0));
    // At the 10 MHz band edge a Butterworth response is 3 dB down and S11 equals it.
    const double edgeAtt = h.Chart()->PointAt(0, 9).y();
    QVERIFY(qAbs(edgeAtt + 3.0103) < 1e-3);
    QVERIFY(qAbs(h.Chart()->PointAt(1, 9).y() - edgeAtt) < 1e-3);
}

void WindowRunTest::twoRunsGiveTheSameResults()
{
    WindowHarness h;
    h.Choose("CBModel", "Chebyshev");
    h.Type("leN", "5");
    h.Calculate();
    QStringList first;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c) first << h.Cell(r, c);
    std::vector<QPointF> points;
    for (int i = 0; i < SweepPoints; ++i) points.push_back(h.Chart()->PointAt(0, i));
    h.Calculate();
    QStringList second;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c) second << h.Cell(r, c);
    QCOMPARE(second, first);
    for (int i = 0; i < SweepPoints; ++i) QCOMPARE(h.Chart()->PointAt(0, i), points[static_cast<size_t>(i)]);
    QVERIFY(h.boxes.empty());
}

void WindowRunTest::bandPassRowsHoldBothValues()
{
    WindowHarness h;
    h.Choose("CBModel", "Chebyshev");
    h.Choose("CBType", "BPF");
    h.Type("leFmin", "40");
    h.Type("leFmax", "60");
    h.Calculate();
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.Chart()->Title(), QString("Chebyshev  BPF"));
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(h.Cell(r, 0), QString("G%1").arg(r + 1));
        QVERIFY(h.Cell(r, 1).contains('e'));
        QVERIFY(h.Cell(r, 2).contains('e'));
    }
    QCOMPARE(h.window.State().F0, std::sqrt(40.0 * 60.0));
}

void WindowRunTest::twentyPolesGrowTheGrid()
{
    WindowHarness h;
    h.Type("leN", "20");
    h.Calculate();
    QVERIFY(h.boxes.empty());
    QTableWidget* grid = h.Grid();
    QCOMPARE(grid->rowCount(), 20);
    for (int r = 0; r < 20; ++r) {
        QCOMPARE(h.Cell(r, 0), QString("G%1").arg(r + 1));
        QVERIFY(h.Cell(r, 1).isEmpty() != h.Cell(r, 2).isEmpty());
        QCOMPARE(grid->rowHeight(r), 18);
    }
    // The last row can be brought into view with the scroll bar.
    QTRY_VERIFY(grid->verticalScrollBar()->isVisible());
    // The bar is there from the start; its range follows the new rows once the view lays out.
    const auto lastRowShown = [grid] {
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        return grid->viewport()->rect().contains(grid->visualItemRect(grid->item(19, 0)));
    };
    QTRY_VERIFY(lastRowShown());
    QCOMPARE(grid->geometry(), QRect(254, 342, 215, 175));
}

void WindowRunTest::fewerPolesShrinkTheGridBack()
{
    WindowHarness h;
    h.Type("leN", "20");
    h.Calculate();
    h.Type("leN", "3");
    h.Calculate();
    QTableWidget* grid = h.Grid();
    QCOMPARE(grid->rowCount(), 11);
    QCOMPARE(h.Cell(2, 0), QString("G3"));
    for (int r = 3; r < grid->rowCount(); ++r)
        for (int c = 0; c < 3; ++c) QCOMPARE(h.Cell(r, c), QString());
    QCOMPARE(grid->verticalScrollBar()->value(), 0);
}

// Each row edits the default design, then runs it with "&Calculate".
void WindowRunTest::refusedAndFailedRuns_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("errorBoxes");
    QTest::newRow("empty pole count") << "LPF" << QStringList{"leN="} << QStringList{"Enter the inputs."} << 0;
    QTest::newRow("empty pole count, band-pass")
        << "BPF" << QStringList{"leN=", "leFmin=5", "leFmax=15"} << QStringList{"Enter the inputs."} << 0;
    QTest::newRow("band-pass still checks the passband")
        << "LPF" << QStringList{"lePassF=", "type=BPF", "leFmin=5", "leFmax=15"} << QStringList{"Enter the inputs."}
        << 0;
    QTest::newRow("band-pass without its edges ends after one message")
        << "BPF" << QStringList{} << QStringList{"Enter the inputs."} << 0;
    QTest::newRow("zero resistance") << "LPF" << QStringList{"leR=0"} << QStringList{"Enter the inputs."} << 0;
    QTest::newRow("negative pole count") << "LPF" << QStringList{"leN=-1"} << QStringList{"Enter the inputs."} << 0;
    QTest::newRow("pole count with a point")
        << "LPF" << QStringList{"leN=1."} << QStringList{"'1.' is not a valid integer value."} << 1;
    QTest::newRow("resistance that is no number")
        << "LPF" << QStringList{"leR=x"} << QStringList{"'x' is not a valid floating point value."} << 1;
    QTest::newRow("band edges of opposite sign") << "BPF" << QStringList{"leFmin=-5", "leFmax=10"}
                                                 << QStringList{"Fmin and Fmax must be greater than zero."} << 0;
}

static void ApplyEdit(WindowHarness& h, const QString& edit)
{
    const QString target = edit.section('=', 0, 0);
    const QString value = edit.section('=', 1);
    if (target == "type") {
        h.Choose("CBType", value);
    } else {
        h.Type(target.toLatin1().constData(), value);
    }
}

void WindowRunTest::refusedAndFailedRuns()
{
    QFETCH(QString, type);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, boxes);
    QFETCH(int, errorBoxes);
    WindowHarness h;
    h.Choose("CBType", type);
    for (const QString& edit : edits) ApplyEdit(h, edit);
    QCOMPARE(h.BoxTexts(), kNoBoxes);
    h.Calculate();
    QCOMPARE(h.BoxTexts(), boxes);
    int errors = 0;
    for (const MessageBoxRecord& box : h.boxes) {
        QCOMPARE(box.caption, QString("Corvane"));
        if (box.icon == QMessageBox::Critical)
            ++errors;
        else
            QCOMPARE(box.icon, QMessageBox::NoIcon);
    }
    QCOMPARE(errors, errorBoxes);
    QCOMPARE(h.Cell(0, 0), QString());
}

void WindowRunTest::edgeThatConvertsToZero_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");
    QTest::newRow("passband") << "LPF" << QStringList{"lePassF=0.0"} << "Passband Frequency cannot be zero!";
    QTest::newRow("high-pass passband") << "HPF" << QStringList{"lePassF=0.0"} << "Passband Frequency cannot be zero!";
    QTest::newRow("band edges") << "BPF" << QStringList{"leFmin=0.0", "leFmax=0.0"} << "Fmin and Fmax cannot be zero.";
}

// The response's own message is the only one: the run ends there instead of going on to a
// division by zero or to a grid and chart of an earlier design.
void WindowRunTest::edgeThatConvertsToZero()
{
    QFETCH(QString, type);
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    WindowHarness h;
    h.Choose("CBType", type);
    for (const QString& edit : edits) ApplyEdit(h, edit);
    h.Calculate();
    QCOMPARE(h.boxes.size(), size_t(1));
    QCOMPARE(h.boxes[0].text, message);
    QCOMPARE(h.boxes[0].icon, QMessageBox::NoIcon);
    QCOMPARE(h.Cell(0, 0), QString());
    for (double att : h.window.State().Att) QCOMPARE(att, 0.0);
}

void WindowRunTest::failedRunKeepsTheGridAndTheWindowGoesOn()
{
    WindowHarness h;
    h.Calculate();
    h.Type("leN", "");
    h.Calculate();
    QCOMPARE(h.BoxTexts(), QStringList{"Enter the inputs."});
    QCOMPARE(h.Cell(0, 2), QString("7.96e-07"));
    h.boxes.clear();
    // A refused design leaves the last design's curves and grid on screen.
    h.Type("leN", "3");
    h.Calculate();
    h.boxes.clear();
    h.Type("leR", "-50");
    h.Calculate();
    QCOMPARE(h.BoxTexts(), QStringList{"RL must be greater than zero."});
    QCOMPARE(h.Chart()->PointCount(1), SweepPoints);
    QCOMPARE(h.Cell(0, 2), QString("7.96e-07"));
    h.boxes.clear();
    h.Type("leR", "x");
    h.Type("leN", "5");
    h.Calculate();
    QCOMPARE(h.BoxTexts(), QStringList{"'x' is not a valid floating point value."});
    h.boxes.clear();
    h.Type("leR", "50");
    h.Calculate();
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.Cell(4, 0), QString("G5"));
}

// Where Enter is pressed decides which button it clicks; only "Apply" warns about a
// descending sweep, which tells the two apart.
void WindowRunTest::enterKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("applied");
    QTest::newRow("pole count field") << "leN" << true;
    QTest::newRow("sweep stop field") << "leStop" << true;
    QTest::newRow("step display") << "leStep" << true;
    QTest::newRow("check box") << "CheckBox1" << true;
    QTest::newRow("type drop-down") << "CBType" << true;
    QTest::newRow("Apply button") << "BitBtn1" << true;
    QTest::newRow("Calculate button") << "BCalculate" << false;
}

void WindowRunTest::enterKeys()
{
    QFETCH(QString, focus);
    QFETCH(bool, applied);
    WindowHarness h;
    h.Type("leStop", "1");
    h.Type("leFStart", "101");
    QWidget* target = h.Child(focus.toLatin1().constData());
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(h.BoxTexts(), applied ? QStringList{"Start must be less then Stop"} : kNoBoxes);
    QCOMPARE(h.Chart()->PointCount(0), SweepPoints);
    QCOMPARE(h.Cell(0, 0), QString("G1"));
    QVERIFY(!h.Child<QCheckBox>("CheckBox1")->isChecked());
}

void WindowRunTest::altCClicksCalculate()
{
    WindowHarness h;
    h.Type("leStop", "1");
    h.Type("leFStart", "101");
    QTest::keyClick(&h.window, Qt::Key_C, Qt::AltModifier);
    // A mnemonic animates the click, which lands a moment later.
    QTRY_COMPARE(h.Chart()->PointCount(0), SweepPoints);
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.Cell(2, 0), QString("G3"));
}

QTEST_MAIN(WindowRunTest)
#include "WindowRunTest.moc"
