#pragma once
#include <QColor>
#include <QFont>
#include <QString>

#include "chart/NiceScale.h"

class QAbstractAxis;
class QChart;
class QChartView;
class QValueAxis;

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
