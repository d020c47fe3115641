// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QString>
#include <QWidget>
#include <atomic>
#include <exception>
#include <memory>
#include <vector>

#include "analysis/Tolerance.h"
#include "workbench/ExactResponseWindow.h"

class QAreaSeries;
class QChart;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class QTimer;
class QValueAxis;
class TFMain;

// Bars of the worst-margin distribution: red below zero (trials that miss the mask), green at
// and above.
class MarginHistogramView : public QWidget {
    Q_OBJECT
public:
    explicit MarginHistogramView(QWidget* parent = nullptr);
    void SetHistogram(const MarginHistogram& histogram, bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MarginHistogram histogram_;
    bool shown_ = false;
};

// Monte Carlo tolerance analysis of the ladder that the design window's last completed run
// designed: the envelope of |S21| or |S11| as a shaded 5-95 % band with the minimum and maximum
// over the nominal curve, the yield against a mask, the distribution of the worst margin and the
// sorted sensitivities. The trials run on a worker thread with a progress bar and Cancel.
class ToleranceWindow : public QWidget {
    Q_OBJECT

public:
    explicit ToleranceWindow(TFMain* design = nullptr, QWidget* parent = nullptr);
    ~ToleranceWindow() override;

    void ShowRun(const RunSnapshot& run);
    bool HasRun() const { return hasRun_; }

    // Reads the settings and starts the trials; a bad setting is shown as the status.
    void Start();
    void Cancel();
    bool Busy() const { return worker_ != nullptr; }

    // The inputs by role, for tests and for a user's keyboard.
    enum class Input { Trials, InductorTol, CapacitorTol, Seed, MaxPassLoss, StopFreq, StopAtt, QL, QC, Points };
    QLineEdit* Edit(Input input) const;
    QComboBox* DistributionBox() const { return distribution_; }
    QComboBox* SeriesBox() const { return series_; }
    QComboBox* CurveBox() const { return curve_; }

    const ToleranceResult& Result() const { return result_; }
    bool HasResult() const { return hasResult_; }
    QString YieldText() const;
    QString StatusText() const;
    QTableWidget* SensitivityTable() const { return sensitivity_; }
    QProgressBar* Progress() const { return progress_; }
    QChart* Chart() const { return chart_; }

signals:
    // A run ended: results on screen, or cancelled, or failed (see StatusText).
    void Finished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Job;
    void BuildControls();
    bool ReadJob(Job& job);
    void WorkerFinished();
    void ShowResult();
    void ShowCurves();
    void ShowStatus(const QString& text);

    RunSnapshot run_;
    bool hasRun_ = false;
    ToleranceResult result_;
    bool hasResult_ = false;
    double unitScale_ = 1.0;

    std::vector<QLineEdit*> edits_;
    QComboBox* distribution_;
    QComboBox* series_;
    QComboBox* curve_;
    QPushButton* start_;
    QPushButton* cancel_;
    QProgressBar* progress_;
    QLabel* status_;
    QLabel* yield_;
    QChart* chart_;
    QValueAxis* frequencyAxis_;
    QValueAxis* levelAxis_;
    QLineSeries* nominal_;
    QLineSeries* lowLine_;
    QLineSeries* highLine_;
    QLineSeries* minLine_;
    QLineSeries* maxLine_;
    QAreaSeries* band_;
    MarginHistogramView* histogram_;
    QTableWidget* sensitivity_;

    QThread* worker_ = nullptr;
    QTimer* progressTimer_;
    std::shared_ptr<Job> job_;
};

// Analysis → Tolerance Analysis… (Ctrl+T) opens the workbench's one tolerance window.
class MainWindow;
void AttachToleranceWindow(MainWindow& main);
ToleranceWindow* ToleranceWindowOf(const MainWindow& main);
