// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QPoint>
#include <QRectF>
#include <vector>

#include "chart/NiceScale.h"

class QRubberBand;
class QWidget;

namespace corvane {

// The ranges a zoom or a pan acts on: the bottom axis and every vertical axis beside it.
struct ChartViewRanges {
    AxisRange bottom{0.0, 1.0, 0.2};
    bool logarithmic = false;
    std::vector<AxisRange> verticals;
};

// The view zoomed to the rectangle zoom (pixels, inside area, the plot rectangle), or the view
// unchanged for a rectangle under 2 px either way.
ChartViewRanges ZoomedView(const ChartViewRanges& view, const QRectF& area, const QRectF& zoom, int bottomIntervals,
                           int verticalIntervals);
// The view that start showed, moved so that what lay under the press point lies offset pixels on.
ChartViewRanges PannedView(const ChartViewRanges& start, const QRectF& area, QPointF offset, int bottomIntervals,
                           int verticalIntervals);
// Every axis scaled by factor about the pixel at (above 1 shows more, below 1 less).
ChartViewRanges ScaledView(const ChartViewRanges& view, const QRectF& area, QPointF at, double factor,
                           int bottomIntervals, int verticalIntervals);

// What a zoomable chart offers its mouse gestures. Positions are the owner's pixels.
class ZoomTarget {
public:
    virtual ~ZoomTarget() = default;
    virtual QRectF ZoomPlotArea() const = 0;
    virtual QPointF ZoomToOwner(QPoint viewportPosition) const = 0;
    virtual ChartViewRanges ZoomView() const = 0;
    // A zoom or pan chose this view.
    virtual void ZoomShow(const ChartViewRanges& view) = 0;
    // A double click: back to the whole view.
    virtual void ZoomReset() = 0;
    virtual int ZoomBottomIntervals() const = 0;
    virtual int ZoomVerticalIntervals() const = 0;
};

// The mouse gestures of every chart: a left drag that starts in the plot zooms to the rectangle
// once the pointer has moved 4 px, a right drag that starts in the plot pans with the pointer, a
// double click resets. The owner's view passes its viewport positions on and keeps whatever else
// it does with the mouse (hover, clicks, readout) for the events these calls do not claim.
class ChartZoom {
public:
    ChartZoom(ZoomTarget& target, QWidget* viewport);

    void Press(QPoint position, Qt::MouseButton button);
    // True when the movement belonged to a zoom drag or a pan.
    bool Move(QPoint position);
    // True when the release ended a zoom drag (it is then no click).
    bool Release(QPoint position, Qt::MouseButton button);
    void DoubleClick();
    // Wheel steps away from the user (positive) show less, towards the user more, about the pointer.
    void Wheel(QPoint position, int steps);
    bool Busy() const { return zooming_ || panning_; }

private:
    ZoomTarget& target_;
    QRubberBand* band_;
    bool pending_ = false; // a left press in the plot, not yet a drag
    bool zooming_ = false;
    bool panning_ = false;
    QPoint origin_; // viewport pixels
    ChartViewRanges panStart_;
};

} // namespace corvane
