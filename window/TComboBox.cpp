// SPDX-License-Identifier: Apache-2.0
#include "window/TComboBox.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace corvane {

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would turn a typed "H" into "HPF" and hide the -1 index case.
    setCompleter(nullptr);
    connect(this, &QComboBox::editTextChanged, this, &TComboBox::FollowText);
    connect(this, &QComboBox::currentIndexChanged, this, &TComboBox::ReportChange);
}

void TComboBox::FollowText(const QString& text)
{
    const int match = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (match != currentIndex()) {
        const QSignalBlocker quiet(this);
        if (match >= 0) {
            setCurrentIndex(match);
        } else {
            // QComboBox empties its text when the index goes to -1; put the typed text back.
            const int cursor = lineEdit()->cursorPosition();
            setCurrentIndex(-1);
            lineEdit()->setText(text);
            lineEdit()->setCursorPosition(cursor);
        }
    }
    ReportChange();
}

void TComboBox::ReportChange()
{
    const int index = currentIndex();
    const QString text = currentText();
    if (index == reportedIndex_ && text == reportedText_) return;
    reportedIndex_ = index;
    reportedText_ = text;
    emit Changed();
}

} // namespace corvane
