// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "analysis/NetworkResponse.h"
#include "export/BillOfMaterials.h"
#include "export/SpiceNetlist.h"
#include "tests/support/Designs.h"
#include "tests/support/SpiceDeck.h"

using namespace corvane;

namespace {

// RFC 4180 records, read by hand: quoted fields may hold commas, doubled quotes and line breaks.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            records.emplace_back(1);
        } else {
            field += c;
        }
    }
    if (records.back() == std::vector<std::string>(1)) records.pop_back();
    return records;
}

// A symmetric ladder (Butterworth, odd order) has equal parts mirrored about its middle: they
// share a line, and the designators are the netlist's.
TEST(BillOfMaterials, SymmetricLadderGroupsMirroredPartsUnderTheNetlistsNames)
{
    const LadderModel ladder =
        RoundParts(DesignModel({0, LadderTopology::T, 5, 0, 10, 0, 0, 50, 1e6}), ESeries::E12).ladder;
    const auto records = ReadCsv(BomCsv(BillOfMaterials(ladder, {}, {})));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0], (std::vector<std::string>{"Designator", "Value", "Quantity", "Tolerance", "Package",
                                                    "Manufacturer", "Part number", "Model"}));
    std::set<std::string> groups, named;
    int quantity = 0;
    for (size_t r = 1; r < records.size(); ++r) {
        groups.insert(records[r][0]);
        quantity += std::stoi(records[r][2]);
        std::string name;
        for (char c : records[r][0] + ",") {
            if (c == ',') {
                named.insert(name);
                name.clear();
            } else if (c != ' ') {
                name += c;
            }
        }
    }
    EXPECT_EQ(groups, (std::set<std::string>{"C2, C4", "L1, L5", "L3"}));
    EXPECT_EQ(quantity, 5);
    std::set<std::string> netlist;
    for (const auto& [name, element] : ParseSpiceDeck(SpiceNetlist(ladder, {1e6}, {}, "t")).elements)
        if (name[0] == 'L' || name[0] == 'C') netlist.insert(name);
    EXPECT_EQ(named, netlist);
}

CataloguePart Catalogued(double value, const std::string& maker, const std::string& number)
{
    CataloguePart part;
    part.value = value;
    part.tolerancePercent = 2;
    part.package = "0603";
    part.manufacturer = maker;
    part.partNumber = number;
    return part;
}

// The same value from two makers is two lines; the parts of a pair are listed under designators of
// their own; texts with commas and quotes survive the CSV.
TEST(BillOfMaterials, CataloguePartsKeepTheirMakersAndPairsCountBothParts)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::Pi, 3, 0, 10, 0, 0, 50, 1e6}); // C1 L2 C3
    const CataloguePart a = Catalogued(3.3e-10, "Maker \"A\", Inc", "A-330");
    const CataloguePart b = Catalogued(3.3e-10, "Maker B", "B-330");
    const std::vector<PartChoice> choices{{"C1", ChoiceForm::Parallel, {a, a}, 6.6e-10, false},
                                          {"C3", ChoiceForm::Single, {b}, 3.3e-10, false}};
    const auto records = ReadCsv(BomCsv(BillOfMaterials(ladder, choices, {})));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1], (std::vector<std::string>{"C1_1, C1_2", "330 pF", "2", "2%", "0603", "Maker \"A\", Inc",
                                                    "A-330", "ideal"}));
    EXPECT_EQ(records[2], (std::vector<std::string>{"C3", "330 pF", "1", "2%", "0603", "Maker B", "B-330", "ideal"}));
    EXPECT_EQ(records[3][0], "L2");
    EXPECT_EQ(records[3][3], "");
}

} // namespace
