// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QColor>
#include <QString>
#include <QWidget>
#include <complex>
#include <optional>
#include <vector>

#include "chart/ChartZoom.h"

class QPainter;

namespace corvane {

// A Smith chart: the impedance grid (and the admittance grid when asked) over the unit circle of
// the reflection plane, with reflection curves against frequency. It zooms and pans with the
// gestures of every other plot (ChartZoom), keeping circles round, and reports the curve point
// nearest the pointer.
class SmithChart : public QWidget, private ZoomTarget {
    Q_OBJECT
public:
    explicit SmithChart(QWidget* parent = nullptr);
    ~SmithChart() override;

    // A curve of reflections at frequencies (any unit the caller reads back), against a reference
    // resistance for the impedance readout; the number it returns names it to SetCurve.
    int AddCurve(const QString& name, const QColor& colour, bool dashed = false);
    void SetCurve(int id, std::vector<double> frequency, std::vector<std::complex<double>> gamma, double referenceOhms);
    void ClearCurves();
    int PointCount(int id) const;
    void SetAdmittanceGrid(bool shown);
    bool AdmittanceGrid() const { return admittance_; }
    void ResetView();

    // The reflection plane shown: real part across, imaginary part up.
    AxisRange RealRange() const { return view_.bottom; }
    AxisRange ImaginaryRange() const { return view_.verticals.front(); }
    // The plot square in this widget's pixels, and a reflection's place in it.
    QRectF PlotArea() const;
    QPointF PixelOf(std::complex<double> gamma) const;
    // The chart as shown (grid, curves, legend, the view's zoom), drawn at size on a painter of
    // any device: an image export.
    void Render(QPainter& painter, QSize size) const;

    struct Pick {
        int curve = -1;
        size_t index = 0;
        double frequency = 0.0;
        std::complex<double> gamma;
        std::complex<double> impedance; // ohms
        double returnLossDb = 0.0;
    };
    // The curve point nearest a pixel within a few pixels' reach, if any.
    std::optional<Pick> PickAt(QPointF pixel) const;
    QString CurveName(int id) const;

signals:
    // The point under the pointer, none when it leaves the chart.
    void Picked(std::optional<corvane::SmithChart::Pick> pick);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Curve {
        QString name;
        QColor colour;
        bool dashed = false;
        std::vector<double> frequency;
        std::vector<std::complex<double>> gamma;
        double referenceOhms = 50.0;
    };

    QRectF ZoomPlotArea() const override { return PlotArea(); }
    QPointF ZoomToOwner(QPoint position) const override { return position; }
    ChartViewRanges ZoomView() const override { return view_; }
    void ZoomShow(const ChartViewRanges& view) override;
    void ZoomReset() override { ResetView(); }
    int ZoomBottomIntervals() const override { return 10; }
    int ZoomVerticalIntervals() const override { return 10; }

    static QRectF AreaIn(QSize size);
    QPointF PixelIn(const QRectF& area, std::complex<double> gamma) const;
    void Draw(QPainter& painter, const QRectF& area, bool withPick) const;
    void DrawGrid(QPainter& painter, const QRectF& area) const;
    void DrawCurves(QPainter& painter, const QRectF& area, bool withPick) const;
    void DrawLegend(QPainter& painter) const;

    std::vector<Curve> curves_;
    ChartViewRanges view_;
    std::optional<ChartZoom> zoom_;
    std::optional<Pick> pick_;
    bool admittance_ = false;
};

} // namespace corvane
