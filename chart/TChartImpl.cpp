// SPDX-License-Identifier: Apache-2.0
#include "chart/TChartImpl.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QValueAxis>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "chart/ChartStyle.h"
#include "chart/ColourRuns.h"

namespace corvane {

namespace {

const QColor kSeriesColours[kChartSeriesCount] = {QColor(255, 0, 0), QColor(0, 255, 0)};

// Pixels of plot per labelled tick interval, so the labels do not crowd.
constexpr int kPixelsPerBottomInterval = 75;
constexpr int kPixelsPerLeftInterval = 40;
constexpr int kPixelsPerLogLabel = 50;

} // namespace

TChart::Impl::Impl(TChart* owner_) : owner(owner_)
{
    chart = new QChart;
    StyleChart(chart, owner->font());
    view = new ChartView(chart, this, owner);
    StyleView(view);
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    zoom.emplace(static_cast<ZoomTarget&>(*this), view->viewport());

    leftAxis = MakeLeftAxis(owner->font());
    chart->addAxis(leftAxis, Qt::AlignLeft);
    // Both bottom axes stay in the chart and only the one in use is shown: an axis taken
    // out of a chart leaves its drawing behind until the event loop deletes it.
    linearAxis = MakeBottomAxis(false, owner->font());
    logAxis = MakeBottomAxis(true, owner->font());
    chart->addAxis(linearAxis, Qt::AlignBottom);
    chart->addAxis(logAxis, Qt::AlignBottom);
    logAxis->hide();
    bottomAxis = linearAxis;
    for (int i = 0; i < kChartSeriesCount; ++i) series[i].colour = kSeriesColours[i];
}

void TChart::Impl::MarkDirty()
{
    dirty = true;
    if (syncQueued) return;
    syncQueued = true;
    QMetaObject::invokeMethod(
        owner, [this] { Sync(); }, Qt::QueuedConnection);
}

void TChart::Impl::Sync()
{
    syncQueued = false;
    if (!dirty) return;
    dirty = false;
    for (ChartSeries& line : series) RebuildRuns(line);
    ComputeAutomaticRanges();
    automaticView = true;
    ApplyRanges();
}

void TChart::Impl::Resized()
{
    if (automaticView) {
        MarkDirty();
        return;
    }
    // A zoomed view keeps its ends and only gets a tick step for the new size.
    if (!logarithmic) bottomView.step = NiceStep(bottomView.max - bottomView.min, BottomIntervals());
    leftView.step = NiceStep(leftView.max - leftView.min, LeftIntervals());
    ApplyRanges();
}

void TChart::Impl::InsertPoint(int index, const ChartPoint& point)
{
    // Walking back from the end keeps an ascending sweep at constant cost per point and
    // puts a point after those with an equal x.
    std::vector<ChartPoint>& points = series[index].points;
    auto at = points.end();
    while (at != points.begin() && !((at - 1)->x <= point.x)) --at;
    points.insert(at, point);
    DataChanged();
}

void TChart::Impl::DataChanged()
{
    bottomMinimum.reset();
    MarkDirty();
}

bool TChart::Impl::Visible(const ChartPoint& point) const
{
    return std::isfinite(point.x) && std::isfinite(point.y) && (!logarithmic || point.x > 0);
}

QLineSeries* TChart::Impl::AddRunSeries()
{
    auto* run = new QLineSeries;
    run->setPointsVisible(false);
    run->setPointLabelsVisible(false);
    chart->addSeries(run);
    run->attachAxis(bottomAxis);
    run->attachAxis(leftAxis);
    return run;
}

void TChart::Impl::RebuildRuns(ChartSeries& line)
{
    QList<QPointF> shown;
    QVector<QColor> colours;
    for (const ChartPoint& point : line.points) {
        if (Visible(point)) {
            shown.append(QPointF(point.x, point.y));
            colours.append(point.colour);
        }
    }
    const QVector<ColourRun> runs = SplitColourRuns(colours);
    while (line.runs.size() < static_cast<size_t>(runs.size())) line.runs.push_back(AddRunSeries());
    for (size_t i = 0; i < line.runs.size(); ++i) {
        QLineSeries* drawn = line.runs[i];
        if (i >= static_cast<size_t>(runs.size())) {
            if (drawn->count() > 0) drawn->clear();
            continue;
        }
        const ColourRun& run = runs[static_cast<int>(i)];
        if (drawn->pen().color() != run.colour || drawn->pen().width() != kSeriesLineWidth)
            drawn->setPen(QPen(run.colour, kSeriesLineWidth));
        drawn->replace(shown.mid(run.first, run.last - run.first + 1));
    }
}

int TChart::Impl::BottomIntervals() const
{
    return std::max(2, view->width() / kPixelsPerBottomInterval);
}

int TChart::Impl::LeftIntervals() const
{
    return std::max(2, view->height() / kPixelsPerLeftInterval);
}

void TChart::Impl::ComputeAutomaticRanges()
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    double xLow = inf, xHigh = -inf, yLow = inf, yHigh = -inf;
    bool any = false;
    for (const ChartSeries& line : series) {
        for (const ChartPoint& point : line.points) {
            if (!Visible(point)) continue;
            any = true;
            xLow = std::min(xLow, point.x);
            xHigh = std::max(xHigh, point.x);
            yLow = std::min(yLow, point.y);
            yHigh = std::max(yHigh, point.y);
        }
    }
    if (logarithmic)
        bottomView = LogRange(any, xLow, xHigh);
    else
        bottomView =
            any ? LinearRange(xLow, xHigh, BottomIntervals(), false) : LinearRange(0.0, 1.0, BottomIntervals(), false);
    bottomView = WithBottomMinimum(bottomView);
    leftView = LeftAxisRange(any, yLow, yHigh, leftAutomatic, leftMinimum, LeftIntervals());
}

void TChart::Impl::ApplyRanges()
{
    if (logarithmic)
        SetLogAxis(static_cast<QLogValueAxis*>(logAxis), bottomView, std::max(2, view->width() / kPixelsPerLogLabel));
    else
        SetLinearAxis(static_cast<QValueAxis*>(linearAxis), bottomView);
    SetLinearAxis(leftAxis, leftView);
    // Axis labels change the plot area; settle it now so PlotRect matches what is drawn.
    chart->layout()->activate();
}

void TChart::Impl::SwitchBottomAxis(bool logarithmic_)
{
    // Empty the runs first: a logarithmic axis must never see a point at x <= 0.
    for (ChartSeries& line : series) {
        for (QLineSeries* run : line.runs) {
            run->clear();
            run->detachAxis(bottomAxis);
        }
    }
    bottomAxis->hide();
    logarithmic = logarithmic_;
    bottomAxis = logarithmic ? logAxis : linearAxis;
    bottomAxis->show();
    for (ChartSeries& line : series) {
        for (QLineSeries* run : line.runs) run->attachAxis(bottomAxis);
    }
    dirty = true;
    Sync();
}

void TChart::Impl::SetBottomMinimum(double minimum)
{
    if (!std::isfinite(minimum) || (logarithmic && !(minimum > 0))) return;
    bottomMinimum = minimum;
    dirty = true;
    Sync();
}

// The automatic bottom range started at the set minimum; a logarithmic axis passes over a
// minimum at or below zero. Past the data's maximum the range keeps a drawable width.
AxisRange TChart::Impl::WithBottomMinimum(const AxisRange& automatic) const
{
    if (!bottomMinimum) return automatic;
    const double minimum = *bottomMinimum;
    if (logarithmic) {
        if (!(minimum > 0)) return automatic;
        return SafeLogRange(minimum, automatic.max > minimum ? automatic.max : minimum * 10);
    }
    const double maximum = automatic.max > minimum ? automatic.max : minimum + (automatic.max - automatic.min);
    return SafeLinearRange(minimum, maximum, BottomIntervals());
}

void TChart::Impl::ResetZoom()
{
    dirty = true;
    Sync();
}

ChartViewRanges TChart::Impl::ZoomView() const
{
    return {bottomView, logarithmic, {leftView}};
}

void TChart::Impl::ZoomShow(const ChartViewRanges& view)
{
    bottomView = view.bottom;
    leftView = view.verticals.front();
    automaticView = false;
    ApplyRanges();
}

QRectF TChart::Impl::PlotArea() const
{
    const QPoint origin = view->viewport()->mapTo(owner, view->mapFromScene(QPointF(0, 0)));
    return chart->plotArea().translated(origin);
}

AxisScale TChart::Impl::BottomScale() const
{
    return {bottomView.min, bottomView.max, logarithmic};
}

AxisScale TChart::Impl::LeftScale() const
{
    return {leftView.min, leftView.max, false};
}

} // namespace corvane
