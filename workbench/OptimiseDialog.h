// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QDialog>
#include <optional>

#include "analysis/Mask.h"
#include "analysis/Optimiser.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace corvane {

class BackgroundJob;

// What the optimiser starts from: the designed ladder between its analysed terminations, the
// kinds' Q, the series of the build settings (the parts without a catalogue), the Tolerance tab's
// mask and its trial settings for the yield.
struct OptimiseInput {
    LadderModel designed;
    PartQuality quality;
    std::optional<ESeries> series;
    Mask mask;
    ToleranceSettings yield;
    double unitScale = 1.0; // the design's unit, in which the dialog states frequencies
    std::string unitText = "Hz";
};

// "Optimise…": the goal, the catalogue (or the build settings' series), pairs, and Keep and Tune
// per part; Run shows each part's designed and chosen value and the margins (and yields) before
// and after; Apply hands the result to the workbench, which builds the ladder from it.
class OptimiseDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptimiseDialog(QWidget* parent = nullptr);

    void SetInput(OptimiseInput input);
    // Starts the search with what the dialog shows, on the dialog's background job; false, with
    // the reason shown, when the settings cannot be read. The result shows when the job ends.
    bool Run();
    BackgroundJob* Job() const { return job_; }
    const std::optional<OptimiseResult>& Result() const { return result_; }

    QComboBox* Goal() const { return goal_; }
    QLineEdit* Catalogue() const { return catalogue_; }
    QCheckBox* Pairs() const { return pairs_; }
    QTableWidget* Parts() const { return parts_; }
    QString Summary() const;
    QString MaskSummary() const; // the mask used, and a warning where it has no stopband

signals:
    void Applied(const OptimiseResult& result);

private:
    void ShowParts();
    void ShowResult();
    OptimiseRequest Request() const;

    OptimiseInput input_;
    std::vector<PartKind> kinds_; // per row
    std::optional<OptimiseResult> result_;
    QComboBox* goal_;
    QLineEdit* catalogue_;
    QCheckBox* pairs_;
    QTableWidget* parts_;
    QLabel* summary_;
    QPushButton* apply_;
    BackgroundJob* job_;
};

} // namespace corvane
