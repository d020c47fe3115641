// SPDX-License-Identifier: Apache-2.0
#include "analysis/PerPartModels.h"

#include <cctype>
#include <utility>

#include "analysis/InputRules.h"

namespace corvane {

namespace {

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The item's place in the items for its key, null for a key that names none.
std::string* Slot(PartModelItems& items, const std::string& key)
{
    if (key == "q") return &items.q;
    if (key == "srf") return &items.srf;
    if (key == "r" || key == "rdc" || key == "esr" || key == "dcr") return &items.seriesR;
    if (key == "esl") return &items.esl;
    if (key == "lead") return &items.lead;
    return nullptr;
}

void TakeItem(PartModelItems& items, const std::string& item, const std::string& field)
{
    size_t end = 0;
    while (end < item.size() && std::isalpha(static_cast<unsigned char>(item[end]))) ++end;
    const std::string key = item.substr(0, end);
    std::string value = Trimmed(item.substr(end));
    if (!value.empty() && (value[0] == '=' || value[0] == ':')) value = Trimmed(value.substr(1));
    std::string* slot = Slot(items, Lower(key));
    if (!slot)
        throw InputError(field + ": \"" + item +
                         "\" names no item of a part model; give Q, SRF, Rdc or ESR, ESL or lead.");
    if (value.empty()) throw InputError(field + ": " + key + " has no value.");
    if (!slot->empty()) throw InputError(field + ": " + key + " is given twice.");
    // A growing Q shows as its two sides; one that does not split is kept whole for its reader to refuse.
    if (slot == &items.q && SplitGrowingQ(value, items.q, items.qAt)) return;
    *slot = value;
}

} // namespace

bool PartModelItems::operator==(const PartModelItems& o) const
{
    return q == o.q && qAt == o.qAt && srf == o.srf && seriesR == o.seriesR && esl == o.esl && lead == o.lead;
}

PartModelItems SplitPartModelText(const std::string& text, const std::string& field)
{
    PartModelItems items;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t comma = std::min(text.find(',', from), text.size());
        const std::string item = Trimmed(text.substr(from, comma - from));
        if (!item.empty()) TakeItem(items, item, field);
        from = comma + 1;
    }
    return items;
}

std::string JoinPartModelText(const PartModelItems& items, PartKind kind)
{
    std::string text;
    const auto add = [&text](const char* key, const std::string& value) {
        if (!value.empty()) text += (text.empty() ? "" : ", ") + std::string(key) + " " + value;
    };
    add("Q", items.q + (items.qAt.empty() ? "" : " @ " + items.qAt));
    add("SRF", items.srf);
    add(kind == PartKind::Inductor ? "Rdc" : "ESR", items.seriesR);
    add("ESL", items.esl);
    add("lead", items.lead);
    return text;
}

OwnPartModel ReadPartModelText(const std::string& text, const std::string& field, PartKind kind, double unitScale)
{
    const PartModelItems items = SplitPartModelText(text, field);
    const auto read = [&field](const std::string& value, const char* key, auto reader) {
        return value.empty() ? 0.0 : reader(value, field + ": " + key);
    };
    OwnPartModel own;
    PartModel& m = own.model;
    if (!items.q.empty() || !items.qAt.empty()) {
        const KindQ q = ReadKindQ(items.qAt.empty() ? items.q : items.q + " @ " + items.qAt, field + ": Q", unitScale);
        m.Q = q.Q;
        if (q.QHz > 0.0) m.growth = QGrowth::SqrtF, m.QHz = q.QHz;
    }
    m.srfHz = items.srf.empty() ? 0.0 : ReadSelfResonance(items.srf, field + ": SRF", unitScale) * unitScale;
    m.seriesR = read(items.seriesR, kind == PartKind::Inductor ? "Rdc" : "ESR", ReadLossResistance);
    m.esl = read(items.esl, "ESL", ReadStrayInductance);
    if (m.esl > 0.0 && kind != PartKind::Capacitor)
        throw InputError(field + ": ESL is a capacitor's; give an inductor's self-resonance as SRF.");
    if (m.esl > 0.0 && m.srfHz > 0.0) throw InputError(field + ": give a capacitor's ESL or its SRF, not both.");
    if (!items.lead.empty()) own.leadL = ReadStrayInductance(items.lead, field + ": lead");
    return own;
}

void ApplyOwnPartModels(LadderModel& ladder, const std::map<std::string, OwnPartModel>& models)
{
    for (const auto& [designator, own] : models) {
        ModelPart* found = FindPart(ladder, designator);
        if (!found)
            throw InputError("The ladder has no part " + designator + " for its model; its parts are " +
                             PartNames(ladder) + ".");
        found->model = own.model;
        found->leadL = own.leadL;
    }
}

} // namespace corvane
