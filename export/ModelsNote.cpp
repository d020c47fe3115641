// SPDX-License-Identifier: Apache-2.0
#include "export/ModelsNote.h"

#include <utility>
#include <vector>

#include "analysis/PartModels.h"
#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

std::string Ascii(std::string text)
{
    const std::pair<const char*, const char*> swaps[] = {{"\u03a9", "Ohm"}, {"\u00b5", "u"}};
    for (const auto& [from, to] : swaps)
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
            text.replace(at, std::string(from).size(), to);
    return text;
}

std::string KindNote(const LadderModel& ladder, const PartQuality& quality, PartKind kind, const char* name)
{
    std::vector<std::pair<std::string, std::string>> parts; // designator, model
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts)
            if (part.kind == kind) parts.push_back({part.designator, PartModelNote(ladder, part, quality)});
    if (parts.empty()) return {};
    bool same = true;
    for (const auto& part : parts) same = same && part.second == parts.front().second;
    if (same) return std::string(name) + ' ' + parts.front().second;
    std::string text = name;
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? " " : ", ") + parts[i].first + " (" + parts[i].second + ")";
    return text;
}

std::string StraysNote(const BoardStrays& strays)
{
    std::string text;
    if (strays.nodeC > 0.0) text = "node strays " + EngineeringText(strays.nodeC, "F", true) + " at every node";
    for (const auto& [node, C] : strays.nodeCAt)
        text += (text.empty() ? "node strays " : ", ") + std::string("node ") + std::to_string(node) + ' ' +
                EngineeringText(C, "F", true);
    return text.empty() ? "no node strays" : text;
}

} // namespace

std::string PartModelNote(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality)
{
    return Ascii(ModelSummary(ladder, part, quality));
}

std::string ModelsNote(const LadderModel& ladder, const PartQuality& quality)
{
    std::string text = "Models:";
    const char* separator = " ";
    for (const std::string& piece :
         {KindNote(ladder, quality, PartKind::Inductor, "inductors"),
          KindNote(ladder, quality, PartKind::Capacitor, "capacitors"), StraysNote(ladder.strays)}) {
        if (piece.empty()) continue;
        text += separator + piece;
        separator = "; ";
    }
    return Ascii(text);
}

} // namespace corvane
