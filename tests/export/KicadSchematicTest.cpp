// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
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

// The same nets from the SPICE subcircuit: a second writer of the same ladder. Its DC paths are
// no parts: a leak RDC is left out, a loop's series resistor RB and the through source VTHRU join
// their nodes.
std::vector<Net> SubcircuitNets(const LadderModel& ladder)
{
    const SpiceDeck deck = ParseSpiceDeck(SpiceSubcircuit(ladder, {}, "nets"));
    std::map<std::string, std::string> parent;
    const std::function<std::string(const std::string&)> root = [&](const std::string& n) -> std::string {
        auto it = parent.find(n);
        return it == parent.end() || it->second == n ? n : it->second = root(it->second);
    };
    const auto shorted = [](const std::string& name) { return name == "VTHRU" || name.rfind("RB", 0) == 0; };
    for (const auto& [name, e] : deck.elements)
        if (shorted(name) && root(e.a) != root(e.b)) parent[root(e.a)] = root(e.b);
    std::map<std::string, Net> nets;
    for (const auto& [name, port] : std::map<std::string, std::string>{{"in", "IN"}, {"out", "OUT"}, {"gnd", "GND"}})
        nets[root(name)].second.insert(port);
    for (const auto& [name, e] : deck.elements) {
        if (name.rfind("RDC", 0) == 0 || shorted(name) || name[0] == '.') continue;
        nets[root(e.a)].first.insert(name);
        nets[root(e.b)].first.insert(name);
    }
    std::vector<Net> out;
    for (const auto& entry : nets) out.push_back(entry.second);
    return out;
}

const DesignBand kBand{BandShape::LowPass, 0.0, 10e6};

std::vector<Net> Sorted(std::vector<Net> nets)
{
    std::sort(nets.begin(), nets.end());
    return nets;
}

TEST(KicadSchematic, KicadConnectsTheNetlistsNetsInEveryForm)
{
    for (const NamedLadder& c : EveryLadderForm()) {
        SCOPED_TRACE(c.name);
        KicadNets sheet(ParseSExpr(KicadSchematic(c.ladder, {}, c.name, kBand, {})));
        EXPECT_EQ(Sorted(sheet.Nets()), Sorted(SubcircuitNets(c.ladder)));
        EXPECT_TRUE(sheet.DanglingEnds().empty()) << sheet.DanglingEnds().size() << " dangling wire ends";
        // KiCad counts a reference annotated when it ends in its number.
        for (const std::string& reference : sheet.References())
            if (reference.size() > 1)
                EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(reference.back()))) << reference;
    }
}

// Parts built from pairs: each member is a symbol of its own under its own designator, wired in
// parallel or in series as the pair builds the part; read by KiCad's rules and with the members
// taken back to their part, the nets are the netlist's.
TEST(KicadSchematic, PairsAreDrawnPartByPart)
{
    const LadderModel ladder = DesignModel({5, LadderTopology::T, 3, 0.5, 0, 9, 11, 50, 1e6}); // L1 C1, L2 C2, L3 C3
    CataloguePart a, b;
    a.kind = b.kind = PartKind::Capacitor;
    a.value = 1e-10;
    b.value = 4.7e-11;
    a.partNumber = "A-101";
    b.partNumber = "B-470";
    CataloguePart la = a, lb = b;
    la.kind = lb.kind = PartKind::Inductor;
    la.value = 1e-6;
    lb.value = 2.2e-7;
    const std::vector<PartChoice> choices{{"C1", ChoiceForm::Parallel, {a, b}, 1.47e-10, false},
                                          {"L2", ChoiceForm::Series, {la, lb}, 1.22e-6, false},
                                          {"C3", ChoiceForm::Series, {a, b}, 3.2e-11, false}};
    const SExpr sheet = ParseSExpr(KicadSchematic(ladder, choices, "pairs", kBand, {}));
    std::map<std::string, std::map<std::string, std::string>> fields;
    for (const SExpr* symbol : sheet.All("symbol")) {
        std::map<std::string, std::string> props;
        for (const SExpr* p : symbol->All("property")) props[p->items[1].atom] = p->items[2].atom;
        fields[props["Reference"]] = props;
    }
    EXPECT_EQ(fields.count("C1"), 0u);
    EXPECT_EQ(fields["C1_1"]["Value"], "100 pF");
    EXPECT_EQ(fields["C1_1"]["MPN"], "A-101");
    EXPECT_EQ(fields["C1_2"]["Value"], "47 pF");
    EXPECT_EQ(fields["L2_2"]["Value"], "220 nH");
    EXPECT_EQ(fields["L2_2"]["MPN"], "B-470");
    KicadNets kicad(sheet);
    EXPECT_TRUE(kicad.DanglingEnds().empty());
    // Members back to their part: a net of one part's members alone is the inside of a series pair.
    std::vector<Net> nets;
    for (Net net : kicad.Nets()) {
        std::set<std::string> parts;
        for (const std::string& name : net.first) parts.insert(name.substr(0, name.find('_')));
        const bool inside =
            net.second.empty() && parts.size() == 1 && net.first.begin()->find('_') != std::string::npos;
        if (!inside) nets.push_back({std::multiset<std::string>(parts.begin(), parts.end()), net.second});
    }
    EXPECT_EQ(Sorted(nets), Sorted(SubcircuitNets(ladder)));
}

// A capacitor's designator and value lie clear of its plates: text boxes 1.27 mm high, as wide
// as 1.27 mm a character (wider than KiCad draws them), against the plates' lines as the library
// draws them, turned as the symbol is placed.
TEST(KicadSchematic, CapacitorTextsClearTheirPlates)
{
    struct Box {
        double left, top, right, bottom;
    };
    const auto overlap = [](const Box& a, const Box& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    for (const NamedLadder& c : EveryLadderForm()) {
        SCOPED_TRACE(c.name);
        const SExpr sheet = ParseSExpr(KicadSchematic(c.ladder, {}, c.name, kBand, {}));
        std::vector<Box> plates; // in the library's frame, y up
        for (const SExpr* symbol : sheet.Find("lib_symbols")->All("symbol"))
            if (symbol->items[1].atom.back() == 'C')
                for (const SExpr* unit : symbol->All("symbol"))
                    for (const SExpr* line : unit->All("polyline")) {
                        const SExpr* pts = line->Find("pts");
                        const double x1 = pts->items[1].Number(1), y1 = pts->items[1].Number(2);
                        const double x2 = pts->items[2].Number(1), y2 = pts->items[2].Number(2);
                        // Half the plate's stroke either side of its line.
                        const double half = line->Find("stroke")->Find("width")->Number(1) / 2;
                        plates.push_back({std::min(x1, x2) - half, std::min(y1, y2) - half, std::max(x1, x2) + half,
                                          std::max(y1, y2) + half});
                    }
        ASSERT_EQ(plates.size(), 2u);
        int checked = 0;
        for (const SExpr* symbol : sheet.All("symbol")) {
            if (symbol->Find("lib_id")->items[1].atom.back() != 'C') continue;
            const SExpr* at = symbol->Find("at");
            const double x = at->Number(1), y = at->Number(2);
            const bool turned = at->Number(3) == 90.0;
            for (const SExpr* p : symbol->All("property")) {
                if (p->Find("effects")->items.size() > 2 && p->Find("effects")->items.back().atom == "hide") continue;
                const std::string& text = p->items[2].atom;
                const SExpr* place = p->Find("at");
                const double width = 1.27 * static_cast<double>(text.size());
                const bool left = p->Find("effects")->Find("justify") != nullptr;
                const double tx = place->Number(1), ty = place->Number(2);
                const Box textBox{left ? tx : tx - width / 2, ty - 0.635, left ? tx + width : tx + width / 2,
                                  ty + 0.635};
                for (const Box& plate : plates) {
                    // Turned 90 degrees anticlockwise, the library's (u, v) lands at (x - v, y - u) on the sheet.
                    const Box onSheet = turned ? Box{x - plate.bottom, y - plate.right, x - plate.top, y - plate.left}
                                               : Box{x + plate.left, y - plate.bottom, x + plate.right, y - plate.top};
                    EXPECT_FALSE(overlap(textBox, onSheet)) << text;
                }
                ++checked;
            }
        }
        EXPECT_GT(checked, 0);
    }
}

TEST(KicadSchematic, TitleBlockStatesTheBandOnLinesThatFitA4)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
    const std::string longTitle = "Chebyshev  LPF " + std::string(120, 'x') + " tail";
    struct Case {
        DesignBand band;
        const char* says;
    };
    const Case cases[] = {{{BandShape::LowPass, 0.0, 30e6}, "Low-pass, cut-off 30 MHz"},
                          {{BandShape::HighPass, 2.5e3, 0.0}, "High-pass, cut-off 2.5 kHz"},
                          {{BandShape::BandPass, 9e6, 11e6}, "Band-pass 9 MHz to 11 MHz"},
                          {{BandShape::BandStop, 88e6, 108e6}, "Band-stop 88 MHz to 108 MHz"}};
    for (const Case& c : cases) {
        const SExpr sheet = ParseSExpr(KicadSchematic(ladder, {}, longTitle, c.band, {}));
        const std::vector<const SExpr*> comments = sheet.Find("title_block")->All("comment");
        ASSERT_EQ(comments.size(), 3u);
        EXPECT_EQ(comments[0]->items[2].atom, c.says);
        EXPECT_EQ(comments[1]->items[2].atom, "Source 50 \u03a9, load 50 \u03a9");
        const std::string& title = comments[2]->items[2].atom;
        EXPECT_EQ(title.rfind("Chebyshev LPF x", 0), 0u) << title;
        // An A4 title block shows some 75 characters of a comment; the ellipsis is three bytes.
        EXPECT_LE(title.size(), 75u) << title;
        EXPECT_EQ(title.substr(title.size() - 3), "\u2026");
    }
}

// Fifteen branches of band-pass resonators wrap onto rows of an A4 or A3 sheet, no two symbols
// share a place, and KiCad connects the rows as the netlist does.
TEST(KicadSchematic, FifteenBranchesWrapOntoOneSmallSheet)
{
    const LadderModel ladder = DesignModel({5, LadderTopology::T, 15, 0.5, 0, 9, 11, 50, 1e6});
    const SExpr sheet = ParseSExpr(KicadSchematic(ladder, {}, "fifteen", kBand, {}));
    const std::string paper = sheet.Find("paper")->items[1].atom;
    EXPECT_TRUE(paper == "A4" || paper == "A3") << paper;
    std::vector<Point> places;
    for (const SExpr* symbol : sheet.All("symbol"))
        places.push_back({symbol->Find("at")->Number(1), symbol->Find("at")->Number(2)});
    ASSERT_EQ(places.size(), 30u);
    double lowest = 0.0;
    for (size_t i = 0; i < places.size(); ++i) {
        lowest = std::max(lowest, places[i].y);
        for (size_t j = i + 1; j < places.size(); ++j)
            EXPECT_GE(std::hypot(places[i].x - places[j].x, places[i].y - places[j].y), 10.0) << i << ' ' << j;
    }
    EXPECT_GT(lowest - places.front().y, 25.0) << "one row";
    KicadNets kicad(sheet);
    EXPECT_EQ(Sorted(kicad.Nets()), Sorted(SubcircuitNets(ladder)));
    EXPECT_TRUE(kicad.DanglingEnds().empty());
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
    const SExpr sheet = ParseSExpr(KicadSchematic(ladder, {choice}, "title \"quoted\"", kBand, {}));
    EXPECT_EQ(sheet.Find("title_block")->All("comment")[2]->items[2].atom, "title \"quoted\"");
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
