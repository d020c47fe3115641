// SPDX-License-Identifier: Apache-2.0
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include "window/TComboBox.h"

using namespace corvane;

// The editable drop-down: its index follows the typed text, and every change is reported once.
class ComboBoxTest : public QObject {
    Q_OBJECT
private slots:
    void typedTextSetsTheIndex_data();
    void typedTextSetsTheIndex();
    void typingKeepsTheTextAndCursor();
    void everyChangeIsReportedOnce();
    void arrowKeysChooseItems();
};

static void Fill(TComboBox& box)
{
    box.addItems({"LPF", "HPF", "BPF"});
    box.setCurrentIndex(0);
}

void ComboBoxTest::typedTextSetsTheIndex_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("index");
    QTest::newRow("an item") << "BPF" << 2;
    QTest::newRow("no item") << "XPF" << -1;
    QTest::newRow("an item's start") << "HP" << -1;
    QTest::newRow("other case is no item") << "hpf" << -1;
    QTest::newRow("item with a trailing blank") << "LPF " << -1;
    QTest::newRow("the first item again") << "LPF" << 0;
}

void ComboBoxTest::typedTextSetsTheIndex()
{
    QFETCH(QString, typed);
    QFETCH(int, index);
    TComboBox box;
    Fill(box);
    box.setCurrentIndex(1);
    box.lineEdit()->selectAll();
    QTest::keyClicks(box.lineEdit(), typed);
    QCOMPARE(box.currentText(), typed);
    QCOMPARE(box.currentIndex(), index);
    QCOMPARE(box.count(), 3);
}

void ComboBoxTest::typingKeepsTheTextAndCursor()
{
    TComboBox box;
    Fill(box);
    QLineEdit* edit = box.lineEdit();
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, "X");
    QCOMPARE(box.currentText(), QString("LXPF"));
    QCOMPARE(box.currentIndex(), -1);
    QCOMPARE(edit->cursorPosition(), 2);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(box.currentText(), QString("LPF"));
    QCOMPARE(box.currentIndex(), 0);
}

void ComboBoxTest::everyChangeIsReportedOnce()
{
    TComboBox box;
    Fill(box);
    QSignalSpy changed(&box, &TComboBox::Changed);
    box.setCurrentIndex(2);
    QCOMPARE(changed.count(), 1);
    box.setCurrentIndex(2);
    QCOMPARE(changed.count(), 1);
    box.lineEdit()->selectAll();
    QTest::keyClicks(box.lineEdit(), "AB");
    QCOMPARE(changed.count(), 3);
    box.setEditText("HPF");
    QCOMPARE(changed.count(), 4);
    QCOMPARE(box.currentIndex(), 1);
}

void ComboBoxTest::arrowKeysChooseItems()
{
    TComboBox box;
    Fill(box);
    QSignalSpy changed(&box, &TComboBox::Changed);
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentIndex(), 1);
    QCOMPARE(box.currentText(), QString("HPF"));
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentIndex(), 2);
    QCOMPARE(changed.count(), 2);
}

QTEST_MAIN(ComboBoxTest)
#include "ComboBoxTest.moc"
