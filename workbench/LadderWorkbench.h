// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QMainWindow>
#include <memory>
#include <optional>
#include <utility>

#include "analysis/NetworkResponse.h"
#include "export/DesignFile.h"
#include "workbench/ExactResponseJob.h"
#include "workbench/ExportHelper.h"
#include "workbench/ShownDesign.h"

class QLabel;
class QScrollArea;
class QTabWidget;

namespace corvane {

class BackgroundJob;
class BuiltSettings;
class DesignPanel;
class LadderSchematic;
class OptimiseDialog;
struct OptimiseResult;
class TuningPanel;
class PartsTable;
class ResponsePlots;
class TFMain;
class ToleranceTab;
class MeasuredOverlay;
class TimeTab;
class StressSettings;
class StressJob;
struct StressRequest;

// One window for the ladder as built: the design panel and the build settings docked on the
// left, the plots as tabs in the middle (response, group delay, tolerance, measured, Smith, time), the parts table on
// the right and the schematic below. It shows one design at a time, the design window's last
// run or the panel's own, and everything on screen belongs to it. The docks can be moved; their
// layout, the window's size and the tab shown are kept in QSettings, the settings with the design.
class LadderWorkbench : public QMainWindow {
    Q_OBJECT
public:
    enum Tab { ResponseTab, DelayTab, ToleranceTabIndex, MeasuredTabIndex, SmithTabIndex, TimeTabIndex };

    // With a design window the workbench follows its runs; without one, ShowRun feeds it.
    explicit LadderWorkbench(TFMain* design = nullptr, QWidget* parent = nullptr);
    ~LadderWorkbench() override;

    void ShowRun(const RunSnapshot& run);
    // Nothing shown any more (File → New): no ladder, curve or table of the old design stays.
    void DropDesign();
    const ShownDesign& Shown() const { return shown_; }
    bool ShowsPanelDesign() const { return shown_.From() == ShownDesign::Source::Panel; }

    ExactResponseSettings Settings() const;
    void SetSettings(const ExactResponseSettings& settings);
    void ShowTab(Tab tab);

    // Analyses with the settings on screen; sweeps above kInlinePoints go to the background job.
    // A window that is not shown waits until it is.
    void Recompute();
    // The build settings and the part stress's fields read for the shown design (rules/BuildSettings.h).
    BuildRequest ReadBuilt() const;
    static constexpr int kInlinePoints = 5001;

    // A measured Touchstone file over the design's curves; false with the reason in the status line.
    bool OpenMeasured(const QString& path);
    void CloseMeasured();

    // Exports of what the window shows, through the one export helper.
    bool ExportSpice(const QString& path);
    bool ExportTouchstone(const QString& path);
    bool ExportCsv(const QString& path);
    bool ExportImage(const QString& path, QSize size);

    DesignPanel* Panel() const { return panel_; }
    BuiltSettings* Built() const { return built_; }
    StressSettings* Stress() const { return stress_; }
    StressJob* StressRunner() const { return stressJob_; }
    ResponsePlots* Plots() const { return plots_; }
    PartsTable* Parts() const { return parts_; }
    LadderSchematic* Schematic() const { return schematic_; }
    ToleranceTab* Tolerance() const { return tolerance_; }
    corvane::MeasuredOverlay* Measured() const { return measured_; }
    corvane::TimeTab* Time() const { return time_; }
    TuningPanel* Tuning() const { return tuning_; }
    // "Optimise…": the dialog on the shown design, the Tolerance tab's mask and the build settings.
    OptimiseDialog* OpenOptimise();
    // Builds the ladder from the optimiser's choice until the design or the build settings change.
    void ApplyOptimised(const OptimiseResult& result);
    QTabWidget* Tabs() const { return tabs_; }
    BackgroundJob* ExactJobRunner() const { return exactJob_; }
    ExportHelper* Exports() const { return exports_.get(); }
    const NetworkCurves& Curves() const;
    const LadderModel& BuiltLadder() const { return shownJob_.ladder; }
    QString StatusText() const;
    QString ReadoutText() const;

signals:
    // The user changed a setting (for the design's modified mark).
    void SettingsChanged();
    // Curves, table and schematic are on screen for the shown design and settings.
    void Analysed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildDocks();
    void BuildStatusBar();
    void BuildMenu();
    void ConnectParts();
    void DesignFromPanel();
    void TakeRun();
    void NoteMainWindowShown();
    void ShowNothing(const QString& status, bool error);
    void ShowBuilt(const ExactJob& job, const LadderModel& designed, bool rounded, const PartLimits& limits);
    void StartStress(const ExactJob& job, const std::optional<StressRequest>& stress);
    void ShowCurves(const NetworkCurves& curves, const ExactJob& job, bool logarithmic);
    void ShowIdeal(const NetworkCurves& curves, const ExactJob& job);
    void ChoosePartFile(const QString& designator);
    void WidenParts();
    void EditPartModel(const QString& designator);
    void ShowStatus(const QString& text, bool error);
    void CompareMeasured();
    std::pair<double, double> FitTolerances() const;
    std::string Description() const;
    void TuneTo(const LadderModel& ladder);
    ExportHelper::Drawing CurrentDrawing() const;
    void ExportWith(const QString& caption, const QString& filter, const QString& suffix,
                    bool (LadderWorkbench::*exporter)(const QString&));

    ShownDesign shown_;
    std::optional<RunSnapshot> lastRun_; // kept while the panel's design is shown
    DesignPanel* panel_;
    BuiltSettings* built_;
    StressSettings* stress_;
    StressJob* stressJob_;
    QTabWidget* tabs_;
    ResponsePlots* plots_;
    ToleranceTab* tolerance_;
    corvane::MeasuredOverlay* measured_;
    corvane::TimeTab* time_;
    PartsTable* parts_;
    LadderSchematic* schematic_;
    TuningPanel* tuning_;
    OptimiseDialog* optimise_ = nullptr;
    std::optional<LadderModel> builtOverride_; // an optimised or tuned ladder in place of the rounded one
    bool tuningDrives_ = false; // the tuning boxes made the ladder: they keep their values
    QScrollArea* schematicArea_;
    QLabel* status_;
    QLabel* readout_;
    BackgroundJob* exactJob_;
    std::unique_ptr<ExportHelper> exports_; // not a QObject: owned here
    ExactJob shownJob_; // the analysis whose curves are on screen
    bool partsWidened_ = false; // the parts dock sized to its columns once
    bool stale_ = false; // runs or settings came while the window was closed
};

} // namespace corvane
