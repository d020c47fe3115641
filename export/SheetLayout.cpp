// SPDX-License-Identifier: Apache-2.0
#include "export/SheetLayout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

namespace corvane {

namespace {

constexpr double kGrid = 2.54;
constexpr double kCell = 4 * kGrid; // along the wire: a part with a grid step of wire at each pin
constexpr double kLineLane = 4 * kGrid; // between parts stacked in the line: room for two texts
constexpr double kShuntLane = 6 * kGrid; // beside a shunt part: room for its texts on the right
constexpr double kMargin = 10 * kGrid;
// A row of the ladder no longer than this, so that a long ladder wraps onto an A4 or A3 sheet
// instead of running across a larger one.
constexpr double kRowLength = 90 * kGrid;
constexpr double kReturnLane = 4 * kGrid;

// An arm as parts in series and in parallel.
struct Block {
    enum Kind { Part, Series, Parallel } kind = Part;
    const ModelPart* part = nullptr;
    const CataloguePart* member = nullptr;
    std::string designator;
    std::vector<Block> members;
};

Block Group(Block::Kind kind, std::vector<Block> members)
{
    return {kind, nullptr, nullptr, "", std::move(members)};
}

// A part as it goes on the board: itself, or the two parts of the pair that builds it.
Block PartBlock(const ModelPart& part, const std::vector<PartChoice>& choices)
{
    for (const PartChoice& c : choices) {
        if (c.designator != part.designator || c.members.size() != 2) continue;
        if (c.form != ChoiceForm::Parallel && c.form != ChoiceForm::Series) break;
        std::vector<Block> members;
        for (size_t i = 0; i < 2; ++i)
            members.push_back(
                {Block::Part, &part, &c.members[i], MemberDesignator(part.designator, static_cast<int>(i)), {}});
        return Group(c.form == ChoiceForm::Parallel ? Block::Parallel : Block::Series, std::move(members));
    }
    return {Block::Part, &part, nullptr, part.designator, {}};
}

Block BlockOf(const ModelBranch& branch, const std::vector<PartChoice>& choices)
{
    const auto One = [&choices](const ModelPart& part) { return PartBlock(part, choices); };
    const std::vector<ModelPart>& p = branch.parts;
    const bool seriesPlace = branch.place == BranchPlace::Series;
    switch (branch.shape) {
    case BranchKind::Inductor:
    case BranchKind::Capacitor: return One(p.at(0));
    case BranchKind::Resonator:
        return Group(seriesPlace ? Block::Series : Block::Parallel, {One(p.at(0)), One(p.at(1))});
    case BranchKind::SeriesLC: return Group(Block::Series, {One(p.at(0)), One(p.at(1))});
    case BranchKind::ParallelLC: return Group(Block::Parallel, {One(p.at(0)), One(p.at(1))});
    case BranchKind::SeriesArm:
        return Group(Block::Series, {Group(Block::Series, {One(p.at(0)), One(p.at(1))}),
                                     Group(Block::Parallel, {One(p.at(2)), One(p.at(3))})});
    case BranchKind::ParallelArm:
        return Group(Block::Parallel, {Group(Block::Series, {One(p.at(0)), One(p.at(1))}), One(p.at(2)), One(p.at(3))});
    }
    return {};
}

double Length(const Block& b)
{
    if (b.kind == Block::Part) return kCell;
    double total = 0.0;
    for (const Block& m : b.members) total = b.kind == Block::Series ? total + Length(m) : std::max(total, Length(m));
    return total;
}

double Width(const Block& b, double lane)
{
    if (b.kind == Block::Part) return lane;
    double total = 0.0;
    for (const Block& m : b.members)
        total = b.kind == Block::Parallel ? total + Width(m, lane) : std::max(total, Width(m, lane));
    return total;
}

void AddWire(SheetLayout& sheet, SheetPoint from, SheetPoint to)
{
    if (!(from == to)) sheet.wires.push_back({from, to});
}

// Draws blocks in a frame of their own: a runs along the arm, b across it.
class ArmDrawer {
public:
    // A horizontal arm in the line runs right and stacks upwards; a vertical one hangs down and
    // stacks to the right.
    ArmDrawer(SheetLayout& sheet, SheetPoint origin, bool horizontal)
        : sheet_(sheet), origin_(origin), horizontal_(horizontal), lane_(horizontal ? kLineLane : kShuntLane)
    {
    }

    void Draw(const Block& b, double a, double across)
    {
        switch (b.kind) {
        case Block::Part: DrawPart(b, a, across); return;
        case Block::Series:
            for (const Block& m : b.members) {
                Draw(m, a, across);
                a += Length(m);
            }
            return;
        case Block::Parallel: DrawParallel(b, a, across); return;
        }
    }

    void Wire(double a1, double b1, double a2, double b2) { AddWire(sheet_, At(a1, b1), At(a2, b2)); }

private:
    SheetPoint At(double a, double b) const
    {
        return horizontal_ ? SheetPoint{origin_.x + a, origin_.y - b} : SheetPoint{origin_.x + b, origin_.y + a};
    }

    void DrawPart(const Block& part, double a, double across)
    {
        const double middle = a + kCell / 2;
        sheet_.symbols.push_back({part.part, part.member, part.designator, At(middle, across), horizontal_ ? 90 : 0});
        Wire(a, across, middle - kPinOffset, across);
        Wire(middle + kPinOffset, across, a + kCell, across);
    }

    // Members side by side, each padded with wire to the longest, joined by rails at both ends.
    void DrawParallel(const Block& b, double a, double across)
    {
        const double length = Length(b);
        double offset = across;
        double previous = across;
        for (size_t i = 0; i < b.members.size(); ++i) {
            const Block& m = b.members[i];
            Draw(m, a, offset);
            Wire(a + Length(m), offset, a + length, offset);
            if (i > 0) {
                Wire(a, previous, a, offset);
                Wire(a + length, previous, a + length, offset);
            }
            previous = offset;
            offset += Width(m, lane_);
        }
    }

    SheetLayout& sheet_;
    SheetPoint origin_;
    bool horizontal_;
    double lane_;
};

// Points in whole micrometres, so that the same place reached by different sums is one place.
using Spot = std::pair<long long, long long>;

Spot SpotOf(SheetPoint p)
{
    return {std::llround(p.x * 1000.0), std::llround(p.y * 1000.0)};
}

SheetPoint PointOf(Spot s)
{
    return {s.first / 1000.0, s.second / 1000.0};
}

std::vector<SheetPoint> PinsOf(const SheetSymbol& s)
{
    if (s.angle == 90) return {{s.at.x - kPinOffset, s.at.y}, {s.at.x + kPinOffset, s.at.y}};
    return {{s.at.x, s.at.y - kPinOffset}, {s.at.x, s.at.y + kPinOffset}};
}

// KiCad merges collinear wires that overlap or touch, and joins a pin or a wire end to a wire only
// at that wire's ends. So the wires drawn along one line become one run, cut wherever a pin, a
// label or a wire across it ends on it, and every tee gets its junction.
void JoinAtEndsOnly(SheetLayout& sheet)
{
    std::map<Spot, int> items; // pins and labels at each place
    for (const SheetSymbol& s : sheet.symbols)
        for (SheetPoint pin : PinsOf(s)) ++items[SpotOf(pin)];
    for (const SheetLabel& l : sheet.labels) ++items[SpotOf(l.at)];
    // Runs along each row (y: spans of x) and each column (x: spans of y), with the ends of the
    // wires that run the other way, which cut them.
    std::map<long long, std::vector<std::pair<long long, long long>>> rows, columns;
    std::set<Spot> rowEnds, columnEnds;
    for (const SheetWire& w : sheet.wires) {
        const Spot a = SpotOf(w.from), b = SpotOf(w.to);
        if (a.second == b.second) {
            rows[a.second].push_back(std::minmax(a.first, b.first));
            rowEnds.insert(a);
            rowEnds.insert(b);
        } else {
            columns[a.first].push_back(std::minmax(a.second, b.second));
            columnEnds.insert(a);
            columnEnds.insert(b);
        }
    }
    sheet.wires.clear();
    std::map<Spot, int> ends;
    const auto cut = [&](long long line, std::vector<std::pair<long long, long long>> spans, bool row,
                         const std::set<Spot>& across) {
        const auto spot = [line, row](long long along) { return row ? Spot{along, line} : Spot{line, along}; };
        std::sort(spans.begin(), spans.end());
        for (size_t i = 0; i < spans.size();) {
            long long from = spans[i].first, to = spans[i].second;
            for (++i; i < spans.size() && spans[i].first <= to; ++i) to = std::max(to, spans[i].second);
            std::set<long long> stops{from, to};
            const auto stopAt = [&stops, line, row](const Spot& place) {
                if ((row ? place.second : place.first) == line) stops.insert(row ? place.first : place.second);
            };
            for (const auto& item : items) stopAt(item.first);
            for (const Spot& end : across) stopAt(end);
            long long previous = from;
            for (long long stop : stops) {
                if (stop < from || stop > to || stop == previous) continue;
                sheet.wires.push_back({PointOf(spot(previous)), PointOf(spot(stop))});
                ++ends[spot(previous)];
                ++ends[spot(stop)];
                previous = stop;
            }
        }
    };
    for (const auto& [y, spans] : rows) cut(y, spans, true, columnEnds);
    for (const auto& [x, spans] : columns) cut(x, spans, false, rowEnds);
    for (const auto& [place, count] : ends)
        if (count + (items.count(place) ? items.at(place) : 0) >= 3) sheet.junctions.push_back(PointOf(place));
}

} // namespace

SheetLayout LayOutLadder(const LadderModel& ladder, const std::vector<PartChoice>& choices)
{
    std::vector<Block> arms;
    double seriesWidth = kLineLane, shuntLength = 0.0;
    for (const ModelBranch& branch : ladder.branches) {
        arms.push_back(BlockOf(branch, choices));
        if (branch.place == BranchPlace::Series)
            seriesWidth = std::max(seriesWidth, Width(arms.back(), kLineLane));
        else
            shuntLength = std::max(shuntLength, Length(arms.back()));
    }
    SheetLayout sheet;
    const double left = kMargin;
    // Each row: the parts stacked above its line, the shunt arms down to its ground rail, and a
    // lane below the rail where the line returns to the left to begin the next row.
    const double rowHeight = seriesWidth + shuntLength + 2 * kGrid + kReturnLane;
    double line = kMargin + seriesWidth;
    double ground = line + shuntLength + 2 * kGrid;
    const auto onLine = [&sheet, &line](double from, double to) { AddWire(sheet, {from, line}, {to, line}); };
    std::vector<double> drops;
    // The ground rail from a GND port under every shunt arm of the row.
    const auto groundRail = [&]() {
        double railFrom = left;
        for (double drop : drops) {
            AddWire(sheet, {railFrom, ground}, {drop, ground});
            railFrom = drop;
        }
        if (!drops.empty()) sheet.labels.push_back({"GND", {left, ground}, 180});
        drops.clear();
    };
    double x = left + 2 * kGrid;
    onLine(left, x);
    double widest = x;
    for (size_t k = 0; k < arms.size(); ++k) {
        const Block& arm = arms[k];
        const bool series = ladder.branches[k].place == BranchPlace::Series;
        const double extent = series ? Length(arm) + kGrid : kGrid + Width(arm, kShuntLane);
        if (x + extent > left + kRowLength && x > left + 2 * kGrid) {
            // Down past the ground rail, back along the return lane, and down to the next line.
            const double lane = ground + kReturnLane / 2;
            const double next = line + rowHeight;
            AddWire(sheet, {x, line}, {x, lane});
            AddWire(sheet, {x, lane}, {left, lane});
            AddWire(sheet, {left, lane}, {left, next});
            groundRail();
            widest = std::max(widest, x);
            line = next;
            ground += rowHeight;
            x = left + 2 * kGrid;
            onLine(left, x);
        }
        if (series) {
            ArmDrawer(sheet, {x, line}, true).Draw(arm, 0.0, 0.0);
            x += Length(arm);
            onLine(x, x + kGrid);
            x += kGrid;
            continue;
        }
        const double drop = x + kGrid;
        onLine(x, drop);
        ArmDrawer shunt(sheet, {drop, line}, false);
        shunt.Draw(arm, 0.0, 0.0);
        shunt.Wire(Length(arm), 0.0, ground - line, 0.0);
        drops.push_back(drop);
        x = drop + Width(arm, kShuntLane);
        onLine(drop, x);
    }
    const double right = x + 2 * kGrid;
    onLine(x, right);
    // With no shunt arm at all, the rail runs from the GND port to the right end.
    const bool anyShunt = std::any_of(ladder.branches.begin(), ladder.branches.end(),
                                      [](const ModelBranch& b) { return b.place == BranchPlace::Shunt; });
    if (!anyShunt) drops.push_back(right);
    groundRail();
    sheet.labels.push_back({"IN", {left, kMargin + seriesWidth}, 180});
    sheet.labels.push_back({"OUT", {right, line}, 0});
    JoinAtEndsOnly(sheet);
    sheet.width = std::max(widest, right) + kMargin;
    sheet.height = ground + kMargin;
    return sheet;
}

} // namespace corvane
