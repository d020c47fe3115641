// SPDX-License-Identifier: Apache-2.0
#include "cli/PartFlagReport.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <ostream>

#include "analysis/InputRules.h"
#include "filtermath/EngineeringText.h"

void AddPartLimitsOption(CLI::App& app, std::string& text)
{
    app.add_option("--part-limits", text,
                   "Flag parts beyond these limits: least capacitance, least inductance and greatest inductor "
                   "reactance at the highest passband frequency (default 1p,5n,2k)")
        ->type_name("C,L,X");
}

PartLimits ReadPartLimits(const std::string& text)
{
    PartLimits limits;
    if (text.empty()) return limits;
    const char* units[] = {"F", "H", "\u03a9"};
    double* values[] = {&limits.minCapacitance, &limits.minInductance, &limits.maxInductorReactance};
    size_t from = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t comma = text.find(',', from);
        const bool last = i == 2;
        if ((comma == std::string::npos) != last)
            throw InputError("--part-limits must be three values above zero, separated by commas.");
        TypedValue typed;
        const std::string item = text.substr(from, last ? std::string::npos : comma - from);
        if (!ReadEngineeringText(item, units[i], typed) || !(typed.value > 0.0) || !std::isfinite(typed.value))
            throw InputError("--part-limits must be three values above zero, separated by commas.");
        *values[i] = typed.value;
        from = comma + 1;
    }
    return limits;
}

std::string PartLimitsText(const PartLimits& limits)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.12g,%.12g,%.12g", limits.minCapacitance, limits.minInductance,
                  limits.maxInductorReactance);
    return text;
}

std::vector<PartFlag> FlagsOfBuiltLadder(const LadderModel& built, const DesignBand& band, double sweepTopHz,
                                         const PartLimits& limits)
{
    return FlagParts(built, HighestPassbandHz(band, sweepTopHz), limits);
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
