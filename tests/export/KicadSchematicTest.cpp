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
#include "tests/export/LadderForms.h"
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

// Places in whole micrometres, as KiCad compares them on its internal grid.
using Spot = std::pair<long long, long long>;

Spot SpotOf(double x, double y)
{
    return {std::llround(x * 1000.0), std::llround(y * 1000.0)};
}

// The nets of a schematic file as KiCad connects it on load, not as our writer means it:
// collinear wires that overlap, or touch where no junction stands, become one wire; a junction
// cuts the wire it stands on; pins, labels and wires connect only where one's connection point is
// another's (a wire's are its two ends and the junctions on it), never on a wire's middle; global
// labels of one text are one net. The pins come from the file's own library symbols, turned as
// each symbol is placed.
class KicadNets {
public:
    explicit KicadNets(const SExpr& sheet)
    {
        std::map<std::string, std::map<std::string, Point>> libraryPins;
        for (const SExpr* symbol : sheet.Find("lib_symbols")->All("symbol"))
            for (const SExpr* unit : symbol->All("symbol"))
                for (const SExpr* pin : unit->All("pin")) {
                    const SExpr* at = pin->Find("at");
                    libraryPins[symbol->items[1].atom][pin->Find("number")->items[1].atom] = {at->Number(1),
                                                                                              at->Number(2)};
                }
        for (const SExpr* junction : sheet.All("junction"))
            junctions_.insert(SpotOf(junction->Find("at")->Number(1), junction->Find("at")->Number(2)));
        for (const SExpr* label : sheet.All("global_label")) {
            const SExpr* at = label->Find("at");
            labels_.push_back({label->items[1].atom, SpotOf(at->Number(1), at->Number(2))});
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
                pins_.push_back({reference, SpotOf(at->Number(1) + x * std::cos(angle) + y * std::sin(angle),
                                                   at->Number(2) - x * std::sin(angle) + y * std::cos(angle))});
            }
        }
        MergeWires(sheet);
        for (const auto& [text, spot] : labels_)
            for (const auto& [other, otherSpot] : labels_)
                if (text == other) Join(spot, otherSpot);
    }

    std::vector<Net> Nets()
    {
        std::map<Spot, Net> nets;
        for (const auto& [reference, spot] : pins_) nets[Root(spot)].first.insert(reference);
        for (const auto& [text, spot] : labels_) nets[Root(spot)].second.insert(text);
        std::vector<Net> out;
        for (const auto& entry : nets) out.push_back(entry.second);
        return out;
    }

    // Wire ends that touch nothing: KiCad marks them dangling.
    std::vector<Spot> DanglingEnds() const
    {
        std::map<Spot, int> uses;
        for (const auto& [a, b] : merged_) {
            ++uses[a];
            ++uses[b];
        }
        for (const auto& pin : pins_) ++uses[pin.second];
        for (const auto& label : labels_) ++uses[label.second];
        for (const Spot& j : junctions_) uses[j] += 2;
        std::vector<Spot> dangling;
        for (const auto& [a, b] : merged_)
            for (const Spot& end : {a, b})
                if (uses[end] < 2) dangling.push_back(end);
        return dangling;
    }

    const std::vector<std::string>& References() const { return references_; }

private:
    Spot Root(const Spot& s)
    {
        auto it = parent_.find(s);
        if (it == parent_.end()) return parent_[s] = s;
        if (it->second == s) return s;
        return it->second = Root(it->second);
    }
    void Join(const Spot& a, const Spot& b) { parent_[Root(a)] = Root(b); }

    // Wires along each row and each column merged as KiCad merges them, each then joining its two
    // ends and every junction that stands on it.
    void MergeWires(const SExpr& sheet)
    {
        std::map<long long, std::vector<std::pair<long long, long long>>> rows, columns;
        for (const SExpr* wire : sheet.All("wire")) {
            const SExpr* pts = wire->Find("pts");
            const Spot a = SpotOf(pts->items[1].Number(1), pts->items[1].Number(2));
            const Spot b = SpotOf(pts->items[2].Number(1), pts->items[2].Number(2));
            if (a.second == b.second)
                rows[a.second].push_back(std::minmax(a.first, b.first));
            else if (a.first == b.first)
                columns[a.first].push_back(std::minmax(a.second, b.second));
            else
                ADD_FAILURE() << "a slanted wire";
        }
        for (auto& [y, spans] : rows) Merge(y, spans, true);
        for (auto& [x, spans] : columns) Merge(x, spans, false);
    }

    void Merge(long long line, std::vector<std::pair<long long, long long>>& spans, bool row)
    {
        const auto spot = [line, row](long long along) { return row ? Spot{along, line} : Spot{line, along}; };
        std::sort(spans.begin(), spans.end());
        for (size_t i = 0; i < spans.size();) {
            long long from = spans[i].first, to = spans[i].second;
            for (++i; i < spans.size(); ++i) {
                const bool overlaps = spans[i].first < to;
                const bool touches = spans[i].first == to && junctions_.count(spot(to)) == 0;
                if (!overlaps && !touches) break;
                to = std::max(to, spans[i].second);
            }
            merged_.push_back({spot(from), spot(to)});
            Join(spot(from), spot(to));
            for (const Spot& j : junctions_) {
                const long long along = row ? j.first : j.second;
                if (spot(along) == j && from < along && along < to) Join(j, spot(from));
            }
        }
    }

    std::set<Spot> junctions_;
    std::map<Spot, Spot> parent_;
    std::vector<std::pair<Spot, Spot>> merged_;
    std::vector<std::pair<std::string, Spot>> labels_, pins_;
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

TEST(KicadSchematic, KicadConnectsTheNetlistsNetsInEveryForm)
{
    for (const NamedLadder& c : EveryLadderForm()) {
        SCOPED_TRACE(c.name);
        KicadNets sheet(ParseSExpr(KicadSchematic(c.ladder, {}, c.name)));
        EXPECT_EQ(Sorted(sheet.Nets()), Sorted(SubcircuitNets(c.ladder)));
        EXPECT_TRUE(sheet.DanglingEnds().empty()) << sheet.DanglingEnds().size() << " dangling wire ends";
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
