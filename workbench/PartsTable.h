// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QTableWidget>

#include <vector>

#include "design/LadderModel.h"
#include "design/PartRange.h"

namespace corvane {

// The parts of the ladder as built, one row each from the source to the load: designator, the
// value designed, the standard value and its change in percent ("—" and blank when the values
// are not rounded), and for a part hard to build the reason in brief, whole in its tooltip.
class PartsTable : public QTableWidget {
    Q_OBJECT
public:
    explicit PartsTable(QWidget* parent = nullptr);

    void ShowLadder(const LadderModel& designed, const LadderModel& built, bool rounded,
                    const std::vector<PartFlag>& flags = {});
    void ClearParts();
    // The cell's text, for tests and the clipboard.
    QString Cell(int row, int column) const;

private:
    struct Row;
    void AddRow(const Row& row);
};

} // namespace corvane
