// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QPen>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "chart/ChartView.h"
#include "chart/ChartZoom.h"

class QChart;
class QImage;
class QPainter;

class QLogValueAxis;
class QCategoryAxis;
class QValueAxis;

namespace corvane {

// The zoomable plot that every workbench chart is: curves over an ascending x (the frequency in
// the design's unit) on a left and an optional right axis, a legend, and the shared gestures
// (left-drag zoom, right-drag pan, double-click back to the whole view, the wheel to zoom in or
// out about the pointer). A curve of many more points than the plot has pixel columns is drawn
// as each column's first, lowest, highest and last point of the part in view.
class PlotView : public QWidget, private ChartMouseHandler, private ZoomTarget {
    Q_OBJECT
public:
    enum class Side { Left, Right };
    explicit PlotView(QWidget* parent = nullptr);
    ~PlotView() override;

    // A line on one side's axis; the number it returns names it to SetCurve.
    int AddCurve(const QString& name, const QPen& pen, Side side = Side::Left);
    // A shaded band between a low and a high curve on the left axis.
    int AddBand(const QString& name, const QColor& fill);
    void SetCurve(int id, std::vector<double> x, std::vector<double> y);
    void SetBand(int id, std::vector<double> x, std::vector<double> low, std::vector<double> high);
    void SetCurveName(int id, const QString& name);
    QString CurveName(int id) const;
    int PointCount(int id) const;
    void SetTitles(const QString& bottom, const QString& left, const QString& right = QString());
    void SetLogarithmic(bool logarithmic);
    bool Logarithmic() const { return logarithmic_; }
    // The whole view of a side: the data's range, cut at floor, from zero when throughZero; or,
    // with home set, that range (the user zooms out from it with the wheel).
    void SetAutoRange(Side side, std::optional<double> floor, bool throughZero);
    void SetHomeRange(Side side, std::optional<AxisRange> home);
    // The whole view's x range on a linear axis, in place of the data's; none: the data's.
    void SetBottomHomeRange(std::optional<AxisRange> home);
    void ResetView();
    void ClearCurves();

    AxisRange BottomRange() const { return ranges_.bottom; }
    AxisRange VerticalRange(Side side) const { return ranges_.verticals[static_cast<size_t>(side)]; }
    // The plot area in this widget's pixels.
    QRectF PlotArea() const;
    QChart* Chart() const { return chart_; }

    // The chart alone, with its legend and axis titles, laid out and drawn at size.
    QImage Image(QSize size);
    void Render(QPainter& painter, QSize size);

signals:
    // The x under the pointer in the plot, NaN when it leaves the plot.
    void CursorMoved(double x);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Curve;
    struct SideRule {
        std::optional<double> floor;
        bool throughZero = false;
        std::optional<AxisRange> home;
    };
    void ShowInLegend(const Curve& curve);
    void FitLegend();
    void FitLegend(int chartWidth);
    void ViewMouseMoved(QPoint position) override;
    void ViewMousePressed(QPoint position, Qt::MouseButton button) override;
    void ViewMouseReleased(QPoint position, Qt::MouseButton button) override;
    void ViewDoubleClicked() override;
    void ViewAboutToPaint() override {}
    bool ViewWheel(QPoint position, int steps) override;

    QRectF ZoomPlotArea() const override { return PlotArea(); }
    QPointF ZoomToOwner(QPoint viewportPosition) const override;
    ChartViewRanges ZoomView() const override { return ranges_; }
    void ZoomShow(const ChartViewRanges& view) override;
    void ZoomReset() override { ResetView(); }
    int ZoomBottomIntervals() const override;
    int ZoomVerticalIntervals() const override;

    Curve& Add(Side side);
    void Refill(Curve& curve);
    void UpdateRightAxis();
    void SwitchBottomAxis(bool logarithmic);
    AxisRange WholeVertical(Side side, bool any, double lo, double hi) const;
    void ApplyView();
    int Columns() const;

    QChart* chart_;
    ChartView* view_;
    std::optional<ChartZoom> zoom_;
    QCategoryAxis* axes_[2];
    QCategoryAxis* linearAxis_;
    QLogValueAxis* logAxis_;
    std::vector<std::unique_ptr<Curve>> curves_;
    SideRule rules_[2];
    std::optional<AxisRange> bottomHome_;
    bool logarithmic_ = false;
    ChartViewRanges ranges_;
};

} // namespace corvane
