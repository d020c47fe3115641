// SPDX-License-Identifier: Apache-2.0
#include "workbench/ResponseChart.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QRubberBand>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/ChartStyle.h"
#include "chart/PlotGeometry.h"
#include "filtermath/EngineeringText.h"
#include "run/Rules.h"

namespace {

const QColor kS21Colour(0, 0, 200);
const QColor kS11Colour(0, 128, 0);
const QColor kDelayColour(200, 100, 0);
const QColor kReferenceColour(200, 200, 200);

constexpr int kPixelsPerBottomInterval = 80;
constexpr int kPixelsPerLeftInterval = 40;
constexpr int kPixelsPerLogLabel = 50;
constexpr int kDragThreshold = 4;

QValueAxis* MakeValueAxis(const QFont& font, const QString& title)
{
    auto* axis = static_cast<QValueAxis*>(MakeBottomAxis(false, font));
    axis->setTitleText(title);
    return axis;
}

QList<QPointF> Points(const std::vector<double>& x, const std::vector<double>& y, double scale, bool logarithmic)
{
    QList<QPointF> points;
    points.reserve(static_cast<int>(x.size()));
    for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || (logarithmic && !(x[i] > 0))) continue;
        points.append(QPointF(x[i], y[i] / scale));
    }
    return points;
}

// Above this many points a pixel column, a curve is drawn as the first, lowest, highest and
// last point of each column of the plot: the same picture, at a cost set by the plot's width,
// not the sweep's.
constexpr size_t kPointsPerColumn = 4;

// The points of the visible part of a curve with ascending x, thinned to each column's first,
// extreme and last points in their order along the curve; one point beyond each end keeps the
// line running to the edge.
QList<QPointF> Envelope(const std::vector<double>& x, const std::vector<double>& y, double scale,
                        const AxisScale& bottom, int columns)
{
    const size_t count = std::min(x.size(), y.size());
    size_t first = static_cast<size_t>(std::lower_bound(x.begin(), x.begin() + count, bottom.min) - x.begin());
    size_t last = static_cast<size_t>(std::upper_bound(x.begin(), x.begin() + count, bottom.max) - x.begin());
    if (first > 0) --first;
    if (last < count) ++last;
    QList<QPointF> points;
    points.reserve(static_cast<int>(kPointsPerColumn) * (columns + 2));
    int column = std::numeric_limits<int>::min();
    size_t start = 0, low = 0, high = 0, end = 0;
    const auto flush = [&] {
        if (column == std::numeric_limits<int>::min()) return;
        const size_t picked[] = {start, std::min(low, high), std::max(low, high), end};
        for (size_t k = 0; k < 4; ++k)
            if (k == 0 || picked[k] != picked[k - 1]) points.append(QPointF(x[picked[k]], y[picked[k]] / scale));
    };
    for (size_t i = first; i < last; ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || (bottom.logarithmic && !(x[i] > 0))) continue;
        const double pixel = ValueToPixel(bottom, x[i], 0.0, columns);
        const int at = static_cast<int>(std::clamp(std::floor(pixel), -1.0, static_cast<double>(columns)));
        if (at != column) {
            flush();
            column = at;
            start = low = high = i;
        } else if (y[i] < y[low]) {
            low = i;
        } else if (y[i] > y[high]) {
            high = i;
        }
        end = i;
    }
    flush();
    return points;
}

} // namespace

ResponseChart::ResponseChart(QWidget* parent) : QWidget(parent)
{
    chart_ = new QChart;
    StyleChart(chart_, font());
    chart_->setMargins(QMargins(2, 6, 2, 2));
    view_ = new ChartView(chart_, this, this);
    StyleView(view_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    band_ = new QRubberBand(QRubberBand::Rectangle, view_->viewport());

    leftAxis_ = MakeLeftAxis(font());
    leftAxis_->setTitleText(tr("|S21|, |S11|, dB"));
    delayAxis_ = MakeValueAxis(font(), tr("Group delay, s"));
    delayAxis_->setLabelsColor(kDelayColour);
    delayAxis_->setTitleBrush(kDelayColour);
    delayAxis_->setGridLineVisible(false);
    linearAxis_ = MakeValueAxis(font(), tr("Frequency"));
    logAxis_ = static_cast<QLogValueAxis*>(MakeBottomAxis(true, font()));
    chart_->addAxis(leftAxis_, Qt::AlignLeft);
    chart_->addAxis(delayAxis_, Qt::AlignRight);
    chart_->addAxis(linearAxis_, Qt::AlignBottom);
    chart_->addAxis(logAxis_, Qt::AlignBottom);
    logAxis_->hide();

    // The closed form lies beneath the exact |S21| as a wide pale band, so that both show
    // where they agree.
    reference_ = AddSeries(kReferenceColour, 6.0, false);
    delay_ = AddSeries(kDelayColour, 1.5, true);
    s11_ = AddSeries(kS11Colour, 1.5, false);
    s21_ = AddSeries(kS21Colour, 2.0, false);
    reference_->setName(tr("Closed form"));
    delay_->setName(tr("Group delay"));
    s11_->setName(tr("|S11|"));
    s21_->setName(tr("|S21|"));
    QLegend* legend = chart_->legend();
    legend->setAlignment(Qt::AlignTop);
    legend->setFont(font());
    legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
    legend->show();
}

ResponseChart::~ResponseChart() = default;

QLineSeries* ResponseChart::AddSeries(const QColor& colour, qreal width, bool onDelayAxis)
{
    auto* series = new QLineSeries;
    series->setPen(QPen(colour, width));
    series->setPointsVisible(false);
    chart_->addSeries(series);
    series->attachAxis(linearAxis_);
    series->attachAxis(onDelayAxis ? delayAxis_ : leftAxis_);
    return series;
}

void ResponseChart::SwitchBottomAxis(bool logarithmic)
{
    if (logarithmic == logarithmic_) return;
    QAbstractAxis* from = logarithmic_ ? static_cast<QAbstractAxis*>(logAxis_) : linearAxis_;
    QAbstractAxis* to = logarithmic ? static_cast<QAbstractAxis*>(logAxis_) : linearAxis_;
    // Empty the series first: a logarithmic axis must never see a point at x <= 0.
    for (QLineSeries* series : {reference_, delay_, s11_, s21_}) {
        series->clear();
        series->detachAxis(from);
        series->attachAxis(to);
    }
    from->hide();
    to->show();
    logarithmic_ = logarithmic;
}

void ResponseChart::SetCurves(const NetworkCurves& curves, bool logarithmic, const QString& unitText)
{
    curves_ = curves;
    SwitchBottomAxis(logarithmic);
    const QString title = unitText.isEmpty() ? tr("Frequency") : tr("Frequency, %1").arg(unitText);
    linearAxis_->setTitleText(title);
    logAxis_->setTitleText(title);
    double longest = 0.0;
    for (double d : curves_.NetGroupDelay)
        if (std::isfinite(d)) longest = std::max(longest, std::fabs(d));
    // The delay axis counts in the prefix unit of the longest delay (ns, µs, ...).
    delayScale_ = longest > 0 ? std::pow(10.0, 3.0 * std::floor(std::log10(longest) / 3.0)) : 1.0;
    const QString unit = QString::fromStdString(EngineeringText(delayScale_, "s", true)).mid(2);
    delayAxis_->setTitleText(tr("Group delay, %1").arg(unit));
    reference_->replace(Points(referenceFreq_, referenceAtt_, 1.0, logarithmic_));
    thinned_ = curves_.NetFreq.size() > kPointsPerColumn * static_cast<size_t>(Columns());
    if (!thinned_) {
        s21_->replace(Points(curves_.NetFreq, curves_.NetS21, 1.0, logarithmic_));
        s11_->replace(Points(curves_.NetFreq, curves_.NetS11, 1.0, logarithmic_));
        delay_->replace(Points(curves_.NetFreq, curves_.NetGroupDelay, delayScale_, logarithmic_));
    }
    ResetView();
}

int ResponseChart::Columns() const
{
    return std::max(200, view_->width());
}

// A long sweep is thinned anew for every view, so a zoom still shows every point it holds.
void ResponseChart::RefillThinned()
{
    const AxisScale bottom{bottomView_.min, bottomView_.max, logarithmic_};
    const int columns = Columns();
    s21_->replace(Envelope(curves_.NetFreq, curves_.NetS21, 1.0, bottom, columns));
    s11_->replace(Envelope(curves_.NetFreq, curves_.NetS11, 1.0, bottom, columns));
    delay_->replace(Envelope(curves_.NetFreq, curves_.NetGroupDelay, delayScale_, bottom, columns));
}

void ResponseChart::SetReference(const std::vector<double>& freq, const std::vector<double>& attDb)
{
    referenceFreq_ = freq;
    referenceAtt_ = attDb;
    reference_->replace(Points(referenceFreq_, referenceAtt_, 1.0, logarithmic_));
}

void ResponseChart::Clear()
{
    curves_ = NetworkCurves{};
    thinned_ = false;
    for (QLineSeries* series : {reference_, delay_, s11_, s21_}) series->clear();
    referenceFreq_.clear();
    referenceAtt_.clear();
    ResetView();
}

void ResponseChart::ResetView()
{
    ComputeFullView();
    ApplyView();
}

void ResponseChart::ComputeFullView()
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    double xLow = inf, xHigh = -inf, yLow = inf, yHigh = -inf, dLow = 0.0, dHigh = 0.0;
    const auto widen = [&](const std::vector<double>& x, const std::vector<double>& y, double& lo, double& hi) {
        for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
            if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || (logarithmic_ && !(x[i] > 0))) continue;
            xLow = std::min(xLow, x[i]);
            xHigh = std::max(xHigh, x[i]);
            lo = std::min(lo, y[i]);
            hi = std::max(hi, y[i]);
        }
    };
    widen(curves_.NetFreq, curves_.NetS21, yLow, yHigh);
    widen(curves_.NetFreq, curves_.NetS11, yLow, yHigh);
    widen(curves_.NetFreq, curves_.NetGroupDelay, dLow, dHigh);
    const bool any = xLow <= xHigh;
    // Deep stopbands and near-perfect matches would squeeze the passband into a few pixels:
    // the level axis stops at the main chart's floor.
    yLow = std::max(yLow, kAttenuationFloor);
    yHigh = std::max(yHigh, 0.0);
    const int bottomIntervals = std::max(2, view_->width() / kPixelsPerBottomInterval);
    const int leftIntervals = std::max(2, view_->height() / kPixelsPerLeftInterval);
    if (logarithmic_)
        bottomView_ = LogRange(any, xLow, xHigh);
    else
        bottomView_ =
            any ? LinearRange(xLow, xHigh, bottomIntervals, false) : LinearRange(0, 1, bottomIntervals, false);
    leftView_ = any ? LinearRange(yLow, yHigh, leftIntervals, true) : LinearRange(-1, 0, leftIntervals, true);
    // From zero, or from below it where a lossy ladder's stopband delay turns negative.
    delayView_ = dHigh > dLow ? LinearRange(dLow / delayScale_, dHigh / delayScale_, leftIntervals, true)
                              : LinearRange(0.0, 1.0, leftIntervals, true);
}

void ResponseChart::ApplyView()
{
    if (logarithmic_) {
        SetLogAxis(logAxis_, bottomView_, std::max(2, view_->width() / kPixelsPerLogLabel));
    } else {
        SetLinearAxis(linearAxis_, bottomView_);
    }
    SetLinearAxis(leftAxis_, leftView_);
    SetLinearAxis(delayAxis_, delayView_);
    if (thinned_) RefillThinned();
    chart_->layout()->activate();
}

void ResponseChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int bottomIntervals = std::max(2, view_->width() / kPixelsPerBottomInterval);
    const int leftIntervals = std::max(2, view_->height() / kPixelsPerLeftInterval);
    if (!logarithmic_) bottomView_.step = NiceStep(bottomView_.max - bottomView_.min, bottomIntervals);
    leftView_.step = NiceStep(leftView_.max - leftView_.min, leftIntervals);
    delayView_.step = NiceStep(delayView_.max - delayView_.min, leftIntervals);
    ApplyView();
}

QRectF ResponseChart::PlotArea() const
{
    const QPoint origin = view_->viewport()->mapTo(this, view_->mapFromScene(QPointF(0, 0)));
    return chart_->plotArea().translated(origin);
}

QPointF ResponseChart::ToOwner(QPoint viewportPosition) const
{
    return view_->viewport()->mapTo(this, viewportPosition);
}

int ResponseChart::NearestIndex(double frequency) const
{
    const std::vector<double>& f = curves_.NetFreq;
    if (f.empty() || !std::isfinite(frequency)) return -1;
    const auto above = std::lower_bound(f.begin(), f.end(), frequency);
    if (above == f.begin()) return 0;
    if (above == f.end()) return static_cast<int>(f.size()) - 1;
    const auto below = above - 1;
    const bool nearerBelow = logarithmic_ && *below > 0 && frequency > 0
                                 ? std::log(frequency / *below) <= std::log(*above / frequency)
                                 : frequency - *below <= *above - frequency;
    return static_cast<int>((nearerBelow ? below : above) - f.begin());
}

void ResponseChart::ViewMouseMoved(QPoint position)
{
    if (drag_ == Drag::PendingZoom && (position - dragOrigin_).manhattanLength() >= kDragThreshold) drag_ = Drag::Zoom;
    if (drag_ == Drag::Zoom) {
        band_->setGeometry(QRect(dragOrigin_, position).normalized());
        band_->show();
        return;
    }
    if (drag_ == Drag::Pan) {
        PanBy(ToOwner(panLast_), ToOwner(position));
        panLast_ = position;
        return;
    }
    const QRectF area = PlotArea();
    const QPointF p = ToOwner(position);
    if (!area.contains(p) || curves_.NetFreq.empty()) {
        emit CursorMoved(-1);
        return;
    }
    const AxisScale bottom{bottomView_.min, bottomView_.max, logarithmic_};
    emit CursorMoved(NearestIndex(PixelToValue(bottom, p.x(), area.left(), area.right())));
}

void ResponseChart::ViewMousePressed(QPoint position, Qt::MouseButton button)
{
    if (!PlotArea().contains(ToOwner(position))) return;
    if (button == Qt::LeftButton) {
        drag_ = Drag::PendingZoom;
        dragOrigin_ = position;
    } else if (button == Qt::RightButton) {
        drag_ = Drag::Pan;
        panLast_ = position;
    }
}

void ResponseChart::ViewMouseReleased(QPoint position, Qt::MouseButton)
{
    const Drag was = drag_;
    drag_ = Drag::None;
    if (was == Drag::Zoom) {
        band_->hide();
        ZoomTo(ToOwner(dragOrigin_), ToOwner(position));
    }
}

void ResponseChart::ViewDoubleClicked()
{
    drag_ = Drag::None;
    band_->hide();
    ResetView();
}

void ResponseChart::ZoomTo(QPointF corner, QPointF opposite)
{
    const QRectF area = PlotArea();
    const QRectF zoom = QRectF(corner, opposite).normalized().intersected(area);
    if (zoom.width() < 2 || zoom.height() < 2) return;
    const AxisScale bottom{bottomView_.min, bottomView_.max, logarithmic_};
    const AxisScale left{leftView_.min, leftView_.max, false};
    const AxisScale delay{delayView_.min, delayView_.max, false};
    const double x0 = PixelToValue(bottom, zoom.left(), area.left(), area.right());
    const double x1 = PixelToValue(bottom, zoom.right(), area.left(), area.right());
    const int bottomIntervals = std::max(2, view_->width() / kPixelsPerBottomInterval);
    const int leftIntervals = std::max(2, view_->height() / kPixelsPerLeftInterval);
    bottomView_ = logarithmic_ ? SafeLogRange(x0, x1) : SafeLinearRange(x0, x1, bottomIntervals);
    leftView_ = SafeLinearRange(PixelToValue(left, zoom.bottom(), area.bottom(), area.top()),
                                PixelToValue(left, zoom.top(), area.bottom(), area.top()), leftIntervals);
    delayView_ = SafeLinearRange(PixelToValue(delay, zoom.bottom(), area.bottom(), area.top()),
                                 PixelToValue(delay, zoom.top(), area.bottom(), area.top()), leftIntervals);
    ApplyView();
}

void ResponseChart::PanBy(QPointF from, QPointF to)
{
    const QRectF area = PlotArea();
    if (area.width() < 1 || area.height() < 1) return;
    // Each axis moves by the value distance the pointer covered, so the curve follows the mouse.
    const auto shifted = [&](const AxisRange& range, bool logarithmic, double a, double b, double lo, double hi) {
        const AxisScale scale{range.min, range.max, logarithmic};
        const double va = PixelToValue(scale, a, lo, hi), vb = PixelToValue(scale, b, lo, hi);
        if (logarithmic) {
            const double factor = va / vb;
            return SafeLogRange(range.min * factor, range.max * factor);
        }
        AxisRange moved = SafeLinearRange(range.min + va - vb, range.max + va - vb, 2);
        moved.step = range.step;
        return moved;
    };
    bottomView_ = shifted(bottomView_, logarithmic_, from.x(), to.x(), area.left(), area.right());
    leftView_ = shifted(leftView_, false, from.y(), to.y(), area.bottom(), area.top());
    delayView_ = shifted(delayView_, false, from.y(), to.y(), area.bottom(), area.top());
    ApplyView();
}
