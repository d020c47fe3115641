// SPDX-License-Identifier: Apache-2.0
#include "chart/ChartZoom.h"

#include <QRubberBand>
#include <cmath>

#include "chart/PlotGeometry.h"

namespace corvane {

namespace {

// A press becomes a zoom drag once the mouse has moved this far.
constexpr int kDragThreshold = 4;
// Each wheel step shows this much more (or less) of every axis.
constexpr double kWheelFactor = 1.25;

AxisRange ShiftedLinear(const AxisRange& range, double fraction, int intervals)
{
    const double shift = (range.max - range.min) * fraction;
    return SafeLinearRange(range.min + shift, range.max + shift, intervals);
}

AxisRange ShiftedLog(const AxisRange& range, double fraction)
{
    const double low = std::log10(range.min);
    const double shift = (std::log10(range.max) - low) * fraction;
    return SafeLogRange(std::pow(10.0, low + shift), std::pow(10.0, std::log10(range.max) + shift));
}

// The range scaled by factor about value, in log10 of the values on a logarithmic axis.
AxisRange ScaledRange(const AxisRange& range, bool logarithmic, double value, double factor, int intervals)
{
    if (logarithmic) {
        const double at = std::log10(value);
        const double low = at + (std::log10(range.min) - at) * factor;
        const double high = at + (std::log10(range.max) - at) * factor;
        return SafeLogRange(std::pow(10.0, low), std::pow(10.0, high));
    }
    return SafeLinearRange(value + (range.min - value) * factor, value + (range.max - value) * factor, intervals);
}

} // namespace

ChartViewRanges ZoomedView(const ChartViewRanges& view, const QRectF& area, const QRectF& rect, int bottomIntervals,
                           int verticalIntervals)
{
    const QRectF zoom = rect.normalized().intersected(area);
    if (zoom.width() < 2 || zoom.height() < 2) return view;
    ChartViewRanges out = view;
    const AxisScale bottom{view.bottom.min, view.bottom.max, view.logarithmic};
    const double x0 = PixelToValue(bottom, zoom.left(), area.left(), area.right());
    const double x1 = PixelToValue(bottom, zoom.right(), area.left(), area.right());
    out.bottom = view.logarithmic ? SafeLogRange(x0, x1) : SafeLinearRange(x0, x1, bottomIntervals);
    for (AxisRange& range : out.verticals) {
        const AxisScale scale{range.min, range.max, false};
        range = SafeLinearRange(PixelToValue(scale, zoom.bottom(), area.bottom(), area.top()),
                                PixelToValue(scale, zoom.top(), area.bottom(), area.top()), verticalIntervals);
    }
    return out;
}

ChartViewRanges PannedView(const ChartViewRanges& start, const QRectF& area, QPointF offset, int bottomIntervals,
                           int verticalIntervals)
{
    if (area.width() < 1 || area.height() < 1) return start;
    ChartViewRanges out = start;
    const double across = -offset.x() / area.width();
    out.bottom =
        start.logarithmic ? ShiftedLog(start.bottom, across) : ShiftedLinear(start.bottom, across, bottomIntervals);
    const double up = offset.y() / area.height();
    for (AxisRange& range : out.verticals) range = ShiftedLinear(range, up, verticalIntervals);
    return out;
}

ChartViewRanges ScaledView(const ChartViewRanges& view, const QRectF& area, QPointF at, double factor,
                           int bottomIntervals, int verticalIntervals)
{
    if (area.width() < 1 || area.height() < 1 || !(factor > 0)) return view;
    ChartViewRanges out = view;
    const AxisScale bottom{view.bottom.min, view.bottom.max, view.logarithmic};
    out.bottom = ScaledRange(view.bottom, view.logarithmic, PixelToValue(bottom, at.x(), area.left(), area.right()),
                             factor, bottomIntervals);
    for (AxisRange& range : out.verticals) {
        const AxisScale scale{range.min, range.max, false};
        range = ScaledRange(range, false, PixelToValue(scale, at.y(), area.bottom(), area.top()), factor,
                            verticalIntervals);
    }
    return out;
}

ChartZoom::ChartZoom(ZoomTarget& target, QWidget* viewport)
    : target_(target), band_(new QRubberBand(QRubberBand::Rectangle, viewport))
{
}

void ChartZoom::Press(QPoint position, Qt::MouseButton button)
{
    const bool inPlot = target_.ZoomPlotArea().contains(target_.ZoomToOwner(position));
    if (button == Qt::RightButton) {
        pending_ = zooming_ = false;
        band_->hide();
        panning_ = inPlot;
        origin_ = position;
        panStart_ = target_.ZoomView();
        return;
    }
    if (button != Qt::LeftButton) return;
    pending_ = inPlot;
    zooming_ = false;
    origin_ = position;
}

bool ChartZoom::Move(QPoint position)
{
    if (panning_) {
        target_.ZoomShow(PannedView(panStart_, target_.ZoomPlotArea(), position - origin_,
                                    target_.ZoomBottomIntervals(), target_.ZoomVerticalIntervals()));
        return true;
    }
    if (pending_ && !zooming_ && (position - origin_).manhattanLength() >= kDragThreshold) {
        zooming_ = true;
        band_->show();
    }
    if (!zooming_) return false;
    band_->setGeometry(QRect(origin_, position).normalized());
    return true;
}

bool ChartZoom::Release(QPoint position, Qt::MouseButton button)
{
    if (button == Qt::RightButton) panning_ = false;
    if (button != Qt::LeftButton) return false;
    const bool wasZoom = zooming_;
    pending_ = zooming_ = false;
    if (!wasZoom) return false;
    band_->hide();
    const QRectF area = target_.ZoomPlotArea();
    const QRectF rect(target_.ZoomToOwner(origin_), target_.ZoomToOwner(position));
    const QRectF zoom = rect.normalized().intersected(area);
    // A rectangle too thin to read leaves the view as it was, zoomed or not.
    if (zoom.width() >= 2 && zoom.height() >= 2)
        target_.ZoomShow(
            ZoomedView(target_.ZoomView(), area, zoom, target_.ZoomBottomIntervals(), target_.ZoomVerticalIntervals()));
    return true;
}

void ChartZoom::DoubleClick()
{
    pending_ = zooming_ = panning_ = false;
    band_->hide();
    target_.ZoomReset();
}

void ChartZoom::Wheel(QPoint position, int steps)
{
    const QRectF area = target_.ZoomPlotArea();
    const QPointF at = target_.ZoomToOwner(position);
    if (steps == 0 || !area.contains(at)) return;
    target_.ZoomShow(ScaledView(target_.ZoomView(), area, at, std::pow(kWheelFactor, -steps),
                                target_.ZoomBottomIntervals(), target_.ZoomVerticalIntervals()));
}

} // namespace corvane
