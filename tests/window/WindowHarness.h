// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QStringList>
#include <vector>

#include "chart/TChart.h"
#include "window/TFMain.h"

using namespace corvane;

// A shown design window whose message boxes are recorded instead of shown, with helpers
// that drive its controls as a user would: typed keys, chosen items and clicks.
class WindowHarness {
public:
    WindowHarness()
    {
        window.SetMessageBoxHook([this](const MessageBoxRecord& box) { boxes.push_back(box); });
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        if (!QTest::qWaitForWindowExposed(&window)) qWarning("the window was not exposed");
        if (!QTest::qWaitForWindowActive(&window)) qWarning("the window did not become active");
    }

    template <typename T = QWidget>
    T* Child(const char* name) const
    {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        if (!child) qFatal("no child named %s", name);
        return child;
    }

    QLineEdit* Edit(const char* name) const { return Child<QLineEdit>(name); }
    QComboBox* Combo(const char* name) const { return Child<QComboBox>(name); }
    TChart* Chart() const { return Child<TChart>("chGain"); }
    QTableWidget* Grid() const { return Child<QTableWidget>("SG1"); }
    QString Text(const char* name) const { return Edit(name)->text(); }

    // Replaces the whole text of a field by typing, one keystroke at a time. A leading minus
    // is typed last, as a user does who wants no lone "-" in the field.
    void Type(const char* field, const QString& text) const { TypeInto(Edit(field), text); }

    static void TypeInto(QLineEdit* edit, const QString& text)
    {
        const bool negative = text.startsWith('-') && text.size() > 1;
        const QString typed = negative ? text.mid(1) : text;
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, typed);
        if (negative) {
            QTest::keyClick(edit, Qt::Key_Home);
            QTest::keyClick(edit, Qt::Key_Minus);
        }
    }

    // Types into a drop-down's text, as a user who writes instead of choosing.
    void TypeInCombo(const char* combo, const QString& text) const { TypeInto(Combo(combo)->lineEdit(), text); }

    // Chooses an item with the arrow keys, as a user on the keyboard would.
    void Choose(const char* combo, const QString& item) const
    {
        QComboBox* box = Combo(combo);
        const int target = box->findText(item);
        if (target < 0) qFatal("no item %s", qPrintable(item));
        box->setFocus();
        for (int guard = 0; box->currentIndex() != target && guard < 10; ++guard)
            QTest::keyClick(box, box->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }

    void Click(const char* button) const { QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton); }
    void Calculate() const { Click("BCalculate"); }

    QString Cell(int row, int column) const
    {
        const QTableWidgetItem* item = Grid()->item(row, column);
        return item ? item->text() : QString();
    }

    QStringList BoxTexts() const
    {
        QStringList texts;
        for (const MessageBoxRecord& box : boxes) texts << box.text;
        return texts;
    }

    int Points() const { return Chart()->PointCount(0); }

    TFMain window;
    std::vector<MessageBoxRecord> boxes;
};
