// SPDX-License-Identifier: Apache-2.0
#include "workbench/TuningPanel.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <cmath>

#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

// The unit a value reads best in: its power of a thousand, so that it shows as 1 to 999.
struct DisplayUnit {
    double scale;
    QString suffix;
};

// The box shows three decimals: up to six digits, with the prefix chosen after their rounding.
constexpr int kShownDigits = 6;

DisplayUnit UnitFor(double value, PartKind kind)
{
    const SiPrefix prefix = PrefixOf(value, kShownDigits);
    return {std::pow(10.0, prefix.exponent), QStringLiteral(" ") +
                                                 QString::fromUtf8(prefix.symbol ? prefix.symbol : "") +
                                                 QString::fromUtf8(UnitOf(kind))};
}

} // namespace

TuningPanel::TuningPanel(QWidget* parent) : QWidget(parent)
{
    grid_ = new QGridLayout(this);
    grid_->setColumnStretch(1, 1);
}

void TuningPanel::Clear()
{
    for (int r = 0; r < grid_->rowCount(); ++r) grid_->setRowStretch(r, 0);
    // Later, not now: whoever holds a list of the window's widgets may still walk it.
    for (QWidget* w : rows_) {
        w->hide();
        grid_->removeWidget(w);
        w->deleteLater();
    }
    rows_.clear();
    boxes_.clear();
    scales_.clear();
    designators_.clear();
}

bool TuningPanel::SameParts(const LadderModel& ladder) const
{
    std::size_t k = 0;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) {
            if (k >= boxes_.size() || part.designator != designators_[k]) return false;
            ++k;
        }
    return k == boxes_.size();
}

void TuningPanel::SetLadder(const LadderModel& ladder)
{
    if (SameParts(ladder)) {
        // The same parts with other values: the boxes stay and take the values.
        ladder_ = ladder;
        std::size_t k = 0;
        for (const ModelBranch& branch : ladder_.branches)
            for (const ModelPart& part : branch.parts) {
                QDoubleSpinBox* box = boxes_[k];
                const double scale = scales_[k++];
                const QSignalBlocker quiet(box);
                box->setRange(part.value / scale / 4.0, part.value / scale * 4.0);
                box->setSingleStep(part.value / scale / 100.0);
                box->setValue(part.value / scale);
            }
        return;
    }
    Clear();
    ladder_ = ladder;
    int row = 0;
    for (std::size_t b = 0; b < ladder_.branches.size(); ++b)
        for (std::size_t p = 0; p < ladder_.branches[b].parts.size(); ++p) {
            const ModelPart& part = ladder_.branches[b].parts[p];
            const DisplayUnit unit = UnitFor(part.value, part.kind);
            auto* label = new QLabel(QString::fromStdString(part.designator));
            auto* box = new QDoubleSpinBox;
            box->setDecimals(3);
            box->setRange(part.value / unit.scale / 4.0, part.value / unit.scale * 4.0);
            box->setSingleStep(part.value / unit.scale / 100.0);
            box->setSuffix(unit.suffix);
            box->setValue(part.value / unit.scale);
            box->setAccelerated(true);
            label->setBuddy(box);
            connect(box, &QDoubleSpinBox::valueChanged, this, [this, b, p, scale = unit.scale](double shown) {
                ladder_.branches[b].parts[p].value = shown * scale;
                emit Tuned(ladder_);
            });
            grid_->addWidget(label, row, 0);
            grid_->addWidget(box, row, 1);
            rows_.push_back(label);
            rows_.push_back(box);
            boxes_.push_back(box);
            scales_.push_back(unit.scale);
            designators_.push_back(part.designator);
            ++row;
        }
    grid_->setRowStretch(row, 1);
}

} // namespace corvane
