// SPDX-License-Identifier: Apache-2.0
#include "export/KicadSchematic.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "export/AtomicFile.h"
#include "export/KicadSymbols.h"
#include "export/ModelsNote.h"
#include "export/SheetLayout.h"
#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

struct Paper {
    const char* name;
    double width, height; // landscape, millimetres
};
constexpr Paper kPapers[] = {{"A4", 297, 210}, {"A3", 420, 297}, {"A2", 594, 420}, {"A1", 841, 594}, {"A0", 1189, 841}};

// The title block fills the lower right corner: the drawing keeps above it.
constexpr double kTitleBlockHeight = 40.0;

const Paper& PaperFor(double width, double height)
{
    for (const Paper& paper : kPapers)
        if (width <= paper.width && height + kTitleBlockHeight <= paper.height) return paper;
    return kPapers[sizeof kPapers / sizeof kPapers[0] - 1];
}

// A string as KiCad's s-expressions quote it.
std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else if (c == '\n')
            out += "\\n";
        else if (c != '\r')
            out += c;
    }
    return out + "\"";
}

std::string Mm(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string mm = text;
    while (mm.back() == '0') mm.pop_back();
    if (mm.back() == '.') mm.pop_back();
    return mm == "-0" ? "0" : mm;
}

std::string At(SheetPoint p, int angle)
{
    return "(at " + Mm(p.x) + " " + Mm(p.y) + " " + std::to_string(angle) + ")";
}

// Numbered identifiers: the same ladder writes the same file.
class Uuids {
public:
    std::string Next()
    {
        char text[40];
        std::snprintf(text, sizeof text, "c0a7a5e0-0000-4000-8000-%012llx", ++count_);
        return text;
    }

private:
    unsigned long long count_ = 0;
};

const PartChoice* ChoiceOf(const std::vector<PartChoice>& choices, const std::string& designator)
{
    for (const PartChoice& c : choices)
        if (c.designator == designator) return &c;
    return nullptr;
}

// The field texts of a part: its value, and what it is built from where a catalogue chose it.
struct Fields {
    std::string value, manufacturer, partNumber;
};

Fields FieldsOf(const SheetSymbol& s, const std::vector<PartChoice>& choices)
{
    if (s.member)
        return {EngineeringText(s.member->value, UnitOf(s.part->kind), true), s.member->manufacturer,
                s.member->partNumber};
    const ModelPart& part = *s.part;
    Fields f{EngineeringText(part.value, UnitOf(part.kind), true), "", ""};
    const PartChoice* choice = ChoiceOf(choices, part.designator);
    if (!choice) return f;
    if (choice->tuned) f.value = "trimmer " + EngineeringText(part.value, UnitOf(part.kind));
    const char* join = choice->form == ChoiceForm::Parallel ? " || " : " + ";
    for (const CataloguePart& m : choice->members) {
        const bool first = f.partNumber.empty() && f.manufacturer.empty();
        f.manufacturer += (first ? "" : join) + m.manufacturer;
        f.partNumber += (first ? "" : join) + m.partNumber;
    }
    return f;
}

// What the ladder is for, which a title block must say: its type and band.
std::string BandText(const DesignBand& band)
{
    const auto hz = [](double f) { return EngineeringText(f, "Hz", true); };
    switch (band.shape) {
    case BandShape::LowPass: return "Low-pass, cut-off " + hz(band.highHz);
    case BandShape::HighPass: return "High-pass, cut-off " + hz(band.lowHz);
    case BandShape::BandPass: return "Band-pass " + hz(band.lowHz) + " to " + hz(band.highHz);
    case BandShape::BandStop: break;
    }
    return "Band-stop " + hz(band.lowHz) + " to " + hz(band.highHz);
}

// A title block comment holds one line that an A4 sheet's title block shows whole: runs of blanks
// become one, and a long description is cut at a word with an ellipsis.
constexpr size_t kCommentChars = 72;

std::string CommentText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        if (!blank)
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    if (out.size() <= kCommentChars) return out;
    size_t cut = out.rfind(' ', kCommentChars - 1);
    if (cut == std::string::npos || cut < kCommentChars / 2) cut = kCommentChars - 1;
    // Never cut inside a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    return out.substr(0, cut) + "\u2026";
}

std::string Property(const char* name, const std::string& value, int id, SheetPoint at, int angle, bool shown,
                     const char* justify)
{
    return std::string("    (property ") + Quoted(name) + " " + Quoted(value) + " (id " + std::to_string(id) + ") " +
           At(at, angle) + "\n      (effects (font (size 1.27 1.27))" + justify + (shown ? "" : " hide") + ")\n    )\n";
}

std::string Symbol(const SheetSymbol& s, const Fields& fields, Uuids& uuids, std::string& instances)
{
    const bool across = s.angle == 90;
    // Texts above and below a part in the line, clear of a capacitor's plates (2.03 mm either side
    // of its centre), to the right of a part across it.
    const SheetPoint reference = across ? SheetPoint{s.at.x, s.at.y - 3.81} : SheetPoint{s.at.x + 2.54, s.at.y - 1.27};
    const SheetPoint value = across ? SheetPoint{s.at.x, s.at.y + 3.81} : SheetPoint{s.at.x + 2.54, s.at.y + 1.27};
    const char* justify = across ? "" : " (justify left)";
    const std::string id = uuids.Next();
    std::string text = std::string("  (symbol (lib_id ") + Quoted(KicadSymbolName(s.part->kind)) + ") " +
                       At(s.at, s.angle) + " (unit 1)\n    (in_bom yes) (on_board yes)\n    (uuid " + id + ")\n";
    // A field turns with its symbol: a turned symbol's field is turned back to read across.
    const int textAngle = across ? 90 : 0;
    text += Property("Reference", s.designator, 0, reference, textAngle, true, justify);
    text += Property("Value", fields.value, 1, value, textAngle, true, justify);
    text += Property("Footprint", "", 2, s.at, 0, false, "");
    text += Property("Datasheet", "~", 3, s.at, 0, false, "");
    text += Property("Manufacturer", fields.manufacturer, 4, s.at, 0, false, "");
    text += Property("MPN", fields.partNumber, 5, s.at, 0, false, "");
    text += "    (pin \"1\" (uuid " + uuids.Next() + "))\n    (pin \"2\" (uuid " + uuids.Next() + "))\n  )\n";
    instances += "    (path \"/" + id + "\"\n      (reference " + Quoted(s.designator) + ") (unit 1) (value " +
                 Quoted(fields.value) + ") (footprint \"\")\n    )\n";
    return text;
}

// The models note in lines of up to kNoteChars, broken after a "," or ";".
constexpr size_t kNoteChars = 100;

std::string NoteLines(const std::string& note)
{
    std::string out;
    size_t lineStart = 0, lastBreak = std::string::npos;
    for (size_t i = 0; i < note.size(); ++i) {
        out += note[i];
        if ((note[i] == ',' || note[i] == ';') && i + 1 < note.size() && note[i + 1] == ' ') lastBreak = out.size();
        if (out.size() - lineStart > kNoteChars && lastBreak != std::string::npos && lastBreak > lineStart) {
            out[lastBreak] = '\n';
            lineStart = lastBreak + 1;
            lastBreak = std::string::npos;
        }
    }
    return out;
}

std::string Note(const std::string& text, SheetPoint at, Uuids& uuids)
{
    return "  (text " + Quoted(text) + " " + At(at, 0) +
           "\n    (effects (font (size 1.27 1.27)) (justify left top))\n    (uuid " + uuids.Next() + ")\n  )\n";
}

std::string Wire(const SheetWire& w, Uuids& uuids)
{
    return "  (wire (pts (xy " + Mm(w.from.x) + " " + Mm(w.from.y) + ") (xy " + Mm(w.to.x) + " " + Mm(w.to.y) +
           "))\n    (stroke (width 0) (type default) (color 0 0 0 0))\n    (uuid " + uuids.Next() + ")\n  )\n";
}

std::string Label(const SheetLabel& l, Uuids& uuids)
{
    const char* shape = l.text == "IN" ? "input" : l.text == "OUT" ? "output" : "passive";
    return "  (global_label " + Quoted(l.text) + " (shape " + shape + ") " + At(l.at, l.angle) +
           "\n    (effects (font (size 1.27 1.27)) (justify " + (l.angle == 180 ? "right" : "left") + "))\n    (uuid " +
           uuids.Next() + ")\n  )\n";
}

} // namespace

std::string KicadSchematic(const LadderModel& ladder, const std::vector<PartChoice>& choices, const std::string& title,
                           const DesignBand& band, const PartQuality& quality)
{
    const SheetLayout sheet = LayOutLadder(ladder, choices);
    const std::string note = NoteLines(ModelsNote(ladder, quality));
    const double noteHeight = 2.54 * static_cast<double>(1 + std::count(note.begin(), note.end(), '\n'));
    Uuids uuids;
    std::ostringstream out;
    out << "(kicad_sch (version 20211123) (generator eeschema)\n\n";
    out << "  (uuid " << uuids.Next() << ")\n\n";
    out << "  (paper " << Quoted(PaperFor(sheet.width, sheet.height + noteHeight).name) << ")\n\n";
    out << "  (title_block\n    (title \"Corvane LC ladder\")\n    (comment 1 " << Quoted(BandText(band))
        << ")\n    (comment 2 "
        << Quoted("Source " + EngineeringText(ladder.RS, "\u03a9", true) + ", load " +
                  EngineeringText(ladder.RL, "\u03a9", true))
        << ")\n    (comment 3 " << Quoted(CommentText(title)) << ")\n  )\n\n";
    out << KicadLibrarySymbols() << '\n';
    for (const SheetPoint& j : sheet.junctions)
        out << "  (junction (at " << Mm(j.x) << ' ' << Mm(j.y) << ") (diameter 0) (color 0 0 0 0))\n";
    for (const SheetWire& w : sheet.wires) out << Wire(w, uuids);
    for (const SheetLabel& l : sheet.labels) out << Label(l, uuids);
    out << Note(note, {25.4, sheet.height - 12.7}, uuids);
    std::string instances;
    for (const SheetSymbol& s : sheet.symbols) out << Symbol(s, FieldsOf(s, choices), uuids, instances);
    out << "\n  (sheet_instances\n    (path \"/\" (page \"1\"))\n  )\n\n";
    out << "  (symbol_instances\n" << instances << "  )\n)\n";
    return out.str();
}

void WriteKicadSchematic(const std::string& path, const LadderModel& ladder, const std::vector<PartChoice>& choices,
                         const std::string& title, const DesignBand& band, const PartQuality& quality)
{
    WriteFileAtomically(path, KicadSchematic(ladder, choices, title, band, quality));
}

} // namespace corvane
