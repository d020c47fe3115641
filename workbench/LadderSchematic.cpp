#include "workbench/LadderSchematic.h"

#include <QPainter>
#include <QPainterPath>

#include "filtermath/EngineeringText.h"

namespace {

constexpr int kMargin = 10;
constexpr int kTopRail = 58;
constexpr int kBottomRail = 178;
constexpr int kHeight = kBottomRail + 18;
constexpr int kSourceWidth = 110;
constexpr int kLoadWidth = 90;
constexpr int kSeriesWidth = 80;
constexpr int kShuntWidth = 90;
constexpr int kSeriesPairWidth = 140;
constexpr int kShuntPairWidth = 110;
constexpr int kSymbolLength = 36;
constexpr int kLineHeight = 14;

QString Value(double value, const char* unit, bool trimZeros = false)
{
    return QString::fromStdString(EngineeringText(value, unit, trimZeros));
}

// An inductor of four turns, a capacitor's two plates, a resistor's box or, for a branch this
// drawing does not know, a plain box; each spans kSymbolLength along its wire.
void DrawSymbol(QPainter& p, QChar symbol, QPointF start, bool vertical)
{
    const double half = kSymbolLength / 2.0;
    const QPointF mid = vertical ? start + QPointF(0, half) : start + QPointF(half, 0);
    const QPointF end = vertical ? start + QPointF(0, kSymbolLength) : start + QPointF(kSymbolLength, 0);
    if (symbol == 'L') {
        const double turn = kSymbolLength / 4.0;
        for (int i = 0; i < 4; ++i) {
            if (vertical)
                p.drawArc(QRectF(start.x() - turn / 2, start.y() + i * turn, turn, turn), 90 * 16, -180 * 16);
            else
                p.drawArc(QRectF(start.x() + i * turn, start.y() - turn / 2, turn, turn), 180 * 16, -180 * 16);
        }
        return;
    }
    if (symbol == 'C') {
        const double gap = 3.0, plate = 9.0;
        if (vertical) {
            p.drawLine(start, mid - QPointF(0, gap));
            p.drawLine(mid + QPointF(0, gap), end);
            p.drawLine(mid + QPointF(-plate, -gap), mid + QPointF(plate, -gap));
            p.drawLine(mid + QPointF(-plate, gap), mid + QPointF(plate, gap));
        } else {
            p.drawLine(start, mid - QPointF(gap, 0));
            p.drawLine(mid + QPointF(gap, 0), end);
            p.drawLine(mid + QPointF(-gap, -plate), mid + QPointF(-gap, plate));
            p.drawLine(mid + QPointF(gap, -plate), mid + QPointF(gap, plate));
        }
        return;
    }
    const double body = symbol == 'R' ? 26.0 : 30.0, thick = symbol == 'R' ? 5.0 : 8.0;
    const QRectF box = vertical ? QRectF(mid.x() - thick, mid.y() - body / 2, 2 * thick, body)
                                : QRectF(mid.x() - body / 2, mid.y() - thick, body, 2 * thick);
    if (vertical) {
        p.drawLine(start, QPointF(mid.x(), box.top()));
        p.drawLine(QPointF(mid.x(), box.bottom()), end);
    } else {
        p.drawLine(start, QPointF(box.left(), mid.y()));
        p.drawLine(QPointF(box.right(), mid.y()), end);
    }
    p.drawRect(box);
}

void DrawDot(QPainter& p, QPointF at)
{
    p.save();
    p.setBrush(Qt::black);
    p.drawEllipse(at, 2.5, 2.5);
    p.restore();
}

// Name above value, centred over a part in the line.
void LabelAbove(QPainter& p, double centre, const QString& name, const QString& value)
{
    const QRectF nameBox(centre - 45, kTopRail - 44, 90, kLineHeight);
    p.drawText(nameBox, Qt::AlignCenter, name);
    p.drawText(nameBox.translated(0, kLineHeight), Qt::AlignCenter, value);
}

// Lines of text left-aligned at x, centred as a block on the middle of the shunt arm.
void LabelBeside(QPainter& p, double x, const QStringList& lines)
{
    const double middle = (kTopRail + kBottomRail) / 2.0;
    double y = middle - lines.size() * kLineHeight / 2.0;
    for (const QString& line : lines) {
        p.drawText(QRectF(x, y, 100, kLineHeight), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += kLineHeight;
    }
}

// A vertical part between the rails, its symbol in the middle of the gap.
void DrawShuntPart(QPainter& p, double x, QChar symbol)
{
    const double start = (kTopRail + kBottomRail - kSymbolLength) / 2.0;
    p.drawLine(QPointF(x, kTopRail), QPointF(x, start));
    DrawSymbol(p, symbol, QPointF(x, start), true);
    p.drawLine(QPointF(x, start + kSymbolLength), QPointF(x, kBottomRail));
}

} // namespace

LadderSchematic::LadderSchematic(QWidget* parent) : QWidget(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void LadderSchematic::SetLadder(const Ladder& ladder, const std::vector<int>& positions, bool standardValues)
{
    source_ = {'R', QStringLiteral("RS"), Value(ladder.RS, "\u03a9")};
    load_ = {'R', QStringLiteral("RL"), Value(ladder.RL, "\u03a9")};
    branches_.clear();
    for (size_t i = 0; i < ladder.branches.size(); ++i) {
        const LadderBranch& b = ladder.branches[i];
        const QString n = QString::number(i < positions.size() ? positions[i] : static_cast<int>(i) + 1);
        const Part inductor{'L', QStringLiteral("L") + n, Value(b.L, "H", standardValues)};
        const Part capacitor{'C', QStringLiteral("C") + n, Value(b.C, "F", standardValues)};
        Branch branch{b.place, b.kind, {}, 0};
        const bool series = b.place == BranchPlace::Series;
        switch (b.kind) {
        case BranchKind::Inductor:
            branch.parts = {inductor};
            branch.width = series ? kSeriesWidth : kShuntWidth;
            break;
        case BranchKind::Capacitor:
            branch.parts = {capacitor};
            branch.width = series ? kSeriesWidth : kShuntWidth;
            break;
        case BranchKind::Resonator:
            branch.parts = {inductor, capacitor};
            branch.width = series ? kSeriesPairWidth : kShuntPairWidth;
            break;
        default:
            // A kind this drawing does not know: a box with whatever L and C it carries.
            branch.parts = {{'?', QStringLiteral("Z") + n, QString()}, inductor, capacitor};
            branch.width = kShuntPairWidth;
            break;
        }
        branches_.push_back(branch);
    }
    updateGeometry();
    update();
}

void LadderSchematic::Clear()
{
    branches_.clear();
    source_ = load_ = Part{};
    updateGeometry();
    update();
}

QStringList LadderSchematic::Labels() const
{
    QStringList labels;
    if (source_.name.isEmpty()) return labels;
    labels << source_.name << source_.value;
    for (const Branch& branch : branches_)
        for (const Part& part : branch.parts) {
            labels << part.name;
            if (!part.value.isEmpty()) labels << part.value;
        }
    labels << load_.name << load_.value;
    return labels;
}

int LadderSchematic::ContentWidth() const
{
    int width = 2 * kMargin + kSourceWidth + kLoadWidth;
    for (const Branch& branch : branches_) width += branch.width;
    return width;
}

QSize LadderSchematic::sizeHint() const
{
    return {ContentWidth(), kHeight};
}

QSize LadderSchematic::minimumSizeHint() const
{
    return {ContentWidth(), kHeight};
}

void LadderSchematic::paintEvent(QPaintEvent*)
{
    if (source_.name.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(palette().color(QPalette::Text), 1.4));
    const double middle = (kTopRail + kBottomRail) / 2.0;

    // Source: the generator between the rails, then RS along the line.
    double x = kMargin;
    const double generator = x + 16;
    p.drawLine(QPointF(generator, kTopRail), QPointF(generator, middle - 14));
    p.drawEllipse(QPointF(generator, middle), 14, 14);
    p.drawLine(QPointF(generator, middle + 14), QPointF(generator, kBottomRail));
    QPainterPath wave;
    wave.moveTo(generator - 8, middle);
    wave.cubicTo(generator - 4, middle - 9, generator, middle - 9, generator, middle);
    wave.cubicTo(generator, middle + 9, generator + 4, middle + 9, generator + 8, middle);
    p.drawPath(wave);
    const double rsStart = x + 50;
    p.drawLine(QPointF(generator, kTopRail), QPointF(rsStart, kTopRail));
    DrawSymbol(p, 'R', QPointF(rsStart, kTopRail), false);
    LabelAbove(p, rsStart + kSymbolLength / 2.0, source_.name, source_.value);
    p.drawLine(QPointF(rsStart + kSymbolLength, kTopRail), QPointF(x + kSourceWidth, kTopRail));
    p.drawLine(QPointF(generator, kBottomRail), QPointF(x + kSourceWidth, kBottomRail));
    x += kSourceWidth;

    for (const Branch& branch : branches_) {
        const double end = x + branch.width;
        p.drawLine(QPointF(x, kBottomRail), QPointF(end, kBottomRail));
        if (branch.place == BranchPlace::Series && branch.kind != BranchKind::Inductor &&
            branch.kind != BranchKind::Capacitor && branch.kind != BranchKind::Resonator) {
            // Unknown series arm: a box in the line.
            const double start = x + (branch.width - kSymbolLength) / 2.0;
            p.drawLine(QPointF(x, kTopRail), QPointF(start, kTopRail));
            DrawSymbol(p, '?', QPointF(start, kTopRail), false);
            p.drawLine(QPointF(start + kSymbolLength, kTopRail), QPointF(end, kTopRail));
            QStringList lines;
            for (const Part& part : branch.parts)
                lines << (part.value.isEmpty() ? part.name : part.name + QStringLiteral(" ") + part.value);
            LabelBeside(p, x + 8, lines);
        } else if (branch.place == BranchPlace::Series) {
            // One or two parts in a row along the line, each with its name and value above.
            const double slot = static_cast<double>(branch.width) / branch.parts.size();
            double from = x;
            for (size_t i = 0; i < branch.parts.size(); ++i) {
                const double centre = x + slot * (i + 0.5);
                const double start = centre - kSymbolLength / 2.0;
                p.drawLine(QPointF(from, kTopRail), QPointF(start, kTopRail));
                DrawSymbol(p, branch.parts[i].symbol, QPointF(start, kTopRail), false);
                LabelAbove(p, centre, branch.parts[i].name, branch.parts[i].value);
                from = start + kSymbolLength;
            }
            p.drawLine(QPointF(from, kTopRail), QPointF(end, kTopRail));
        } else {
            p.drawLine(QPointF(x, kTopRail), QPointF(end, kTopRail));
            const double arm = x + 24;
            QStringList lines;
            if (branch.parts.size() == 1) {
                DrawShuntPart(p, arm, branch.parts[0].symbol);
                DrawDot(p, QPointF(arm, kTopRail));
                DrawDot(p, QPointF(arm, kBottomRail));
                lines << branch.parts[0].name << branch.parts[0].value;
                LabelBeside(p, arm + 14, lines);
            } else {
                // Parts side by side between two joining stubs: a parallel resonator or, for an
                // unknown kind, its box beside them.
                const double pitch = 24.0;
                const double stubTop = kTopRail + 14, stubBottom = kBottomRail - 14;
                const double first = arm - pitch / 2, last = first + pitch * (branch.parts.size() - 1);
                p.drawLine(QPointF(arm, kTopRail), QPointF(arm, stubTop));
                p.drawLine(QPointF(arm, stubBottom), QPointF(arm, kBottomRail));
                p.drawLine(QPointF(first, stubTop), QPointF(last, stubTop));
                p.drawLine(QPointF(first, stubBottom), QPointF(last, stubBottom));
                for (size_t i = 0; i < branch.parts.size(); ++i) {
                    const double px = first + pitch * i;
                    const double start = (kTopRail + kBottomRail - kSymbolLength) / 2.0;
                    p.drawLine(QPointF(px, stubTop), QPointF(px, start));
                    DrawSymbol(p, branch.parts[i].symbol, QPointF(px, start), true);
                    p.drawLine(QPointF(px, start + kSymbolLength), QPointF(px, stubBottom));
                    lines << branch.parts[i].name;
                    if (!branch.parts[i].value.isEmpty()) lines.back() += QStringLiteral(" ") + branch.parts[i].value;
                }
                DrawDot(p, QPointF(arm, kTopRail));
                DrawDot(p, QPointF(arm, kBottomRail));
                LabelBeside(p, last + 12, lines);
            }
        }
        x = end;
    }

    // Load across the output.
    const double loadArm = x + 24;
    p.drawLine(QPointF(x, kTopRail), QPointF(loadArm, kTopRail));
    p.drawLine(QPointF(x, kBottomRail), QPointF(loadArm, kBottomRail));
    DrawShuntPart(p, loadArm, 'R');
    LabelBeside(p, loadArm + 12, {load_.name, load_.value});
    // Ground mark under the return rail.
    p.drawLine(QPointF(generator - 8, kBottomRail + 5), QPointF(generator + 8, kBottomRail + 5));
    p.drawLine(QPointF(generator - 4, kBottomRail + 9), QPointF(generator + 4, kBottomRail + 9));
}
