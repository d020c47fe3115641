// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QColor>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

class QPainter;

namespace corvane {

// The response chart: a two-series line chart over Qt Charts with the operations the
// window needs. Series 0 is the attenuation, series 1 the input reflection.
class TChart : public QWidget {
    Q_OBJECT
public:
    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    void SetTitle(const QString& text);
    QString Title() const;

    // Removes every point of a series and redraws.
    void Clear(int series);
    // Inserts a point keeping x ascending; a point with an x already present goes after
    // those points. The segment ending at the point is drawn in its colour.
    void AddPoint(int series, double x, double y, const QColor& colour);
    int PointCount(int series) const;
    QPointF PointAt(int series, int index) const;
    QColor PointColour(int series, int index) const;
    // The series' own colour (series 0 red, series 1 lime); AddPoint with an invalid
    // colour uses it.
    QColor SeriesColour(int series) const;

    // Qt::PointingHandCursor while the mouse was over a line at the previous movement,
    // Qt::ArrowCursor otherwise.
    Qt::CursorShape HoverCursor() const;
    // The plotting rectangle in chart pixels (left, top, right, bottom): left() shows the
    // bottom axis minimum, right() its maximum, bottom() the left axis minimum, top() its
    // maximum.
    QRect PlotRect() const;
    // The system pointer position in chart pixels.
    QPoint MousePosition() const;

    // The ranges in force on screen, whether automatic, fixed or zoomed.
    double BottomMinimum() const;
    double BottomMaximum() const;
    double LeftMinimum() const;
    double LeftMaximum() const;

    void SetLeftAutomaticMinimum(bool automatic);
    bool LeftAutomaticMinimum() const;
    void SetLeftMinimum(double minimum);

    bool BottomLogarithmic() const;
    void SetBottomLogarithmic(bool logarithmic);
    // Fixes the bottom axis's minimum, the maximum staying automatic, until the data change;
    // it holds over switches between linear and logarithmic. A logarithmic axis passes over a
    // minimum at or below zero.
    void SetBottomMinimum(double minimum);

    // The chart as on screen, laid out and drawn at size for an export, the bottom axis titled
    // bottomTitle and each series named in a legend; the chart on screen is left as it was.
    void Render(QPainter& painter, QSize size, const QString& bottomTitle, const QStringList& seriesNames);

    // Back to the full view after zooming or panning with the mouse: left-drag zooms to the
    // rectangle, right-drag pans, a double click resets.
    void ResetZoom();

protected:
    void resizeEvent(QResizeEvent* event) override;

signals:
    // Every mouse movement over the chart, reported before the hover state is updated.
    void MouseMoved();
    void SeriesClicked(int series);

private:
    class Impl;
    Impl* impl_;
};

} // namespace corvane
