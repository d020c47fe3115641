// SPDX-License-Identifier: Apache-2.0
#include "chart/TChart.h"

#include <QAbstractAxis>
#include <QChart>
#include <QCursor>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>
#include <algorithm>

#include "chart/ChartStyle.h"
#include "chart/TChartImpl.h"

namespace corvane {

namespace {

bool ValidSeries(int series)
{
    return series >= 0 && series < kChartSeriesCount;
}

} // namespace

TChart::TChart(QWidget* parent) : QWidget(parent), impl_(new Impl(this)) {}

TChart::~TChart()
{
    // The view calls back into the Impl; it goes first so no late event reaches a deleted Impl.
    delete impl_->view;
    delete impl_;
}

void TChart::SetTitle(const QString& text)
{
    impl_->title = text;
    impl_->chart->setTitle(TitleMarkup(text));
    impl_->MarkDirty();
}

QString TChart::Title() const
{
    return impl_->title;
}

void TChart::Clear(int series)
{
    if (!ValidSeries(series)) return;
    impl_->series[series].points.clear();
    impl_->DataChanged();
}

void TChart::AddPoint(int series, double x, double y, const QColor& colour)
{
    if (!ValidSeries(series)) return;
    impl_->InsertPoint(series, {x, y, colour.isValid() ? colour : impl_->series[series].colour});
}

int TChart::PointCount(int series) const
{
    return ValidSeries(series) ? static_cast<int>(impl_->series[series].points.size()) : 0;
}

QPointF TChart::PointAt(int series, int index) const
{
    if (index < 0 || index >= PointCount(series)) return {};
    const ChartPoint& point = impl_->series[series].points[index];
    return {point.x, point.y};
}

QColor TChart::PointColour(int series, int index) const
{
    if (index < 0 || index >= PointCount(series)) return {};
    return impl_->series[series].points[index].colour;
}

QColor TChart::SeriesColour(int series) const
{
    return ValidSeries(series) ? impl_->series[series].colour : QColor();
}

Qt::CursorShape TChart::HoverCursor() const
{
    return impl_->hover;
}

QRect TChart::PlotRect() const
{
    impl_->Sync();
    const QRectF area = impl_->PlotArea();
    return QRect(QPoint(qRound(area.left()), qRound(area.top())), QPoint(qRound(area.right()), qRound(area.bottom())));
}

QPoint TChart::MousePosition() const
{
    return mapFromGlobal(QCursor::pos());
}

double TChart::BottomMinimum() const
{
    impl_->Sync();
    return impl_->bottomView.min;
}

double TChart::BottomMaximum() const
{
    impl_->Sync();
    return impl_->bottomView.max;
}

double TChart::LeftMinimum() const
{
    impl_->Sync();
    return impl_->leftView.min;
}

double TChart::LeftMaximum() const
{
    impl_->Sync();
    return impl_->leftView.max;
}

void TChart::SetLeftAutomaticMinimum(bool automatic)
{
    impl_->leftAutomatic = automatic;
    impl_->MarkDirty();
}

bool TChart::LeftAutomaticMinimum() const
{
    return impl_->leftAutomatic;
}

void TChart::SetLeftMinimum(double minimum)
{
    impl_->leftMinimum = minimum;
    impl_->MarkDirty();
}

bool TChart::BottomLogarithmic() const
{
    return impl_->logarithmic;
}

void TChart::SetBottomLogarithmic(bool logarithmic)
{
    if (logarithmic != impl_->logarithmic) impl_->SwitchBottomAxis(logarithmic);
}

void TChart::SetBottomMinimum(double minimum)
{
    impl_->SetBottomMinimum(minimum);
}

void TChart::ResetZoom()
{
    impl_->ResetZoom();
}

void TChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    impl_->Resized();
}

// The legend is drawn on the picture rather than shown in the chart: each series is drawn as runs
// of colour, which the chart's own legend would list one by one.
void TChart::Render(QPainter& painter, QSize size, const QString& bottomTitle, const QStringList& seriesNames)
{
    impl_->Sync();
    QChart* chart = impl_->chart;
    const QSizeF shown = chart->size();
    const QString title = impl_->bottomAxis->titleText();
    impl_->bottomAxis->setTitleText(bottomTitle);
    chart->resize(size);
    chart->layout()->activate();
    painter.setRenderHint(QPainter::Antialiasing);
    chart->scene()->render(&painter, QRectF(QPointF(0, 0), size), QRectF(chart->pos(), QSizeF(size)));
    const QRectF plot = chart->plotArea();
    impl_->bottomAxis->setTitleText(title);
    chart->resize(shown);
    chart->layout()->activate();

    const QFontMetrics metrics(font());
    const int line = metrics.height();
    int widest = 0;
    for (const QString& name : seriesNames) widest = std::max(widest, metrics.horizontalAdvance(name));
    const QRectF box(plot.right() - widest - 48, plot.top() + 8, widest + 40, line * seriesNames.size() + 8);
    painter.setPen(QPen(QColor(96, 96, 96)));
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    painter.setFont(font());
    for (int i = 0; i < seriesNames.size() && i < kChartSeriesCount; ++i) {
        const double y = box.top() + 4 + line * (i + 0.5);
        painter.setPen(QPen(SeriesColour(i), kSeriesLineWidth));
        painter.drawLine(QPointF(box.left() + 6, y), QPointF(box.left() + 26, y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(box.left() + 32, y - line / 2.0, widest + 4, line), Qt::AlignVCenter, seriesNames[i]);
    }
}

} // namespace corvane
