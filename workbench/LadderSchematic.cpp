// SPDX-License-Identifier: Apache-2.0
#include "workbench/LadderSchematic.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

constexpr double kMargin = 10;
constexpr double kSymbolLength = 36;
constexpr double kSymbolHalf = 10; // half the symbol's width across its wire
constexpr double kLineHeight = 14;
constexpr double kLabelGap = 5;
constexpr double kLead = 10; // wire on each side of a symbol
constexpr double kStub = 10; // wire between a parallel group's bus and the line
constexpr double kParallelGap = 8;
constexpr double kPad = 10; // space between neighbouring arms
constexpr double kShuntOffset = 14; // from a column's start to a shunt arm's left edge
constexpr double kSourceWidth = 110;
constexpr double kMinimumGap = 120; // between the rails

using Arm = LadderSchematic::Arm;

QString Value(double value, const char* unit, bool trimZeros)
{
    return QString::fromStdString(EngineeringText(value, unit, trimZeros));
}

Arm Part(QChar symbol, const QString& name, const QString& value)
{
    Arm arm;
    arm.symbol = symbol;
    arm.name = name;
    arm.value = value;
    return arm;
}

Arm Group(Arm::Shape shape, std::vector<Arm> children)
{
    Arm arm;
    arm.shape = shape;
    arm.children = std::move(children);
    return arm;
}

// The arm of one branch as parts in series and in parallel, each under its designator; parts
// that do not fit their shape are drawn as a plain box named after the position.
Arm ArmOf(const ModelBranch& b, int position, bool trim)
{
    std::vector<Arm> p;
    for (const ModelPart& part : b.parts) {
        p.push_back(Part(QChar(LetterOf(part.kind)), QString::fromStdString(part.designator),
                         Value(part.value, UnitOf(part.kind), trim)));
    }
    using S = Arm::Shape;
    const size_t count = p.size();
    switch (b.shape) {
    case BranchKind::Inductor:
    case BranchKind::Capacitor:
        if (count == 1) return p[0];
        break;
    case BranchKind::Resonator:
        if (count == 2) return Group(b.place == BranchPlace::Series ? S::Series : S::Parallel, {p[0], p[1]});
        break;
    case BranchKind::SeriesLC:
        if (count == 2) return Group(S::Series, {p[0], p[1]});
        break;
    case BranchKind::ParallelLC:
        if (count == 2) return Group(S::Parallel, {p[0], p[1]});
        break;
    case BranchKind::SeriesArm:
        if (count == 4) return Group(S::Series, {p[0], p[1], Group(S::Parallel, {p[2], p[3]})});
        break;
    case BranchKind::ParallelArm:
        if (count == 4) return Group(S::Parallel, {Group(S::Series, {p[0], p[1]}), p[2], p[3]});
        break;
    }
    return Part('?', "Z" + QString::number(position), QString());
}

// An inductor of four turns, a capacitor's two plates, a resistor's box or, for an arm this
// drawing does not know, a plain box; each spans kSymbolLength along its wire from start.
void DrawSymbol(QPainter& p, QChar symbol, QPointF start, bool vertical)
{
    const QPointF along = vertical ? QPointF(0, 1) : QPointF(1, 0);
    const QPointF across = vertical ? QPointF(1, 0) : QPointF(0, 1);
    const QPointF mid = start + along * (kSymbolLength / 2);
    const QPointF end = start + along * kSymbolLength;
    if (symbol == 'L') {
        const double turn = kSymbolLength / 4;
        for (int i = 0; i < 4; ++i) {
            if (vertical)
                p.drawArc(QRectF(start.x() - turn / 2, start.y() + i * turn, turn, turn), 90 * 16, -180 * 16);
            else
                p.drawArc(QRectF(start.x() + i * turn, start.y() - turn / 2, turn, turn), 180 * 16, -180 * 16);
        }
        return;
    }
    if (symbol == 'C') {
        const double gap = 3, plate = 9;
        p.drawLine(start, mid - along * gap);
        p.drawLine(mid + along * gap, end);
        p.drawLine(mid - along * gap - across * plate, mid - along * gap + across * plate);
        p.drawLine(mid + along * gap - across * plate, mid + along * gap + across * plate);
        return;
    }
    const double body = symbol == 'R' ? 26 : 30, thick = symbol == 'R' ? 5 : 8;
    p.drawLine(start, mid - along * (body / 2));
    p.drawLine(mid + along * (body / 2), end);
    p.drawRect(
        QRectF(mid - along * (body / 2) - across * thick, mid + along * (body / 2) + across * thick).normalized());
}

void DrawDot(QPainter& p, QPointF at)
{
    p.save();
    p.setBrush(p.pen().color());
    p.drawEllipse(at, 2.5, 2.5);
    p.restore();
}

// Draws the arm from start along its wire; every part's wire runs at its offset across.
void DrawArm(QPainter& p, const Arm& arm, QPointF start, bool vertical)
{
    const QPointF along = vertical ? QPointF(0, 1) : QPointF(1, 0);
    const QPointF across = vertical ? QPointF(1, 0) : QPointF(0, 1);
    const auto at = [&](double a, double c) { return start + along * a + across * c; };
    switch (arm.shape) {
    case Arm::Shape::Part: {
        const double lead = (arm.along - kSymbolLength) / 2;
        p.drawLine(at(0, 0), at(lead, 0));
        DrawSymbol(p, arm.symbol, at(lead, 0), vertical);
        p.drawLine(at(lead + kSymbolLength, 0), at(arm.along, 0));
        QStringList lines{arm.name};
        if (!arm.value.isEmpty()) lines << arm.value;
        const double height = lines.size() * kLineHeight;
        QRectF box = vertical ? QRectF(at(arm.along / 2, kSymbolHalf + kLabelGap) - QPointF(0, height / 2),
                                       QSizeF(arm.after - kSymbolHalf - kLabelGap, height))
                              : QRectF(at(0, -kSymbolHalf - kLabelGap - height), QSizeF(arm.along, height));
        for (const QString& line : lines) {
            p.drawText(QRectF(box.topLeft(), QSizeF(box.width(), kLineHeight)),
                       (vertical ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, line);
            box.translate(0, kLineHeight);
        }
        return;
    }
    case Arm::Shape::Series: {
        double a = 0;
        for (const Arm& child : arm.children) {
            DrawArm(p, child, at(a, 0), vertical);
            a += child.along;
        }
        return;
    }
    case Arm::Shape::Parallel: {
        const double first = kStub, last = arm.along - kStub;
        double offset = 0;
        for (size_t i = 0; i < arm.children.size(); ++i) {
            const Arm& child = arm.children[i];
            if (i > 0) offset += arm.children[i - 1].after + kParallelGap + child.before;
            DrawArm(p, child, at(first, offset), vertical);
            p.drawLine(at(first + child.along, offset), at(last, offset));
        }
        p.drawLine(at(0, 0), at(first, 0));
        p.drawLine(at(last, 0), at(arm.along, 0));
        p.drawLine(at(first, 0), at(first, offset));
        p.drawLine(at(last, 0), at(last, offset));
        return;
    }
    }
}

void CollectLabels(const Arm& arm, QStringList& labels)
{
    if (arm.shape != Arm::Shape::Part) {
        for (const Arm& child : arm.children) CollectLabels(child, labels);
        return;
    }
    labels << arm.name;
    if (!arm.value.isEmpty()) labels << arm.value;
}

} // namespace

LadderSchematic::LadderSchematic(QWidget* parent) : QWidget(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    LayOut();
}

void LadderSchematic::Measure(Arm& arm, bool vertical) const
{
    switch (arm.shape) {
    case Arm::Shape::Part: {
        const QFontMetrics metrics(font());
        const double label = std::max(metrics.horizontalAdvance(arm.name), metrics.horizontalAdvance(arm.value));
        const double labels = (arm.value.isEmpty() ? 1 : 2) * kLineHeight;
        if (vertical) {
            arm.along = std::max(kSymbolLength + 2 * kLead, labels + 4);
            arm.before = kSymbolHalf;
            arm.after = kSymbolHalf + kLabelGap + label + 2;
        } else {
            arm.along = std::max(kSymbolLength + 2 * kLead, label + 8);
            arm.before = kSymbolHalf + kLabelGap + labels;
            arm.after = kSymbolHalf;
        }
        return;
    }
    case Arm::Shape::Series:
        arm.along = arm.before = arm.after = 0;
        for (Arm& child : arm.children) {
            Measure(child, vertical);
            arm.along += child.along;
            arm.before = std::max(arm.before, child.before);
            arm.after = std::max(arm.after, child.after);
        }
        return;
    case Arm::Shape::Parallel: {
        double longest = 0, offset = 0;
        for (size_t i = 0; i < arm.children.size(); ++i) {
            Arm& child = arm.children[i];
            Measure(child, vertical);
            longest = std::max(longest, child.along);
            if (i > 0) offset += arm.children[i - 1].after + kParallelGap + child.before;
        }
        arm.along = longest + 2 * kStub;
        arm.before = arm.children.empty() ? 0 : arm.children.front().before;
        arm.after = arm.children.empty() ? 0 : offset + arm.children.back().after;
        return;
    }
    }
}

void LadderSchematic::SetLadder(const LadderModel& ladder, bool standardValues)
{
    sourceValue_ = Value(ladder.RS, "\u03a9", false);
    loadValue_ = Value(ladder.RL, "\u03a9", false);
    branches_.clear();
    for (size_t i = 0; i < ladder.branches.size(); ++i) {
        const ModelBranch& b = ladder.branches[i];
        branches_.push_back({b.place == BranchPlace::Series, ArmOf(b, static_cast<int>(i) + 1, standardValues), 0});
    }
    LayOut();
}

void LadderSchematic::Clear()
{
    branches_.clear();
    sourceValue_.clear();
    loadValue_.clear();
    LayOut();
}

void LadderSchematic::LayOut()
{
    double above = kSymbolHalf + kLabelGap + 2 * kLineHeight, gap = kMinimumGap;
    width_ = kMargin + kSourceWidth;
    for (Branch& branch : branches_) {
        Measure(branch.arm, !branch.series);
        if (branch.series) {
            above = std::max(above, branch.arm.before);
            gap = std::max(gap, branch.arm.after + 20);
            branch.width = branch.arm.along + 2 * kPad;
        } else {
            gap = std::max(gap, branch.arm.along + 2 * kLead);
            branch.width = kShuntOffset + branch.arm.before + branch.arm.after + kPad;
        }
        width_ += branch.width;
    }
    source_ = Part('R', QStringLiteral("RS"), sourceValue_);
    Measure(source_, false);
    load_ = Part('R', QStringLiteral("RL"), loadValue_);
    Measure(load_, true);
    width_ += kShuntOffset + load_.before + load_.after + kMargin;
    topRail_ = kMargin + above;
    bottomRail_ = topRail_ + gap;
    updateGeometry();
    update();
}

QStringList LadderSchematic::Labels() const
{
    QStringList labels;
    if (sourceValue_.isEmpty()) return labels;
    labels << QStringLiteral("RS") << sourceValue_;
    for (const Branch& branch : branches_) CollectLabels(branch.arm, labels);
    labels << QStringLiteral("RL") << loadValue_;
    return labels;
}

QSize LadderSchematic::sizeHint() const
{
    return {static_cast<int>(width_), static_cast<int>(bottomRail_ + 18)};
}

QSize LadderSchematic::minimumSizeHint() const
{
    return sizeHint();
}

void LadderSchematic::paintEvent(QPaintEvent*)
{
    if (sourceValue_.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(palette().color(QPalette::Text), 1.4));
    const double top = topRail_, bottom = bottomRail_, middle = (top + bottom) / 2;

    // Source: the generator between the rails, RS along the line, the ground mark below.
    double x = kMargin;
    const double generator = x + 16;
    p.drawLine(QPointF(generator, top), QPointF(generator, middle - 14));
    p.drawEllipse(QPointF(generator, middle), 14, 14);
    p.drawLine(QPointF(generator, middle + 14), QPointF(generator, bottom));
    QPainterPath wave;
    wave.moveTo(generator - 8, middle);
    wave.cubicTo(generator - 4, middle - 9, generator, middle - 9, generator, middle);
    wave.cubicTo(generator, middle + 9, generator + 4, middle + 9, generator + 8, middle);
    p.drawPath(wave);
    p.drawLine(QPointF(generator - 8, bottom + 5), QPointF(generator + 8, bottom + 5));
    p.drawLine(QPointF(generator - 4, bottom + 9), QPointF(generator + 4, bottom + 9));
    p.drawLine(QPointF(generator, top), QPointF(x + 40, top));
    DrawArm(p, source_, QPointF(x + 40, top), false);
    p.drawLine(QPointF(x + 40 + source_.along, top), QPointF(x + kSourceWidth, top));
    p.drawLine(QPointF(generator, bottom), QPointF(x + kSourceWidth, bottom));
    x += kSourceWidth;

    for (const Branch& branch : branches_) {
        const double end = x + branch.width;
        p.drawLine(QPointF(x, bottom), QPointF(end, bottom));
        if (branch.series) {
            p.drawLine(QPointF(x, top), QPointF(x + kPad, top));
            DrawArm(p, branch.arm, QPointF(x + kPad, top), false);
            p.drawLine(QPointF(x + kPad + branch.arm.along, top), QPointF(end, top));
        } else {
            p.drawLine(QPointF(x, top), QPointF(end, top));
            const double arm = x + kShuntOffset + branch.arm.before;
            const double start = middle - branch.arm.along / 2;
            p.drawLine(QPointF(arm, top), QPointF(arm, start));
            DrawArm(p, branch.arm, QPointF(arm, start), true);
            p.drawLine(QPointF(arm, start + branch.arm.along), QPointF(arm, bottom));
            DrawDot(p, QPointF(arm, top));
            DrawDot(p, QPointF(arm, bottom));
        }
        x = end;
    }

    // Load across the output.
    const double arm = x + kShuntOffset + load_.before;
    const double start = middle - load_.along / 2;
    p.drawLine(QPointF(x, top), QPointF(arm, top));
    p.drawLine(QPointF(x, bottom), QPointF(arm, bottom));
    p.drawLine(QPointF(arm, top), QPointF(arm, start));
    DrawArm(p, load_, QPointF(arm, start), true);
    p.drawLine(QPointF(arm, start + load_.along), QPointF(arm, bottom));
}

} // namespace corvane
