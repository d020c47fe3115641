// SPDX-License-Identifier: Apache-2.0
#include "workbench/TimeTab.h"

#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>

#include "chart/PlotView.h"
#include "filtermath/EngineeringText.h"
#include "workbench/BackgroundJob.h"

namespace corvane {

namespace {

const QColor kStepColour(0, 0, 200);
const QColor kImpulseColour(200, 100, 0);

QString Eng(double value, const char* unit)
{
    return QString::fromStdString(EngineeringText(value, unit));
}

// The power of a thousand at or below a length of time, so that the axis counts 1 to 999 units.
double PrefixScale(double seconds)
{
    return seconds > 0 ? std::pow(10.0, 3.0 * std::floor(std::log10(seconds) / 3.0)) : 1.0;
}

std::vector<double> Times(const std::vector<double>& v, double factor)
{
    std::vector<double> out(v.size());
    std::transform(v.begin(), v.end(), out.begin(), [factor](double x) { return x * factor; });
    return out;
}

// Where both responses have come within 1 % of their peaks of where they end, half as far again:
// the first view, so that a slow creep to the end (the loss of a constant Q) does not squash the
// ringing into the left edge. The rest stays a zoom out away.
double ViewEnd(const TimeResponse& r)
{
    constexpr double kShare = 0.01;
    constexpr double kBeyond = 1.5;
    double peakStep = 0.0, peakImpulse = 0.0;
    for (size_t i = 0; i < r.time.size(); ++i) {
        peakStep = std::max(peakStep, std::fabs(r.step[i]));
        peakImpulse = std::max(peakImpulse, std::fabs(r.impulse[i]));
    }
    size_t last = r.time.size() - 1;
    while (last > 0 && std::fabs(r.step[last] - r.step.back()) <= kShare * peakStep &&
           std::fabs(r.impulse[last]) <= kShare * peakImpulse)
        --last;
    return last == 0 ? r.time.back() : std::min(r.time.back(), kBeyond * r.time[last]);
}

} // namespace

QString StepFiguresText(const TimeResponse& response)
{
    QString text;
    if (const std::optional<StepFigures>& f = response.figures) {
        text = QObject::tr("Step settles to %1:  overshoot %2 %,  rise time (10\u201390 %) %3,  settling time (1 %) %4")
                   .arg(QString::number(f->finalValue, 'g', 4), QString::number(f->overshootPercent, 'f', 2),
                        Eng(f->riseSeconds, "s"), Eng(f->settlingSeconds, "s"));
    } else {
        text = QObject::tr("The step response settles to zero: no overshoot, rise time or settling time.");
    }
    if (response.impulseAtZero != 0.0)
        text += QObject::tr("\nThe impulse response begins with a pulse of weight %1 at 0, not drawn.")
                    .arg(QString::number(response.impulseAtZero, 'g', 4));
    return text;
}

TimeTab::TimeTab(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TimeTab"));
    figures_ = new QLabel;
    figures_->setObjectName(QStringLiteral("TimeFigures"));
    figures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    figures_->setWordWrap(true);
    plot_ = new PlotView;
    plot_->setObjectName(QStringLiteral("TimePlot"));
    step_ = plot_->AddCurve(tr("Step"), QPen(kStepColour, 2.0));
    impulse_ = plot_->AddCurve(tr("Impulse"), QPen(kImpulseColour, 1.5), PlotView::Side::Right);
    plot_->SetAutoRange(PlotView::Side::Left, std::nullopt, true);
    plot_->SetAutoRange(PlotView::Side::Right, std::nullopt, true);
    plot_->SetTitles(tr("Time"), tr("Step response"), tr("Impulse response"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(figures_);
    column->addWidget(plot_, 1);
    job_ = new BackgroundJob(this);
    connect(job_, &BackgroundJob::Status, this, &TimeTab::Status);
    connect(plot_, &PlotView::CursorMoved, this, &TimeTab::ShowReadout);
    Clear();
}

TimeTab::~TimeTab() = default;

void TimeTab::SetLadder(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band)
{
    input_ = Input{ladder, quality, band};
    pending_ = true;
    if (isVisible()) Start();
}

void TimeTab::Clear()
{
    input_.reset();
    pending_ = false;
    job_->Cancel();
    result_.reset();
    plot_->SetBottomHomeRange(std::nullopt);
    plot_->ClearCurves();
    figures_->setText(tr("The step and impulse responses of the ladder as built appear here once it is analysed."));
}

void TimeTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (pending_) Start();
}

void TimeTab::Start()
{
    if (!input_) return;
    pending_ = false;
    auto response = std::make_shared<TimeResponse>();
    job_->Start(
        tr("Working out the step and impulse responses"),
        [input = *input_, response](JobControl&) {
            *response = AnalyseTime(input.ladder, input.quality, input.band, kPoints);
        },
        [this, response] {
            Show(*response);
            emit Status(tr("Step and impulse responses: %1 points to %2.")
                            .arg(response->time.size())
                            .arg(Eng(response->time.back(), "s")),
                        false);
        });
}

void TimeTab::Show(const TimeResponse& response)
{
    result_ = response;
    const double viewEnd = ViewEnd(response);
    timeScale_ = PrefixScale(viewEnd);
    const QString prefix = QString::fromStdString(EngineeringText(timeScale_, "s", true)).mid(2);
    plot_->SetTitles(tr("Time, %1").arg(prefix), tr("Step response"), tr("Impulse response, 1/%1").arg(prefix));
    const std::vector<double> t = Times(response.time, 1.0 / timeScale_);
    plot_->SetCurve(step_, t, response.step);
    // Per unit of the axis, so that its area over the axis is the step's final value.
    plot_->SetCurve(impulse_, t, Times(response.impulse, timeScale_));
    plot_->SetBottomHomeRange(AxisRange{0.0, viewEnd / timeScale_, 0.0});
    plot_->ResetView();
    figures_->setText(StepFiguresText(response));
}

QString TimeTab::FiguresText() const
{
    return figures_->text();
}

void TimeTab::ShowReadout(double x)
{
    if (!result_ || !std::isfinite(x) || result_->time.size() < 2) {
        emit Readout(QString());
        return;
    }
    const std::vector<double>& t = result_->time;
    const double dt = t[1] - t[0];
    const auto i =
        static_cast<size_t>(std::clamp(std::lround(x * timeScale_ / dt), 0L, static_cast<long>(t.size()) - 1));
    emit Readout(tr("t = %1    step = %2    impulse = %3")
                     .arg(Eng(t[i], "s"), QString::number(result_->step[i], 'g', 4),
                          QString::number(result_->impulse[i], 'g', 4) + QStringLiteral(" 1/s")));
}

} // namespace corvane
