// SPDX-License-Identifier: Apache-2.0
#include "export/Touchstone.h"

#include <sstream>

#include "analysis/PartModels.h"
#include "export/AtomicFile.h"
#include "export/ExportError.h"
#include "export/ExportSweep.h"
#include "export/ModelsNote.h"
#include "filtermath/FrequencyUnits.h"

namespace corvane {

const char* const kTouchstonePointsNote = "The positive sweep points, ascending, each once";

namespace {

std::string CommentLine(const std::string& text)
{
    std::string line = "! ";
    for (char c : text) line += (c == '\n' || c == '\r') ? ' ' : c;
    return line;
}

void WritePair(std::ostringstream& out, double dB, double degrees)
{
    out << ' ' << NumberText(dB) << ' ' << NumberText(degrees);
}

} // namespace

std::string TouchstoneUnit(double UnitScale)
{
    if (const FrequencyUnit* unit = UnitOfScale(UnitScale)) return unit->name;
    throw ExportError("No Touchstone frequency unit for a scale of " + NumberText(UnitScale) + " Hz.");
}

std::string TouchstoneText(const LadderModel& model, const std::vector<double>& frequencies, double UnitScale,
                           const PartQuality& quality, const std::vector<std::string>& comments)
{
    const Ladder ladder = LadderOfModel(model);
    const std::string unit = TouchstoneUnit(UnitScale);
    const bool twoReferences = ladder.RS != ladder.RL;
    std::ostringstream out;
    for (const std::string& comment : comments) out << CommentLine(comment) << '\n';
    out << CommentLine(ModelsNote(model, quality)) << '\n';
    out << CommentLine(kTouchstonePointsNote) << '\n';
    if (twoReferences) {
        out << "[Version] 2.0\n";
        out << "# " << unit << " S DB R " << NumberText(ladder.RS) << '\n';
        out << "[Number of Ports] 2\n";
        out << "[Two-Port Data Order] 12_21\n";
        out << "[Number of Frequencies] " << frequencies.size() << '\n';
        out << "[Reference] " << NumberText(ladder.RS) << ' ' << NumberText(ladder.RL) << '\n';
        out << "[Network Data]\n";
    } else {
        out << "# " << unit << " S DB R " << NumberText(ladder.RL) << '\n';
    }
    for (double f : frequencies) {
        const NetworkPoint point = corvane::AnalyseLadderAt(model, f * UnitScale, quality);
        out << NumberText(f);
        WritePair(out, point.S11dB, point.S11Deg);
        WritePair(out, point.S21dB, point.S21Deg);
        WritePair(out, point.S21dB, point.S21Deg);
        WritePair(out, point.S22dB, point.S22Deg);
        out << '\n';
    }
    if (twoReferences) out << "[End]\n";
    return out.str();
}

void WriteTouchstone(const std::string& path, const LadderModel& ladder, const std::vector<double>& Freq,
                     double UnitScale, const PartQuality& quality, const std::vector<std::string>& comments)
{
    WriteFileAtomically(path, TouchstoneText(ladder, ExportFrequencies(Freq), UnitScale, quality, comments));
}

} // namespace corvane
