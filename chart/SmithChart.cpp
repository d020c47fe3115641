// SPDX-License-Identifier: Apache-2.0
#include "chart/SmithChart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "chart/SmithGrid.h"

namespace corvane {

namespace {

constexpr double kHomeHalfSpan = 1.08;
constexpr int kMargin = 8;
constexpr double kPickPixels = 12.0;
const double kGridValues[] = {0.2, 0.5, 1.0, 2.0, 5.0};
const QColor kGridColour(180, 180, 180);
const QColor kAdmittanceColour(210, 170, 170);

AxisRange Range(double centre, double halfSpan)
{
    return {centre - halfSpan, centre + halfSpan, halfSpan / 5};
}

QString Short(double value)
{
    return QString::number(value, 'g', 3);
}

} // namespace

SmithChart::SmithChart(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(240, 240);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    zoom_.emplace(static_cast<ZoomTarget&>(*this), this);
    ResetView();
}

SmithChart::~SmithChart() = default;

int SmithChart::AddCurve(const QString& name, const QColor& colour, bool dashed)
{
    curves_.push_back({name, colour, dashed, {}, {}, 50.0});
    return static_cast<int>(curves_.size()) - 1;
}

void SmithChart::SetCurve(int id, std::vector<double> frequency, std::vector<std::complex<double>> gamma,
                          double referenceOhms)
{
    Curve& c = curves_.at(static_cast<size_t>(id));
    c.frequency = std::move(frequency);
    c.gamma = std::move(gamma);
    c.referenceOhms = referenceOhms;
    pick_.reset();
    update();
}

void SmithChart::ClearCurves()
{
    for (Curve& c : curves_) {
        c.frequency.clear();
        c.gamma.clear();
    }
    pick_.reset();
    update();
}

int SmithChart::PointCount(int id) const
{
    return static_cast<int>(curves_.at(static_cast<size_t>(id)).gamma.size());
}

QString SmithChart::CurveName(int id) const
{
    return curves_.at(static_cast<size_t>(id)).name;
}

void SmithChart::SetAdmittanceGrid(bool shown)
{
    admittance_ = shown;
    update();
}

void SmithChart::ResetView()
{
    view_.bottom = Range(0.0, kHomeHalfSpan);
    view_.logarithmic = false;
    view_.verticals = {Range(0.0, kHomeHalfSpan)};
    update();
}

// A zoom rectangle of any shape shows at least what it framed, on one scale both ways.
void SmithChart::ZoomShow(const ChartViewRanges& view)
{
    const AxisRange& x = view.bottom;
    const AxisRange& y = view.verticals.front();
    const double half = std::max(x.max - x.min, y.max - y.min) / 2;
    if (!(half > 1e-9) || !std::isfinite(half)) return;
    view_.bottom = Range((x.min + x.max) / 2, half);
    view_.verticals = {Range((y.min + y.max) / 2, half)};
    update();
}

QRectF SmithChart::PlotArea() const
{
    return AreaIn(size());
}

QRectF SmithChart::AreaIn(QSize size)
{
    const double side = std::max(10, std::min(size.width(), size.height()) - 2 * kMargin);
    return QRectF((size.width() - side) / 2, (size.height() - side) / 2, side, side);
}

QPointF SmithChart::PixelOf(std::complex<double> gamma) const
{
    return PixelIn(PlotArea(), gamma);
}

QPointF SmithChart::PixelIn(const QRectF& area, std::complex<double> gamma) const
{
    const AxisRange& x = view_.bottom;
    const AxisRange& y = view_.verticals.front();
    return {area.left() + (gamma.real() - x.min) / (x.max - x.min) * area.width(),
            area.top() + (y.max - gamma.imag()) / (y.max - y.min) * area.height()};
}

std::optional<SmithChart::Pick> SmithChart::PickAt(QPointF pixel) const
{
    std::optional<Pick> best;
    double nearest = kPickPixels;
    for (size_t c = 0; c < curves_.size(); ++c) {
        const Curve& curve = curves_[c];
        for (size_t i = 0; i < curve.gamma.size(); ++i) {
            const QPointF p = PixelOf(curve.gamma[i]);
            const double d = std::hypot(p.x() - pixel.x(), p.y() - pixel.y());
            if (d >= nearest) continue;
            nearest = d;
            const double magnitude = std::abs(curve.gamma[i]);
            best = Pick{static_cast<int>(c),
                        i,
                        curve.frequency[i],
                        curve.gamma[i],
                        ImpedanceOf(curve.gamma[i], curve.referenceOhms),
                        magnitude > 0 ? -20.0 * std::log10(magnitude) : HUGE_VAL};
        }
    }
    return best;
}

void SmithChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Draw(painter, PlotArea(), true);
}

void SmithChart::Render(QPainter& painter, QSize size) const
{
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), size), palette().color(QPalette::Base));
    painter.setFont(font());
    Draw(painter, AreaIn(size), false);
    painter.restore();
}

void SmithChart::Draw(QPainter& painter, const QRectF& area, bool withPick) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(area);
    DrawGrid(painter, area);
    DrawCurves(painter, area, withPick);
    painter.setClipping(false);
    DrawLegend(painter);
}

void SmithChart::DrawGrid(QPainter& painter, const QRectF& area) const
{
    const auto at = [&](std::complex<double> gamma) { return PixelIn(area, gamma); };
    const QPointF origin = at(0.0);
    const double unit = at(1.0).x() - origin.x();
    const auto circle = [&](const SmithCircle& c) {
        const QPointF centre = at({c.centreX, c.centreY});
        painter.drawEllipse(centre, c.radius * unit, c.radius * unit);
    };
    QPainterPath disc;
    disc.addEllipse(origin, unit, unit);
    painter.save();
    painter.setClipPath(disc, Qt::IntersectClip);
    if (admittance_) {
        painter.setPen(QPen(kAdmittanceColour, 1.0, Qt::DashLine));
        for (double v : kGridValues) {
            circle(ConductanceCircle(v));
            circle(SusceptanceCircle(v));
            circle(SusceptanceCircle(-v));
        }
    }
    painter.setPen(QPen(kGridColour, 1.0));
    for (double v : kGridValues) {
        circle(ResistanceCircle(v));
        circle(ReactanceCircle(v));
        circle(ReactanceCircle(-v));
    }
    painter.drawLine(at(-1.0), at(1.0));
    painter.restore();
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1.2));
    circle(ResistanceCircle(0.0));
    painter.setPen(palette().color(QPalette::WindowText));
    for (double v : kGridValues) {
        // r on the real axis at its circle's left end; x just outside the rim where its arc meets it.
        painter.drawText(at((v - 1) / (v + 1)) + QPointF(2, -3), Short(v));
        for (double x : {v, -v}) {
            const std::complex<double> rim = ReflectionOf({0.0, x}, 1.0);
            painter.drawText(at(rim * 1.06) + QPointF(-8, 4),
                             (x > 0 ? QStringLiteral("+j") : QStringLiteral("\u2212j")) + Short(v));
        }
    }
}

void SmithChart::DrawCurves(QPainter& painter, const QRectF& area, bool withPick) const
{
    for (const Curve& c : curves_) {
        if (c.gamma.size() < 2) continue;
        QPolygonF line;
        for (const std::complex<double>& g : c.gamma) line << PixelIn(area, g);
        painter.setPen(QPen(c.colour, 1.8, c.dashed ? Qt::DashLine : Qt::SolidLine));
        painter.drawPolyline(line);
    }
    if (withPick && pick_) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(PixelIn(area, pick_->gamma), 5, 5);
    }
}

void SmithChart::DrawLegend(QPainter& painter) const
{
    const QFontMetrics metrics(font());
    int y = kMargin + metrics.ascent();
    for (const Curve& c : curves_) {
        if (c.gamma.empty() || c.name.isEmpty()) continue;
        painter.setPen(QPen(c.colour, 2.0, c.dashed ? Qt::DashLine : Qt::SolidLine));
        painter.drawLine(QPointF(kMargin, y - metrics.ascent() / 2.0),
                         QPointF(kMargin + 24, y - metrics.ascent() / 2.0));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QPointF(kMargin + 30, y), c.name);
        y += metrics.height();
    }
}

void SmithChart::mouseMoveEvent(QMouseEvent* event)
{
    if (zoom_->Move(event->position().toPoint())) return;
    pick_ = PickAt(event->position());
    emit Picked(pick_);
    update();
}

void SmithChart::mousePressEvent(QMouseEvent* event)
{
    zoom_->Press(event->position().toPoint(), event->button());
}

void SmithChart::mouseReleaseEvent(QMouseEvent* event)
{
    zoom_->Release(event->position().toPoint(), event->button());
}

void SmithChart::mouseDoubleClickEvent(QMouseEvent*)
{
    zoom_->DoubleClick();
}

void SmithChart::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) zoom_->Wheel(event->position().toPoint(), steps);
    event->accept();
}

void SmithChart::leaveEvent(QEvent*)
{
    pick_.reset();
    emit Picked(std::nullopt);
    update();
}

} // namespace corvane
