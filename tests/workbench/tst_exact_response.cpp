#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTableWidget>
#include <QtTest>

#include "tests/window/WindowHarness.h"
#include "workbench/ExactResponseWindow.h"
#include "workbench/LadderSchematic.h"

// The exact response window beside a design window, driven as a user would.
class ExactResponseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void followsEveryRunOfTheDesignWindow();
};

namespace {

QString Cell(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

// The table's rows as "part designed standard change" lines.
QStringList Rows(const QTableWidget* table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << QStringList{Cell(table, r, 1), Cell(table, r, 2), Cell(table, r, 3), Cell(table, r, 4)}.join(' ');
    return rows;
}

template <typename T>
T* FieldOf(const ExactResponseWindow& window, const QString& buddyText)
{
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->text().startsWith(buddyText)) return qobject_cast<T*>(label->buddy());
    qFatal("no field %s", qPrintable(buddyText));
}

} // namespace

void ExactResponseTest::followsEveryRunOfTheDesignWindow()
{
    WindowHarness h;
    ExactResponseWindow exact(&h.window);
    exact.show();
    QVERIFY(QTest::qWaitForWindowExposed(&exact));
    QCOMPARE(exact.windowTitle(), QString("Exact Ladder Response - Corvane"));
    QVERIFY(!exact.HasRun());
    QVERIFY(exact.Curves().NetFreq.empty());

    // The default design, a 3-pole Butterworth low-pass at 10 MHz and 50 ohms: g = 1, 2, 1
    // gives L = 50 / (2 pi 10 MHz) = 796 nH and C = 2 / (2 pi 10 MHz 50) = 637 pF.
    h.Calculate();
    QVERIFY(exact.HasRun());
    QCOMPARE(Rows(exact.Table()), (QStringList{"RS 50.0 \u03a9 50.0 \u03a9 ", "L1 796 nH \u2014 ", "C2 637 pF \u2014 ",
                                               "L3 796 nH \u2014 ", "RL 50.0 \u03a9 50.0 \u03a9 +0.00"}));
    QCOMPARE(exact.Curves().NetFreq.size(), size_t(1001));
    QCOMPARE(exact.Curves().NetFreq.front(), 1.0);
    QCOMPARE(exact.Curves().NetFreq.back(), 101.0);
    QCOMPARE(exact.Schematic()->Labels(),
             (QStringList{"RS", "50.0 \u03a9", "L1", "796 nH", "C2", "637 pF", "L3", "796 nH", "RL", "50.0 \u03a9"}));

    // A new run with five poles: g = 0.618, 1.618, 2, 1.618, 0.618, rounded to E12.
    auto* series = FieldOf<QComboBox>(exact, "&Standard series");
    series->setCurrentText("E12");
    h.Type("leN", "5");
    h.Calculate();
    QCOMPARE(Rows(exact.Table()),
             (QStringList{"RS 50.0 \u03a9 50.0 \u03a9 ", "L1 492 nH 470 nH -4.44", "C2 515 pF 560 pF +8.73",
                          "L3 1.59 \u00b5H 1.5 \u00b5H -5.75", "C4 515 pF 560 pF +8.73", "L5 492 nH 470 nH -4.44",
                          "RL 50.0 \u03a9 50.0 \u03a9 +0.00"}));
    QCOMPARE(exact.BuiltLadder().branches.size(), size_t(5));
    QCOMPARE(exact.BuiltLadder().branches[2].L, 1.5e-6);
    QVERIFY(exact.Schematic()->Labels().contains("1.5 \u00b5H"));

    // A bad field names itself and leaves the last response on screen.
    const size_t shown = exact.Curves().NetFreq.size();
    WindowHarness::TypeInto(FieldOf<QLineEdit>(exact, "Q of &inductors"), "abc");
    QTest::keyClick(FieldOf<QLineEdit>(exact, "Q of &inductors"), Qt::Key_Return);
    QVERIFY2(exact.StatusText().startsWith("Q of inductors"), qPrintable(exact.StatusText()));
    QCOMPARE(exact.Curves().NetFreq.size(), shown);
    WindowHarness::TypeInto(FieldOf<QLineEdit>(exact, "Q of &inductors"), "0");
    WindowHarness::TypeInto(FieldOf<QLineEdit>(exact, "P&oints"), "100");
    QTest::keyClick(FieldOf<QLineEdit>(exact, "P&oints"), Qt::Key_Return);
    QVERIFY2(exact.StatusText().startsWith("Points must be"), qPrintable(exact.StatusText()));

    // The longest sweep runs on the worker with a progress bar; the window answers meanwhile.
    WindowHarness::TypeInto(FieldOf<QLineEdit>(exact, "P&oints"), "100001");
    QTest::keyClick(FieldOf<QLineEdit>(exact, "P&oints"), Qt::Key_Return);
    QVERIFY(exact.Busy());
    QVERIFY(exact.findChild<QProgressBar*>()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!exact.Busy(), 30000);
    QCOMPARE(exact.Curves().NetFreq.size(), size_t(100001));
    QVERIFY(!exact.findChild<QProgressBar*>()->isVisible());

    // The settings read back as the design file keeps them.
    const ExactResponseSettings settings = exact.Settings();
    QCOMPARE(settings.series, std::string("E12"));
    QCOMPARE(settings.points, 100001);
    QCOMPARE(settings.load, std::string("prototype"));
}

QTEST_MAIN(ExactResponseTest)
#include "tst_exact_response.moc"
