// SPDX-License-Identifier: Apache-2.0
#include "export/BillOfMaterials.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "export/AtomicFile.h"
#include "export/Csv.h"
#include "export/ModelsNote.h"
#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

// One part to place on the board.
struct BoardPart {
    std::string designator;
    PartKind kind;
    double value;
    bool tuned;
    const CataloguePart* source; // null: no catalogue figures
    std::string model;
};

int KindOrder(PartKind kind)
{
    return kind == PartKind::Capacitor ? 0 : kind == PartKind::Inductor ? 1 : 2;
}

const PartChoice* ChoiceOf(const std::vector<PartChoice>& choices, const std::string& designator)
{
    for (const PartChoice& c : choices)
        if (c.designator == designator) return &c;
    return nullptr;
}

std::vector<BoardPart> BoardParts(const LadderModel& ladder, const std::vector<PartChoice>& choices,
                                  const PartQuality& quality)
{
    std::vector<BoardPart> parts;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) {
            const PartChoice* choice = ChoiceOf(choices, part.designator);
            const std::string model = PartModelNote(ladder, part, quality);
            if (!choice || choice->members.empty()) {
                parts.push_back({part.designator, part.kind, part.value, choice && choice->tuned, nullptr, model});
                continue;
            }
            // Each part of a pair goes on the board, and in the list, under a designator of its own.
            const bool pair = choice->members.size() > 1;
            for (size_t i = 0; i < choice->members.size(); ++i) {
                const CataloguePart& member = choice->members[i];
                parts.push_back({pair ? MemberDesignator(part.designator, static_cast<int>(i)) : part.designator,
                                 member.kind, member.value, false, &member, model});
            }
        }
    return parts;
}

std::string ToleranceText(const CataloguePart* source)
{
    if (!source || std::isnan(source->tolerancePercent)) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%g%%", source->tolerancePercent);
    return text;
}

BomRow RowOf(const BoardPart& part)
{
    BomRow row;
    row.value = EngineeringText(part.value, UnitOf(part.kind), true);
    if (part.tuned) row.value = "trimmer, set to " + EngineeringText(part.value, UnitOf(part.kind));
    row.tolerance = ToleranceText(part.source);
    row.model = part.model;
    if (part.source) {
        row.package = part.source->package;
        row.manufacturer = part.source->manufacturer;
        row.partNumber = part.source->partNumber;
    }
    return row;
}

bool SameLine(const BoardPart& a, const BoardPart& b)
{
    if (a.kind != b.kind || a.value != b.value || a.tuned != b.tuned) return false;
    const BomRow ra = RowOf(a), rb = RowOf(b);
    return std::tie(ra.tolerance, ra.package, ra.manufacturer, ra.partNumber, ra.model) ==
           std::tie(rb.tolerance, rb.package, rb.manufacturer, rb.partNumber, rb.model);
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

} // namespace

std::vector<BomRow> BillOfMaterials(const LadderModel& ladder, const std::vector<PartChoice>& choices,
                                    const PartQuality& quality)
{
    std::vector<BoardPart> parts = BoardParts(ladder, choices, quality);
    // Ladder order within a row: the sort keeps it.
    std::stable_sort(parts.begin(), parts.end(), [](const BoardPart& a, const BoardPart& b) {
        return std::make_tuple(KindOrder(a.kind), a.value) < std::make_tuple(KindOrder(b.kind), b.value);
    });
    std::vector<BomRow> rows;
    std::vector<const BoardPart*> firsts;
    for (const BoardPart& part : parts) {
        size_t r = 0;
        while (r < rows.size() && !SameLine(*firsts[r], part)) ++r;
        if (r == rows.size()) {
            rows.push_back(RowOf(part));
            firsts.push_back(&part);
        }
        std::vector<std::string>& names = rows[r].designators;
        if (std::find(names.begin(), names.end(), part.designator) == names.end()) names.push_back(part.designator);
        ++rows[r].quantity;
    }
    return rows;
}

std::string BomCsv(const std::vector<BomRow>& rows)
{
    std::string csv = "Designator,Value,Quantity,Tolerance,Package,Manufacturer,Part number,Model\r\n";
    for (const BomRow& row : rows)
        csv += CsvField(Joined(row.designators)) + ',' + CsvField(row.value) + ',' + std::to_string(row.quantity) +
               ',' + CsvField(row.tolerance) + ',' + CsvField(row.package) + ',' + CsvField(row.manufacturer) + ',' +
               CsvField(row.partNumber) + ',' + CsvField(row.model) + "\r\n";
    return csv;
}

void WriteBillOfMaterials(const std::string& path, const LadderModel& ladder, const std::vector<PartChoice>& choices,
                          const PartQuality& quality)
{
    WriteFileAtomically(path, BomCsv(BillOfMaterials(ladder, choices, quality)));
}

} // namespace corvane
