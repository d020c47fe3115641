// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/Tolerance.h"
#include "run/DesignState.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace corvane {

class BackgroundJob;
class MarginHistogramView;
class PlotView;
class ToleranceForm;

// The ladder the tolerance tab perturbs: the workbench's ladder as built, over its sweep.
struct ToleranceInput {
    LadderModel ladder;
    PartQuality quality;
    std::vector<double> freq; // the design's unit, ascending
    double unitScale = 1.0;
    QString unitText;
    QString title;
    // The design's mask of the shorthands: a passband loss limit, a stop frequency (the design's unit)
    // and its attenuation.
    std::function<Mask(std::optional<double>, std::optional<double>, std::optional<double>)> mask;
};

// Monte Carlo tolerance analysis of the ladder as built: the 5-95 % envelope of |S21| or |S11|
// with its extremes over the nominal curve and the mask drawn on it, the yield with its
// interval, the worst-margin histogram and the sorted sensitivities. Runs as a background job.
class ToleranceTab : public QWidget {
    Q_OBJECT
public:
    explicit ToleranceTab(QWidget* parent = nullptr);
    ~ToleranceTab() override;

    void SetInput(std::optional<ToleranceInput> input);
    // Reads the settings and starts the trials; a bad setting is shown as the status.
    void Start();
    BackgroundJob* Job() const { return job_; }
    ToleranceForm* Form() const { return form_; }
    PlotView* Envelope() const { return envelope_; }
    QTableWidget* SensitivityTable() const { return sensitivity_; }
    bool HasResult() const { return result_.has_value(); }
    const ToleranceResult& Result() const { return *result_; }
    QString YieldText() const;

signals:
    void Status(const QString& text, bool error);
    // A run ended: results on screen, or cancelled, or failed.
    void Finished();

private:
    struct Run;
    void Build();
    void ShowResult();
    void ShowCurves();
    void ShowMask();
    void ShowSensitivities();

    ToleranceForm* form_;
    QPushButton* run_;
    QLabel* yield_;
    PlotView* envelope_;
    int band_, min_, max_, nominal_;
    std::vector<int> maskCurves_; // one per band drawn, the first named
    MarginHistogramView* histogram_;
    QTableWidget* sensitivity_;
    BackgroundJob* job_;
    std::optional<ToleranceInput> input_;
    std::optional<ToleranceResult> result_;
    Mask shownMask_;
    double shownScale_ = 1.0;
    QString shownUnit_;
};

} // namespace corvane
