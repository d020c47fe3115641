// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QColor>
#include <QFont>
#include <QString>
#include <vector>

#include "chart/NiceScale.h"

class QAbstractAxis;
class QCategoryAxis;
class QChart;
class QLogValueAxis;
class QChartView;
class QValueAxis;

namespace corvane {

constexpr int kSeriesLineWidth = 2;

// White chart and plot area, no legend, no animation, tight margins.
void StyleChart(QChart* chart, const QFont& font);
// Single-line border around the view.
void StyleView(QChartView* view);
// The left axis: title "Attenuation, dB", ticks at multiples of a readable step.
QValueAxis* MakeLeftAxis(const QFont& font);
// The bottom axis, titled "Frequency", linear or logarithmic (base 10).
QAbstractAxis* MakeBottomAxis(bool logarithmic, const QFont& font);

// The title as the chart's title item wants it: one line, blanks kept, markup escaped.
QString TitleMarkup(const QString& text);
// printf pattern for tick labels: enough significant digits to tell neighbouring ticks
// apart, never fewer than six.
QString LabelFormat(const AxisRange& range);

// Sets range and tick step of a linear axis in the order that never pairs a wide range with a
// fine step, which would make Qt lay out a flood of ticks in between.
void SetLinearAxis(QValueAxis* axis, const AxisRange& range);
// The ticks of a linear range: the multiples of its step inside it, each worked out as a whole
// number times the step, so that the tick at zero is 0 (Qt adds its ticks up from the bottom,
// which puts that one at -1.4e-16 for a step of 0.1).
std::vector<double> TickValues(const AxisRange& range);
// A tick's label: as many decimals as the step has; significant digits for steps of a million
// and more.
QString TickText(double value, const AxisRange& range);
// A linear axis whose ticks and labels are TickValues and TickText.
QCategoryAxis* MakeTickedAxis(const QString& title, const QFont& font);
void SetTickedAxis(QCategoryAxis* axis, const AxisRange& range);

// A logarithmic axis labels every power of its base; over many decades the base grows to a power
// of ten that keeps at most maxLabels labels.
void SetLogAxis(QLogValueAxis* axis, const AxisRange& range, int maxLabels);

} // namespace corvane
