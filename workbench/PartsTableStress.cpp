// SPDX-License-Identifier: Apache-2.0
// The parts table's stress columns.
#include <QColor>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

#include "workbench/PartsTable.h"
#include "workbench/PartsTableColumns.h"

namespace corvane {

namespace {

// The Check cell as the ladder's flags left it, before any rating was marked.
constexpr int kFlagsTextRole = Qt::UserRole;
constexpr int kFlagsTipRole = Qt::UserRole + 1;
const QColor kOverRating(0xb0, 0x20, 0x20);

} // namespace

void PartsTable::TipStressHeaders()
{
    const QString range = tr("The worst case over the sweep's points in the passband, at the power and load VSWR set; "
                             "each cell's tooltip adds the whole sweep's");
    const QString tips[] = {
        tr("Peak voltage across the part. ") + range, tr("Peak current through the part. ") + range,
        tr("Power lost in the part's resistance. ") + range,
        tr("Where a capacitor's voltage or an inductor's current peaks, the figure it is rated by")};
    for (int c = kVoltageColumn; c <= kFrequencyColumn; ++c)
        if (QTableWidgetItem* header = horizontalHeaderItem(c)) header->setToolTip(tips[c - kVoltageColumn]);
}

void PartsTable::HideStress()
{
    for (int c = kVoltageColumn; c <= kFrequencyColumn; ++c) setColumnHidden(c, true);
}

bool PartsTable::StressShown() const
{
    return !isColumnHidden(kVoltageColumn);
}

int PartsTable::WidthOfColumns() const
{
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < columnCount(); ++c)
        if (!isColumnHidden(c)) width += std::max(sizeHintForColumn(c), horizontalHeader()->sectionSizeHint(c));
    return width;
}

void PartsTable::ShowStress(const BandStress& stress, const StressRatings& ratings)
{
    // A sweep that misses the passband has only its own worst case to show.
    const bool passband = stress.passbandPoints > 0;
    const std::vector<PartStress>& shown = passband ? stress.passband : stress.sweep;
    setUpdatesEnabled(false);
    for (int row = 0; row < rowCount(); ++row) {
        const std::string part = Cell(row, 0).toStdString();
        for (size_t k = 0; k < shown.size() && k < stress.sweep.size(); ++k)
            if (shown[k].part == part) ShowPartStress(row, shown[k], stress.sweep[k], passband, ratings);
    }
    for (int c = kVoltageColumn; c <= kFrequencyColumn; ++c) setColumnHidden(c, false);
    // The ratings' marks widen Check, and Model, stretched while it was the last column, is no longer.
    resizeColumnsToContents();
    setUpdatesEnabled(true);
}

void PartsTable::ShowPartStress(int row, const PartStress& shown, const PartStress& sweep, bool passband,
                                const StressRatings& ratings)
{
    const QString range =
        passband ? tr("Over the passband") : tr("No sweep point lies in the passband; over the sweep");
    const auto cell = [&](int column, const QString& text, const QString& tip) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(tip);
        setItem(row, column, item);
        return item;
    };
    const auto figure = [&](int column, double value, double hz, double whole, double wholeHz, const char* unit) {
        return cell(column, EngineeringCell(value, unit),
                    tr("%1: %2 at %3\nOver the whole sweep: %4 at %5")
                        .arg(range, EngineeringCell(value, unit), EngineeringCell(hz, "Hz"), EngineeringCell(whole, unit), EngineeringCell(wholeHz, "Hz")));
    };
    const bool capacitor = shown.kind == PartKind::Capacitor;
    QTableWidgetItem* voltage = figure(kVoltageColumn, shown.vPeak, shown.vHz, sweep.vPeak, sweep.vHz, "V");
    QTableWidgetItem* current = figure(kCurrentColumn, shown.iPeak, shown.iHz, sweep.iPeak, sweep.iHz, "A");
    figure(kDissipationColumn, shown.pDiss, shown.pHz, sweep.pDiss, sweep.pHz, "W");
    cell(kFrequencyColumn, EngineeringCell(RatedPeakHz(shown), "Hz"),
         capacitor ? tr("Where the voltage across the capacitor peaks")
                   : tr("Where the current through the inductor peaks"));
    QTableWidgetItem* check = item(row, kCheckColumn);
    if (!check) return;
    if (!check->data(kFlagsTextRole).isValid()) {
        check->setData(kFlagsTextRole, check->text());
        check->setData(kFlagsTipRole, check->toolTip());
    }
    QString text = check->data(kFlagsTextRole).toString();
    QString tip = check->data(kFlagsTipRole).toString();
    const double rating = ExceededRating(shown, ratings);
    if (rating > 0.0) {
        const QString rated = EngineeringCell(rating, capacitor ? "V" : "A", true);
        const QString brief = tr("over %1 rating").arg(rated);
        const QString reason = capacitor ? tr("Peak voltage %1 exceeds the %2 rating.").arg(voltage->text(), rated)
                                         : tr("Peak current %1 exceeds the %2 rating.").arg(current->text(), rated);
        text += (text.isEmpty() ? "" : "; ") + brief;
        tip += (tip.isEmpty() ? "" : "\n") + reason;
        QTableWidgetItem* over = capacitor ? voltage : current;
        over->setForeground(kOverRating);
        over->setToolTip(reason + '\n' + over->toolTip());
    }
    check->setText(text);
    check->setToolTip(tip);
    if (rating > 0.0 || !tip.isEmpty())
        check->setForeground(kOverRating);
    else
        check->setForeground(QBrush());
}

} // namespace corvane
