// SPDX-License-Identifier: Apache-2.0
#include "workbench/PartsTable.h"

#include <QColor>
#include <QHeaderView>
#include <QMenu>
#include <cstdio>
#include <vector>

#include "analysis/NetworkResponse.h"
#include "analysis/PartModels.h"
#include "workbench/PartsTableColumns.h"

namespace corvane {

namespace {

const QString kNotRounded = QStringLiteral("\u2014");

QString Change(double from, double to)
{
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f", PercentChange(from, to));
    return QString::fromLatin1(text);
}

QString ModelTip(const ModelPart& part)
{
    if (part.measured) return QString::fromStdString(part.measured->file);
    return part.model ? PartsTable::tr("Its own model; double-click to edit")
                      : PartsTable::tr("The model of its kind; double-click to give it its own");
}

} // namespace

struct PartsTable::Row {
    QString designator, designed, standard, change, check, reason, model, modelTip;
};

PartsTable::PartsTable(QWidget* parent) : QTableWidget(0, kColumns, parent)
{
    setHorizontalHeaderLabels({tr("Part"), tr("Designed"), tr("Standard"), tr("Change, %"), tr("Check"), tr("Model"),
                               tr("Vpeak"), tr("Ipeak"), tr("Pdiss"), tr("Freq")});
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &PartsTable::ShowMenu);
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const QString part = PartAt(row);
        if (!part.isEmpty()) emit PartModelRequested(part);
    });
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Sized once per fill: sizing to contents on every cell set lays out the whole column each time.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    TipStressHeaders();
    HideStress();
}

void PartsTable::AddRow(const Row& row)
{
    const int r = rowCount();
    insertRow(r);
    const QString cells[kColumns] = {row.designator, row.designed, row.standard, row.change, row.check, row.model};
    for (int c = 0; c < kColumns; ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c >= 1 && c <= 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (!row.reason.isEmpty()) {
            item->setToolTip(row.reason);
            item->setForeground(QColor(0xb0, 0x20, 0x20));
        }
        if (c == kModelColumn && !row.modelTip.isEmpty()) item->setToolTip(row.modelTip);
        setItem(r, c, item);
    }
}

QString PartsTable::PartAt(int row) const
{
    const QString part = Cell(row, 0);
    return part.startsWith('L') || part.startsWith('C') ? part : QString();
}

void PartsTable::ShowMenu(const QPoint& at)
{
    const QString part = PartAt(rowAt(at.y()));
    if (part.isEmpty()) return;
    QMenu menu(this);
    QAction* model = menu.addAction(tr("Model of %1\u2026").arg(part));
    QAction* choose = menu.addAction(tr("Vendor S-Parameter File for %1\u2026").arg(part));
    QAction* clear = menu.addAction(tr("Build %1 Without a File").arg(part));
    QAction* picked = menu.exec(viewport()->mapToGlobal(at));
    if (picked == model) emit PartModelRequested(part);
    if (picked == choose) emit PartFileRequested(part);
    if (picked == clear) emit PartFileCleared(part);
}

void PartsTable::ShowLadder(const LadderModel& designed, const LadderModel& built, bool rounded,
                            const std::vector<PartFlag>& flags, const PartQuality& quality)
{
    // A part may be flagged for more than one reason: the briefs joined, the reasons one a line.
    const auto flagged = [&flags](const std::string& designator, QString& check, QString& reason) {
        for (const PartFlag& flag : flags) {
            if (flag.designator != designator) continue;
            check += (check.isEmpty() ? "" : "; ") + QString::fromStdString(flag.brief);
            reason += (reason.isEmpty() ? "" : "\n") + QString::fromStdString(flag.reason);
        }
    };
    setUpdatesEnabled(false);
    setRowCount(0);
    AddRow({QStringLiteral("RS"), EngineeringCell(designed.RS, "\u03a9"), EngineeringCell(built.RS, "\u03a9"),
            QString(), QString(), QString(), QString(), QString()});
    for (size_t i = 0; i < built.branches.size() && i < designed.branches.size(); ++i) {
        const std::vector<ModelPart>& from = designed.branches[i].parts;
        const std::vector<ModelPart>& to = built.branches[i].parts;
        for (size_t k = 0; k < to.size() && k < from.size(); ++k) {
            const char* unit = UnitOf(to[k].kind);
            Row row{QString::fromStdString(to[k].designator),
                    EngineeringCell(from[k].value, unit),
                    rounded ? EngineeringCell(to[k].value, unit, true) : kNotRounded,
                    rounded ? Change(from[k].value, to[k].value) : QString(),
                    QString(),
                    QString(),
                    QString::fromStdString(ModelSummary(built, to[k], quality)),
                    ModelTip(to[k])};
            flagged(to[k].designator, row.check, row.reason);
            AddRow(row);
        }
    }
    AddRow({QStringLiteral("RL"), EngineeringCell(designed.RL, "\u03a9"), EngineeringCell(built.RL, "\u03a9"),
            built.RL != designed.RL ? Change(designed.RL, built.RL) : QString(), QString(), QString(), QString(),
            QString()});
    resizeColumnsToContents();
    setUpdatesEnabled(true);
}

void PartsTable::ClearParts()
{
    setRowCount(0);
}

QString PartsTable::Cell(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

} // namespace corvane
