// SPDX-License-Identifier: Apache-2.0
#include "chart/ChartStyle.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLogValueAxis>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

const QColor kAxisColour(96, 96, 96);
const QColor kGridColour(224, 224, 224);
const QColor kTextColour(0, 0, 0);

QFont WithPixelSize(QFont font, int pixels, bool bold)
{
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void StyleAxis(QAbstractAxis* axis, const QString& title, const QFont& font)
{
    axis->setTitleText(title);
    axis->setTitleFont(WithPixelSize(font, 11, false));
    axis->setTitleBrush(kTextColour);
    axis->setLabelsFont(WithPixelSize(font, 10, false));
    axis->setLabelsColor(kTextColour);
    axis->setLinePen(QPen(kAxisColour, 1));
    axis->setGridLinePen(QPen(kGridColour, 1));
    axis->setMinorGridLinePen(QPen(kGridColour, 1, Qt::DotLine));
}

} // namespace

void StyleChart(QChart* chart, const QFont& font)
{
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundPen(Qt::NoPen);
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 10, 2));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setTitleFont(WithPixelSize(font, 12, true));
    chart->setTitleBrush(kTextColour);
}

void StyleView(QChartView* view)
{
    view->setFrameShape(QFrame::Box);
    view->setFrameShadow(QFrame::Plain);
    view->setLineWidth(1);
    view->setBackgroundBrush(Qt::white);
}

QValueAxis* MakeLeftAxis(const QFont& font)
{
    auto* axis = new QValueAxis;
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    axis->setTickInterval(0.2);
    axis->setRange(0.0, 1.0);
    StyleAxis(axis, QStringLiteral("Attenuation, dB"), font);
    return axis;
}

QAbstractAxis* MakeBottomAxis(bool logarithmic, const QFont& font)
{
    QAbstractAxis* made = nullptr;
    if (logarithmic) {
        auto* axis = new QLogValueAxis;
        axis->setBase(10.0);
        axis->setLabelFormat(QStringLiteral("%g"));
        axis->setMinorTickCount(8);
        axis->setRange(1.0, 10.0);
        made = axis;
    } else {
        auto* axis = new QValueAxis;
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
        axis->setTickInterval(0.2);
        axis->setRange(0.0, 1.0);
        made = axis;
    }
    StyleAxis(made, QStringLiteral("Frequency"), font);
    return made;
}

QString TitleMarkup(const QString& text)
{
    QString line = text.toHtmlEscaped();
    for (QChar& c : line) {
        if (c.isSpace()) c = QChar(0x00A0);
    }
    return line;
}

QString LabelFormat(const AxisRange& range)
{
    const double largest = std::max(std::fabs(range.min), std::fabs(range.max));
    int digits = 6;
    if (largest > 0 && range.step > 0 && std::isfinite(largest) && std::isfinite(range.step)) {
        const double needed = std::floor(std::log10(largest)) - std::floor(std::log10(range.step)) + 1;
        digits = static_cast<int>(std::clamp(needed, 6.0, 15.0));
    }
    return QStringLiteral("%.%1g").arg(digits);
}

void SetLinearAxis(QValueAxis* axis, const AxisRange& range)
{
    const bool coarser = range.step > axis->tickInterval();
    if (coarser) axis->setTickInterval(range.step);
    axis->setRange(range.min, range.max);
    if (!coarser) axis->setTickInterval(range.step);
    axis->setLabelFormat(LabelFormat(range));
}

std::vector<double> TickValues(const AxisRange& range)
{
    std::vector<double> ticks;
    if (!(range.step > 0) || !std::isfinite(range.min) || !std::isfinite(range.max)) return ticks;
    constexpr double kOnTick = 1e-9; // of a step: a range end this close to a tick has it
    const double first = std::ceil(range.min / range.step - kOnTick);
    const double last = std::floor(range.max / range.step + kOnTick);
    constexpr double kMaxTicks = 1000;
    if (!(last - first < kMaxTicks)) return ticks;
    for (double k = first; k <= last; ++k) ticks.push_back(k == 0 ? 0.0 : k * range.step);
    return ticks;
}

QString TickText(double value, const AxisRange& range)
{
    if (!(range.step >= 1e-12 && range.step < 1e6)) return QString::asprintf(qPrintable(LabelFormat(range)), value);
    // Steps are 1, 2 or 5 times a power of ten: as many decimals as the step has.
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(range.step) - 1e-9)));
    return QString::number(value, 'f', decimals);
}

QCategoryAxis* MakeTickedAxis(const QString& title, const QFont& font)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(0.0, 1.0);
    StyleAxis(axis, title, font);
    return axis;
}

void SetTickedAxis(QCategoryAxis* axis, const AxisRange& range)
{
    for (const QString& label : axis->categoriesLabels()) axis->remove(label);
    axis->setRange(range.min, range.max);
    // Each category ends at a tick, where its label stands; the first starts below the range.
    axis->setStartValue(range.min - std::max(range.step, std::fabs(range.min) * 1e-12));
    for (double tick : TickValues(range)) axis->append(TickText(tick, range), tick);
}

void SetLogAxis(QLogValueAxis* axis, const AxisRange& range, int maxLabels)
{
    const int decadesPerLabel = LogLabelDecades(range.min, range.max, maxLabels);
    axis->setBase(std::pow(10.0, decadesPerLabel));
    axis->setMinorTickCount(decadesPerLabel == 1 ? 8 : 0);
    axis->setRange(range.min, range.max);
}

} // namespace corvane
