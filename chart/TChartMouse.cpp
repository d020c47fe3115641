// SPDX-License-Identifier: Apache-2.0
#include <QChart>

#include "chart/TChartImpl.h"

namespace corvane {

namespace {

// A line counts as under the mouse within this many pixels of its centre.
constexpr double kHitTolerance = 4.0;

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
    if (zoom->Move(position)) return;
    UpdateHover(ToOwner(position));
}

void TChart::Impl::ViewMousePressed(QPoint position, Qt::MouseButton button)
{
    // The plot rectangle and the ranges the gesture starts from are those on screen.
    Sync();
    if (button == Qt::RightButton) clickPending = false;
    if (button == Qt::LeftButton) clickPending = true;
    zoom->Press(position, button);
}

void TChart::Impl::ViewMouseReleased(QPoint position, Qt::MouseButton button)
{
    const bool wasClick = button == Qt::LeftButton && clickPending;
    if (button == Qt::LeftButton) clickPending = false;
    if (zoom->Release(position, button) || !wasClick) return;
    Sync();
    const int index = SeriesAt(ToOwner(position));
    if (index >= 0) emit owner->SeriesClicked(index);
}

void TChart::Impl::ViewDoubleClicked()
{
    clickPending = false;
    zoom->DoubleClick();
}
void TChart::Impl::ViewAboutToPaint()
{
    Sync();
}

} // namespace corvane
