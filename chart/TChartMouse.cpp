// SPDX-License-Identifier: Apache-2.0
#include <QChart>
#include <QRubberBand>

#include "chart/TChartImpl.h"

namespace {

// A line counts as under the mouse within this many pixels of its centre.
constexpr double kHitTolerance = 4.0;
// A press becomes a zoom drag once the mouse has moved this far.
constexpr int kDragThreshold = 4;

} // namespace

QPointF TChart::Impl::ToOwner(QPoint viewportPosition) const
{
    return view->viewport()->mapTo(owner, viewportPosition);
}

int TChart::Impl::SeriesAt(QPointF p) const
{
    const QRectF area = PlotArea();
    if (!area.adjusted(-kHitTolerance, -kHitTolerance, kHitTolerance, kHitTolerance).contains(p)) return -1;
    const AxisScale bottom = BottomScale();
    const AxisScale left = LeftScale();
    for (int index = 0; index < kChartSeriesCount; ++index) {
        QVector<QPointF> pixels;
        pixels.reserve(static_cast<int>(series[index].points.size()));
        for (const ChartPoint& point : series[index].points) {
            if (!Visible(point)) continue;
            pixels.append({ValueToPixel(bottom, point.x, area.left(), area.right()),
                           ValueToPixel(left, point.y, area.bottom(), area.top())});
        }
        if (NearPolyline(pixels, p, kHitTolerance)) return index;
    }
    return -1;
}

void TChart::Impl::UpdateHover(QPointF p)
{
    Sync();
    hover = SeriesAt(p) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor;
    view->viewport()->setCursor(hover);
}

void TChart::Impl::ViewMouseMoved(QPoint position)
{
    emit owner->MouseMoved();
    if (panning) {
        PanBy(position - panOrigin);
        return;
    }
    if (dragPending && !dragging && (position - dragOrigin).manhattanLength() >= kDragThreshold) {
        dragging = true;
        band->setGeometry(QRect(dragOrigin, position).normalized());
        band->show();
    }
    if (dragging) {
        band->setGeometry(QRect(dragOrigin, position).normalized());
        return;
    }
    UpdateHover(ToOwner(position));
}

void TChart::Impl::ViewMousePressed(QPoint position, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        clickPending = dragPending = dragging = false;
        band->hide();
        Sync();
        panning = PlotArea().contains(ToOwner(position));
        panOrigin = position;
        panBottom = bottomView;
        panLeft = leftView;
        return;
    }
    if (button != Qt::LeftButton) return;
    Sync();
    clickPending = true;
    dragPending = PlotArea().contains(ToOwner(position));
    dragging = false;
    dragOrigin = position;
}

void TChart::Impl::ViewMouseReleased(QPoint position, Qt::MouseButton button)
{
    if (button == Qt::RightButton) panning = false;
    if (button != Qt::LeftButton) return;
    const bool wasDrag = dragging;
    const bool wasClick = clickPending;
    clickPending = dragPending = dragging = false;
    if (wasDrag) {
        band->hide();
        ZoomTo(ToOwner(dragOrigin), ToOwner(position));
        return;
    }
    if (!wasClick) return;
    Sync();
    const int index = SeriesAt(ToOwner(position));
    if (index >= 0) emit owner->SeriesClicked(index);
}

void TChart::Impl::ViewDoubleClicked()
{
    clickPending = dragPending = dragging = panning = false;
    band->hide();
    ResetZoom();
}

void TChart::Impl::ViewAboutToPaint()
{
    Sync();
}
