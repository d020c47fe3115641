// SPDX-License-Identifier: Apache-2.0
#include "workbench/LadderWorkbench.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "chart/PlotView.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/NumberText.h"
#include "window/QtText.h"
#include "window/TFMain.h"
#include "workbench/BackgroundJob.h"
#include "workbench/BuiltSettings.h"
#include "workbench/DesignPanel.h"
#include "workbench/ExportHelper.h"
#include "workbench/LadderSchematic.h"
#include "workbench/MeasuredFit.h"
#include "workbench/MeasuredOverlay.h"
#include "workbench/PartModelDialog.h"
#include "workbench/PartsTable.h"
#include "workbench/ResponsePlots.h"
#include "workbench/StressJob.h"
#include "workbench/StressSettings.h"
#include "workbench/TimeTab.h"
#include "workbench/ToleranceForm.h"
#include "workbench/ToleranceTab.h"
#include "workbench/TuningPanel.h"

namespace corvane {

namespace {

const char* const kCaption = "Ladder Workbench - Corvane";
const char* const kGeometryKey = "Workbench/geometry";
const char* const kStateKey = "Workbench/state";
const char* const kTabKey = "Workbench/tab";
// Bumped when the docks change, so that an older saved layout is not applied to new docks.
constexpr int kLayoutVersion = 1;
const QString kNoDesign = QStringLiteral("Press \"Calculate\" in the design window, or Design in the panel.");

QDockWidget* Dock(const QString& title, const QString& name, QWidget* content)
{
    auto* dock = new QDockWidget(title);
    dock->setObjectName(name);
    dock->setWidget(content);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    return dock;
}

} // namespace

LadderWorkbench::LadderWorkbench(TFMain* design, QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    setWindowTitle(tr(kCaption));
    if (design) setFont(design->font());
    exactJob_ = new BackgroundJob(this);
    exports_ = std::make_unique<ExportHelper>(this);
    panel_ = new DesignPanel(design);
    // The dock is titled "Design"; the panel names what it holds.
    panel_->setTitle(tr("Family and band"));
    built_ = new BuiltSettings;
    stress_ = new StressSettings;
    plots_ = new ResponsePlots(this);
    tolerance_ = new ToleranceTab;
    tabs_ = new QTabWidget;
    tabs_->setDocumentMode(true);
    tabs_->addTab(plots_->Response(), tr("&Response"));
    tabs_->addTab(plots_->Delay(), tr("&Group Delay"));
    tabs_->addTab(tolerance_, tr("T&olerance"));
    measured_ = new corvane::MeasuredOverlay(plots_, this);
    tabs_->addTab(measured_->Tab(), tr("&Measured"));
    tabs_->addTab(plots_->SmithTab(), tr("&Smith"));
    time_ = new corvane::TimeTab;
    tabs_->addTab(time_, tr("T&ime"));
    setCentralWidget(tabs_);
    BuildDocks();
    stressJob_ = new StressJob(parts_, this);
    BuildStatusBar();
    BuildMenu();
    ConnectParts();
    resize(1280, 800);
    QSettings settings;
    restoreGeometry(settings.value(kGeometryKey).toByteArray());
    // A layout the user left is kept as it was; only the first one is sized to the parts' columns.
    partsWidened_ = restoreState(settings.value(kStateKey).toByteArray(), kLayoutVersion);
    tabs_->setCurrentIndex(settings.value(kTabKey, 0).toInt());
    ShowNothing(kNoDesign, false);
    if (design) {
        connect(design, &TFMain::RunCompleted, this, [this, design] { ShowRun(SnapshotOf(*design)); });
        if (!design->State().GValues.empty()) ShowRun(SnapshotOf(*design));
    }
}

LadderWorkbench::~LadderWorkbench() = default;

void LadderWorkbench::BuildDocks()
{
    auto* left = new QWidget;
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(panel_);
    column->addWidget(built_);
    column->addWidget(stress_);
    column->addStretch(1);
    // A short screen scrolls the design column rather than squeezing its rows together.
    auto* scroll = new QScrollArea;
    scroll->setWidget(left);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(left->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width() + 4);
    addDockWidget(Qt::LeftDockWidgetArea, Dock(tr("Design"), QStringLiteral("DesignDock"), scroll));

    parts_ = new PartsTable;
    parts_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("L10B  999.999 nH  999 nH  +99.99")) + 40);
    addDockWidget(Qt::RightDockWidgetArea, Dock(tr("Parts"), QStringLiteral("PartsDock"), parts_));

    schematic_ = new LadderSchematic;
    schematic_->setFont(font());
    schematicArea_ = new QScrollArea;
    schematicArea_->setWidget(schematic_);
    schematicArea_->setWidgetResizable(true);
    schematicArea_->setBackgroundRole(QPalette::Base);
    schematicArea_->setMinimumHeight(schematic_->minimumSizeHint().height() + 24);
    addDockWidget(Qt::BottomDockWidgetArea, Dock(tr("Schematic"), QStringLiteral("SchematicDock"), schematicArea_));
    tuning_ = new TuningPanel;
    auto* tuningArea = new QScrollArea;
    tuningArea->setWidget(tuning_);
    tuningArea->setWidgetResizable(true);
    QDockWidget* tuningDock = Dock(tr("Tuning"), QStringLiteral("TuningDock"), tuningArea);
    addDockWidget(Qt::RightDockWidgetArea, tuningDock);
    QDockWidget* partsDock = findChild<QDockWidget*>(QStringLiteral("PartsDock"));
    tabifyDockWidget(partsDock, tuningDock);
    partsDock->raise(); // the parts table is what a new layout shows first
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
}

void LadderWorkbench::BuildStatusBar()
{
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("Status"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout_ = new QLabel;
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addWidget(status_, 1);
    statusBar()->addPermanentWidget(readout_);
    // The time tab and the fit pass their jobs' reports on with their own.
    for (BackgroundJob* job :
         {exactJob_, tolerance_->Job(), time_->Job(), measured_->Fit()->Job(), stressJob_->Job()}) {
        statusBar()->addPermanentWidget(job->ProgressBar());
        statusBar()->addPermanentWidget(job->CancelButton());
    }
    for (BackgroundJob* job : {exactJob_, tolerance_->Job()})
        connect(job, &BackgroundJob::Status, this, &LadderWorkbench::ShowStatus);
}

// The tolerance tab's part tolerances mark the fitted parts; 5 % where it holds none or a bad one.
std::pair<double, double> LadderWorkbench::FitTolerances() const
{
    constexpr double kDefaultPercent = 5.0;
    const auto orDefault = [](double percent) { return percent > 0.0 ? percent : kDefaultPercent; };
    try {
        const ToleranceSettings settings = tolerance_->Form()->ReadSettings();
        return {orDefault(settings.inductorPercent), orDefault(settings.capacitorPercent)};
    } catch (const std::exception&) {
        return {kDefaultPercent, kDefaultPercent};
    }
}

void LadderWorkbench::BuildMenu()
{
    QMenu* exports = menuBar()->addMenu(tr("&Export"));
    exports->addAction(tr("&SPICE Netlist..."), this, [this] {
        ExportWith(tr("Export SPICE Netlist"), tr("SPICE netlists (*.cir)"), QStringLiteral("cir"),
                   &LadderWorkbench::ExportSpice);
    });
    exports->addAction(tr("&Touchstone..."), this, [this] {
        ExportWith(tr("Export Touchstone"), tr("Touchstone files (*.s2p)"), QStringLiteral("s2p"),
                   &LadderWorkbench::ExportTouchstone);
    });
    exports->addAction(tr("Response as &CSV..."), this, [this] {
        ExportWith(tr("Export Response as CSV"), tr("CSV files (*.csv)"), QStringLiteral("csv"),
                   &LadderWorkbench::ExportCsv);
    });
    exports->addAction(tr("&Plot as PNG or SVG..."), this, [this] {
        const QString path = exports_->ExportImage(tr("Export Plot"), CurrentDrawing());
        if (!path.isEmpty()) ShowStatus(tr("Written: %1").arg(path), false);
    });
    QMenu* measured = menuBar()->addMenu(tr("&Measured"));
    measured->addAction(tr("&Open Measured File..."), this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Open Measured File"), QString(),
                                                          tr("Touchstone two-port files (*.s2p);;All files (*)"));
        if (!path.isEmpty()) OpenMeasured(path);
    });
    measured->addAction(tr("&Close Measured File"), this, &LadderWorkbench::CloseMeasured);
    QMenu* parts = menuBar()->addMenu(tr("&Parts"));
    parts->addAction(tr("&Optimise..."), this, &LadderWorkbench::OpenOptimise);
    QMenu* view = menuBar()->addMenu(tr("&View"));
    for (QDockWidget* dock : findChildren<QDockWidget*>()) view->addAction(dock->toggleViewAction());
}

void LadderWorkbench::ConnectParts()
{
    connect(plots_, &ResponsePlots::Readout, readout_, &QLabel::setText);
    connect(panel_, &DesignPanel::Edited, this, &LadderWorkbench::SettingsChanged);
    connect(panel_, &DesignPanel::DesignRequested, this, &LadderWorkbench::DesignFromPanel);
    connect(panel_, &DesignPanel::TakeRequested, this, [this] {
        TakeRun();
        emit SettingsChanged();
    });
    connect(built_, &BuiltSettings::Edited, this, &LadderWorkbench::SettingsChanged);
    connect(built_, &BuiltSettings::ApplyRequested, this, [this] {
        builtOverride_.reset();
        Recompute();
    });
    // The stress is of the ladder as built, an optimised or tuned one included: it stays.
    connect(stress_, &StressSettings::Edited, this, &LadderWorkbench::SettingsChanged);
    connect(stress_, &StressSettings::ApplyRequested, this, &LadderWorkbench::Recompute);
    connect(stressJob_, &StressJob::Status, this, &LadderWorkbench::ShowStatus);
    connect(stressJob_, &StressJob::ColumnsAppeared, this, &LadderWorkbench::WidenParts);
    connect(tuning_, &TuningPanel::Tuned, this, &LadderWorkbench::TuneTo);
    connect(parts_, &PartsTable::PartModelRequested, this, &LadderWorkbench::EditPartModel);
    connect(parts_, &PartsTable::PartFileRequested, this, &LadderWorkbench::ChoosePartFile);
    connect(parts_, &PartsTable::PartFileCleared, this,
            [this](const QString& part) { built_->SetPartFile(part.toStdString(), std::string()); });
    connect(tolerance_->Form(), &ToleranceForm::Edited, this, &LadderWorkbench::SettingsChanged);
    connect(tolerance_, &ToleranceTab::Status, this, &LadderWorkbench::ShowStatus);
    connect(time_, &corvane::TimeTab::Readout, readout_, &QLabel::setText);
    connect(time_, &corvane::TimeTab::Status, this, &LadderWorkbench::ShowStatus);
    connect(measured_->Fit(), &corvane::MeasuredFit::Status, this, &LadderWorkbench::ShowStatus);
    measured_->Fit()->SetToleranceSource([this] { return FitTolerances(); });
}

// The stress columns come beside the others: the parts dock is sized to show every column, as far
// as the window leaves room and at most half of it. (A dock that has not been laid out yet, or
// hides behind another's tab, reports no width to compare with, so it is sized regardless.)
void LadderWorkbench::WidenParts()
{
    auto* dock = findChild<QDockWidget*>(QStringLiteral("PartsDock"));
    if (!dock || dock->isFloating()) return;
    resizeDocks({dock}, {std::min(parts_->WidthOfColumns(), width() / 2)}, Qt::Horizontal);
    // The last column stretched over the old width keeps it until the columns are sized again,
    // once the new width is laid out.
    QTimer::singleShot(0, parts_, [table = parts_] { table->resizeColumnsToContents(); });
}

void LadderWorkbench::ChoosePartFile(const QString& designator)
{
    const auto& files = built_->PartFiles();
    const auto now = files.find(designator.toStdString());
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Vendor S-Parameter File for %1").arg(designator),
                                     now == files.end() ? QString() : QString::fromStdString(now->second),
                                     tr("Touchstone two-port files (*.s2p *.S2P *.ts);;All files (*)"));
    if (!path.isEmpty()) built_->SetPartFile(designator.toStdString(), path.toStdString());
}

void LadderWorkbench::EditPartModel(const QString& designator)
{
    const std::string part = designator.toStdString();
    PartModelDialog dialog(part, built_->PartBuildOf(part), shown_.UnitText(), shown_.UnitScale(), this);
    if (dialog.exec() == QDialog::Accepted) built_->SetPartBuild(part, dialog.Build());
}

void LadderWorkbench::ShowRun(const RunSnapshot& run)
{
    if (run.state.GValues.size() < 3) return;
    lastRun_ = run;
    // The panel's design stays on screen until "Take from main window" brings the run back.
    if (ShowsPanelDesign()) return;
    shown_ = ShownDesign(run);
    builtOverride_.reset();
    NoteMainWindowShown();
    Recompute();
}

// The panel keeps what the user typed, which may be another design than the one shown: say so.
void LadderWorkbench::NoteMainWindowShown()
{
    panel_->SetNote(tr("Shown: the design window's run. Design shows this panel's design."));
}

void LadderWorkbench::DropDesign()
{
    lastRun_.reset();
    shown_ = ShownDesign();
    builtOverride_.reset();
    exactJob_->Cancel();
    tolerance_->Job()->Cancel();
    ShowNothing(kNoDesign, false);
}

void LadderWorkbench::TakeRun()
{
    shown_ = lastRun_ ? ShownDesign(*lastRun_) : ShownDesign();
    builtOverride_.reset();
    if (shown_.Empty()) {
        ShowNothing(kNoDesign, false);
        return;
    }
    NoteMainWindowShown();
    Recompute();
}

void LadderWorkbench::DesignFromPanel()
{
    PanelDesign design;
    try {
        design = panel_->Design();
    } catch (const Failure& failure) {
        ShowStatus(ToQt(ErrorReportText(failure.what())), true);
        return;
    } catch (const std::exception& problem) {
        ShowStatus(ToQt(problem.what()), true);
        return;
    }
    const bool wasPanel = ShowsPanelDesign();
    panel_->SetNote(ToQt(design.note));
    shown_ = ShownDesign(std::move(design));
    builtOverride_.reset();
    if (!wasPanel) emit SettingsChanged();
    Recompute();
}

// Nothing of an earlier design stays behind: plots, table, schematic and the tolerance input.
void LadderWorkbench::ShowNothing(const QString& status, bool error)
{
    shownJob_ = ExactJob{};
    plots_->Clear();
    parts_->ClearParts();
    stressJob_->Stop();
    schematic_->Clear();
    tolerance_->SetInput(std::nullopt);
    time_->Clear();
    measured_->ClearComparison();
    built_->ShowDesign(shown_);
    ShowStatus(status, error);
}

const NetworkCurves& LadderWorkbench::Curves() const
{
    return plots_->Curves();
}

void LadderWorkbench::ShowTab(Tab tab)
{
    tabs_->setCurrentIndex(tab);
}

void LadderWorkbench::ShowStatus(const QString& text, bool error)
{
    status_->setText(text);
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, error ? QColor(180, 0, 0) : this->palette().color(QPalette::WindowText));
    status_->setPalette(palette);
}

bool LadderWorkbench::OpenMeasured(const QString& path)
{
    if (const std::optional<QString> problem = measured_->Open(path)) {
        ShowStatus(*problem, true);
        return false;
    }
    CompareMeasured();
    tabs_->setCurrentIndex(MeasuredTabIndex);
    ShowStatus(tr("Measured: %1").arg(measured_->FileName()), false);
    return true;
}

void LadderWorkbench::CloseMeasured()
{
    measured_->Close();
}

// The file over the curves on screen, when there are any.
void LadderWorkbench::CompareMeasured()
{
    if (shownJob_.freq.empty() || shown_.Empty()) {
        measured_->ClearComparison();
        return;
    }
    measured_->Compare(shownJob_.ladder, shownJob_.quality, shown_.Edges(), shownJob_.unitScale,
                       QString::fromStdString(shown_.UnitText()));
}

QString LadderWorkbench::StatusText() const
{
    return status_->text();
}

QString LadderWorkbench::ReadoutText() const
{
    return readout_->text();
}

void LadderWorkbench::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (stale_) Recompute();
}

void LadderWorkbench::closeEvent(QCloseEvent* event)
{
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kStateKey, saveState(kLayoutVersion));
    settings.setValue(kTabKey, tabs_->currentIndex());
    exactJob_->Cancel();
    tolerance_->Job()->Cancel();
    time_->Job()->Cancel();
    measured_->Fit()->Job()->Cancel();
    stressJob_->Job()->Cancel();
    QMainWindow::closeEvent(event);
}

} // namespace corvane
