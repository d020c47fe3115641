// SPDX-License-Identifier: Apache-2.0
#include "chart/PlotView.h"

#include <QAreaSeries>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QFontMetrics>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QCategoryAxis>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/ChartStyle.h"
#include "chart/PlotGeometry.h"

namespace corvane {

namespace {

constexpr int kPixelsPerBottomInterval = 80;
constexpr int kPixelsPerLeftInterval = 40;
constexpr int kPixelsPerLogLabel = 50;
// Above this many points a pixel column a curve is thinned: the same picture at a cost set by
// the plot's width, not the sweep's.
constexpr size_t kPointsPerColumn = 4;

bool Drawable(double x, double y, bool logarithmic)
{
    return std::isfinite(x) && std::isfinite(y) && (!logarithmic || x > 0);
}

QList<QPointF> AllPoints(const std::vector<double>& x, const std::vector<double>& y, bool logarithmic)
{
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(x.size()));
    for (size_t i = 0; i < x.size() && i < y.size(); ++i)
        if (Drawable(x[i], y[i], logarithmic)) points.append(QPointF(x[i], y[i]));
    return points;
}

// The points of the visible part of a curve, thinned to each column's first, extreme and last
// points in their order along the curve; one point beyond each end keeps the line to the edge.
QList<QPointF> Thinned(const std::vector<double>& x, const std::vector<double>& y, const AxisScale& bottom, int columns)
{
    const size_t count = std::min(x.size(), y.size());
    size_t first = static_cast<size_t>(std::lower_bound(x.begin(), x.begin() + count, bottom.min) - x.begin());
    size_t last = static_cast<size_t>(std::upper_bound(x.begin(), x.begin() + count, bottom.max) - x.begin());
    if (first > 0) --first;
    if (last < count) ++last;
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(kPointsPerColumn) * (columns + 2));
    int column = std::numeric_limits<int>::min();
    size_t start = 0, low = 0, high = 0, end = 0;
    const auto flush = [&] {
        if (column == std::numeric_limits<int>::min()) return;
        const size_t picked[] = {start, std::min(low, high), std::max(low, high), end};
        for (size_t k = 0; k < 4; ++k)
            if (k == 0 || picked[k] != picked[k - 1]) points.append(QPointF(x[picked[k]], y[picked[k]]));
    };
    for (size_t i = first; i < last; ++i) {
        if (!Drawable(x[i], y[i], bottom.logarithmic)) continue;
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

struct PlotView::Curve {
    PlotView::Side side = PlotView::Side::Left;
    QAbstractSeries* series = nullptr; // what the legend names
    QLineSeries* line = nullptr; // the line, or a band's upper edge
    QLineSeries* lower = nullptr; // a band's lower edge
    std::vector<double> x, y, low;
};

PlotView::PlotView(QWidget* parent) : QWidget(parent)
{
    chart_ = new QChart;
    StyleChart(chart_, font());
    // Room on the right for the half of the last frequency label that stands past the plot.
    chart_->setMargins(QMargins(2, 6, 12, 2));
    view_ = new ChartView(chart_, this, this);
    StyleView(view_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    zoom_.emplace(static_cast<ZoomTarget&>(*this), view_->viewport());

    axes_[0] = MakeTickedAxis(QString(), font());
    axes_[1] = MakeTickedAxis(QString(), font());
    axes_[1]->setGridLineVisible(false);
    linearAxis_ = MakeTickedAxis(tr("Frequency"), font());
    logAxis_ = static_cast<QLogValueAxis*>(MakeBottomAxis(true, font()));
    chart_->addAxis(axes_[0], Qt::AlignLeft);
    chart_->addAxis(axes_[1], Qt::AlignRight);
    chart_->addAxis(linearAxis_, Qt::AlignBottom);
    chart_->addAxis(logAxis_, Qt::AlignBottom);
    logAxis_->hide();
    axes_[1]->hide();
    ranges_.verticals = {AxisRange{0.0, 1.0, 0.2}, AxisRange{0.0, 1.0, 0.2}};
    QLegend* legend = chart_->legend();
    legend->setAlignment(Qt::AlignTop);
    legend->setFont(font());
    legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
    legend->show();
}

PlotView::~PlotView() = default;

PlotView::Curve& PlotView::Add(Side side)
{
    curves_.push_back(std::make_unique<Curve>());
    Curve& curve = *curves_.back();
    curve.side = side;
    return curve;
}

int PlotView::AddCurve(const QString& name, const QPen& pen, Side side)
{
    Curve& curve = Add(side);
    curve.line = new QLineSeries;
    curve.line->setPen(pen);
    curve.line->setName(name);
    curve.series = curve.line;
    chart_->addSeries(curve.line);
    curve.line->attachAxis(logarithmic_ ? static_cast<QAbstractAxis*>(logAxis_) : linearAxis_);
    curve.line->attachAxis(axes_[static_cast<size_t>(side)]);
    UpdateRightAxis();
    SetCurveName(static_cast<int>(curves_.size()) - 1, name);
    return static_cast<int>(curves_.size()) - 1;
}

int PlotView::AddBand(const QString& name, const QColor& fill)
{
    Curve& curve = Add(Side::Left);
    // An area series does not own its edges: the chart does.
    curve.line = new QLineSeries(chart_);
    curve.lower = new QLineSeries(chart_);
    auto* area = new QAreaSeries(curve.line, curve.lower);
    area->setName(name);
    area->setColor(fill);
    area->setBorderColor(fill.darker(130));
    curve.series = area;
    chart_->addSeries(area);
    area->attachAxis(logarithmic_ ? static_cast<QAbstractAxis*>(logAxis_) : linearAxis_);
    area->attachAxis(axes_[0]);
    ShowInLegend(curve);
    return static_cast<int>(curves_.size()) - 1;
}

void PlotView::SetCurve(int id, std::vector<double> x, std::vector<double> y)
{
    Curve& curve = *curves_.at(static_cast<size_t>(id));
    curve.x = std::move(x);
    curve.y = std::move(y);
    Refill(curve);
}

void PlotView::SetBand(int id, std::vector<double> x, std::vector<double> low, std::vector<double> high)
{
    Curve& curve = *curves_.at(static_cast<size_t>(id));
    curve.x = std::move(x);
    curve.y = std::move(high);
    curve.low = std::move(low);
    Refill(curve);
}

void PlotView::SetCurveName(int id, const QString& name)
{
    QAbstractSeries* series = curves_.at(static_cast<size_t>(id))->series;
    series->setName(name);
    ShowInLegend(*curves_.at(static_cast<size_t>(id)));
}

// A curve without a name (a second piece of a mask) has no entry of its own in the legend, nor has
// a curve with nothing to draw yet (a measured file not loaded, trials not run).
void PlotView::ShowInLegend(const Curve& curve)
{
    const bool shown = !curve.series->name().isEmpty() && !curve.x.empty();
    for (QLegendMarker* marker : chart_->legend()->markers(curve.series)) marker->setVisible(shown);
    FitLegend();
}

// The legend only where its names fit in one row: names cut to "5-9..." say nothing.
void PlotView::FitLegend()
{
    FitLegend(width());
}

void PlotView::FitLegend(int chartWidth)
{
    constexpr int kMarkerAndGap = 40; // the marker, its spacing and the gap to the next entry
    const QFontMetrics metrics(chart_->legend()->font());
    int needed = 0;
    for (QLegendMarker* marker : chart_->legend()->markers())
        if (marker->isVisible()) needed += metrics.horizontalAdvance(marker->label()) + kMarkerAndGap;
    chart_->legend()->setVisible(needed <= chartWidth - kMarkerAndGap);
}

QString PlotView::CurveName(int id) const
{
    return curves_.at(static_cast<size_t>(id))->series->name();
}

int PlotView::PointCount(int id) const
{
    return static_cast<int>(curves_.at(static_cast<size_t>(id))->x.size());
}

void PlotView::Refill(Curve& curve)
{
    const bool thin = curve.x.size() > kPointsPerColumn * static_cast<size_t>(Columns());
    const AxisScale bottom{ranges_.bottom.min, ranges_.bottom.max, logarithmic_};
    curve.line->replace(thin ? Thinned(curve.x, curve.y, bottom, Columns())
                             : AllPoints(curve.x, curve.y, logarithmic_));
    if (curve.lower) curve.lower->replace(AllPoints(curve.x, curve.low, logarithmic_));
    ShowInLegend(curve);
}

void PlotView::SetTitles(const QString& bottom, const QString& left, const QString& right)
{
    linearAxis_->setTitleText(bottom);
    logAxis_->setTitleText(bottom);
    axes_[0]->setTitleText(left);
    axes_[1]->setTitleText(right);
}

void PlotView::UpdateRightAxis()
{
    const bool used = std::any_of(curves_.begin(), curves_.end(), [](const auto& c) { return c->side == Side::Right; });
    axes_[1]->setVisible(used);
}

void PlotView::SetLogarithmic(bool logarithmic)
{
    if (logarithmic == logarithmic_) return;
    QAbstractAxis* from = logarithmic_ ? static_cast<QAbstractAxis*>(logAxis_) : linearAxis_;
    QAbstractAxis* to = logarithmic ? static_cast<QAbstractAxis*>(logAxis_) : linearAxis_;
    // Empty the series first: a logarithmic axis must never see a point at x <= 0.
    for (auto& curve : curves_) {
        curve->line->clear();
        if (curve->lower) curve->lower->clear();
        curve->series->detachAxis(from);
        curve->series->attachAxis(to);
    }
    from->hide();
    to->show();
    logarithmic_ = logarithmic;
    ranges_.logarithmic = logarithmic;
    for (auto& curve : curves_) Refill(*curve);
}

void PlotView::SetAutoRange(Side side, std::optional<double> floor, bool throughZero)
{
    rules_[static_cast<size_t>(side)].floor = floor;
    rules_[static_cast<size_t>(side)].throughZero = throughZero;
}

void PlotView::SetHomeRange(Side side, std::optional<AxisRange> home)
{
    rules_[static_cast<size_t>(side)].home = home;
}

void PlotView::SetBottomHomeRange(std::optional<AxisRange> home)
{
    bottomHome_ = home;
}

void PlotView::ClearCurves()
{
    for (auto& curve : curves_) {
        curve->x.clear();
        curve->y.clear();
        curve->low.clear();
        Refill(*curve);
    }
    ResetView();
}

AxisRange PlotView::WholeVertical(Side side, bool any, double lo, double hi) const
{
    const SideRule& rule = rules_[static_cast<size_t>(side)];
    const int intervals = ZoomVerticalIntervals();
    if (rule.home) return SafeLinearRange(rule.home->min, rule.home->max, intervals);
    if (!any) return LinearRange(-1, 0, intervals, true);
    if (rule.floor) lo = std::max(lo, *rule.floor);
    if (rule.throughZero) {
        lo = std::min(lo, 0.0);
        hi = std::max(hi, 0.0);
    }
    return LinearRange(lo, hi, intervals, true);
}

void PlotView::ResetView()
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    double xLow = inf, xHigh = -inf;
    double lo[2] = {inf, inf}, hi[2] = {-inf, -inf};
    for (const auto& curve : curves_) {
        const size_t s = static_cast<size_t>(curve->side);
        for (const std::vector<double>* y : {&curve->y, &curve->low})
            for (size_t i = 0; i < curve->x.size() && i < y->size(); ++i) {
                if (!Drawable(curve->x[i], (*y)[i], logarithmic_)) continue;
                xLow = std::min(xLow, curve->x[i]);
                xHigh = std::max(xHigh, curve->x[i]);
                lo[s] = std::min(lo[s], (*y)[i]);
                hi[s] = std::max(hi[s], (*y)[i]);
            }
    }
    const bool any = xLow <= xHigh;
    if (logarithmic_)
        ranges_.bottom = LogRange(any, xLow, xHigh);
    else if (bottomHome_)
        ranges_.bottom = LinearRange(bottomHome_->min, bottomHome_->max, ZoomBottomIntervals(), false);
    else
        ranges_.bottom = any ? LinearRange(xLow, xHigh, ZoomBottomIntervals(), false)
                             : LinearRange(0, 1, ZoomBottomIntervals(), false);
    for (size_t s = 0; s < 2; ++s)
        ranges_.verticals[s] = WholeVertical(static_cast<Side>(s), lo[s] <= hi[s], lo[s], hi[s]);
    ApplyView();
}

void PlotView::ApplyView()
{
    if (logarithmic_)
        SetLogAxis(logAxis_, ranges_.bottom, std::max(2, view_->width() / kPixelsPerLogLabel));
    else
        SetTickedAxis(linearAxis_, ranges_.bottom);
    SetTickedAxis(axes_[0], ranges_.verticals[0]);
    SetTickedAxis(axes_[1], ranges_.verticals[1]);
    for (auto& curve : curves_)
        if (curve->x.size() > kPointsPerColumn * static_cast<size_t>(Columns())) Refill(*curve);
    chart_->layout()->activate();
}

int PlotView::Columns() const
{
    return std::max(200, view_->width());
}

int PlotView::ZoomBottomIntervals() const
{
    return std::max(2, view_->width() / kPixelsPerBottomInterval);
}

int PlotView::ZoomVerticalIntervals() const
{
    return std::max(2, view_->height() / kPixelsPerLeftInterval);
}

void PlotView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitLegend();
    if (!logarithmic_) ranges_.bottom.step = NiceStep(ranges_.bottom.max - ranges_.bottom.min, ZoomBottomIntervals());
    for (AxisRange& range : ranges_.verticals) range.step = NiceStep(range.max - range.min, ZoomVerticalIntervals());
    ApplyView();
}

void PlotView::ZoomShow(const ChartViewRanges& view)
{
    ranges_ = view;
    ApplyView();
}

QRectF PlotView::PlotArea() const
{
    const QPoint origin = view_->viewport()->mapTo(this, view_->mapFromScene(QPointF(0, 0)));
    return chart_->plotArea().translated(origin);
}

QPointF PlotView::ZoomToOwner(QPoint viewportPosition) const
{
    return view_->viewport()->mapTo(this, viewportPosition);
}

void PlotView::ViewMouseMoved(QPoint position)
{
    if (zoom_->Move(position)) return;
    const QRectF area = PlotArea();
    const QPointF p = ZoomToOwner(position);
    if (!area.contains(p)) {
        emit CursorMoved(std::numeric_limits<double>::quiet_NaN());
        return;
    }
    const AxisScale bottom{ranges_.bottom.min, ranges_.bottom.max, logarithmic_};
    emit CursorMoved(PixelToValue(bottom, p.x(), area.left(), area.right()));
}

void PlotView::ViewMousePressed(QPoint position, Qt::MouseButton button)
{
    zoom_->Press(position, button);
}

void PlotView::ViewMouseReleased(QPoint position, Qt::MouseButton button)
{
    zoom_->Release(position, button);
}

void PlotView::ViewDoubleClicked()
{
    zoom_->DoubleClick();
}

bool PlotView::ViewWheel(QPoint position, int steps)
{
    zoom_->Wheel(position, steps);
    return true;
}

QImage PlotView::Image(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    Render(painter, size);
    return image;
}

// The chart is laid out at the asked size for the drawing and put back after it, so an export
// has the size the user chose, not the window's.
void PlotView::Render(QPainter& painter, QSize size)
{
    const QSizeF shown = chart_->size();
    FitLegend(size.width());
    chart_->resize(size);
    chart_->layout()->activate();
    painter.setRenderHint(QPainter::Antialiasing);
    chart_->scene()->render(&painter, QRectF(QPointF(0, 0), size), QRectF(chart_->pos(), QSizeF(size)));
    chart_->resize(shown);
    FitLegend();
    chart_->layout()->activate();
}

} // namespace corvane
