// SPDX-License-Identifier: Apache-2.0
#include "workbench/ExactResponseWindow.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>
#include <optional>

#include "analysis/InputRules.h"
#include "run/LadderOfRun.h"
#include "export/AtomicFile.h"
#include "export/ExactResponseCsv.h"
#include "export/SpiceNetlist.h"
#include "export/Touchstone.h"
#include "filtermath/ESeries.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/NumberText.h"
#include "filtermath/SelectFilter.h"
#include "run/Ports.h"
#include "run/Rules.h"
#include "window/TFMain.h"
#include "workbench/LadderSchematic.h"

namespace {

const char* const kCaption = "Exact Ladder Response - Corvane";
const char* const kGeometryKey = "ExactResponseWindow/geometry";
const char* const kSeriesNames[] = {"none", "E6", "E12", "E24", "E48", "E96", "E192"};
const char* const kLoadNames[] = {"prototype", "source", "value"};
constexpr int kTableColumns = 5;

QString ToQt(const std::string& text)
{
    return QString::fromStdString(text);
}

QString Engineering(double value, const char* unit)
{
    return ToQt(EngineeringText(value, unit));
}

std::string TextOf(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

std::string Std(const QString& text)
{
    return text.toStdString();
}

} // namespace

struct ExactResponseWindow::Request {
    ExactJob job;
    Ladder designed;
    bool rounded = false;
};

RunSnapshot SnapshotOf(const TFMain& design)
{
    RunSnapshot run;
    run.state = design.State();
    const FormPort& form = design.Form();
    run.topologyIndex = form.ItemIndex(Selector::Topology);
    run.topologyText = form.SelectorText(Selector::Topology);
    run.unitText = form.SelectorText(Selector::Scale);
    run.title = ChartTitle(form.SelectorText(Selector::Model), form.SelectorText(Selector::Type));
    return run;
}

ExactResponseWindow::ExactResponseWindow(TFMain* design, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(tr(kCaption));
    if (design) setFont(design->font());
    panel_ = new DesignPanel(design);
    BuildControls();
    ConnectControls();
    resize(1280, 780);
    restoreGeometry(QSettings().value(kGeometryKey).toByteArray());
    if (design) {
        connect(design, &TFMain::RunCompleted, this, [this, design] { ShowRun(SnapshotOf(*design)); });
        if (!design->State().GValues.empty()) ShowRun(SnapshotOf(*design));
    }
}

ExactResponseWindow::~ExactResponseWindow()
{
    if (isVisible()) QSettings().setValue(kGeometryKey, saveGeometry());
    Cancel();
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
}

void ExactResponseWindow::BuildControls()
{
    auto* settings = new QGroupBox(tr("Ladder as built"));
    auto* form = new QHBoxLayout(settings);
    const auto labelled = [form](const QString& text, QWidget* field) {
        auto* label = new QLabel(text);
        label->setBuddy(field);
        form->addWidget(label);
        form->addWidget(field);
        return label;
    };
    series_ = new QComboBox;
    series_->addItems({tr("None"), "E6", "E12", "E24", "E48", "E96", "E192"});
    labelled(tr("&Standard series:"), series_);
    inductorQ_ = new QLineEdit(QStringLiteral("0"));
    capacitorQ_ = new QLineEdit(QStringLiteral("0"));
    for (QLineEdit* q : {inductorQ_, capacitorQ_}) {
        q->setMaximumWidth(60);
        q->setToolTip(tr("0 is an ideal part"));
    }
    labelled(tr("Q of &inductors:"), inductorQ_);
    labelled(tr("Q of &capacitors:"), capacitorQ_);
    load_ = new QComboBox;
    load_->addItems({tr("As the prototype needs"), tr("Equal to the source"), tr("Value (\u03a9)")});
    loadValue_ = new QLineEdit(QStringLiteral("50"));
    loadValue_->setObjectName(QStringLiteral("loadValue"));
    loadValue_->setAccessibleName(tr("Load value in ohms"));
    loadValue_->setMaximumWidth(70);
    labelled(tr("&Load:"), load_);
    form->addWidget(loadValue_);
    form->addStretch(1);

    auto* sweep = new QGroupBox(tr("Sweep"));
    auto* sweepRow = new QHBoxLayout(sweep);
    start_ = new QLineEdit(QStringLiteral("1"));
    stop_ = new QLineEdit(QStringLiteral("101"));
    points_ = new QLineEdit(QStringLiteral("1001"));
    for (QLineEdit* edit : {start_, stop_, points_}) edit->setMaximumWidth(80);
    startLabel_ = new QLabel;
    stopLabel_ = new QLabel;
    for (auto [label, field] : {std::pair{startLabel_, start_}, std::pair{stopLabel_, stop_}}) {
        label->setBuddy(field);
        sweepRow->addWidget(label);
        sweepRow->addWidget(field);
    }
    auto* pointsLabel = new QLabel(tr("P&oints:"));
    pointsLabel->setBuddy(points_);
    sweepRow->addWidget(pointsLabel);
    sweepRow->addWidget(points_);
    logarithmicBox_ = new QCheckBox(tr("Lo&garithmic"));
    sweepRow->addWidget(logarithmicBox_);
    apply_ = new QPushButton(tr("&Apply"));
    sweepRow->addWidget(apply_);
    progress_ = new QProgressBar;
    progress_->setMaximumWidth(180);
    progress_->setVisible(false);
    cancel_ = new QPushButton(tr("Cancel"));
    cancel_->setVisible(false);
    sweepRow->addWidget(progress_);
    sweepRow->addWidget(cancel_);
    sweepRow->addStretch(1);

    chart_ = new ResponseChart;
    chart_->setFont(font());
    chart_->setMinimumSize(420, 300);
    table_ = new QTableWidget(0, kTableColumns);
    table_->setHorizontalHeaderLabels({tr("Position"), tr("Part"), tr("Designed"), tr("Standard"), tr("Change, %")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Sized once per fill: sizing to contents on every cell set costs a text layout of the
    // whole column each time.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(panel_);
    split->addWidget(chart_);
    split->addWidget(table_);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 3);
    split->setStretchFactor(2, 1);
    split->setChildrenCollapsible(false);
    split->setSizes({panel_->sizeHint().width(), 700, 300});

    readout_ = new QLabel;
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout_->setMinimumWidth(fontMetrics().horizontalAdvance(
        QStringLiteral("f = 999 MHz    |S21| = -999.99 dB    |S11| = -999.99 dB    delay = 999 ns")));
    status_ = new QLabel;
    status_->setWordWrap(true);
    auto* below = new QHBoxLayout;
    below->addWidget(readout_, 1);
    BuildExports(below);

    schematic_ = new LadderSchematic;
    schematic_->setFont(font());
    schematicArea_ = new QScrollArea;
    schematicArea_->setWidget(schematic_);
    schematicArea_->setWidgetResizable(true);
    schematicArea_->setBackgroundRole(QPalette::Base);
    FitSchematicArea();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(settings);
    layout->addWidget(sweep);
    layout->addWidget(status_);
    layout->addWidget(split, 1);
    layout->addLayout(below);
    layout->addWidget(schematicArea_);
    ShowStatus(tr("Press \"Calculate\" in the design window to analyse its ladder."), false);
}

// As tall as the drawing and the scroll bar that a long ladder needs.
void ExactResponseWindow::FitSchematicArea()
{
    const int frame = 2 * schematicArea_->frameWidth();
    schematicArea_->setFixedHeight(schematic_->sizeHint().height() + frame +
                                   schematicArea_->horizontalScrollBar()->sizeHint().height());
}

void ExactResponseWindow::BuildExports(QHBoxLayout* row)
{
    const auto add = [this, row](const QString& text, const QString& filter, const QString& suffix,
                                 bool (ExactResponseWindow::*exporter)(const QString&)) {
        auto* button = new QPushButton(text);
        row->addWidget(button);
        connect(button, &QPushButton::clicked, this,
                [this, filter, suffix, exporter] { ExportWith(filter, suffix, exporter); });
    };
    row->addWidget(new QLabel(tr("Export:")));
    add(tr("SPICE..."), tr("SPICE netlist (*.cir)"), QStringLiteral(".cir"), &ExactResponseWindow::ExportSpice);
    add(tr("Touchstone..."), tr("Touchstone (*.s2p)"), QStringLiteral(".s2p"), &ExactResponseWindow::ExportTouchstone);
    add(tr("CSV..."), tr("Comma-separated values (*.csv)"), QStringLiteral(".csv"), &ExactResponseWindow::ExportCsv);
    add(tr("Image..."), tr("PNG image (*.png);;SVG drawing (*.svg)"), QStringLiteral(".png"),
        &ExactResponseWindow::ExportImage);
}

void ExactResponseWindow::ConnectControls()
{
    const auto changed = [this] {
        emit SettingsChanged();
        Recompute();
    };
    connect(series_, &QComboBox::currentIndexChanged, this, changed);
    connect(load_, &QComboBox::currentIndexChanged, this, [this, changed] {
        loadValue_->setEnabled(load_->currentIndex() == 2);
        changed();
    });
    connect(logarithmicBox_, &QCheckBox::toggled, this, changed);
    for (QLineEdit* edit : {inductorQ_, capacitorQ_, loadValue_, start_, stop_, points_}) {
        connect(edit, &QLineEdit::textEdited, this, &ExactResponseWindow::SettingsChanged);
        connect(edit, &QLineEdit::returnPressed, this, &ExactResponseWindow::Recompute);
    }
    connect(apply_, &QPushButton::clicked, this, &ExactResponseWindow::Recompute);
    connect(cancel_, &QPushButton::clicked, this, &ExactResponseWindow::Cancel);
    connect(chart_, &ResponseChart::CursorMoved, this, &ExactResponseWindow::ShowReadout);
    connect(panel_, &DesignPanel::Edited, this, &ExactResponseWindow::SettingsChanged);
    connect(panel_, &DesignPanel::DesignRequested, this, &ExactResponseWindow::DesignFromPanel);
    connect(panel_, &DesignPanel::TakeRequested, this, [this] {
        ShowRunAgain();
        emit SettingsChanged();
    });
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(50);
    connect(progressTimer_, &QTimer::timeout, this, [this] { progress_->setValue(done_.load()); });
    loadValue_->setEnabled(false);
    startLabel_->setText(tr("S&tart:"));
    stopLabel_->setText(tr("Sto&p:"));
}

ExactResponseSettings ExactResponseWindow::Settings() const
{
    ExactResponseSettings settings;
    settings.series = kSeriesNames[std::max(0, series_->currentIndex())];
    settings.inductorQ = inductorQ_->text().toStdString();
    settings.capacitorQ = capacitorQ_->text().toStdString();
    settings.load = kLoadNames[std::max(0, load_->currentIndex())];
    settings.loadValue = loadValue_->text().toStdString();
    settings.sweepStart = start_->text().toStdString();
    settings.sweepStop = stop_->text().toStdString();
    try {
        settings.points = ReadPoints(TextOf(points_), Std(tr("Points")));
    } catch (const InputError&) {
        // A points text the rule refuses keeps the default in the file; the window says why.
    }
    settings.logarithmic = logarithmicBox_->isChecked();
    DesignPanelSettings panel = panel_->Settings();
    panel.shown = panelDesign_.has_value();
    // An untouched panel leaves the design file as it was before the panel existed.
    if (panel != DesignPanelSettings{}) settings.panel = panel;
    return settings;
}

void ExactResponseWindow::SetSettings(const ExactResponseSettings& settings)
{
    {
        const QSignalBlocker blockSeries(series_), blockLoad(load_), blockLog(logarithmicBox_);
        for (int i = 0; i < static_cast<int>(std::size(kSeriesNames)); ++i)
            if (settings.series == kSeriesNames[i]) series_->setCurrentIndex(i);
        for (int i = 0; i < static_cast<int>(std::size(kLoadNames)); ++i)
            if (settings.load == kLoadNames[i]) load_->setCurrentIndex(i);
        loadValue_->setEnabled(load_->currentIndex() == 2);
        inductorQ_->setText(ToQt(settings.inductorQ));
        capacitorQ_->setText(ToQt(settings.capacitorQ));
        loadValue_->setText(ToQt(settings.loadValue));
        start_->setText(ToQt(settings.sweepStart));
        stop_->setText(ToQt(settings.sweepStop));
        points_->setText(QString::number(settings.points));
        logarithmicBox_->setChecked(settings.logarithmic);
    }
    panel_->SetSettings(settings.panel.value_or(DesignPanelSettings{}));
    if (settings.panel && settings.panel->shown) {
        DesignFromPanel();
        return;
    }
    if (panelDesign_) {
        ShowRunAgain();
        return;
    }
    Recompute();
}

void ExactResponseWindow::ShowRun(const RunSnapshot& run)
{
    run_ = run;
    hasRun_ = run_.state.GValues.size() >= 3;
    // The panel's design stays on screen until "Take from main window" brings the run back.
    if (panelDesign_) return;
    ShowUnit(ToQt(run_.unitText));
    std::vector<double> freq(run_.state.Freq.begin(), run_.state.Freq.end());
    std::vector<double> att(run_.state.Att.begin(), run_.state.Att.end());
    chart_->SetReference(freq, att);
    Recompute();
}

void ExactResponseWindow::ShowUnit(const QString& unit)
{
    startLabel_->setText(tr("S&tart (%1):").arg(unit));
    stopLabel_->setText(tr("Sto&p (%1):").arg(unit));
}

void ExactResponseWindow::DesignFromPanel()
{
    std::optional<PanelDesign> previous = std::move(panelDesign_);
    try {
        panelDesign_ = panel_->Design();
        // The window's own fields are checked before anything on screen changes.
        Request request;
        ReadRequest(request);
    } catch (const Failure& failure) {
        panelDesign_ = std::move(previous);
        ShowStatus(ToQt(ErrorReportText(failure.what())), true);
        return;
    } catch (const std::exception& problem) {
        panelDesign_ = std::move(previous);
        ShowStatus(ToQt(problem.what()), true);
        return;
    }
    panel_->SetNote(ToQt(panelDesign_->note));
    ShowUnit(ToQt(panelDesign_->unitText));
    if (!previous) emit SettingsChanged();
    Recompute();
}

void ExactResponseWindow::ShowRunAgain()
{
    panelDesign_.reset();
    if (hasRun_) {
        ShowRun(run_);
        return;
    }
    // Nothing of the panel's design stays behind.
    curves_ = NetworkCurves{};
    built_ = Ladder{};
    chart_->Clear();
    table_->setRowCount(0);
    schematic_->Clear();
    FitSchematicArea();
    ShowStatus(tr("Press \"Calculate\" in the design window to analyse its ladder."), false);
}

const std::string& ExactResponseWindow::ShownTitle() const
{
    return panelDesign_ ? panelDesign_->title : run_.title;
}

const std::string& ExactResponseWindow::ShownForm() const
{
    return panelDesign_ ? panelDesign_->formText : run_.topologyText;
}

const std::string& ExactResponseWindow::ShownUnit() const
{
    return panelDesign_ ? panelDesign_->unitText : run_.unitText;
}

bool ExactResponseWindow::ReadRequest(Request& request)
{
    const DesignState& state = run_.state;
    const LadderTopology topology = TopologyForIndex(run_.topologyIndex);
    const double QL = ReadPartQ(TextOf(inductorQ_), Std(tr("Q of inductors")));
    const double QC = ReadPartQ(TextOf(capacitorQ_), Std(tr("Q of capacitors")));
    std::optional<double> load;
    const double source = panelDesign_ ? panelDesign_->design.ladder.RS : state.RL;
    if (load_->currentIndex() == 1) load = source;
    if (load_->currentIndex() == 2) {
        load = ReadResistance(TextOf(loadValue_), Std(tr("Load")));
    }
    SweepPlan plan;
    const double unitScale = panelDesign_ ? panelDesign_->unitScale : state.UnitScale;
    plan.start = ReadSweepEdge(TextOf(start_), Std(tr("Sweep start")), unitScale);
    plan.stop = ReadSweepEdge(TextOf(stop_), Std(tr("Sweep stop")), unitScale);
    if (!(plan.start < plan.stop)) throw InputError(tr("Sweep start must be less than sweep stop.").toStdString());
    plan.spacing = logarithmicBox_->isChecked() ? SweepSpacing::Log : SweepSpacing::Linear;
    if (plan.spacing == SweepSpacing::Log && !(plan.start > 0))
        throw InputError(tr("Sweep start must be above zero for a logarithmic sweep.").toStdString());
    plan.points = ReadPoints(TextOf(points_), Std(tr("Points")));

    ESeries series = ESeries::E24;
    request.rounded = series_->currentIndex() > 0 && ESeriesFromName(kSeriesNames[series_->currentIndex()], series);
    request.job.quality = {QL, QC};
    request.job.freq = NetworkFrequencies(plan);
    if (panelDesign_) {
        request.designed = panelDesign_->design.ladder;
        request.job.ladder = request.rounded ? RoundedLadder(request.designed, series) : request.designed;
        if (load) request.job.ladder.RL = *load;
        request.job.unitScale = panelDesign_->unitScale;
        return true;
    }
    request.designed = LadderOfModel(ModelOfRun(state, topology));
    DesignState built = state;
    if (request.rounded) RoundDesignTable(built, series);
    request.job.ladder = LadderOfModel(ModelOfRun(built, topology, load));
    request.job.unitScale = state.UnitScale;
    return true;
}

void ExactResponseWindow::Recompute()
{
    if (!hasRun_ && !panelDesign_) return;
    // A closed window follows the runs without analysing them; showing it catches up.
    stale_ = !isVisible();
    if (stale_) return;
    if (worker_) {
        // The running analysis is for old settings: stop it and start again when it ends.
        pending_ = true;
        Cancel();
        return;
    }
    Request request;
    try {
        ReadRequest(request);
    } catch (const std::exception& problem) {
        ShowStatus(ToQt(problem.what()), true);
        return;
    }
    FillTable(request);
    if (panelDesign_) ShowFamilyResponse(request.job.freq);
    built_ = request.job.ladder;
    std::vector<int> positions;
    for (size_t i = 0; i < built_.branches.size(); ++i) positions.push_back(static_cast<int>(i) + 1);
    schematic_->SetLadder(built_, positions, request.rounded);
    FitSchematicArea();
    const bool logarithmic = logarithmicBox_->isChecked();
    if (static_cast<int>(request.job.freq.size()) > kInlinePoints) {
        StartWorker(request.job, logarithmic);
        return;
    }
    try {
        std::atomic<bool> never{false};
        std::atomic<int> done{0};
        RunExactJob(request.job, curves_, never, done);
        shownJob_ = request.job;
        logarithmic_ = logarithmic;
        ShowCurves();
    } catch (const Failure& failure) {
        ShowStatus(tr("The ladder cannot be analysed over this sweep: %1").arg(ToQt(ErrorReportText(failure.what()))),
                   true);
    }
}

// The family's own response in light grey, where the classic run draws its closed form.
void ExactResponseWindow::ShowFamilyResponse(const std::vector<double>& freq)
{
    constexpr size_t kReferencePoints = 2001;
    const size_t step = std::max<size_t>(1, freq.size() / kReferencePoints);
    std::vector<double> f, gain;
    for (size_t i = 0; i < freq.size(); i += step) {
        f.push_back(freq[i]);
        gain.push_back(synthesis::TransducerGainDb(panelDesign_->design, freq[i] * panelDesign_->unitScale));
    }
    chart_->SetReference(f, gain);
}

void ExactResponseWindow::FillTable(const Request& request)
{
    struct Row {
        QString position, part, designed, standard, change;
    };
    std::vector<Row> rows;
    const auto value = [](double v, const char* unit, bool trim = false) {
        return ToQt(EngineeringText(v, unit, trim));
    };
    const auto change = [](double from, double to) {
        char text[32];
        std::snprintf(text, sizeof text, "%+.2f", PercentChange(from, to));
        return QString::fromLatin1(text);
    };
    const Ladder& built = request.job.ladder;
    rows.push_back({tr("source"), QStringLiteral("RS"), value(request.designed.RS, "\u03a9"), value(built.RS, "\u03a9"),
                    QString()});
    for (size_t i = 0; i < built.branches.size(); ++i) {
        const LadderBranch& d = request.designed.branches[i];
        const LadderBranch& b = built.branches[i];
        const QString position = QString::number(i + 1);
        const QString n = QString::number(i + 1);
        const auto part = [&](const QString& name, double designed, double standard, const char* unit) {
            rows.push_back({position, name, value(designed, unit),
                            request.rounded ? value(standard, unit, true) : QStringLiteral("\u2014"),
                            request.rounded ? change(designed, standard) : QString()});
        };
        if (b.kind != BranchKind::Capacitor) part(QStringLiteral("L") + n, d.L, b.L, "H");
        if (b.kind != BranchKind::Inductor) part(QStringLiteral("C") + n, d.C, b.C, "F");
        // Trap arms carry a second pair, primed as in the schematic.
        if (b.kind == BranchKind::SeriesArm || b.kind == BranchKind::ParallelArm) {
            part(QStringLiteral("L%1'").arg(n), d.L2, b.L2, "H");
            part(QStringLiteral("C%1'").arg(n), d.C2, b.C2, "F");
        }
    }
    rows.push_back({tr("load"), QStringLiteral("RL"), value(request.designed.RL, "\u03a9"), value(built.RL, "\u03a9"),
                    change(request.designed.RL, built.RL)});
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const Row& row = rows[static_cast<size_t>(r)];
        const QString cells[kTableColumns] = {row.position, row.part, row.designed, row.standard, row.change};
        for (int c = 0; c < kTableColumns; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();
}

void ExactResponseWindow::StartWorker(const ExactJob& job, bool logarithmic)
{
    workerJob_ = job;
    workerLogarithmic_ = logarithmic;
    workerCurves_ = NetworkCurves{};
    workerOk_ = false;
    workerError_.clear();
    cancelFlag_ = false;
    done_ = 0;
    pending_ = false;
    progress_->setRange(0, static_cast<int>(job.freq.size()));
    progress_->setValue(0);
    progress_->setVisible(true);
    cancel_->setVisible(true);
    ShowStatus(tr("Analysing %1 points...").arg(job.freq.size()), false);
    worker_ = QThread::create([this] {
        try {
            workerOk_ = RunExactJob(workerJob_, workerCurves_, cancelFlag_, done_);
        } catch (const std::exception& failure) {
            workerError_ = failure.what();
        }
    });
    connect(worker_, &QThread::finished, this, &ExactResponseWindow::WorkerFinished);
    progressTimer_->start();
    worker_->start();
}

void ExactResponseWindow::WorkerFinished()
{
    progressTimer_->stop();
    worker_->deleteLater();
    worker_ = nullptr;
    progress_->setVisible(false);
    cancel_->setVisible(false);
    if (pending_) {
        pending_ = false;
        Recompute();
        return;
    }
    if (!workerError_.empty()) {
        ShowStatus(tr("The ladder cannot be analysed over this sweep: %1").arg(ToQt(ErrorReportText(workerError_))),
                   true);
        return;
    }
    if (!workerOk_) {
        ShowStatus(tr("Analysis cancelled; the plots show the previous sweep."), true);
        return;
    }
    curves_ = std::move(workerCurves_);
    shownJob_ = workerJob_;
    logarithmic_ = workerLogarithmic_;
    ShowCurves();
}

void ExactResponseWindow::Cancel()
{
    cancelFlag_ = true;
}

void ExactResponseWindow::ShowCurves()
{
    chart_->SetCurves(curves_, logarithmic_, ToQt(ShownUnit()));
    readout_->clear();
    const QString load = Engineering(shownJob_.ladder.RL, "\u03a9");
    ShowStatus(tr("%1, %2, N = %3: %4 points, source %5, load %6.")
                   .arg(ToQt(ShownTitle()).simplified(), ToQt(ShownForm()))
                   .arg(shownJob_.ladder.branches.size())
                   .arg(curves_.NetFreq.size())
                   .arg(Engineering(shownJob_.ladder.RS, "\u03a9"), load),
               false);
    emit Analysed();
}

void ExactResponseWindow::ShowReadout(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= curves_.NetFreq.size()) {
        readout_->clear();
        return;
    }
    const size_t i = static_cast<size_t>(index);
    const auto dB = [](double v) {
        return std::isfinite(v) ? QString::number(v, 'f', 2) + QStringLiteral(" dB") : ToQt(kNoValueText);
    };
    readout_->setText(tr("f = %1    |S21| = %2    |S11| = %3    delay = %4")
                          .arg(Engineering(curves_.NetFreq[i] * shownJob_.unitScale, "Hz"), dB(curves_.NetS21[i]),
                               dB(curves_.NetS11[i]), Engineering(curves_.NetGroupDelay[i], "s")));
}

void ExactResponseWindow::ShowStatus(const QString& text, bool error)
{
    status_->setText(text);
    QPalette palette = status_->palette();
    palette.setColor(QPalette::WindowText, error ? QColor(180, 0, 0) : this->palette().color(QPalette::WindowText));
    status_->setPalette(palette);
}

QString ExactResponseWindow::StatusText() const
{
    return status_->text();
}

QString ExactResponseWindow::ReadoutText() const
{
    return readout_->text();
}

std::string ExactResponseWindow::Description() const
{
    const auto quality = [](double q) { return q > 0 ? QString::number(q) : QStringLiteral("ideal"); };
    return QStringLiteral("Corvane %1, %2, N = %3, RS = %4 Ohm, RL = %5 Ohm, values %6, QL %7, QC %8")
        .arg(ToQt(ShownTitle()), ToQt(ShownForm()))
        .arg(shownJob_.ladder.branches.size())
        .arg(shownJob_.ladder.RS)
        .arg(shownJob_.ladder.RL)
        .arg(series_->currentIndex() > 0 ? tr("rounded to %1").arg(series_->currentText()) : tr("as designed"))
        .arg(quality(shownJob_.quality.QL), quality(shownJob_.quality.QC))
        .toStdString();
}

bool ExactResponseWindow::Written(const std::function<void()>& write)
{
    try {
        write();
    } catch (const std::exception& failure) {
        ShowStatus(ToQt(failure.what()), true);
        return false;
    }
    return true;
}

bool ExactResponseWindow::ExportSpice(const QString& path)
{
    return Written([&] {
        WriteSpiceNetlist(path.toStdString(), shownJob_.ladder, shownJob_.freq, shownJob_.unitScale, shownJob_.quality,
                          Description());
    });
}

bool ExactResponseWindow::ExportTouchstone(const QString& path)
{
    return Written([&] {
        WriteTouchstone(path.toStdString(), shownJob_.ladder, shownJob_.freq, shownJob_.unitScale, shownJob_.quality,
                        {Description()});
    });
}

bool ExactResponseWindow::ExportCsv(const QString& path)
{
    return Written([&] {
        WriteFileAtomically(path.toStdString(), ExactResponseCsvText(curves_.NetFreq, curves_.NetS21, curves_.NetS11,
                                                                     curves_.NetGroupDelay, ShownUnit()));
    });
}

bool ExactResponseWindow::ExportImage(const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        // A drawing of the window's widgets as they paint, lines and text kept as vectors.
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size());
        svg.setViewBox(rect());
        svg.setTitle(windowTitle());
        QPainter painter(&svg);
        render(&painter);
    } else if (!grab().save(&buffer, "PNG")) {
        ShowStatus(tr("The image could not be made."), true);
        return false;
    }
    return Written([&] { WriteFileAtomically(path.toStdString(), bytes.toStdString()); });
}

void ExactResponseWindow::ExportWith(const QString& filter, const QString& suffix,
                                     bool (ExactResponseWindow::*exporter)(const QString&))
{
    if (curves_.NetFreq.empty()) {
        ShowStatus(tr("There is no analysed response to export yet."), true);
        return;
    }
    QString path = QFileDialog::getSaveFileName(this, tr("Export"), QString(), filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += suffix;
    if ((this->*exporter)(path)) ShowStatus(tr("Written: %1").arg(path), false);
}

void ExactResponseWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (stale_) Recompute();
}

void ExactResponseWindow::closeEvent(QCloseEvent* event)
{
    QSettings().setValue(kGeometryKey, saveGeometry());
    Cancel();
    QWidget::closeEvent(event);
}
