// SPDX-License-Identifier: Apache-2.0
#include "cli/MeasuredPartReport.h"

#include <ostream>

#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

template <typename Visit>
void ForEachMeasured(const LadderModel& built, Visit visit)
{
    for (const ModelBranch& branch : built.branches)
        for (const ModelPart& part : branch.parts)
            if (part.measured) visit(part, *part.measured);
}

} // namespace

void AddMeasuredPartsJson(nlohmann::ordered_json& json, const LadderModel& built)
{
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    ForEachMeasured(built, [&rows](const ModelPart& part, const MeasuredPart& m) {
        rows.push_back({{"Part", part.designator},
                        {"File", m.file},
                        {"LowHz", m.LowHz()},
                        {"HighHz", m.HighHz()},
                        {"R", m.equivalent.R},
                        {"L", m.equivalent.L},
                        {"C", m.equivalent.C}});
    });
    if (!rows.empty()) json["MeasuredParts"] = rows;
}

void PrintMeasuredParts(std::ostream& out, const LadderModel& built)
{
    bool first = true;
    ForEachMeasured(built, [&](const ModelPart& part, const MeasuredPart& m) {
        if (first) out << "\nParts from measured files (the fitted R-L-C equivalent outside the data):\n";
        first = false;
        const bool inductor = part.kind == PartKind::Inductor;
        out << part.designator << "  " << m.file << ", " << EngineeringText(m.LowHz(), "Hz") << " to "
            << EngineeringText(m.HighHz(), "Hz") << "; " << EngineeringText(m.equivalent.L, "H") << ", "
            << EngineeringText(m.equivalent.R, "\u03a9") << ", " << EngineeringText(m.equivalent.C, "F")
            << (inductor ? " across" : " in series") << '\n';
    });
}

} // namespace corvane
