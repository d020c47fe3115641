// SPDX-License-Identifier: Apache-2.0
#include "export/PartCatalogue.h"

#include "export/PartFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

enum Column { Kind, Value, Tolerance, Q, QFreq, Srf, Resistance, Package, Manufacturer, PartNumber, Touchstone };
constexpr std::array<const char*, 11> kColumnNames{"kind",         "value",       "tolerance",  "q",
                                                   "q_freq",       "srf",         "resistance", "package",
                                                   "manufacturer", "part_number", "touchstone"};

// One field of a line: its text and the character column it starts at (from 1).
struct Field {
    std::string text;
    std::size_t column;
};

class RowReader {
public:
    RowReader(const std::string& path, int line) : path_(path), line_(line) {}

    [[noreturn]] void Fail(std::size_t column, const std::string& name, const std::string& problem) const
    {
        throw CatalogueError(path_ + ", line " + std::to_string(line_) + ", column " + std::to_string(column) +
                             (name.empty() ? "" : " (" + name + ")") + ": " + problem);
    }

    // Splits a line at commas outside quotes; a quote inside quotes is written twice.
    std::vector<Field> Split(const std::string& line) const
    {
        std::vector<Field> fields{{"", 1}};
        bool quoted = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            Field& field = fields.back();
            if (quoted) {
                if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                    field.text += line[++i];
                else if (c == '"')
                    quoted = false;
                else
                    field.text += c;
            } else if (c == '"' && Trimmed(field.text).empty()) {
                quoted = true;
                field.text.clear();
            } else if (c == ',') {
                fields.push_back({"", i + 2});
            } else {
                field.text += c;
            }
        }
        if (quoted) Fail(fields.back().column, "", "a quoted field is not closed on its line");
        for (Field& field : fields) field.text = Trimmed(field.text);
        return fields;
    }

    static std::string Trimmed(const std::string& text)
    {
        std::size_t a = 0, b = text.size();
        while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
        while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
        return text.substr(a, b - a);
    }

    // A number in engineering notation with the unit, above zero (or zero where allowed), finite.
    double Number(const Field& field, const std::string& name, const std::string& unit, bool zeroAllowed) const
    {
        TypedValue typed;
        if (!ReadEngineeringText(field.text, unit, typed) || !std::isfinite(typed.value))
            Fail(field.column, name, "'" + field.text + "' is no number" + (unit.empty() ? "" : " of " + unit));
        if (typed.value < 0.0 || (typed.value == 0.0 && !zeroAllowed))
            Fail(field.column, name, "'" + field.text + "' must be above zero");
        return typed.value;
    }

private:
    const std::string& path_;
    int line_;
};

class CatalogueParser {
public:
    explicit CatalogueParser(const std::string& path) : path_(path) {}

    void Line(const std::string& text, int number)
    {
        const RowReader reader(path_, number);
        const std::string trimmed = RowReader::Trimmed(text);
        if (trimmed.empty() || trimmed[0] == '#') return;
        const std::vector<Field> fields = reader.Split(text);
        if (columns_.empty())
            Heading(reader, fields);
        else
            catalogue_.parts.push_back(Row(reader, fields, number));
    }

    PartCatalogue Done(int lines)
    {
        if (columns_.empty())
            throw CatalogueError(path_ + ", line " + std::to_string(lines) +
                                 ", column 1: no heading line naming the columns");
        catalogue_.path = path_;
        return std::move(catalogue_);
    }

private:
    void Heading(const RowReader& reader, const std::vector<Field>& fields)
    {
        std::array<bool, kColumnNames.size()> seen{};
        for (const Field& field : fields) {
            std::string name = field.text;
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const auto found = std::find(kColumnNames.begin(), kColumnNames.end(), name);
            if (found == kColumnNames.end()) reader.Fail(field.column, field.text, "no such column");
            const std::size_t index = static_cast<std::size_t>(found - kColumnNames.begin());
            if (seen[index]) reader.Fail(field.column, field.text, "this column is named twice");
            seen[index] = true;
            columns_.push_back(static_cast<Column>(index));
        }
        if (!seen[Kind] || !seen[Value]) reader.Fail(1, "", "the heading must name the columns kind and value");
    }

    CataloguePart Row(const RowReader& reader, const std::vector<Field>& fields, int number) const
    {
        if (fields.size() != columns_.size())
            reader.Fail(fields.back().column, "",
                        std::to_string(fields.size()) + " fields where the heading names " +
                            std::to_string(columns_.size()));
        CataloguePart part;
        part.line = number;
        const Field* kind = nullptr;
        const Field* value = nullptr;
        const Field* q = nullptr;
        const Field* qFreq = nullptr;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const Field& f = fields[i];
            const std::string name = kColumnNames[columns_[i]];
            switch (columns_[i]) {
            case Kind: kind = &f; break;
            case Value: value = &f; break;
            case Q: q = f.text.empty() ? nullptr : &f; break;
            case QFreq: qFreq = f.text.empty() ? nullptr : &f; break;
            case Tolerance:
                if (!f.text.empty()) part.tolerancePercent = reader.Number(f, name, "%", false);
                if (part.tolerancePercent >= 100.0) reader.Fail(f.column, name, "a tolerance must be below 100 %");
                break;
            case Srf:
                if (!f.text.empty()) part.srfHz = reader.Number(f, name, "Hz", false);
                break;
            case Resistance:
                if (!f.text.empty()) part.seriesOhms = reader.Number(f, name, "\u03a9", true);
                break;
            case Package: part.package = f.text; break;
            case Manufacturer: part.manufacturer = f.text; break;
            case PartNumber: part.partNumber = f.text; break;
            case Touchstone:
                if (!f.text.empty()) part.touchstoneFile = TouchstonePath(reader, f);
                break;
            }
        }
        ReadKindAndValue(reader, *kind, *value, part);
        if ((q == nullptr) != (qFreq == nullptr))
            reader.Fail((q ? q : qFreq)->column, q ? "q" : "q_freq", "q and q_freq go together: give both or neither");
        if (q) {
            part.Q = reader.Number(*q, "q", "", false);
            part.qFrequencyHz = reader.Number(*qFreq, "q_freq", "Hz", false);
        }
        return part;
    }

    void ReadKindAndValue(const RowReader& reader, const Field& kind, const Field& value, CataloguePart& part) const
    {
        if (kind.text == "L" || kind.text == "l")
            part.kind = PartKind::Inductor;
        else if (kind.text == "C" || kind.text == "c")
            part.kind = PartKind::Capacitor;
        else
            reader.Fail(kind.column, "kind", "'" + kind.text + "' is no kind: L or C");
        part.value = reader.Number(value, "value", UnitOf(part.kind), false);
    }

    std::string TouchstonePath(const RowReader& reader, const Field& f) const
    {
        namespace fs = std::filesystem;
        const fs::path file = fs::path(path_).parent_path() / f.text;
        std::error_code error;
        if (!fs::is_regular_file(file, error)) reader.Fail(f.column, "touchstone", "no file '" + file.string() + "'");
        return file.string();
    }

    std::string path_;
    std::vector<Column> columns_;
    PartCatalogue catalogue_;
};

} // namespace

PartCatalogue ParseCatalogue(const std::string& text, const std::string& path)
{
    if (text.size() > kMaxCatalogueBytes)
        throw CatalogueError(path + ", line 1, column 1: the file is larger than " +
                             std::to_string(kMaxCatalogueBytes >> 20) + " MB");
    CatalogueParser parser(path);
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3); // a byte order mark
        parser.Line(line, number);
    }
    return parser.Done(std::max(number, 1));
}

PartCatalogue ReadCatalogue(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CatalogueError("Cannot read the catalogue '" + path + "'.");
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxCatalogueBytes) break;
    }
    if (in.bad()) throw CatalogueError("Cannot read the catalogue '" + path + "'.");
    PartCatalogue catalogue = ParseCatalogue(text, path);
    ReadMeasuredParts(catalogue);
    return catalogue;
}

void ReadMeasuredParts(PartCatalogue& catalogue)
{
    for (CataloguePart& part : catalogue.parts) {
        if (part.touchstoneFile.empty()) continue;
        try {
            part.measured = ReadPartFile(part.touchstoneFile, part.kind);
        } catch (const Failure& failure) {
            throw CatalogueError(catalogue.path + ", line " + std::to_string(part.line) +
                                 " (touchstone): " + failure.what());
        }
    }
}

std::vector<CataloguePart> PartsOfKind(const PartCatalogue& catalogue, PartKind kind)
{
    std::vector<CataloguePart> parts;
    for (const CataloguePart& p : catalogue.parts)
        if (p.kind == kind) parts.push_back(p);
    std::stable_sort(parts.begin(), parts.end(),
                     [](const CataloguePart& a, const CataloguePart& b) { return a.value < b.value; });
    return parts;
}

} // namespace corvane
