// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QGroupBox>
#include <optional>

#include "analysis/Mask.h"
#include "analysis/Tolerance.h"
#include "export/DesignFile.h"

class QComboBox;
class QLineEdit;

namespace corvane {

// The mask the user asked for, in dB and the design's unit.
struct MaskRequest {
    std::optional<double> maxPassLossDb;
    std::optional<double> stopFreq;
    std::optional<double> stopAttDb;
    Mask bands; // the mask field's, in hertz
};

// The tolerance tab's settings: trials, tolerances, distribution, seed and the mask.
class ToleranceForm : public QGroupBox {
    Q_OBJECT
public:
    enum class Input { Trials, InductorTol, CapacitorTol, Seed, MaxPassLoss, StopFreq, StopAtt, Mask };
    explicit ToleranceForm(QWidget* parent = nullptr);

    ToleranceFileSettings Settings() const;
    void SetSettings(const ToleranceFileSettings& settings);
    void SetUnit(const QString& unit);

    // The fields read; InputError naming the first field that cannot be used.
    ToleranceSettings ReadSettings() const;
    MaskRequest ReadMask(double unitScale) const;

    QLineEdit* Edit(Input input) const { return edits_[static_cast<size_t>(input)]; }
    QComboBox* DistributionBox() const { return distribution_; }
    QComboBox* CurveBox() const { return curve_; }

signals:
    void Edited();
    void RunRequested();

private:
    std::vector<QLineEdit*> edits_;
    QComboBox* distribution_;
    QComboBox* curve_;
};

} // namespace corvane
