// SPDX-License-Identifier: Apache-2.0
#include "design/NameTable.h"

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

} // namespace corvane
