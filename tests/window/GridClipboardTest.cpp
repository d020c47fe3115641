// SPDX-License-Identifier: Apache-2.0
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "window/GridClipboard.h"
#include "window/TFMain.h"

using namespace corvane;

// Ctrl+C and the context menu of the element grid copy its rows, tab-separated.
class TestGridClipboard : public QObject {
    Q_OBJECT

private:
    static QTableWidget* Grid(TFMain& window) { return window.findChild<QTableWidget*>(QStringLiteral("SG1")); }

    static QAction* CopyAction(QTableWidget* grid)
    {
        for (QAction* action : grid->actions()) {
            if (action->text() == QLatin1String("Copy")) return action;
        }
        return nullptr;
    }

    static void Calculate(TFMain& window)
    {
        QPushButton* calculate = window.findChild<QPushButton*>(QStringLiteral("BCalculate"));
        QVERIFY(calculate);
        QTest::mouseClick(calculate, Qt::LeftButton);
    }

private slots:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("stale")); }

    void gridText_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("cells"); // row-major, "" for no item
        QTest::addColumn<QString>("expected");
        const QString header = QStringLiteral("Poles\tC, [F]\tL, [H]\n");
        QTest::newRow("header only") << 4 << QStringList(12, QString()) << header;
        QTest::newRow("blank rows left out") << 3 << QStringList{"G1", "", "1.00e-06", "", "", "", "G3", "2.00e-09", ""}
                                             << header + QStringLiteral("G1\t\t1.00e-06\nG3\t2.00e-09\t\n");
        QTest::newRow("a row with one cell") << 1 << QStringList{"", "", "x"} << header + QStringLiteral("\t\tx\n");
    }

    void gridText()
    {
        QFETCH(int, rows);
        QFETCH(QStringList, cells);
        QFETCH(QString, expected);
        QTableWidget grid(rows, 3);
        grid.setHorizontalHeaderLabels({"Poles", "C, [F]", "L, [H]"});
        for (int i = 0; i < cells.size(); ++i) {
            if (!cells[i].isEmpty()) grid.setItem(i / 3, i % 3, new QTableWidgetItem(cells[i]));
        }
        QCOMPARE(GridClipboard::GridText(&grid), expected);
    }

    void ctrlCCopiesTheCalculatedRows()
    {
        TFMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Calculate(window);
        QTableWidget* grid = Grid(window);
        QVERIFY(grid);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        // Butterworth low-pass, N = 3, 10 MHz, 50 ohm, T: L1 = L3 = 7.96e-07 H, C2 = 6.37e-10 F.
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Poles\tC, [F]\tL, [H]\nG1\t\t7.96e-07\nG2\t6.37e-10\t\nG3\t\t7.96e-07\n"));
    }

    void contextMenuEntryCopiesTheSameText()
    {
        TFMain window;
        Calculate(window);
        QTableWidget* grid = Grid(window);
        QCOMPARE(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
        QAction* copy = CopyAction(grid);
        QVERIFY(copy);
        copy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), GridClipboard::GridText(grid));
        QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("G3\t\t7.96e-07\n")));
    }

    void beforeAnyRunOnlyTheHeaderIsCopied()
    {
        TFMain window;
        CopyAction(Grid(window))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Poles\tC, [F]\tL, [H]\n"));
    }

    void otherKeysAreLeftToTheGrid()
    {
        TFMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTableWidget* grid = Grid(window);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C);
        QTest::keyClick(grid, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("stale"));
    }
};

QTEST_MAIN(TestGridClipboard)
#include "GridClipboardTest.moc"
