#include "export/Touchstone.h"

#include <sstream>

#include "export/AtomicFile.h"
#include "export/ExportError.h"
#include "export/ExportSweep.h"

const char* const kTouchstonePointsNote = "The positive sweep points, ascending, each once";

namespace {

struct UnitName {
    double scale;
    const char* name;
};
const UnitName kUnits[] = {{1.0, "Hz"}, {1e3, "kHz"}, {1e6, "MHz"}, {1e9, "GHz"}};

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
    for (const UnitName& unit : kUnits) {
        if (unit.scale == UnitScale) return unit.name;
    }
    throw ExportError("No Touchstone frequency unit for a scale of " + NumberText(UnitScale) + " Hz.");
}

std::string TouchstoneText(const Ladder& ladder, const std::vector<double>& frequencies, double UnitScale,
                           const PartQuality& quality, const std::vector<std::string>& comments)
{
    std::ostringstream out;
    for (const std::string& comment : comments) out << CommentLine(comment) << '\n';
    out << CommentLine(kTouchstonePointsNote) << '\n';
    out << "# " << TouchstoneUnit(UnitScale) << " S DB R " << NumberText(ladder.RL) << '\n';
    for (double f : frequencies) {
        const NetworkPoint point = AnalyseAt(ladder, f * UnitScale, quality);
        out << NumberText(f);
        WritePair(out, point.S11dB, point.S11Deg);
        WritePair(out, point.S21dB, point.S21Deg);
        WritePair(out, point.S21dB, point.S21Deg);
        WritePair(out, point.S22dB, point.S22Deg);
        out << '\n';
    }
    return out.str();
}

void WriteTouchstone(const std::string& path, const Ladder& ladder, const Sweep& Freq, double UnitScale,
                     const PartQuality& quality, const std::vector<std::string>& comments)
{
    WriteFileAtomically(path, TouchstoneText(ladder, ExportFrequencies(Freq), UnitScale, quality, comments));
}
