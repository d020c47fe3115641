// SPDX-License-Identifier: Apache-2.0
#include "cli/Reports.h"

#include <cstdio>
#include <ostream>

namespace corvane {

namespace {

constexpr int kLabelWidth = 8;
constexpr int kValueWidth = 12;

void PrintGridRow(const std::array<std::string, 3>& row, std::ostream& out)
{
    std::string line = row[0];
    line.resize(kLabelWidth, ' ');
    line += row[1];
    if (!row[2].empty()) {
        line.resize(kLabelWidth + kValueWidth, ' ');
        line += row[2];
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << '\n';
}

std::string ShortReal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

} // namespace

nlohmann::ordered_json StateJson(const DesignState& state, const CliForm& form, const CliResults& results)
{
    nlohmann::ordered_json json;
    json["FilterKind"] = state.FilterKind;
    json["UnitScale"] = state.UnitScale;
    json["Order"] = state.Order;
    json["Ripple"] = state.Ripple;
    json["PassF"] = state.PassF;
    json["Fmin"] = state.Fmin;
    json["Fmax"] = state.Fmax;
    json["F0"] = state.F0;
    json["RL"] = state.RL;
    json["FStep"] = state.FStep;
    json["GValues"] = state.GValues;
    json["Freq"] = state.Freq;
    json["Att"] = state.Att;
    json["ElementValues"] = state.ElementValues;
    json["ElementUnits"] = state.ElementUnits;
    json["BandL"] = state.BandL;
    json["BandC"] = state.BandC;
    json["S11"] = results.Plotted() ? nlohmann::ordered_json(state.S11) : nlohmann::ordered_json::array();
    json["Title"] = form.Title();
    json["Grid"] = results.Grid();
    return json;
}

void PrintText(const DesignState& state, const CliResults& results, std::ostream& out)
{
    for (const auto& row : results.Grid()) PrintGridRow(row, out);
    out << "\nPrototype values\n";
    for (size_t k = 0; k < state.GValues.size(); ++k) out << "g[" << k << "] = " << ShortReal(state.GValues[k]) << '\n';
}

} // namespace corvane
