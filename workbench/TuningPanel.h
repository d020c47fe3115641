// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QWidget>
#include <string>
#include <vector>

#include "design/LadderModel.h"

class QDoubleSpinBox;
class QGridLayout;

namespace corvane {

// Live tuning: one spin box per part of the ladder as built, in the part's own unit (nH, pF...).
// Every change, a step of the arrows or of the wheel as well as a typed value, hands the ladder
// with the new value on at once, so that the response follows as the value moves.
class TuningPanel : public QWidget {
    Q_OBJECT
public:
    explicit TuningPanel(QWidget* parent = nullptr);

    // The ladder whose values the boxes start from; the boxes are made again.
    void SetLadder(const LadderModel& ladder);
    const LadderModel& Ladder() const { return ladder_; }
    QDoubleSpinBox* Box(int index) const { return boxes_.at(static_cast<std::size_t>(index)); }
    int BoxCount() const { return static_cast<int>(boxes_.size()); }

signals:
    void Tuned(const LadderModel& ladder);

private:
    void Clear();
    bool SameParts(const LadderModel& ladder) const;

    LadderModel ladder_;
    QGridLayout* grid_;
    std::vector<QDoubleSpinBox*> boxes_;
    std::vector<double> scales_; // henries or farads per unit shown
    std::vector<std::string> designators_;
    std::vector<QWidget*> rows_;
};

} // namespace corvane
