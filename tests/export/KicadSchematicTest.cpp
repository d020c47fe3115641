// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "export/KicadSchematic.h"
#include "export/SpiceNetlist.h"
#include "synthesis/Synthesis.h"
#include "tests/support/Designs.h"
#include "tests/support/SExpression.h"
#include "tests/support/SpiceDeck.h"

using namespace corvane;

namespace {

// A net as the tests compare them: the parts with a pin on it, and the port labels on it.
using Net = std::pair<std::multiset<std::string>, std::set<std::string>>;

struct Point {
    double x, y;
};

// The nets of a schematic file read back as KiCad connects it: wires join at their ends and where
// an end lies on another wire; a pin or a label joins the wire it touches; labels of one text are
// one net. The pins come from the file's own library symbols, turned as each symbol is placed.
class SheetNets {
public:
    explicit SheetNets(const SExpr& sheet)
    {
        std::map<std::string, std::map<std::string, Point>> libraryPins;
        for (const SExpr* symbol : sheet.Find("lib_symbols")->All("symbol"))
            for (const SExpr* unit : symbol->All("symbol"))
                for (const SExpr* pin : unit->All("pin")) {
                    const SExpr* at = pin->Find("at");
                    libraryPins[symbol->items[1].atom][pin->Find("number")->items[1].atom] = {at->Number(1),
                                                                                              at->Number(2)};
                }
        for (const SExpr* wire : sheet.All("wire")) {
            const SExpr* pts = wire->Find("pts");
            wires_.push_back({Add({pts->items[1].Number(1), pts->items[1].Number(2)}),
                              Add({pts->items[2].Number(1), pts->items[2].Number(2)})});
        }
        for (const SExpr* label : sheet.All("global_label")) {
            const SExpr* at = label->Find("at");
            labels_.push_back({label->items[1].atom, Add({at->Number(1), at->Number(2)})});
        }
        for (const SExpr* symbol : sheet.All("symbol")) {
            const SExpr* at = symbol->Find("at");
            const double angle = at->Number(3) * M_PI / 180.0;
            std::string reference;
            for (const SExpr* p : symbol->All("property"))
                if (p->items[1].atom == "Reference") reference = p->items[2].atom;
            references_.push_back(reference);
            for (const auto& [number, lib] : libraryPins.at(symbol->Find("lib_id")->items[1].atom)) {
                // The library's y runs up, the sheet's down; a symbol turns anticlockwise on the sheet.
                const double x = lib.x, y = -lib.y;
                const Point p{at->Number(1) + x * std::cos(angle) + y * std::sin(angle),
                              at->Number(2) - x * std::sin(angle) + y * std::cos(angle)};
                pins_.push_back({reference, Add(p)});
            }
        }
        Connect();
    }

    std::vector<Net> Nets()
    {
        std::map<size_t, Net> nets;
        for (const auto& [reference, point] : pins_) nets[Root(point)].first.insert(reference);
        for (const auto& [text, point] : labels_) nets[Root(point)].second.insert(text);
        std::vector<Net> out;
        for (const auto& entry : nets) out.push_back(entry.second);
        return out;
    }

    const std::vector<std::string>& References() const { return references_; }

private:
    size_t Add(Point p)
    {
        points_.push_back({std::round(p.x * 1000.0) / 1000.0, std::round(p.y * 1000.0) / 1000.0});
        parent_.push_back(parent_.size());
        return points_.size() - 1;
    }
    size_t Root(size_t i) { return parent_[i] == i ? i : parent_[i] = Root(parent_[i]); }
    void Join(size_t a, size_t b) { parent_[Root(a)] = Root(b); }

    bool OnWire(const Point& p, const std::pair<size_t, size_t>& w) const
    {
        const Point a = points_[w.first], b = points_[w.second];
        const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        return std::fabs(cross) < 1e-6 && std::min(a.x, b.x) - 1e-6 <= p.x && p.x <= std::max(a.x, b.x) + 1e-6 &&
               std::min(a.y, b.y) - 1e-6 <= p.y && p.y <= std::max(a.y, b.y) + 1e-6;
    }

    void Connect()
    {
        for (const auto& w : wires_) Join(w.first, w.second);
        for (const auto& [text, point] : labels_)
            for (const auto& [other, otherPoint] : labels_)
                if (text == other) Join(point, otherPoint);
        for (size_t i = 0; i < points_.size(); ++i)
            for (const auto& w : wires_)
                if (OnWire(points_[i], w)) Join(i, w.first);
    }

    std::vector<Point> points_;
    std::vector<size_t> parent_;
    std::vector<std::pair<size_t, size_t>> wires_;
    std::vector<std::pair<std::string, size_t>> labels_, pins_;
    std::vector<std::string> references_;
};

// The same nets from the SPICE subcircuit: a second writer of the same ladder.
std::vector<Net> SubcircuitNets(const LadderModel& ladder)
{
    const SpiceDeck deck = ParseSpiceDeck(SpiceSubcircuit(ladder, {}, "nets"));
    const std::map<std::string, std::string> ports{{"in", "IN"}, {"out", "OUT"}, {"gnd", "GND"}};
    const bool through = deck.elements.count("VTHRU") != 0;
    const auto node = [through](const std::string& name) { return through && name == "out" ? "in" : name; };
    std::map<std::string, Net> nets;
    for (const auto& [name, port] : ports) nets[node(name)].second.insert(port);
    for (const auto& [name, e] : deck.elements) {
        if (name.rfind("RDC", 0) == 0 || name == "VTHRU" || name[0] == '.') continue;
        nets[node(e.a)].first.insert(name);
        nets[node(e.b)].first.insert(name);
    }
    std::vector<Net> out;
    for (const auto& entry : nets) out.push_back(entry.second);
    return out;
}

std::vector<Net> Sorted(std::vector<Net> nets)
{
    std::sort(nets.begin(), nets.end());
    return nets;
}

LadderModel Synthesised(synthesis::Family family, synthesis::FilterType type, int N, LadderTopology form)
{
    synthesis::DesignRequest request;
    request.response = {family, N, 0.5L, 40.0L};
    request.type = type;
    request.form = form;
    request.passHz = 10e6;
    request.lowHz = 8e6;
    request.highHz = 12e6;
    return synthesis::Synthesise(request).ladder;
}

TEST(KicadSchematic, ReadBackConnectsTheLaddersNets)
{
    using synthesis::Family;
    using synthesis::FilterType;
    LadderModel shuntOnly{50, 50, {MakeBranch(1, BranchPlace::Shunt, BranchKind::Capacitor, 0, 1e-9)}, {}, {}, {}};
    const std::pair<const char*, LadderModel> cases[] = {
        {"ButterworthT5", DesignModel({0, LadderTopology::T, 5, 0, 10, 0, 0, 50, 1e6})},
        {"ChebyshevBandPassPi5", DesignModel({5, LadderTopology::Pi, 5, 0.5, 0, 9, 11, 50, 1e6})},
        {"EllipticBandPassArms", Synthesised(Family::Elliptic, FilterType::BandPass, 4, LadderTopology::T)},
        {"EllipticBandStopPi", Synthesised(Family::Elliptic, FilterType::BandStop, 5, LadderTopology::Pi)},
        {"InverseChebyshevLowPass", Synthesised(Family::InverseChebyshev, FilterType::LowPass, 5, LadderTopology::T)},
        {"ShuntCapacitorOnly", shuntOnly},
    };
    for (const auto& [name, ladder] : cases) {
        SCOPED_TRACE(name);
        SheetNets sheet(ParseSExpr(KicadSchematic(ladder, {}, name)));
        EXPECT_EQ(Sorted(sheet.Nets()), Sorted(SubcircuitNets(ladder)));
    }
}

// Fifteen branches of band-pass resonators fit one sheet no larger than A2, and no two symbols
// share a place.
TEST(KicadSchematic, FifteenBranchesFitOneSheet)
{
    const LadderModel ladder = DesignModel({5, LadderTopology::T, 15, 0.5, 0, 9, 11, 50, 1e6});
    const SExpr sheet = ParseSExpr(KicadSchematic(ladder, {}, "fifteen"));
    const std::string paper = sheet.Find("paper")->items[1].atom;
    EXPECT_TRUE(paper == "A4" || paper == "A3" || paper == "A2") << paper;
    std::vector<Point> places;
    for (const SExpr* symbol : sheet.All("symbol"))
        places.push_back({symbol->Find("at")->Number(1), symbol->Find("at")->Number(2)});
    ASSERT_EQ(places.size(), 30u);
    for (size_t i = 0; i < places.size(); ++i)
        for (size_t j = i + 1; j < places.size(); ++j)
            EXPECT_GE(std::hypot(places[i].x - places[j].x, places[i].y - places[j].y), 10.0) << i << ' ' << j;
}

TEST(KicadSchematic, PartNumbersAndTextsAreQuotedSafely)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
    CataloguePart part;
    part.kind = PartKind::Capacitor;
    part.value = 6.8e-10;
    part.manufacturer = "Maker \"Q\" (Ltd)";
    part.partNumber = "GRM\\1";
    const PartChoice choice{"C2", ChoiceForm::Single, {part}, 6.8e-10, false};
    const SExpr sheet = ParseSExpr(KicadSchematic(ladder, {choice}, "title \"quoted\""));
    EXPECT_EQ(sheet.Find("title_block")->All("comment")[1]->items[2].atom, "title \"quoted\"");
    std::map<std::string, std::string> fields;
    for (const SExpr* symbol : sheet.All("symbol")) {
        std::map<std::string, std::string> props;
        for (const SExpr* p : symbol->All("property")) props[p->items[1].atom] = p->items[2].atom;
        if (props["Reference"] == "C2") fields = props;
    }
    EXPECT_EQ(fields["Manufacturer"], "Maker \"Q\" (Ltd)");
    EXPECT_EQ(fields["MPN"], "GRM\\1");
}

} // namespace
