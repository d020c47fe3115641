// SPDX-License-Identifier: Apache-2.0
#include "window/GridClipboard.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStringList>
#include <QTableWidget>

namespace corvane {

namespace {

QString CellText(const QTableWidgetItem* item)
{
    return item ? item->text() : QString();
}

bool IsCopyKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    return static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy);
}

} // namespace

GridClipboard::GridClipboard(QTableWidget* grid) : QObject(grid), grid_(grid)
{
    auto* copy = new QAction(QStringLiteral("Copy"), grid);
    connect(copy, &QAction::triggered, this, &GridClipboard::Copy);
    grid->addAction(copy);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    grid->installEventFilter(this);
}

QString GridClipboard::GridText(const QTableWidget* grid)
{
    QStringList header;
    for (int c = 0; c < grid->columnCount(); ++c) header << CellText(grid->horizontalHeaderItem(c));
    QString text = header.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        bool any = false;
        for (int c = 0; c < grid->columnCount(); ++c) {
            cells << CellText(grid->item(r, c));
            any = any || !cells.back().isEmpty();
        }
        if (any) text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void GridClipboard::Copy()
{
    QGuiApplication::clipboard()->setText(GridText(grid_));
}

bool GridClipboard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != grid_ || !IsCopyKey(event)) return QObject::eventFilter(watched, event);
    // Claim the key before any shortcut, then copy on the key press itself.
    event->accept();
    if (event->type() == QEvent::KeyPress) Copy();
    return true;
}

void InstallGridClipboard(QTableWidget* grid)
{
    new GridClipboard(grid);
}

} // namespace corvane
