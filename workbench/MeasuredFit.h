// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QDialog>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "analysis/MeasuredFigures.h"
#include "analysis/PartFit.h"
#include "design/DesignBand.h"
#include "design/LadderModel.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace corvane {

class BackgroundJob;

// What the user asks of a fit: the band as typed in the design's unit (empty: the file's own
// ends), and whether a common inductor Q and a common stray capacitance are fitted too.
struct FitOptions {
    QString start, stop;
    bool fitQ = false;
    bool fitStray = false;
};

// The measured file and the design as built that a fit compares.
struct FitInput {
    std::vector<MeasuredPoint> points;
    QString fileName;
    LadderModel built;
    PartQuality quality;
    DesignBand band;
    double unitScale = 1.0; // hertz per unit of the band fields
    QString unitText;
};

// "Fit…": the band and what else to fit, with OK and Cancel.
class FitDialog : public QDialog {
    Q_OBJECT
public:
    FitDialog(const FitOptions& options, const QString& unitText, QWidget* parent = nullptr);
    FitOptions Options() const;

private:
    QLineEdit* start_;
    QLineEdit* stop_;
    QCheckBox* fitQ_;
    QCheckBox* fitStray_;
};

// Which part is off: the fit of the ladder's part values to the measured file, run on its own
// background job (progress by iterations, Cancel), and its result per part: designed and fitted
// value, change, standard error, confidence and a mark where the change exceeds the tolerance.
// A refusal (the file short of the passband, ports swapped) names the file in the status line.
class MeasuredFit : public QObject {
    Q_OBJECT
public:
    explicit MeasuredFit(QObject* parent = nullptr);

    // The part of the Measured tab that belongs to the fit: "Fit…", the summary and the table.
    QWidget* Panel() const { return panel_; }
    QPushButton* FitButton() const { return button_; }
    QTableWidget* Table() const { return table_; }
    BackgroundJob* Job() const { return job_; }

    // The parts' tolerances for the outside-tolerance marks, in per cent (inductors, capacitors).
    void SetToleranceSource(std::function<std::pair<double, double>()> source) { tolerances_ = std::move(source); }
    // A new file or design: any result on screen belongs to the old one and goes. None: no fit possible.
    void SetInput(std::optional<FitInput> input);
    // Runs the fit with these options; a field that cannot be read is shown as the status.
    void Start(const FitOptions& options);
    const std::optional<FitResult>& Result() const { return result_; }
    QString SummaryText() const;

signals:
    void Status(const QString& text, bool error);
    // A fit ended: its result on screen, or refused, cancelled or failed.
    void Finished();

private:
    void AskAndStart();
    FitRequest Request(const FitOptions& options) const;
    void Show(const FitResult& result);
    void ShowRefusal(const QString& text);
    void ClearResult(const QString& summary);

    QWidget* panel_;
    QPushButton* button_;
    QLabel* summary_;
    QTableWidget* table_;
    BackgroundJob* job_;
    std::optional<FitInput> input_;
    std::optional<FitResult> result_;
    FitOptions options_;
    std::function<std::pair<double, double>()> tolerances_;
};

} // namespace corvane
