// SPDX-License-Identifier: Apache-2.0
#include "workbench/ToleranceTab.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysis/Mask.h"
#include "analysis/MaskText.h"
#include "chart/PlotView.h"
#include "workbench/BackgroundJob.h"
#include "analysis/InputRules.h"
#include "workbench/MarginHistogramView.h"
#include "workbench/ToleranceForm.h"

namespace corvane {

namespace {

// Levels below this are not drawn: the deep stopband says nothing about the tolerance.
constexpr double kLevelFloorDb = -120.0;
const QColor kBandColour(70, 130, 180);
const QColor kMaskColour(200, 0, 0);

std::vector<double> InUnit(const std::vector<double>& hz, double scale)
{
    std::vector<double> out(hz.size());
    std::transform(hz.begin(), hz.end(), out.begin(), [scale](double f) { return f / scale; });
    return out;
}

QString Percent(double fraction)
{
    return QString::fromStdString(YieldPercentText(fraction));
}

} // namespace

// What the worker reads and fills; the tab keeps it until the finish has shown it.
struct ToleranceTab::Run {
    ToleranceInput input;
    ToleranceSettings settings;
    Mask mask;
    std::vector<double> hz;
    ToleranceResult result;
};

ToleranceTab::ToleranceTab(QWidget* parent) : QWidget(parent)
{
    job_ = new BackgroundJob(this);
    Build();
    connect(job_, &BackgroundJob::Status, this, &ToleranceTab::Status);
    connect(job_, &BackgroundJob::Ended, this, [this] {
        run_->setEnabled(true);
        emit Finished();
    });
    connect(form_, &ToleranceForm::RunRequested, this, &ToleranceTab::Start);
    connect(run_, &QPushButton::clicked, this, &ToleranceTab::Start);
    connect(form_->CurveBox(), &QComboBox::currentIndexChanged, this, [this] { ShowCurves(); });
}

ToleranceTab::~ToleranceTab() = default;

void ToleranceTab::Build()
{
    form_ = new ToleranceForm;
    run_ = new QPushButton(tr("&Run Trials"));
    yield_ = new QLabel;
    yield_->setWordWrap(true);
    QFont bold = yield_->font();
    bold.setBold(true);
    yield_->setFont(bold);
    sensitivity_ = new QTableWidget(0, 2);
    sensitivity_->setHorizontalHeaderLabels({tr("Part"), tr("dB per +1 %")});
    sensitivity_->horizontalHeader()->setStretchLastSection(true);
    sensitivity_->verticalHeader()->setVisible(false);
    sensitivity_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sensitivity_->setMinimumHeight(120);

    auto* side = new QWidget;
    auto* left = new QVBoxLayout(side);
    left->addWidget(form_);
    left->addWidget(run_);
    left->addWidget(yield_);
    left->addWidget(new QLabel(tr("Sensitivity of the worst margin:")));
    left->addWidget(sensitivity_, 1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(side);
    scroll->setWidgetResizable(true);
    const int scrollBar = scroll->verticalScrollBar()->sizeHint().width();
    scroll->setMinimumWidth(side->sizeHint().width() + scrollBar);
    scroll->setMaximumWidth(side->sizeHint().width() + scrollBar);
    scroll->setFrameShape(QFrame::NoFrame);

    envelope_ = new PlotView;
    envelope_->setObjectName(QStringLiteral("TolerancePlot"));
    QColor fill = kBandColour;
    fill.setAlpha(90);
    band_ = envelope_->AddBand(tr("5-95 %"), fill);
    min_ = envelope_->AddCurve(tr("min"), QPen(kBandColour, 1.0, Qt::DashLine));
    max_ = envelope_->AddCurve(tr("max"), QPen(kBandColour, 1.0, Qt::DashLine));
    nominal_ = envelope_->AddCurve(tr("nominal"), QPen(QColor(20, 20, 20), 1.5));
    maskCurves_.push_back(envelope_->AddCurve(tr("mask"), QPen(kMaskColour, 2.0, Qt::DashDotLine)));
    envelope_->SetAutoRange(PlotView::Side::Left, kLevelFloorDb, true);
    envelope_->SetTitles(tr("Frequency"), tr("dB"));
    envelope_->setMinimumHeight(240);
    histogram_ = new MarginHistogramView;
    histogram_->setMaximumHeight(220);
    auto* plots = new QSplitter(Qt::Vertical);
    plots->addWidget(envelope_);
    plots->addWidget(histogram_);
    plots->setStretchFactor(0, 3);
    plots->setStretchFactor(1, 1);
    plots->setChildrenCollapsible(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(scroll, 0);
    layout->addWidget(plots, 1);
}

void ToleranceTab::SetInput(std::optional<ToleranceInput> input)
{
    input_ = std::move(input);
    if (input_) form_->SetUnit(input_->unitText);
}

void ToleranceTab::Start()
{
    if (!input_) {
        emit Status(tr("There is no ladder to analyse: calculate or design one first."), true);
        return;
    }
    auto run = std::make_shared<Run>();
    try {
        run->input = *input_;
        run->settings = form_->ReadSettings();
        const MaskRequest mask = form_->ReadMask(run->input.unitScale);
        for (double f : run->input.freq) run->hz.push_back(f * run->input.unitScale);
        run->mask =
            CombinedMask(run->input.mask(mask.maxPassLossDb, mask.stopFreq, mask.stopAttDb), mask.bands, "The mask");
    } catch (const std::exception& problem) {
        emit Status(QString::fromStdString(problem.what()), true);
        emit Finished();
        return;
    }
    run_->setEnabled(false);
    job_->Start(
        tr("Running %1 trials").arg(run->settings.trials),
        [run](JobControl& control) {
            run->result = RunTolerance(
                run->input.ladder, run->input.quality, run->hz, run->mask, run->settings,
                [&control](long long done, long long total) {
                    control.total = total;
                    control.done = done;
                },
                &control.cancel);
        },
        [this, run] {
            if (run->result.cancelled) return;
            result_ = std::move(run->result);
            shownMask_ = run->mask;
            shownScale_ = run->input.unitScale;
            shownUnit_ = run->input.unitText;
            envelope_->SetTitles(tr("Frequency, %1").arg(run->input.unitText), tr("dB"));
            ShowResult();
            emit Status(tr("%1 trials done.").arg(result_->trials), false);
        });
}

QString ToleranceTab::YieldText() const
{
    return yield_->text();
}

void ToleranceTab::ShowResult()
{
    const ToleranceResult& r = *result_;
    if (r.masked)
        yield_->setText(tr("Yield %1 (%2 of %3), 95 % Wilson interval %4 to %5. Worst margin %6 dB %7.")
                            .arg(Percent(r.yield))
                            .arg(r.passed)
                            .arg(r.trials)
                            .arg(Percent(r.yieldLow), Percent(r.yieldHigh))
                            .arg(r.worstMarginDb, 0, 'f', 2)
                            .arg(QString::fromStdString(WhereText(r.maskBands, r.worstBand, r.worstHz, shownScale_,
                                                                  shownUnit_.toStdString()))));
    else
        yield_->setText(tr("No mask: give a passband loss limit, a stopband or mask bands."));
    histogram_->SetHistogram(r.margins, r.masked);
    ShowSensitivities();
    ShowCurves();
}

void ToleranceTab::ShowSensitivities()
{
    std::vector<Sensitivity> sorted = result_->masked ? result_->sensitivities : std::vector<Sensitivity>{};
    std::stable_sort(sorted.begin(), sorted.end(), [](const Sensitivity& a, const Sensitivity& b) {
        return std::fabs(a.dbPerPercent) > std::fabs(b.dbPerPercent);
    });
    sensitivity_->setRowCount(static_cast<int>(sorted.size()));
    for (int row = 0; row < static_cast<int>(sorted.size()); ++row) {
        auto* name = new QTableWidgetItem(QString::fromStdString(sorted[row].name));
        auto* value = new QTableWidgetItem(QString::asprintf("%+.4f", sorted[row].dbPerPercent));
        // The part that moves the margin most is the one to buy tighter.
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
}

void ToleranceTab::ShowCurves()
{
    if (!result_) return;
    const bool s11 = form_->CurveBox()->currentIndex() == 1;
    const ToleranceResult& r = *result_;
    const corvane::Envelope& e = s11 ? r.s11 : r.s21;
    const std::vector<double> f = InUnit(r.frequenciesHz, shownScale_);
    envelope_->SetBand(band_, f, e.p05, e.p95);
    envelope_->SetCurve(min_, f, e.min);
    envelope_->SetCurve(max_, f, e.max);
    envelope_->SetCurve(nominal_, f, s11 ? r.nominalS11Db : r.nominalS21Db);
    ShowMask();
    envelope_->ResetView();
}

// The mask as the limits drawn on the curve shown (a gain in dB): the passbands' floors and the
// stopbands' ceilings on |S21|, the return-loss bands' ceilings on |S11|, each across its band.
void ToleranceTab::ShowMask()
{
    const bool s11 = form_->CurveBox()->currentIndex() == 1;
    const std::vector<double>& hz = result_->frequenciesHz;
    const double first = hz.front() / shownScale_, last = hz.back() / shownScale_;
    std::size_t used = 0;
    for (const MaskBand& band : shownMask_.bands) {
        const bool drawn = band.kind == MaskKind::ReturnLoss ? s11 : band.kind != MaskKind::Delay && !s11;
        const double from = std::max(band.lowHz / shownScale_, first), to = std::min(band.highHz / shownScale_, last);
        if (!drawn || !(from < to)) continue;
        if (used == maskCurves_.size())
            maskCurves_.push_back(envelope_->AddCurve(QString(), QPen(kMaskColour, 2.0, Qt::DashDotLine)));
        envelope_->SetCurve(maskCurves_[used++], {from, to}, {-band.value, -band.value});
    }
    for (; used < maskCurves_.size(); ++used) envelope_->SetCurve(maskCurves_[used], {}, {});
}

} // namespace corvane
