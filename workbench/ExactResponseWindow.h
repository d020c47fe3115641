// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/DesignFile.h"
#include "filtermath/LadderAnalysis.h"
#include "run/DesignState.h"
#include "workbench/DesignPanel.h"
#include "workbench/ExactResponseJob.h"
#include "workbench/ResponseChart.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class QTimer;
class LadderSchematic;
class TFMain;

// What the window needs of a completed run of the design window.
struct RunSnapshot {
    DesignState state;
    int topologyIndex = 0;
    std::string topologyText; // "T - Type"
    std::string unitText; // "MHz"
    std::string title; // the chart title: model, two blanks, type
};
RunSnapshot SnapshotOf(const TFMain& design);

// The exact response of the ladder that the design window's last completed run designed,
// with standard part values, part Q, a chosen load and a sweep of its own; it follows every
// new run. Long sweeps are analysed on a worker thread with a progress bar and Cancel.
class ExactResponseWindow : public QWidget {
    Q_OBJECT
public:
    // With a design window the response follows its runs; without one, ShowRun feeds it.
    explicit ExactResponseWindow(TFMain* design = nullptr, QWidget* parent = nullptr);
    ~ExactResponseWindow() override;

    void ShowRun(const RunSnapshot& run);
    bool HasRun() const { return hasRun_; }
    // Whether the window shows the design panel's ladder rather than the last run's.
    bool ShowsPanelDesign() const { return panelDesign_.has_value(); }
    DesignPanel* Panel() const { return panel_; }

    ExactResponseSettings Settings() const;
    void SetSettings(const ExactResponseSettings& settings);

    // Exports of what the window shows; a failure is shown as the status message and false
    // is returned. The image is a PNG, or an SVG drawing for a path ending in ".svg".
    bool ExportSpice(const QString& path);
    bool ExportTouchstone(const QString& path);
    bool ExportCsv(const QString& path);
    bool ExportImage(const QString& path);

    // Analyses with the settings on screen; sweeps above kInlinePoints go to the worker. A
    // window that is not shown waits until it is.
    void Recompute();
    bool Busy() const { return worker_ != nullptr; }
    void Cancel();

    static constexpr int kInlinePoints = 5001;

    const NetworkCurves& Curves() const { return curves_; }
    const Ladder& BuiltLadder() const { return built_; }
    QString StatusText() const;
    QString ReadoutText() const;
    ResponseChart* Chart() const { return chart_; }
    LadderSchematic* Schematic() const { return schematic_; }
    QTableWidget* Table() const { return table_; }

signals:
    // The user changed a setting (for the design's modified mark).
    void SettingsChanged();
    // Curves and table are on screen for the current run and settings.
    void Analysed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Request;
    void BuildControls();
    void BuildExports(class QHBoxLayout* row);
    void ConnectControls();
    void FitSchematicArea();
    bool ReadRequest(Request& request);
    void FillTable(const Request& request);
    void StartWorker(const ExactJob& job, bool logarithmic);
    void WorkerFinished();
    void ShowCurves();
    void DesignFromPanel();
    void ShowFamilyResponse(const std::vector<double>& freq);
    void ShowRunAgain();
    void ShowUnit(const QString& unit);
    const std::string& ShownTitle() const;
    const std::string& ShownForm() const;
    const std::string& ShownUnit() const;
    void ShowReadout(int index);
    void ShowStatus(const QString& text, bool error);
    std::string Description() const;
    // Runs a file write; a failure becomes the status message and false.
    bool Written(const std::function<void()>& write);
    void ExportWith(const QString& filter, const QString& suffix,
                    bool (ExactResponseWindow::*exporter)(const QString&));

    RunSnapshot run_;
    bool hasRun_ = false;
    // Set while the panel's design is shown; the runs are then kept for "Take from main window".
    std::optional<PanelDesign> panelDesign_;
    DesignPanel* panel_;
    Ladder built_; // as in the table and the schematic
    NetworkCurves curves_; // on screen, analysed for shownJob_
    ExactJob shownJob_;
    bool logarithmic_ = false; // the sweep spacing of the curves on screen

    QComboBox* series_;
    QLineEdit* inductorQ_;
    QLineEdit* capacitorQ_;
    QComboBox* load_;
    QLineEdit* loadValue_;
    QLineEdit* start_;
    QLineEdit* stop_;
    QLineEdit* points_;
    QCheckBox* logarithmicBox_;
    QPushButton* apply_;
    QProgressBar* progress_;
    QPushButton* cancel_;
    QLabel* status_;
    QLabel* readout_;
    QLabel* startLabel_;
    QLabel* stopLabel_;
    ResponseChart* chart_;
    QTableWidget* table_;
    LadderSchematic* schematic_;
    class QScrollArea* schematicArea_;

    QThread* worker_ = nullptr;
    QTimer* progressTimer_;
    std::atomic<bool> cancelFlag_{false};
    std::atomic<int> done_{0};
    ExactJob workerJob_;
    bool workerLogarithmic_ = false;
    NetworkCurves workerCurves_;
    bool workerOk_ = false;
    std::string workerError_;
    bool pending_ = false; // a new request came while the worker ran
    bool stale_ = false; // runs or settings came while the window was closed
};
