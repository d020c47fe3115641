// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QTableWidget>

#include <string>

#include <vector>

#include "analysis/PartStress.h"
#include "design/LadderModel.h"
#include "design/PartRange.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// The parts of the ladder as built, one row each from the source to the load: designator, the
// value designed, the standard value and its change in percent ("—" and blank when the values
// are not rounded), and for a part hard to build the reason in brief, whole in its tooltip.
class PartsTable : public QTableWidget {
    Q_OBJECT
public:
    explicit PartsTable(QWidget* parent = nullptr);

    // The Model column shows each part's model in brief (ModelSummary), with the kinds' Q of quality.
    void ShowLadder(const LadderModel& designed, const LadderModel& built, bool rounded,
                    const std::vector<PartFlag>& flags = {}, const PartQuality& quality = {});
    void ClearParts();
    // The stress columns (Vpeak, Ipeak, Pdiss, Freq): the passband's worst case, the whole sweep's
    // in each cell's tooltip; parts over their kind's rating marked in red and under Check. Cleared
    // by ShowLadder and hidden by HideStress.
    void ShowStress(const BandStress& stress, const StressRatings& ratings);
    void HideStress();
    bool StressShown() const;
    // The width that shows every column on screen whole, frame and scroll bar included.
    int WidthOfColumns() const;
    // The cell's text, for tests and the clipboard.
    QString Cell(int row, int column) const;

signals:
    // The user asks to edit the part's model (a double click on its row, or the context menu).
    void PartModelRequested(const QString& designator);
    // The user asks for a vendor's file for the part (the context menu), or to build it without one.
    void PartFileRequested(const QString& designator);
    void PartFileCleared(const QString& designator);

private:
    struct Row;
    void ShowMenu(const QPoint& at);
    QString PartAt(int row) const;
    void AddRow(const Row& row);
    void TipStressHeaders();
    void ShowPartStress(int row, const PartStress& shown, const PartStress& sweep, bool passband,
                        const StressRatings& ratings);
};

} // namespace corvane
