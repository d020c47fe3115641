// SPDX-License-Identifier: Apache-2.0
#include "design/NameTable.h"

#include <cctype>

#include "design/Names.h"

namespace corvane {

std::string ListOfKeys(const std::vector<std::string>& keys)
{
    std::string list;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i > 0) list += i + 1 == keys.size() ? " or " : ", ";
        list += keys[i];
    }
    return list;
}

std::optional<PartKind> DesignatorKind(const std::string& designator)
{
    size_t digits = 0;
    while (1 + digits < designator.size() && std::isdigit(static_cast<unsigned char>(designator[1 + digits]))) ++digits;
    const std::string rest = designator.size() > 1 + digits ? designator.substr(1 + digits) : std::string();
    if (digits == 0 || designator[1] == '0' || !(rest.empty() || rest == "B")) return std::nullopt;
    for (const PartKindRow& row : kPartKinds)
        if (designator[0] == row.letter) return row.kind;
    return std::nullopt;
}

} // namespace corvane
