// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QPointer>
#include <array>
#include <optional>
#include <vector>

#include "chart/ChartView.h"
#include "chart/ChartZoom.h"
#include "chart/NiceScale.h"
#include "chart/PlotGeometry.h"
#include "chart/TChart.h"

class QAbstractAxis;
class QChart;
class QLineSeries;
class QValueAxis;

namespace corvane {

constexpr int kChartSeriesCount = 2;

struct ChartPoint {
    double x;
    double y;
    QColor colour;
};

// One logical series: its points in ascending x and the line series that draw its runs
// of equal colour.
struct ChartSeries {
    std::vector<ChartPoint> points;
    QColor colour;
    std::vector<QLineSeries*> runs;
};

class TChart::Impl : public ChartMouseHandler, private ZoomTarget {
public:
    explicit Impl(TChart* owner);

    // Changes are collected and drawn once: by the next event loop pass, before a paint,
    // or before anything reads a range or the plot rectangle.
    void MarkDirty();
    void Sync();

    void InsertPoint(int series, const ChartPoint& point);
    void SwitchBottomAxis(bool logarithmic);
    void SetBottomMinimum(double minimum);
    void ResetZoom();
    void Resized();
    // New or removed points: the view and any set bottom minimum give way to the data.
    void DataChanged();

    QRectF PlotArea() const; // in owner pixels
    AxisScale BottomScale() const;
    AxisScale LeftScale() const;
    // The first series whose line passes within the hit tolerance of p, or -1.
    int SeriesAt(QPointF p) const;

    void ViewMouseMoved(QPoint position) override;
    void ViewMousePressed(QPoint position, Qt::MouseButton button) override;
    void ViewMouseReleased(QPoint position, Qt::MouseButton button) override;
    void ViewDoubleClicked() override;
    void ViewAboutToPaint() override;

    TChart* owner;
    QChart* chart;
    ChartView* view;
    QValueAxis* leftAxis;
    QAbstractAxis* linearAxis;
    QAbstractAxis* logAxis;
    QAbstractAxis* bottomAxis; // the one of the two in use
    std::array<ChartSeries, kChartSeriesCount> series;
    QString title;
    bool logarithmic = false;
    bool leftAutomatic = true;
    double leftMinimum = 0.0;
    // Set by SetBottomMinimum: kept over switches between linear and logarithmic until the
    // data change; the maximum stays automatic.
    std::optional<double> bottomMinimum;
    AxisRange bottomView{0.0, 1.0, 0.2};
    AxisRange leftView{0.0, 1.0, 0.2};
    Qt::CursorShape hover = Qt::ArrowCursor;

private:
    bool Visible(const ChartPoint& point) const;
    void RebuildRuns(ChartSeries& line);
    QLineSeries* AddRunSeries();
    void ComputeAutomaticRanges();
    void ApplyRanges();
    AxisRange WithBottomMinimum(const AxisRange& automatic) const;
    void UpdateHover(QPointF p);
    QPointF ToOwner(QPoint viewportPosition) const;
    QRectF ZoomPlotArea() const override { return PlotArea(); }
    QPointF ZoomToOwner(QPoint viewportPosition) const override { return ToOwner(viewportPosition); }
    ChartViewRanges ZoomView() const override;
    void ZoomShow(const ChartViewRanges& view) override;
    void ZoomReset() override { ResetZoom(); }
    int ZoomBottomIntervals() const override { return BottomIntervals(); }
    int ZoomVerticalIntervals() const override { return LeftIntervals(); }
    int BottomIntervals() const;
    int LeftIntervals() const;

    bool dirty = true;
    bool syncQueued = false;
    bool automaticView = true; // false while zoomed or panned
    bool clickPending = false;
    std::optional<ChartZoom> zoom; // made once the view exists
};

} // namespace corvane
