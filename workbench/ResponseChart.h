// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QWidget>
#include <vector>

#include "chart/ChartView.h"
#include "analysis/NetworkResponse.h"
#include "chart/NiceScale.h"

class QChart;
class QLineSeries;
class QLogValueAxis;
class QRubberBand;
class QValueAxis;

// |S21| and |S11| in dB on the left axis, group delay on the right axis, and the closed-form
// attenuation in light grey beneath them. Left-drag zooms into a rectangle, right-drag pans,
// a double-click returns to the full view. The curves' frequencies are in the chosen unit and
// ascending. A sweep of many more points than the plot is wide is drawn as each pixel column's
// extremes of the part in view. The pointer's frequency picks the nearest sweep
// point, which CursorMoved reports for the readout.
class ResponseChart : public QWidget, private ChartMouseHandler {
    Q_OBJECT
public:
    explicit ResponseChart(QWidget* parent = nullptr);
    ~ResponseChart() override;

    void SetCurves(const NetworkCurves& curves, bool logarithmic, const QString& unitText);
    void SetReference(const std::vector<double>& freq, const std::vector<double>& attDb);
    void Clear();
    void ResetView();

    QChart* Chart() const { return chart_; }
    // The x and y ranges in force, for tests and the readout.
    AxisRange FrequencyRange() const { return bottomView_; }
    AxisRange LevelRange() const { return leftView_; }
    // The plot area in this widget's pixels.
    QRectF PlotArea() const;

signals:
    // Index into the curves of the point nearest the pointer's frequency; -1 off the plot.
    void CursorMoved(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ViewMouseMoved(QPoint position) override;
    void ViewMousePressed(QPoint position, Qt::MouseButton button) override;
    void ViewMouseReleased(QPoint position, Qt::MouseButton button) override;
    void ViewDoubleClicked() override;
    void ViewAboutToPaint() override {}

    QLineSeries* AddSeries(const QColor& colour, qreal width, bool onDelayAxis);
    int Columns() const;
    void RefillThinned();
    void SwitchBottomAxis(bool logarithmic);
    void ComputeFullView();
    void ApplyView();
    void ZoomTo(QPointF corner, QPointF opposite);
    void PanBy(QPointF from, QPointF to);
    int NearestIndex(double frequency) const;
    QPointF ToOwner(QPoint viewportPosition) const;

    QChart* chart_;
    ChartView* view_;
    QRubberBand* band_;
    QValueAxis* leftAxis_;
    QValueAxis* delayAxis_;
    QValueAxis* linearAxis_;
    QLogValueAxis* logAxis_;
    QLineSeries* reference_;
    QLineSeries* s21_;
    QLineSeries* s11_;
    QLineSeries* delay_;
    NetworkCurves curves_;
    std::vector<double> referenceFreq_, referenceAtt_;
    bool logarithmic_ = false;
    bool thinned_ = false; // the curves hold more points than the plot has pixels to show
    double delayScale_ = 1.0; // seconds per delay-axis unit
    AxisRange bottomView_{0.0, 1.0, 0.2};
    AxisRange leftView_{0.0, 1.0, 0.2};
    AxisRange delayView_{0.0, 1.0, 0.2};
    enum class Drag { None, PendingZoom, Zoom, Pan } drag_ = Drag::None;
    QPoint dragOrigin_;
    QPoint panLast_;
};
