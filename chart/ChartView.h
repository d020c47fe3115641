// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QChartView>

class QMouseEvent;

namespace corvane {

// What the chart does with the mouse; positions are in viewport pixels.
class ChartMouseHandler {
public:
    virtual ~ChartMouseHandler() = default;
    virtual void ViewMouseMoved(QPoint position) = 0;
    virtual void ViewMousePressed(QPoint position, Qt::MouseButton button) = 0;
    virtual void ViewMouseReleased(QPoint position, Qt::MouseButton button) = 0;
    virtual void ViewDoubleClicked() = 0;
    // Pending changes are drawn, so a grab right after a change shows it.
    virtual void ViewAboutToPaint() = 0;
    // Wheel steps, positive away from the user; false leaves the wheel to the view as before.
    virtual bool ViewWheel(QPoint, int) { return false; }
};

// A chart view that leaves the mouse to its handler instead of Qt Charts' own
// rubber band and item events.
class ChartView : public QChartView {
public:
    ChartView(QChart* chart, ChartMouseHandler* handler, QWidget* parent);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    ChartMouseHandler* handler_;
};

} // namespace corvane
