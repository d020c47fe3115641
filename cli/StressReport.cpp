// SPDX-License-Identifier: Apache-2.0
#include "cli/StressReport.h"

#include <ostream>
#include <vector>

#include "cli/TextCells.h"
#include "filtermath/NumberText.h"

namespace corvane {

namespace {

nlohmann::ordered_json StressRows(const StressReport& report, const std::vector<PartStress>& list)
{
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const PartStress& s : list) {
        nlohmann::ordered_json row = {{"Part", s.part},
                                      {"Vpeak", s.vPeak},
                                      {"Ipeak", s.iPeak},
                                      {"Pdiss", s.pDiss},
                                      {"Freq", RatedPeakHz(s) / report.unitScale}};
        if (const double rating = ExceededRating(s, report.ratings)) row["OverRating"] = rating;
        array.push_back(row);
    }
    return array;
}

void PrintTable(const StressReport& report, const char* heading, const std::vector<PartStress>& list, std::ostream& out)
{
    const size_t width = 14;
    out << heading << '\n';
    TrimAndEnd(Cell("Part", 8) + Cell("V peak, [V]", width) + Cell("I peak, [A]", width) + Cell("P diss, [W]", width) +
                   Cell("Freq, [" + report.unitText + "]", width) + "Rating",
               out);
    for (const PartStress& s : list) {
        const double over = ExceededRating(s, report.ratings);
        const std::string mark =
            over > 0.0 ? "over " + Printed("%g", over) + (s.kind == PartKind::Capacitor ? " V" : " A") : "";
        TrimAndEnd(Cell(s.part, 8) + Cell(Printed("%.4g", s.vPeak), width) + Cell(Printed("%.4g", s.iPeak), width) +
                       Cell(Printed("%.4g", s.pDiss), width) +
                       Cell(Printed("%.6g", RatedPeakHz(s) / report.unitScale), width) + mark,
                   out);
    }
}

} // namespace

void AddStressJson(const StressReport& report, nlohmann::ordered_json& json)
{
    json["Stress"] = StressRows(report, report.stress.passband);
    json["StressSweep"] = StressRows(report, report.stress.sweep);
}

void PrintStress(const StressReport& report, std::ostream& out)
{
    out << "\nPart stress at " << Printed("%g", report.drive.availableW) << " W available, load VSWR "
        << Printed("%g", report.drive.vswr)
        << " (peak values; frequency of the capacitor's voltage or the inductor's current)\n";
    PrintTable(report, "Over the passband", report.stress.passband, out);
    PrintTable(report, "Over the sweep", report.stress.sweep, out);
}

} // namespace corvane
