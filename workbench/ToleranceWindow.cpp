// SPDX-License-Identifier: Apache-2.0
#include "workbench/ToleranceWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/InputRules.h"
#include "run/LadderOfRun.h"
#include "analysis/NetworkResponse.h"
#include "analysis/ToleranceMask.h"
#include "filtermath/ESeries.h"
#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"
#include "window/TFMain.h"
#include "workbench/MainWindow.h"

namespace {

const char* const kCaption = "Tolerance Analysis - Corvane";
const char* const kWindowName = "ToleranceWindow";
const char* const kSeriesNames[] = {"none", "E6", "E12", "E24", "E48", "E96", "E192"};
constexpr int kProgressSteps = 1000;
// Levels below this are not drawn: the deep stopband says nothing about the tolerance.
constexpr double kLevelFloorDb = -120.0;

// A setting that cannot be used; the text names the field.
struct SettingError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string TextOf(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

std::string Std(const QString& text)
{
    return text.toStdString();
}

// An empty mask field leaves that part of the mask out.
std::optional<double> OptionalAttenuation(const QLineEdit* edit, const QString& name)
{
    if (edit->text().trimmed().isEmpty()) return std::nullopt;
    return ReadAttenuation(TextOf(edit), Std(name));
}

void Fill(QLineSeries* series, const std::vector<double>& hz, const std::vector<double>& db, double scale)
{
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(hz.size()));
    for (std::size_t i = 0; i < hz.size(); ++i) points.append({hz[i] / scale, std::max(db[i], kLevelFloorDb)});
    series->replace(points);
}

QLineSeries* Line(const QString& name, const QColor& colour, qreal width, Qt::PenStyle style)
{
    auto* series = new QLineSeries;
    series->setName(name);
    QPen pen(colour, width, style);
    series->setPen(pen);
    return series;
}

} // namespace

struct ToleranceWindow::Job {
    Ladder ladder;
    PartQuality quality;
    std::vector<double> hz;
    ToleranceMask mask;
    ToleranceSettings settings;
    std::atomic<long long> done{0};
    std::atomic<long long> total{1};
    std::atomic<bool> cancel{false};
    ToleranceResult result;
    QString failure;
};

MarginHistogramView::MarginHistogramView(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(240, 140);
}

void MarginHistogramView::SetHistogram(const MarginHistogram& histogram, bool shown)
{
    histogram_ = histogram;
    shown_ = shown;
    update();
}

void MarginHistogramView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRectF area = QRectF(rect()).adjusted(8, 8, -8, -24);
    painter.setPen(palette().text().color());
    if (!shown_ || histogram_.counts.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, tr("Worst margin: no mask"));
        return;
    }
    const int most = *std::max_element(histogram_.counts.begin(), histogram_.counts.end());
    const int bins = static_cast<int>(histogram_.counts.size());
    const double barWidth = area.width() / bins;
    for (int b = 0; b < bins; ++b) {
        const double height = most > 0 ? area.height() * histogram_.counts[b] / most : 0.0;
        // A bin's colour is that of its upper edge: a bin holding any failing trial shows red.
        const double lower = histogram_.lowDb + b * histogram_.binDb;
        const bool fails = bins == 1 ? histogram_.lowDb < 0.0 : lower < 0.0;
        painter.fillRect(
            QRectF(area.left() + b * barWidth, area.bottom() - height, std::max(barWidth - 1, 1.0), height),
            fails ? QColor(214, 69, 65) : QColor(76, 161, 90));
    }
    const double high = histogram_.lowDb + bins * histogram_.binDb;
    const QRectF labels(area.left(), area.bottom() + 4, area.width(), 16);
    painter.drawText(labels, Qt::AlignLeft, QString::number(histogram_.lowDb, 'f', 2) + tr(" dB"));
    painter.drawText(labels, Qt::AlignHCenter, tr("worst margin"));
    painter.drawText(labels, Qt::AlignRight, QString::number(high, 'f', 2) + tr(" dB"));
}

ToleranceWindow::ToleranceWindow(TFMain* design, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(tr(kCaption));
    if (design) setFont(design->font());
    BuildControls();
    resize(1100, 760);
    if (design) {
        connect(design, &TFMain::RunCompleted, this, [this, design] { ShowRun(SnapshotOf(*design)); });
        if (!design->State().GValues.empty()) ShowRun(SnapshotOf(*design));
    }
}

ToleranceWindow::~ToleranceWindow()
{
    if (worker_) {
        job_->cancel = true;
        worker_->wait();
        delete worker_;
    }
}

void ToleranceWindow::BuildControls()
{
    auto* settings = new QGroupBox(tr("Trials and mask"));
    auto* form = new QFormLayout(settings);
    const struct {
        const char* label;
        const char* text;
    } inputs[] = {{"Trials", "10000"},
                  {"L tolerance, %", "10"},
                  {"C tolerance, %", "5"},
                  {"Seed", "1"},
                  {"Max passband loss, dB", "1"},
                  {"Stop frequency", ""},
                  {"Stop attenuation, dB", ""},
                  {"Q of inductors (0: ideal)", "0"},
                  {"Q of capacitors (0: ideal)", "0"},
                  {"Points", "1001"}};
    for (const auto& input : inputs) {
        auto* edit = new QLineEdit(QString::fromLatin1(input.text));
        edits_.push_back(edit);
        form->addRow(tr(input.label), edit);
    }
    distribution_ = new QComboBox;
    distribution_->addItems({tr("Uniform within the tolerance"), tr("Normal, tolerance = 3 sigma")});
    form->insertRow(3, tr("Distribution"), distribution_);
    series_ = new QComboBox;
    for (const char* name : kSeriesNames) series_->addItem(QString::fromLatin1(name));
    form->addRow(tr("Standard values"), series_);

    start_ = new QPushButton(tr("&Run"));
    cancel_ = new QPushButton(tr("&Cancel"));
    cancel_->setEnabled(false);
    progress_ = new QProgressBar;
    progress_->setRange(0, kProgressSteps);
    progress_->setValue(0);
    status_ = new QLabel;
    status_->setWordWrap(true);
    yield_ = new QLabel;
    yield_->setWordWrap(true);
    QFont bold = yield_->font();
    bold.setBold(true);
    yield_->setFont(bold);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);

    sensitivity_ = new QTableWidget(0, 2);
    sensitivity_->setHorizontalHeaderLabels({tr("Part"), tr("dB per +1 %")});
    sensitivity_->horizontalHeader()->setStretchLastSection(true);
    sensitivity_->verticalHeader()->setVisible(false);
    sensitivity_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* left = new QVBoxLayout;
    left->addWidget(settings);
    left->addLayout(buttons);
    left->addWidget(progress_);
    left->addWidget(status_);
    left->addWidget(yield_);
    left->addWidget(new QLabel(tr("Sensitivity of the worst margin, largest first")));
    left->addWidget(sensitivity_, 1);

    chart_ = new QChart;
    frequencyAxis_ = new QValueAxis;
    levelAxis_ = new QValueAxis;
    levelAxis_->setTitleText(tr("dB"));
    chart_->addAxis(frequencyAxis_, Qt::AlignBottom);
    chart_->addAxis(levelAxis_, Qt::AlignLeft);
    // An area series does not own its edge lines: the chart does.
    lowLine_ = new QLineSeries(chart_);
    highLine_ = new QLineSeries(chart_);
    band_ = new QAreaSeries(highLine_, lowLine_);
    band_->setName(tr("5-95 %"));
    band_->setColor(QColor(70, 130, 180, 90));
    band_->setBorderColor(QColor(70, 130, 180, 160));
    minLine_ = Line(tr("min"), QColor(70, 130, 180), 1.0, Qt::DashLine);
    maxLine_ = Line(tr("max"), QColor(70, 130, 180), 1.0, Qt::DashLine);
    nominal_ = Line(tr("nominal"), QColor(20, 20, 20), 1.5, Qt::SolidLine);
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{band_, minLine_, maxLine_, nominal_}) {
        chart_->addSeries(series);
        series->attachAxis(frequencyAxis_);
        series->attachAxis(levelAxis_);
    }
    auto* view = new QChartView(chart_);
    view->setRenderHint(QPainter::Antialiasing);
    curve_ = new QComboBox;
    curve_->addItems({tr("|S21|"), tr("|S11|")});
    histogram_ = new MarginHistogramView;

    auto* right = new QVBoxLayout;
    auto* curveRow = new QHBoxLayout;
    curveRow->addWidget(new QLabel(tr("Envelope of")));
    curveRow->addWidget(curve_);
    curveRow->addStretch(1);
    right->addLayout(curveRow);
    right->addWidget(view, 3);
    right->addWidget(histogram_, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 0);
    layout->addLayout(right, 1);

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(50);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (!job_) return;
        const long long total = std::max(job_->total.load(), 1LL);
        progress_->setValue(static_cast<int>(kProgressSteps * job_->done.load() / total));
    });
    connect(start_, &QPushButton::clicked, this, &ToleranceWindow::Start);
    connect(cancel_, &QPushButton::clicked, this, &ToleranceWindow::Cancel);
    connect(curve_, &QComboBox::currentIndexChanged, this, [this] { ShowCurves(); });
}

QLineEdit* ToleranceWindow::Edit(Input input) const
{
    return edits_[static_cast<std::size_t>(input)];
}

void ToleranceWindow::ShowRun(const RunSnapshot& run)
{
    run_ = run;
    hasRun_ = true;
    Edit(Input::StopFreq)->setPlaceholderText(QString::fromStdString(run.unitText));
    ShowStatus(tr("%1, %2 poles: press Run.").arg(QString::fromStdString(run.title)).arg(run.state.GValues.size() - 2));
}

bool ToleranceWindow::ReadJob(Job& job)
{
    if (!hasRun_) throw SettingError(tr("Calculate a design first.").toStdString());
    const DesignState& state = run_.state;
    job.settings.trials = ReadTrials(TextOf(Edit(Input::Trials)), Std(tr("Trials")));
    job.settings.distribution =
        distribution_->currentIndex() == 1 ? ToleranceDistribution::Normal : ToleranceDistribution::Uniform;
    const auto percent = [&](Input input, const QString& name) {
        return ReadTolerancePercent(TextOf(Edit(input)), Std(name), job.settings.distribution);
    };
    job.settings.inductorPercent = percent(Input::InductorTol, tr("L tolerance"));
    job.settings.capacitorPercent = percent(Input::CapacitorTol, tr("C tolerance"));
    job.settings.seed = ReadSeed(TextOf(Edit(Input::Seed)), Std(tr("Seed")));
    const auto quality = [&](Input input, const QString& name) { return ReadPartQ(TextOf(Edit(input)), Std(name)); };
    job.quality = {quality(Input::QL, tr("Q of inductors")), quality(Input::QC, tr("Q of capacitors"))};
    const int points = ReadPoints(TextOf(Edit(Input::Points)), Std(tr("Points")));

    const std::optional<double> maxLoss = OptionalAttenuation(Edit(Input::MaxPassLoss), tr("Max passband loss"));
    std::optional<double> stopFreq;
    if (!Edit(Input::StopFreq)->text().trimmed().isEmpty())
        stopFreq = ReadFrequency(TextOf(Edit(Input::StopFreq)), Std(tr("Stop frequency")), state.UnitScale);
    const std::optional<double> stopAtt = OptionalAttenuation(Edit(Input::StopAtt), tr("Stop attenuation"));
    if (stopFreq.has_value() != stopAtt.has_value())
        throw SettingError(tr("The stopband needs both a stop frequency and a stop attenuation.").toStdString());

    SweepPlan plan;
    plan.start = state.Freq.front();
    plan.stop = state.Freq.back();
    plan.points = points;
    for (double f : NetworkFrequencies(plan)) job.hz.push_back(f * state.UnitScale);
    DesignState built = state;
    ESeries series = ESeries::E24;
    if (series_->currentIndex() > 0 && ESeriesFromName(kSeriesNames[series_->currentIndex()], series))
        RoundDesignTable(built, series);
    job.ladder = LadderOfModel(ModelOfRun(built, TopologyForIndex(run_.topologyIndex)));
    job.mask = MaskOfDesign(built, maxLoss, stopFreq, stopAtt);
    return true;
}

void ToleranceWindow::Start()
{
    if (worker_) return;
    auto job = std::make_shared<Job>();
    try {
        ReadJob(*job);
    } catch (const std::exception& error) {
        ShowStatus(QString::fromStdString(error.what()));
        emit Finished();
        return;
    }
    job_ = job;
    unitScale_ = run_.state.UnitScale;
    progress_->setValue(0);
    start_->setEnabled(false);
    cancel_->setEnabled(true);
    ShowStatus(tr("Running %1 trials...").arg(job->settings.trials));
    worker_ = QThread::create([job] {
        try {
            job->result = RunTolerance(
                job->ladder, job->quality, job->hz, job->mask, job->settings,
                [job](long long done, long long total) {
                    job->total = total;
                    job->done = done;
                },
                &job->cancel);
        } catch (const std::exception& error) {
            job->failure = QString::fromStdString(error.what());
        }
    });
    connect(worker_, &QThread::finished, this, &ToleranceWindow::WorkerFinished);
    progressTimer_->start();
    worker_->start();
}

void ToleranceWindow::Cancel()
{
    if (job_) job_->cancel = true;
}

void ToleranceWindow::WorkerFinished()
{
    progressTimer_->stop();
    worker_->deleteLater();
    worker_ = nullptr;
    start_->setEnabled(true);
    cancel_->setEnabled(false);
    const std::shared_ptr<Job> job = std::move(job_);
    if (!job->failure.isEmpty()) {
        ShowStatus(job->failure);
    } else if (job->result.cancelled) {
        progress_->setValue(0);
        ShowStatus(tr("Cancelled; the results on screen are those of the last complete run."));
    } else {
        progress_->setValue(kProgressSteps);
        result_ = std::move(job->result);
        hasResult_ = true;
        ShowResult();
        ShowStatus(tr("%1 trials done.").arg(result_.trials));
    }
    emit Finished();
}

QString ToleranceWindow::YieldText() const
{
    return yield_->text();
}

QString ToleranceWindow::StatusText() const
{
    return status_->text();
}

void ToleranceWindow::ShowStatus(const QString& text)
{
    status_->setText(text);
}

void ToleranceWindow::ShowResult()
{
    const auto percent = [](double fraction) {
        return QString::number(100.0 * fraction, 'f', 2) + QStringLiteral(" %");
    };
    if (result_.masked)
        yield_->setText(tr("Yield %1 (%2 of %3), 95 % Wilson interval %4 to %5")
                            .arg(percent(result_.yield))
                            .arg(result_.passed)
                            .arg(result_.trials)
                            .arg(percent(result_.yieldLow), percent(result_.yieldHigh)));
    else
        yield_->setText(tr("No mask: give a passband loss limit or a stopband."));
    histogram_->SetHistogram(result_.margins, result_.masked);

    std::vector<Sensitivity> sorted = result_.masked ? result_.sensitivities : std::vector<Sensitivity>{};
    std::stable_sort(sorted.begin(), sorted.end(), [](const Sensitivity& a, const Sensitivity& b) {
        return std::fabs(a.dbPerPercent) > std::fabs(b.dbPerPercent);
    });
    sensitivity_->setRowCount(static_cast<int>(sorted.size()));
    for (int row = 0; row < static_cast<int>(sorted.size()); ++row) {
        auto* name = new QTableWidgetItem(QString::fromStdString(sorted[row].name));
        auto* value = new QTableWidgetItem(QString::asprintf("%+.4f", sorted[row].dbPerPercent));
        if (row == 0)
            for (QTableWidgetItem* item : {name, value}) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
                item->setBackground(QColor(255, 226, 150));
            }
        sensitivity_->setItem(row, 0, name);
        sensitivity_->setItem(row, 1, value);
    }
    ShowCurves();
}

void ToleranceWindow::ShowCurves()
{
    if (!hasResult_) return;
    const bool s11 = curve_->currentIndex() == 1;
    const Envelope& e = s11 ? result_.s11 : result_.s21;
    const std::vector<double>& nominal = s11 ? result_.nominalS11Db : result_.nominalS21Db;
    const std::vector<double>& hz = result_.frequenciesHz;
    Fill(lowLine_, hz, e.p05, unitScale_);
    Fill(highLine_, hz, e.p95, unitScale_);
    Fill(minLine_, hz, e.min, unitScale_);
    Fill(maxLine_, hz, e.max, unitScale_);
    Fill(nominal_, hz, nominal, unitScale_);
    const double top = *std::max_element(e.max.begin(), e.max.end());
    const double bottom = std::max(*std::min_element(e.min.begin(), e.min.end()), kLevelFloorDb);
    levelAxis_->setRange(std::floor(bottom / 10.0) * 10.0, std::ceil((top + 1.0) / 10.0) * 10.0);
    levelAxis_->applyNiceNumbers();
    frequencyAxis_->setRange(hz.front() / unitScale_, hz.back() / unitScale_);
    frequencyAxis_->applyNiceNumbers();
    frequencyAxis_->setTitleText(tr("Frequency, %1").arg(QString::fromStdString(run_.unitText)));
    chart_->setTitle(tr("%1 of %2 trials").arg(s11 ? tr("|S11|") : tr("|S21|")).arg(result_.trials));
}

void ToleranceWindow::closeEvent(QCloseEvent* event)
{
    Cancel();
    QWidget::closeEvent(event);
}

ToleranceWindow* ToleranceWindowOf(const MainWindow& main)
{
    return main.findChild<ToleranceWindow*>(QString::fromLatin1(kWindowName), Qt::FindDirectChildrenOnly);
}

void AttachToleranceWindow(MainWindow& main)
{
    MainWindow* owner = &main;
    QAction* action = main.AnalysisMenu()->addAction(QObject::tr("&Tolerance Analysis..."));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    QObject::connect(action, &QAction::triggered, owner, [owner] {
        ToleranceWindow* window = ToleranceWindowOf(*owner);
        if (!window) {
            // A child of the workbench: it stays above it and closes with it.
            window = new ToleranceWindow(owner->DesignWindow(), owner);
            window->setObjectName(QString::fromLatin1(kWindowName));
        }
        window->show();
        window->raise();
        window->activateWindow();
    });
}
