// SPDX-License-Identifier: Apache-2.0
#include "workbench/ResponsePlots.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QCheckBox>
#include <QVBoxLayout>

#include "chart/PlotView.h"
#include "chart/SmithChart.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/Pi.h"
#include "run/Rules.h"

namespace corvane {

namespace {

const QColor kS21Colour(0, 0, 200);
const QColor kS11Colour(0, 128, 0);
const QColor kDelayColour(200, 100, 0);
const QColor kReferenceColour(200, 200, 200);
const QColor kIdealColour(120, 120, 120);
constexpr double kPassbandDb = 3.01;

std::vector<double> Scaled(const std::vector<double>& values, double scale)
{
    std::vector<double> out(values.size());
    std::transform(values.begin(), values.end(), out.begin(), [scale](double v) { return v / scale; });
    return out;
}

QString Db(double value)
{
    return std::isfinite(value) ? QString::number(value, 'f', 2) + QStringLiteral(" dB")
                                : QString::fromLatin1(kNoValueText);
}

} // namespace

std::optional<AxisRange> PassbandDelayRange(const std::vector<double>& s21Db, const std::vector<double>& delay)
{
    double best = -std::numeric_limits<double>::infinity();
    for (double s : s21Db)
        if (std::isfinite(s)) best = std::max(best, s);
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (size_t i = 0; i < s21Db.size() && i < delay.size(); ++i) {
        if (!(s21Db[i] >= best - kPassbandDb) || !std::isfinite(delay[i])) continue;
        lo = std::min(lo, delay[i]);
        hi = std::max(hi, delay[i]);
    }
    if (!(lo <= hi)) return std::nullopt;
    // From zero where the delay is positive, as an engineer reads a delay plot.
    lo = std::min(lo, 0.0);
    const double headroom = hi > lo ? (hi - lo) / 10 : std::max(std::fabs(hi), 1e-30);
    return AxisRange{lo, hi + headroom, 0.0};
}

ResponsePlots::ResponsePlots(QObject* parent) : QObject(parent)
{
    response_ = new PlotView;
    delay_ = new PlotView;
    response_->setObjectName(QStringLiteral("ResponsePlot"));
    delay_->setObjectName(QStringLiteral("DelayPlot"));
    // The grey curve lies beneath the exact |S21| as a wide pale band, so that both show where they agree.
    reference_ = response_->AddCurve(QString(), QPen(kReferenceColour, 6.0));
    ideal_ = response_->AddCurve(QString(), QPen(kIdealColour, 1.5));
    s11_ = response_->AddCurve(tr("|S11|"), QPen(kS11Colour, 1.5));
    s21_ = response_->AddCurve(tr("|S21|"), QPen(kS21Colour, 2.0));
    response_->SetAutoRange(PlotView::Side::Left, kAttenuationFloor, true);
    delayCurve_ = delay_->AddCurve(tr("Group delay"), QPen(kDelayColour, 1.5));
    delay_->SetAutoRange(PlotView::Side::Left, std::nullopt, true);
    response_->SetTitles(tr("Frequency"), tr("|S21|, |S11|, dB"));
    delay_->SetTitles(tr("Frequency"), tr("Group delay, s"));
    smithTab_ = new QWidget;
    smith_ = new corvane::SmithChart;
    smith_->setObjectName(QStringLiteral("SmithChart"));
    smithS11_ = smith_->AddCurve(tr("S11"), kS11Colour);
    // Dashed, so that S11 shows beneath it where the ladder is symmetric and both agree.
    smithS22_ = smith_->AddCurve(tr("S22"), kS21Colour, true);
    auto* admittance = new QCheckBox(tr("&Admittance grid"));
    auto* column = new QVBoxLayout(smithTab_);
    column->addWidget(smith_, 1);
    column->addWidget(admittance);
    connect(admittance, &QCheckBox::toggled, smith_, &corvane::SmithChart::SetAdmittanceGrid);
    connect(smith_, &corvane::SmithChart::Picked, this, [this](std::optional<corvane::SmithChart::Pick> pick) {
        if (!pick) {
            emit Readout(QString());
            return;
        }
        ShowSmithReadout(pick->frequency, smith_->CurveName(pick->curve), pick->impedance, pick->returnLossDb);
    });
    connect(response_, &PlotView::CursorMoved, this, &ResponsePlots::ShowReadout);
    connect(delay_, &PlotView::CursorMoved, this, &ResponsePlots::ShowReadout);
}

void ResponsePlots::SetCurves(const NetworkCurves& curves, bool logarithmic, const QString& unitText, double unitScale)
{
    curves_ = curves;
    logarithmic_ = logarithmic;
    unitScale_ = unitScale;
    double longest = 0.0;
    for (double d : curves_.NetGroupDelay)
        if (std::isfinite(d)) longest = std::max(longest, std::fabs(d));
    // The delay axis counts in the prefix unit of the longest delay (ns, µs, ...).
    delayScale_ = longest > 0 ? std::pow(10.0, 3.0 * std::floor(std::log10(longest) / 3.0)) : 1.0;
    const QString prefix = QString::fromStdString(EngineeringText(delayScale_, "s", true)).mid(2);
    const QString frequency = unitText.isEmpty() ? tr("Frequency") : tr("Frequency, %1").arg(unitText);
    response_->SetTitles(frequency, tr("|S21|, |S11|, dB"));
    delay_->SetTitles(frequency, tr("Group delay, %1").arg(prefix));
    for (PlotView* plot : {response_, delay_}) plot->SetLogarithmic(logarithmic);
    response_->SetCurve(s21_, curves_.NetFreq, curves_.NetS21);
    response_->SetCurve(s11_, curves_.NetFreq, curves_.NetS11);
    const std::vector<double> delay = Scaled(curves_.NetGroupDelay, delayScale_);
    delay_->SetCurve(delayCurve_, curves_.NetFreq, delay);
    delay_->SetHomeRange(PlotView::Side::Left, PassbandDelayRange(curves_.NetS21, delay));
    response_->ResetView();
    delay_->ResetView();
}

void ResponsePlots::SetReference(const std::vector<double>& x, const std::vector<double>& y, const QString& name)
{
    response_->SetCurveName(reference_, name);
    response_->SetCurve(reference_, x, y);
}

void ResponsePlots::SetIdeal(const std::vector<double>& x, const std::vector<double>& y)
{
    response_->SetCurveName(ideal_, x.empty() ? QString() : tr("|S21| ideal parts"));
    response_->SetCurve(ideal_, x, y);
}

std::vector<std::complex<double>> Reflections(const std::vector<double>& db, const std::vector<double>& degrees)
{
    std::vector<std::complex<double>> gamma(db.size());
    for (size_t i = 0; i < db.size(); ++i)
        gamma[i] = std::polar(std::pow(10.0, db[i] / 20.0), degrees[i] * kPi<double> / 180.0);
    return gamma;
}

void ResponsePlots::SetReflections(double sourceOhms, double loadOhms)
{
    smith_->SetCurve(smithS11_, curves_.NetFreq, Reflections(curves_.NetS11, curves_.NetS11Deg), sourceOhms);
    smith_->SetCurve(smithS22_, curves_.NetFreq, Reflections(curves_.NetS22, curves_.NetS22Deg), loadOhms);
}

void ResponsePlots::ShowSmithReadout(double frequency, const QString& curve, std::complex<double> impedance,
                                     double returnLossDb)
{
    const QString sign = impedance.imag() < 0 ? QStringLiteral("−") : QStringLiteral("+");
    const QString z = std::isfinite(impedance.real())
                          ? QString::fromStdString(EngineeringText(impedance.real(), "")) + QStringLiteral(" ") + sign +
                                QStringLiteral(" j") +
                                QString::fromStdString(EngineeringText(std::fabs(impedance.imag()), "Ω"))
                          : QString::fromLatin1(kNoValueText);
    emit Readout(
        tr("%1    f = %2    Z = %3    return loss = %4")
            .arg(curve, QString::fromStdString(EngineeringText(frequency * unitScale_, "Hz")), z, Db(returnLossDb)));
}

void ResponsePlots::Clear()
{
    curves_ = NetworkCurves{};
    smith_->ClearCurves();
    response_->SetCurveName(reference_, QString());
    response_->ClearCurves();
    delay_->SetHomeRange(PlotView::Side::Left, std::nullopt);
    delay_->ClearCurves();
    emit Readout(QString());
}

int ResponsePlots::NearestIndex(double frequency) const
{
    const std::vector<double>& f = curves_.NetFreq;
    if (f.empty() || !std::isfinite(frequency)) return -1;
    const auto above = std::lower_bound(f.begin(), f.end(), frequency);
    if (above == f.begin()) return 0;
    if (above == f.end()) return static_cast<int>(f.size()) - 1;
    const auto below = above - 1;
    const bool nearerBelow = logarithmic_ && *below > 0 && frequency > 0
                                 ? std::log(frequency / *below) <= std::log(*above / frequency)
                                 : frequency - *below <= *above - frequency;
    return static_cast<int>((nearerBelow ? below : above) - f.begin());
}

void ResponsePlots::ShowReadout(double x)
{
    const int index = NearestIndex(x);
    if (index < 0) {
        emit Readout(QString());
        return;
    }
    const size_t i = static_cast<size_t>(index);
    emit Readout(tr("f = %1    |S21| = %2    |S11| = %3    delay = %4")
                     .arg(QString::fromStdString(EngineeringText(curves_.NetFreq[i] * unitScale_, "Hz")),
                          Db(curves_.NetS21[i]), Db(curves_.NetS11[i]),
                          QString::fromStdString(EngineeringText(curves_.NetGroupDelay[i], "s"))));
}

} // namespace corvane
