// SPDX-License-Identifier: Apache-2.0
#pragma once
// Helpers shared by the chart tests: data-to-pixel mapping from the chart's own reports
// and synthetic mouse events delivered to the chart view's viewport.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QChartView>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QtTest>
#include <cmath>

#include "chart/TChart.h"

using namespace corvane;

namespace kit {

inline QWidget* Viewport(TChart& chart)
{
    auto* view = chart.findChild<QChartView*>();
    return view ? view->viewport() : nullptr;
}

// Where a data point is drawn, in chart pixels, worked out from PlotRect and the ranges in
// force (a logarithmic bottom axis maps log10 of x).
inline QPointF PixelOf(const TChart& chart, double x, double y)
{
    const QRect r = chart.PlotRect();
    double fx;
    if (chart.BottomLogarithmic())
        fx = (std::log10(x) - std::log10(chart.BottomMinimum())) /
             (std::log10(chart.BottomMaximum()) - std::log10(chart.BottomMinimum()));
    else
        fx = (x - chart.BottomMinimum()) / (chart.BottomMaximum() - chart.BottomMinimum());
    const double fy = (y - chart.LeftMinimum()) / (chart.LeftMaximum() - chart.LeftMinimum());
    return {r.left() + fx * (r.right() - r.left()), r.bottom() - fy * (r.bottom() - r.top())};
}

inline void Send(TChart& chart, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QWidget* viewport = Viewport(chart);
    const QPoint local = viewport->mapFrom(&chart, at);
    QMouseEvent event(type, QPointF(local), QPointF(viewport->mapToGlobal(local)), button, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

// Moves the system pointer too, so MousePosition agrees with the event.
inline void MoveTo(TChart& chart, QPoint at, Qt::MouseButtons held = Qt::NoButton)
{
    QCursor::setPos(chart.mapToGlobal(at));
    Send(chart, QEvent::MouseMove, at, Qt::NoButton, held);
}

inline void Press(TChart& chart, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    Send(chart, QEvent::MouseButtonPress, at, button, button);
}

inline void Release(TChart& chart, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    Send(chart, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

inline void DoubleClick(TChart& chart, QPoint at)
{
    Press(chart, at);
    Release(chart, at);
    Send(chart, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Release(chart, at);
}

inline void Drag(TChart& chart, QPoint from, QPoint to)
{
    MoveTo(chart, from);
    Press(chart, from);
    MoveTo(chart, (from + to) / 2, Qt::LeftButton);
    MoveTo(chart, to, Qt::LeftButton);
    Release(chart, to);
}

// A chart at the window's size, shown offscreen and settled.
inline void Prepare(TChart& chart)
{
    chart.resize(407, 299);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QCoreApplication::processEvents();
}

// True when some pixel within radius of p has about the given colour.
inline bool ColourNear(const QImage& image, QPointF p, const QColor& colour, int radius = 2)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint at = p.toPoint() + QPoint(dx, dy);
            if (!image.rect().contains(at)) continue;
            const QColor c = image.pixelColor(at);
            if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
                std::abs(c.blue() - colour.blue()) < 40)
                return true;
        }
    }
    return false;
}

inline QImage Snapshot(TChart& chart)
{
    return chart.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace kit
