// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QObject>
#include <QString>

class QTableWidget;

namespace corvane {

// Copies a table's rows to the clipboard as spreadsheets take them: the header row first,
// cells separated by tabs, one line per row; rows without any text are left out. Ctrl+C on
// the table and the entry "Copy" of its context menu both copy. Owned by the table.
class GridClipboard : public QObject {
    Q_OBJECT
public:
    explicit GridClipboard(QTableWidget* grid);

    static QString GridText(const QTableWidget* grid);

public slots:
    void Copy();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableWidget* grid_;
};

// Gives the table its copy behaviour.
void InstallGridClipboard(QTableWidget* grid);

} // namespace corvane
