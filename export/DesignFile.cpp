// SPDX-License-Identifier: Apache-2.0
#include "export/DesignFile.h"

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include "design/Names.h"
#include "export/AtomicFile.h"
#include "export/PartFile.h"

namespace corvane {

using Json = nlohmann::ordered_json;

const char* const kDesignFileFormat = "Corvane design";
const char* const kDesignFileSuffix = ".corvane";

namespace {

// A design file is a few hundred bytes; anything far larger is not one, and is not read whole.
constexpr long long kMaxFileBytes = 1 << 20;
// The format nests three levels; a deeper text is refused while it is parsed, before it can
// cost stack or memory.
constexpr int kMaxDepth = 8;

constexpr std::array<const char*, kFieldCount> kFieldKeys = {"poles", "ripple",     "passband", "fmin",
                                                             "fmax",  "resistance", "start",    "stop"};
constexpr int kFirstSweepField = static_cast<int>(Field::FStart);
constexpr std::array<const char*, kSelectorCount> kSelectorKeys = {"type", "model", "topology", "unit"};
// The tolerance tab's envelope: a plot choice of the file alone, not a name the user picks elsewhere.
const std::vector<std::string> kCurveNames = {"S21", "S11"};
constexpr int kFirstVersion = 1;
constexpr int kPanelVersion = 2;
constexpr int kToleranceVersion = 3;
constexpr int kPathMaxLength = 4096;

[[noreturn]] void Refuse(const std::string& problem)
{
    throw DesignFileError(problem);
}

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

// Characters as a text field counts them: UTF-16 units, so a character outside the basic
// plane counts twice. The JSON parser has already refused malformed UTF-8.
int Utf16Length(const std::string& text)
{
    int units = 0;
    for (unsigned char byte : text) {
        if ((byte & 0xC0) == 0x80) continue;
        units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool HasControlCharacter(const std::string& text)
{
    for (unsigned char byte : text)
        if (byte < 0x20 || byte == 0x7F) return true;
    return false;
}

const Json& Member(const Json& object, const std::string& path, const char* key)
{
    const auto found = object.find(key);
    if (found == object.end()) Refuse(Quoted(path + key) + " is missing");
    return *found;
}

const Json& Section(const Json& root, const char* key)
{
    const Json& section = Member(root, "", key);
    if (!section.is_object()) Refuse(Quoted(key) + " must be an object");
    return section;
}

// A text a user could have typed: no control characters, within the field's length limit.
std::string TypedText(const Json& object, const std::string& path, const char* key, int maxLength)
{
    const Json& value = Member(object, path, key);
    if (!value.is_string()) Refuse(Quoted(path + key) + " must be a text");
    const std::string text = value.get<std::string>();
    if (HasControlCharacter(text)) Refuse(Quoted(path + key) + " holds a control character");
    if (maxLength > 0 && Utf16Length(text) > maxLength)
        Refuse(Quoted(path + key) + " is longer than " + std::to_string(maxLength) + " characters");
    return text;
}

bool Flag(const Json& object, const std::string& path, const char* key)
{
    const Json& value = Member(object, path, key);
    if (!value.is_boolean()) Refuse(Quoted(path + key) + " must be true or false");
    return value.get<bool>();
}

// A whole number within [low, high]; false when the value is no whole number or outside.
bool WholeNumberIn(const Json& value, long long low, long long high, long long& number)
{
    if (value.is_number_unsigned()) {
        const auto n = value.get<unsigned long long>();
        if (n > static_cast<unsigned long long>(high)) return false;
        number = static_cast<long long>(n);
    } else if (value.is_number_integer()) {
        number = value.get<long long>();
    } else {
        return false;
    }
    return number >= low && number <= high;
}

std::string OneOf(const Json& object, const std::string& path, const char* key, const std::vector<std::string>& keys)
{
    const Json& value = Member(object, path, key);
    if (value.is_string()) {
        const std::string text = value.get<std::string>();
        if (std::find(keys.begin(), keys.end(), text) != keys.end()) return text;
    }
    Refuse(Quoted(path + key) + " must be one of " + ListOfKeys(keys));
}

template <typename Value, size_t Count>
std::string OneOf(const Json& object, const std::string& path, const char* key, const NameTable<Value, Count>& table)
{
    return OneOf(object, path, key, KeysOf(table));
}

void ReadSelectors(const Json& root, DesignFile& design)
{
    const Json& selectors = Section(root, "selectors");
    for (int s = 0; s < kSelectorCount; ++s) {
        const char* key = kSelectorKeys[static_cast<size_t>(s)];
        const Json& value = Member(selectors, "selectors.", key);
        const int items = kSelectorItemCounts[static_cast<size_t>(s)];
        if (value.is_string()) {
            // A drop-down whose typed text is no item.
            design.selectors[static_cast<size_t>(s)] = -1;
            design.selectorTexts[static_cast<size_t>(s)] = TypedText(selectors, "selectors.", key, 0);
            continue;
        }
        long long index = 0;
        if (!value.is_number_integer())
            Refuse(Quoted(std::string("selectors.") + key) + " must be an item index or a typed text");
        if (!WholeNumberIn(value, 0, items - 1, index))
            Refuse(Quoted(std::string("selectors.") + key) + " is out of range: the item index runs from 0 to " +
                   std::to_string(items - 1));
        design.selectors[static_cast<size_t>(s)] = static_cast<int>(index);
    }
}

void ReadFields(const Json& root, DesignFile& design)
{
    const Json& inputs = Section(root, "inputs");
    const Json& sweep = Section(root, "sweep");
    for (int f = 0; f < kFieldCount; ++f) {
        const bool inSweep = f >= kFirstSweepField;
        design.fields[static_cast<size_t>(f)] =
            TypedText(inSweep ? sweep : inputs, inSweep ? "sweep." : "inputs.", kFieldKeys[static_cast<size_t>(f)],
                      FieldMaxLength(static_cast<Field>(f)));
    }
    design.logarithmic = Flag(sweep, "sweep.", "logarithmic");
}

void ReadExactResponse(const Json& root, ExactResponseSettings& settings)
{
    const Json& exact = Section(root, "exactResponse");
    const std::string path = "exactResponse.";
    settings.series = OneOf(exact, path, "series", kSeriesNames);
    settings.inductorQ = TypedText(exact, path, "inductorQ", 0);
    settings.capacitorQ = TypedText(exact, path, "capacitorQ", 0);
    settings.load = OneOf(exact, path, "load", kLoadNames);
    settings.loadValue = TypedText(exact, path, "loadValue", 0);
    settings.sweepStart = TypedText(exact, path, "start", 0);
    settings.sweepStop = TypedText(exact, path, "stop", 0);
    long long points = 0;
    if (!WholeNumberIn(Member(exact, path, "points"), kMinNetworkPoints, kMaxNetworkPoints, points))
        Refuse(Quoted(path + "points") + " must be a whole number from " + std::to_string(kMinNetworkPoints) + " to " +
               std::to_string(kMaxNetworkPoints));
    settings.points = static_cast<int>(points);
    settings.logarithmic = Flag(exact, path, "logarithmic");
}

// A positive finite number in SI units.
double PositiveNumber(const Json& object, const std::string& path, const char* key)
{
    const Json& value = Member(object, path, key);
    if (!value.is_number() || !(value.get<double>() > 0.0) || !std::isfinite(value.get<double>()))
        Refuse(Quoted(path + key) + " must be a number above zero");
    return value.get<double>();
}

void ReadPartLimits(const Json& root, PartLimits& limits)
{
    if (!root.contains("partLimits")) return;
    const Json& section = Section(root, "partLimits");
    const std::string path = "partLimits.";
    limits.minCapacitance = PositiveNumber(section, path, "minCapacitance");
    limits.minInductance = PositiveNumber(section, path, "minInductance");
    limits.maxInductorReactance = PositiveNumber(section, path, "maxInductorReactance");
}

void ReadDesignPanel(const Json& root, DesignPanelSettings& panel)
{
    const Json& section = Section(root, "designPanel");
    const std::string path = "designPanel.";
    panel.family = OneOf(section, path, "family", kFamilyNames);
    panel.type = OneOf(section, path, "type", kFilterTypeNames);
    panel.form = OneOf(section, path, "form", kFormNames);
    panel.orderFrom = OneOf(section, path, "orderFrom", kOrderFromNames);
    panel.unit = OneOf(section, path, "unit", FrequencyUnitNames());
    const std::pair<const char*, std::string*> texts[] = {{"order", &panel.order},
                                                          {"ripple", &panel.ripple},
                                                          {"stopAtt", &panel.stopAtt},
                                                          {"stopFreq", &panel.stopFreq},
                                                          {"passband", &panel.passband},
                                                          {"fmin", &panel.fmin},
                                                          {"fmax", &panel.fmax},
                                                          {"rs", &panel.rs},
                                                          {"rl", &panel.rl}};
    for (const auto& [key, text] : texts) *text = TypedText(section, path, key, kPanelTextMaxLength);
    if (section.contains("zeros")) panel.zeros = TypedText(section, path, "zeros", kPanelTextMaxLength);
    if (section.contains("delayError")) panel.delayError = TypedText(section, path, "delayError", kPanelTextMaxLength);
    if (section.contains("bandPassForm")) panel.bandPassForm = OneOf(section, path, "bandPassForm", kBandPassFormNames);
    if (section.contains("resonatorL")) panel.resonatorL = TypedText(section, path, "resonatorL", kPanelTextMaxLength);
    panel.shown = Flag(section, path, "shown");
}

// The mask's bands, one text each, as the mask field joins them.
void ReadMaskBands(const Json& section, const std::string& path, std::string& mask)
{
    if (!section.contains("mask")) return;
    const Json& bands = section.at("mask");
    if (!bands.is_array()) Refuse(Quoted(path + "mask") + " must be a list of bands");
    for (std::size_t b = 0; b < bands.size(); ++b) {
        if (!bands[b].is_string() || bands[b].get<std::string>().find(';') != std::string::npos ||
            bands[b].get<std::string>().size() > static_cast<std::size_t>(kPanelTextMaxLength))
            Refuse(Quoted(path + "mask[" + std::to_string(b) + "]") + " must be the text of one band");
        mask += (mask.empty() ? "" : "; ") + bands[b].get<std::string>();
    }
    if (mask.size() > static_cast<std::size_t>(kMaskTextMaxLength))
        Refuse(Quoted(path + "mask") + " is longer than " + std::to_string(kMaskTextMaxLength) + " characters");
}

// The mask field's bands as the file lists them.
Json MaskBandsJson(const std::string& mask)
{
    Json bands = Json::array();
    std::size_t from = 0;
    while (from <= mask.size()) {
        const std::size_t end = std::min(mask.find(';', from), mask.size());
        const std::string band = mask.substr(from, end - from);
        const std::size_t first = band.find_first_not_of(" \t"), last = band.find_last_not_of(" \t");
        if (first != std::string::npos) bands.push_back(band.substr(first, last - first + 1));
        from = end + 1;
    }
    return bands;
}

void ReadTolerance(const Json& root, ToleranceFileSettings& tolerance)
{
    const Json& section = Section(root, "tolerance");
    const std::string path = "tolerance.";
    tolerance.distribution = OneOf(section, path, "distribution", kDistributionNames);
    tolerance.curve = OneOf(section, path, "curve", kCurveNames);
    const std::pair<const char*, std::string*> texts[] = {{"trials", &tolerance.trials},
                                                          {"inductorTol", &tolerance.inductorTol},
                                                          {"capacitorTol", &tolerance.capacitorTol},
                                                          {"seed", &tolerance.seed},
                                                          {"maxPassLoss", &tolerance.maxPassLoss},
                                                          {"stopFreq", &tolerance.stopFreq},
                                                          {"stopAtt", &tolerance.stopAtt}};
    for (const auto& [key, text] : texts) *text = TypedText(section, path, key, kPanelTextMaxLength);
    ReadMaskBands(section, path, tolerance.mask);
}

// An optional object of texts by designator, each naming something (a file, a model).
void ReadPartTexts(const Json& section, const std::string& path, const char* key, int maxLength,
                   std::map<std::string, std::string>& texts)
{
    if (!section.contains(key)) return;
    const std::string where = path + key;
    const Json& object = section[key];
    if (!object.is_object()) Refuse(Quoted(where) + " must be an object");
    for (const auto& [designator, value] : object.items()) {
        try {
            corvane::KindOfDesignator(designator);
        } catch (const std::invalid_argument& error) {
            Refuse(Quoted(where + "." + designator) + ": " + error.what());
        }
        const std::string text = TypedText(object, where + ".", designator.c_str(), maxLength);
        if (text.empty()) Refuse(Quoted(where + "." + designator) + " is empty");
        texts[designator] = text;
    }
}

void ReadPartModels(const Json& root, PartModelFileSettings& models)
{
    const Json& section = Section(root, "partModels");
    const std::string path = "partModels.";
    const std::pair<const char*, std::string*> texts[] = {{"srfL", &models.srfL},   {"srfC", &models.srfC},
                                                          {"rdcL", &models.rdcL},   {"esrC", &models.esrC},
                                                          {"nodeC", &models.nodeC}, {"leadL", &models.leadL}};
    for (const auto& [key, text] : texts) *text = TypedText(section, path, key, kPanelTextMaxLength);
    models.absorbStrays = Flag(section, path, "absorbStrays");
    if (section.contains("eslC")) models.eslC = TypedText(section, path, "eslC", kPanelTextMaxLength);
    ReadPartTexts(section, path, "partFiles", kPathMaxLength, models.partFiles);
    ReadPartTexts(section, path, "ownModels", kPanelTextMaxLength * 4, models.ownModels);
}

void ReadStress(const Json& root, StressFileSettings& stress)
{
    const Json& section = Section(root, "stress");
    const std::string path = "stress.";
    const std::pair<const char*, std::string*> texts[] = {{"power", &stress.power},
                                                          {"vswr", &stress.vswr},
                                                          {"capacitorRating", &stress.capacitorRating},
                                                          {"inductorRating", &stress.inductorRating}};
    for (const auto& [key, text] : texts) *text = TypedText(section, path, key, kPanelTextMaxLength);
}

Json StressJson(const StressFileSettings& s)
{
    return {{"power", s.power},
            {"vswr", s.vswr},
            {"capacitorRating", s.capacitorRating},
            {"inductorRating", s.inductorRating}};
}

Json PartModelsJson(const PartModelFileSettings& m)
{
    Json json = {{"srfL", m.srfL},
                 {"srfC", m.srfC},
                 {"rdcL", m.rdcL},
                 {"esrC", m.esrC},
                 {"nodeC", m.nodeC},
                 {"leadL", m.leadL},
                 {"absorbStrays", m.absorbStrays}};
    if (!m.partFiles.empty()) json["partFiles"] = m.partFiles;
    if (!m.ownModels.empty()) json["ownModels"] = m.ownModels;
    if (m.eslC != PartModelFileSettings{}.eslC) json["eslC"] = m.eslC;
    return json;
}

Json ToleranceJson(const ToleranceFileSettings& t)
{
    Json json = {{"trials", t.trials},     {"inductorTol", t.inductorTol},   {"capacitorTol", t.capacitorTol},
                 {"seed", t.seed},         {"distribution", t.distribution}, {"maxPassLoss", t.maxPassLoss},
                 {"stopFreq", t.stopFreq}, {"stopAtt", t.stopAtt},           {"curve", t.curve}};
    // Optional, as a reader of the shorthands alone passes over it.
    if (!MaskBandsJson(t.mask).empty()) json["mask"] = MaskBandsJson(t.mask);
    return json;
}

Json PanelJson(const DesignPanelSettings& p)
{
    Json panel = Json::object();
    panel["family"] = p.family;
    panel["type"] = p.type;
    panel["form"] = p.form;
    panel["orderFrom"] = p.orderFrom;
    panel["order"] = p.order;
    panel["ripple"] = p.ripple;
    panel["stopAtt"] = p.stopAtt;
    panel["stopFreq"] = p.stopFreq;
    panel["passband"] = p.passband;
    panel["fmin"] = p.fmin;
    panel["fmax"] = p.fmax;
    panel["unit"] = p.unit;
    panel["rs"] = p.rs;
    panel["rl"] = p.rl;
    panel["zeros"] = p.zeros;
    panel["delayError"] = p.delayError;
    panel["bandPassForm"] = p.bandPassForm;
    panel["resonatorL"] = p.resonatorL;
    panel["shown"] = p.shown;
    return panel;
}

Json ParseJson(const std::string& text)
{
    const Json::parser_callback_t limitDepth = [](int depth, Json::parse_event_t, Json&) {
        if (depth > kMaxDepth) Refuse("it is nested deeper than any design file");
        return true;
    };
    try {
        return Json::parse(text, limitDepth);
    } catch (const Json::parse_error& error) {
        Refuse("it is not valid JSON (error at byte " + std::to_string(error.byte) + ")");
    } catch (const Json::exception&) {
        // A number beyond the range of a double, for instance.
        Refuse("it is not valid JSON");
    }
}

} // namespace

bool DesignPanelSettings::operator==(const DesignPanelSettings& o) const
{
    return family == o.family && type == o.type && form == o.form && orderFrom == o.orderFrom && order == o.order &&
           ripple == o.ripple && stopAtt == o.stopAtt && stopFreq == o.stopFreq && passband == o.passband &&
           fmin == o.fmin && fmax == o.fmax && unit == o.unit && rs == o.rs && rl == o.rl && zeros == o.zeros &&
           delayError == o.delayError && bandPassForm == o.bandPassForm && resonatorL == o.resonatorL &&
           shown == o.shown;
}

bool ToleranceFileSettings::operator==(const ToleranceFileSettings& o) const
{
    return trials == o.trials && inductorTol == o.inductorTol && capacitorTol == o.capacitorTol &&
           distribution == o.distribution && seed == o.seed && maxPassLoss == o.maxPassLoss && stopFreq == o.stopFreq &&
           stopAtt == o.stopAtt && mask == o.mask && curve == o.curve;
}

bool PartModelFileSettings::operator==(const PartModelFileSettings& o) const
{
    return srfL == o.srfL && srfC == o.srfC && rdcL == o.rdcL && esrC == o.esrC && nodeC == o.nodeC &&
           leadL == o.leadL && absorbStrays == o.absorbStrays && partFiles == o.partFiles && ownModels == o.ownModels &&
           eslC == o.eslC;
}

bool StressFileSettings::operator==(const StressFileSettings& o) const
{
    return power == o.power && vswr == o.vswr && capacitorRating == o.capacitorRating &&
           inductorRating == o.inductorRating;
}

bool ExactResponseSettings::operator==(const ExactResponseSettings& o) const
{
    return series == o.series && inductorQ == o.inductorQ && capacitorQ == o.capacitorQ && load == o.load &&
           loadValue == o.loadValue && sweepStart == o.sweepStart && sweepStop == o.sweepStop && points == o.points &&
           logarithmic == o.logarithmic && panel == o.panel && tolerance == o.tolerance && partLimits == o.partLimits &&
           partModels == o.partModels && stress == o.stress;
}

bool DesignFile::operator==(const DesignFile& o) const
{
    return fields == o.fields && selectors == o.selectors && logarithmic == o.logarithmic &&
           exactResponse == o.exactResponse && [&] {
               // The typed text of a drop-down counts only where it is no item.
               for (size_t s = 0; s < selectors.size(); ++s)
                   if (selectors[s] < 0 && selectorTexts[s] != o.selectorTexts[s]) return false;
               return true;
           }();
}

std::string DesignFileText(const DesignFile& design)
{
    Json selectors = Json::object();
    for (size_t s = 0; s < kSelectorKeys.size(); ++s) {
        if (design.selectors[s] < 0)
            selectors[kSelectorKeys[s]] = design.selectorTexts[s];
        else
            selectors[kSelectorKeys[s]] = design.selectors[s];
    }
    Json inputs = Json::object();
    Json sweep = Json::object();
    for (size_t f = 0; f < kFieldKeys.size(); ++f)
        (static_cast<int>(f) >= kFirstSweepField ? sweep : inputs)[kFieldKeys[f]] = design.fields[f];
    sweep["logarithmic"] = design.logarithmic;
    const ExactResponseSettings& e = design.exactResponse;
    Json root = Json::object();
    root["format"] = kDesignFileFormat;
    root["version"] = e.partModels || e.stress ? kDesignFileVersion
                      : e.tolerance            ? kToleranceVersion
                      : e.panel                ? kPanelVersion
                                               : kFirstVersion;
    root["selectors"] = std::move(selectors);
    root["inputs"] = std::move(inputs);
    root["sweep"] = std::move(sweep);
    root["exactResponse"] = {{"series", e.series},  {"inductorQ", e.inductorQ}, {"capacitorQ", e.capacitorQ},
                             {"load", e.load},      {"loadValue", e.loadValue}, {"start", e.sweepStart},
                             {"stop", e.sweepStop}, {"points", e.points},       {"logarithmic", e.logarithmic}};
    if (e.panel) root["designPanel"] = PanelJson(*e.panel);
    if (e.tolerance) root["tolerance"] = ToleranceJson(*e.tolerance);
    if (e.partLimits != PartLimits{})
        root["partLimits"] = {{"minCapacitance", e.partLimits.minCapacitance},
                              {"minInductance", e.partLimits.minInductance},
                              {"maxInductorReactance", e.partLimits.maxInductorReactance}};
    if (e.partModels) root["partModels"] = PartModelsJson(*e.partModels);
    if (e.stress) root["stress"] = StressJson(*e.stress);
    return root.dump(2) + "\n";
}

DesignFile ParseDesignFile(const std::string& text)
{
    const Json root = ParseJson(text);
    if (!root.is_object()) Refuse("it holds no Corvane design");
    const auto format = root.find("format");
    if (format == root.end() || !format->is_string() || format->get<std::string>() != kDesignFileFormat)
        Refuse("it holds no Corvane design");
    const Json& version = Member(root, "", "version");
    long long number = 0;
    if (!WholeNumberIn(version, kFirstVersion, kDesignFileVersion, number)) {
        const std::string shown = version.is_number() || version.is_string() ? version.dump() : "of another kind";
        Refuse("version " + shown + " is unknown; this program reads versions " + std::to_string(kFirstVersion) +
               " to " + std::to_string(kDesignFileVersion));
    }
    DesignFile design;
    ReadSelectors(root, design);
    ReadFields(root, design);
    ReadExactResponse(root, design.exactResponse);
    // Version 1 had no panel; a member of that name in it is passed over like any unknown one.
    // From version 3 on the panel is there only where it left its defaults.
    if (number == kPanelVersion || (number > kPanelVersion && root.contains("designPanel")))
        ReadDesignPanel(root, design.exactResponse.panel.emplace());
    // Version 3 always wrote its tolerance section; from version 4 on it is there where it left its defaults.
    if (number == kToleranceVersion || (number > kToleranceVersion && root.contains("tolerance")))
        ReadTolerance(root, design.exactResponse.tolerance.emplace());
    if (number >= kDesignFileVersion && root.contains("partModels"))
        ReadPartModels(root, design.exactResponse.partModels.emplace());
    if (number >= kDesignFileVersion && root.contains("stress"))
        ReadStress(root, design.exactResponse.stress.emplace());
    ReadPartLimits(root, design.exactResponse.partLimits);
    return design;
}

namespace {

// Each measured part's path, from the design file's folder to the working one or back.
enum class PathsFrom { DesignFolder, WorkingFolder };
void MovePartPaths(DesignFile& design, const std::string& designPath, PathsFrom from)
{
    if (!design.exactResponse.partModels) return;
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(designPath).parent_path();
    for (auto& entry : design.exactResponse.partModels->partFiles) {
        const fs::path file(entry.second);
        if (from == PathsFrom::DesignFolder) {
            if (file.is_relative()) entry.second = (folder / file).lexically_normal().string();
            continue;
        }
        std::error_code error;
        const fs::path base = fs::absolute(folder.empty() ? fs::path(".") : folder, error).lexically_normal();
        const fs::path relative = fs::absolute(file, error).lexically_normal().lexically_relative(base);
        if (!error && !relative.empty()) entry.second = relative.string();
    }
}

} // namespace

DesignFile ReadDesignFile(const std::string& path)
{
    const auto refuse = [&path](const std::string& problem) {
        throw DesignFileError("Cannot open design file '" + path + "': " + problem + ".");
    };
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) refuse(std::strerror(errno));
    if (!S_ISREG(info.st_mode)) refuse("it is not a regular file");
    if (info.st_size > kMaxFileBytes) refuse("it is far larger than a design file");
    std::ifstream in(path, std::ios::binary);
    if (!in) refuse(std::strerror(errno));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) refuse("it cannot be read");
    try {
        DesignFile design = ParseDesignFile(text);
        MovePartPaths(design, path, PathsFrom::DesignFolder);
        return design;
    } catch (const DesignFileError& error) {
        refuse(error.what());
    }
    return {};
}

void WriteDesignFile(const std::string& path, const DesignFile& design)
{
    // A file that could not be opened again is never written.
    DesignFile written = design;
    MovePartPaths(written, path, PathsFrom::WorkingFolder);
    const std::string text = DesignFileText(written);
    try {
        ParseDesignFile(text);
    } catch (const DesignFileError& error) {
        throw DesignFileError("Cannot save design file '" + path + "': " + error.what() + ".");
    }
    WriteFileAtomically(path, text);
}

} // namespace corvane
