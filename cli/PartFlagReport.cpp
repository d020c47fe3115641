// SPDX-License-Identifier: Apache-2.0
#include "cli/PartFlagReport.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "analysis/InputRules.h"

namespace corvane {

void AddPartLimitsOption(CLI::App& app, std::string& text)
{
    app.add_option("--part-limits", text,
                   "Flag parts beyond these limits: least capacitance, least inductance and greatest inductor "
                   "reactance at the highest passband frequency (default 1p,5n,2k)")
        ->type_name("C,L,X");
}

PartLimits ReadPartLimits(const std::string& text)
{
    return ReadPartLimits(text, "--part-limits");
}

void AddPartFlagsJson(nlohmann::ordered_json& json, const std::vector<PartFlag>& flags)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const PartFlag& flag : flags) list.push_back({{"Designator", flag.designator}, {"Reason", flag.reason}});
    json["PartFlags"] = list;
}

void PrintPartFlags(std::ostream& out, const std::vector<PartFlag>& flags)
{
    if (flags.empty()) return;
    out << "\nParts hard to build:\n";
    for (const PartFlag& flag : flags) out << "  " << flag.reason << '\n';
}

} // namespace corvane
