// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QColor>
#include <QFont>
#include <QString>

#include "chart/NiceScale.h"

class QAbstractAxis;
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
// A logarithmic axis labels every power of its base; over many decades the base grows to a power
// of ten that keeps at most maxLabels labels.
void SetLogAxis(QLogValueAxis* axis, const AxisRange& range, int maxLabels);

} // namespace corvane
