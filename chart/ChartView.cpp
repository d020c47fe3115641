// SPDX-License-Identifier: Apache-2.0
#include "chart/ChartView.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace corvane {

ChartView::ChartView(QChart* chart, ChartMouseHandler* handler, QWidget* parent)
    : QChartView(chart, parent), handler_(handler)
{
    setRubberBand(QChartView::NoRubberBand);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setRenderHint(QPainter::Antialiasing, true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    handler_->ViewMouseMoved(event->position().toPoint());
    event->accept();
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    handler_->ViewMousePressed(event->position().toPoint(), event->button());
    event->accept();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    handler_->ViewMouseReleased(event->position().toPoint(), event->button());
    event->accept();
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) handler_->ViewDoubleClicked();
    event->accept();
}

void ChartView::paintEvent(QPaintEvent* event)
{
    handler_->ViewAboutToPaint();
    QChartView::paintEvent(event);
}

void ChartView::wheelEvent(QWheelEvent* event)
{
    // One notch of an ordinary wheel is 120 eighths of a degree.
    if (handler_->ViewWheel(event->position().toPoint(), event->angleDelta().y() / 120))
        event->accept();
    else
        QChartView::wheelEvent(event);
}

} // namespace corvane
