// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QComboBox>

namespace corvane {

// An editable drop-down whose item index follows its text: a typed text that is no item
// leaves the index at -1, a typed item name selects that item. Changed() is emitted once
// for every change of the text or the index, whether made by the user or by code.
class TComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent = nullptr);

signals:
    void Changed();

private:
    void FollowText(const QString& text);
    void ReportChange();

    int reportedIndex_ = -1;
    QString reportedText_;
};

} // namespace corvane
