// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>

#include "export/AtomicFile.h"
#include "export/DesignFile.h"
#include "export/ExportError.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

namespace {

// A file as a person would write it by hand, every member differing from the defaults.
const char* const kHandWritten = R"({
  "format": "Corvane design",
  "version": 1,
  "selectors": { "type": 2, "model": 1, "topology": 1, "unit": "µHz" },
  "inputs": { "poles": "7", "ripple": "0.25", "passband": "10", "fmin": "88", "fmax": "108",
              "resistance": "75" },
  "sweep": { "start": "-5", "stop": "1e3", "logarithmic": true },
  "exactResponse": { "series": "E24", "inductorQ": "120", "capacitorQ": "800", "load": "value",
                     "loadValue": "60", "start": "50", "stop": "150", "points": 100001,
                     "logarithmic": true },
  "comment": "members a later version may add are passed over"
})";

DesignFile HandWrittenDesign()
{
    DesignFile d;
    d.fields = {"7", "0.25", "10", "88", "108", "75", "-5", "1e3"};
    d.selectors = {2, 1, 1, -1};
    d.selectorTexts[3] = "µHz";
    d.logarithmic = true;
    d.exactResponse = {"E24",  "120", "800",        "value",      "60", "50",         "150",
                       100001, true,  std::nullopt, std::nullopt, {},   std::nullopt, std::nullopt};
    return d;
}

TEST(DesignFile, ReadsAHandWrittenFile)
{
    EXPECT_EQ(ParseDesignFile(kHandWritten), HandWrittenDesign());
}

TEST(DesignFile, RoundTripsThroughTheDiskUnchanged)
{
    TempFolder folder;
    const std::string path = folder.Path("band.corvane");
    const DesignFile design = HandWrittenDesign();
    WriteDesignFile(path, design);
    EXPECT_EQ(ReadDesignFile(path), design);
    // Defaults too, and a text at the field's full length with a character outside the basic plane.
    DesignFile defaults;
    defaults.Text(Field::R) = "12𝟘0";
    WriteDesignFile(path, defaults);
    EXPECT_EQ(ReadDesignFile(path), defaults);
    // Readable by a person: one member a line.
    EXPECT_NE(ReadFile(path).find("\n  \"version\": 1,\n"), std::string::npos);
}

struct BadFile {
    const char* name;
    std::string from; // member of kHandWritten to replace ...
    std::string to; // ... by this
    const char* problem; // part of the message
};

void PrintTo(const BadFile& bad, std::ostream* out)
{
    *out << bad.name;
}

std::string Edited(const BadFile& bad)
{
    std::string text = kHandWritten;
    if (bad.from.empty()) return bad.to;
    const size_t at = text.find(bad.from);
    if (at == std::string::npos) ADD_FAILURE() << bad.name << ": " << bad.from << " not in the sample";
    return text.replace(at, bad.from.size(), bad.to);
}

class DesignFileRefuses : public testing::TestWithParam<BadFile> {};

TEST_P(DesignFileRefuses, WithOneMessageNamingTheProblem)
{
    const BadFile& bad = GetParam();
    try {
        ParseDesignFile(Edited(bad));
        FAIL() << "accepted";
    } catch (const DesignFileError& error) {
        EXPECT_NE(std::string(error.what()).find(bad.problem), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryClass, DesignFileRefuses,
    testing::Values(
        BadFile{"empty", "", "", "not valid JSON"}, BadFile{"truncated", "", "{\"format\": \"Cor", "JSON"},
        BadFile{"trailing text", "", std::string(kHandWritten) + "x", "not valid JSON"},
        BadFile{"bad UTF-8", "µHz", "\xC3\x28", "not valid JSON"},
        BadFile{"number beyond double", "\"points\": 100001", "\"points\": 1e999", "JSON"},
        BadFile{"too deep", "", std::string(5000, '[') + std::string(5000, ']'), "nested deeper"},
        BadFile{"array", "", "[1, 2]", "no Corvane design"},
        BadFile{"other format", "Corvane design", "Other design", "no Corvane design"},
        BadFile{"version 5", "\"version\": 1", "\"version\": 5", "version 5 is unknown"},
        BadFile{"version 3 without its tolerance", "\"version\": 1", "\"version\": 3", "'tolerance' is missing"},
        BadFile{"version 2 without its panel", "\"version\": 1", "\"version\": 2", "'designPanel' is missing"},
        BadFile{"version as text", "\"version\": 1", "\"version\": \"1\"", "unknown"},
        BadFile{"version fraction", "\"version\": 1", "\"version\": 1.5", "unknown"},
        BadFile{"missing version", "\"version\": 1,", "", "'version' is missing"},
        BadFile{"missing section", "\"sweep\"", "\"sweeps\"", "'sweep' is missing"},
        BadFile{"section of wrong type", "\"inputs\": {", "\"inputs\": 3, \"x\": {", "'inputs' must be"},
        BadFile{"missing field", "\"fmin\": \"88\",", "", "'inputs.fmin' is missing"},
        BadFile{"number for a text", "\"poles\": \"7\"", "\"poles\": 7", "'inputs.poles' must be a text"},
        BadFile{"text for a flag", "\"logarithmic\": true }", "\"logarithmic\": \"yes\" }",
                "'sweep.logarithmic' must be true or false"},
        BadFile{"index past the items", "\"type\": 2", "\"type\": 3", "'selectors.type' is out of range"},
        BadFile{"negative index", "\"model\": 1", "\"model\": -1", "'selectors.model' is out of range"},
        BadFile{"huge index", "\"model\": 1", "\"model\": 18446744073709551615", "out of range"},
        BadFile{"fractional index", "\"topology\": 1", "\"topology\": 1.0", "'selectors.topology'"},
        BadFile{"longer than typed", "\"poles\": \"7\"", "\"poles\": \"123\"", "longer than 2"},
        BadFile{"wide character counts twice", "\"75\"", "\"1234𝟘\"", "longer than 5"},
        BadFile{"control character", "\"75\"", "\"7\\u00005\"", "'inputs.resistance' holds a control"},
        BadFile{"points too few", "100001", "100", "'exactResponse.points'"},
        BadFile{"points too many", "100001", "100002", "'exactResponse.points'"},
        BadFile{"unknown series", "\"E24\"", "\"E25\"", "'exactResponse.series' must be one of"},
        BadFile{"unknown load", "\"value\"", "\"open\"", "'exactResponse.load' must be one of"}),
    [](const testing::TestParamInfo<BadFile>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

// Version 2 adds the design panel; a design without a panel is still written as version 1
// (the round trip above), so files of the earlier program read alike.
TEST(DesignFile, KeepsTheDesignPanelInVersion2)
{
    std::string text = kHandWritten;
    text.replace(text.find("\"version\": 1"), 12, "\"version\": 2");
    const std::string panel = R"("designPanel": { "family": "InverseChebyshev", "type": "BSF", "form": "Pi",
    "orderFrom": "requirement", "order": "", "ripple": "0.5", "stopAtt": "60", "stopFreq": "97",
    "passband": "1", "fmin": "88", "fmax": "108", "unit": "kHz", "rs": "75", "rl": "600", "shown": true },)";
    text.replace(text.find("\"comment\""), 0, panel);
    DesignFile expected = HandWrittenDesign();
    expected.exactResponse.panel = DesignPanelSettings{"InverseChebyshev",
                                                       "BSF",
                                                       "Pi",
                                                       "requirement",
                                                       "",
                                                       "0.5",
                                                       "60",
                                                       "97",
                                                       "1",
                                                       "88",
                                                       "108",
                                                       "kHz",
                                                       "75",
                                                       "600",
                                                       true,
                                                       "",
                                                       "0.05",
                                                       KeyOf(kBandPassFormNames, BandPassForm::Ladder),
                                                       ""};
    EXPECT_EQ(ParseDesignFile(text), expected);

    TempFolder folder;
    const std::string path = folder.Path("panel.corvane");
    WriteDesignFile(path, expected);
    EXPECT_EQ(ReadDesignFile(path), expected);
    EXPECT_NE(ReadFile(path).find("\n  \"version\": 2,\n"), std::string::npos);

    const std::pair<std::string, std::string> bad[] = {
        {"\"InverseChebyshev\"", "\"Cauer\""}, {"\"BSF\"", "\"Notch\""}, {"\"Pi\"", "\"L\""},
        {"\"requirement\"", "\"guess\""},      {"\"kHz\"", "\"THz\""},   {"\"600\"", "600"},
        {"\"shown\": true", "\"shown\": 1"}};
    for (const auto& [from, to] : bad) {
        std::string edited = text;
        edited.replace(edited.find(from), from.size(), to);
        try {
            ParseDesignFile(edited);
            ADD_FAILURE() << to << " accepted";
        } catch (const DesignFileError& error) {
            EXPECT_NE(std::string(error.what()).find("'designPanel."), std::string::npos) << error.what();
        }
    }
}

// The panel's transmission zeros, phase error, band-pass form and resonator inductance and the
// part limits are optional members: a file without them
// (every earlier one) reads as none and the defaults, and they come back as written.
TEST(DesignFile, KeepsTheOptionalMembersWhereGiven)
{
    std::string text = kHandWritten;
    text.replace(text.find("\"version\": 1"), 12, "\"version\": 2");
    const std::string panel = R"("designPanel": { "family": "Chebyshev", "type": "LPF", "form": "T",
    "orderFrom": "order", "order": "7", "ripple": "0.1", "stopAtt": "40", "stopFreq": "45",
    "passband": "30", "fmin": "8", "fmax": "12", "unit": "MHz", "rs": "50", "rl": "50", "shown": true },)";
    text.replace(text.find("\"comment\""), 0, panel);
    EXPECT_EQ(ParseDesignFile(text).exactResponse.panel->zeros, "");
    EXPECT_EQ(ParseDesignFile(text).exactResponse.panel->delayError, "0.05");
    EXPECT_EQ(ParseDesignFile(text).exactResponse.panel->bandPassForm, "ladder");
    EXPECT_EQ(ParseDesignFile(text).exactResponse.panel->resonatorL, "");
    EXPECT_EQ(ParseDesignFile(text).exactResponse.partLimits, PartLimits{});

    std::string withBoth = text;
    withBoth.replace(withBoth.find("\"shown\": true"), 0,
                     "\"zeros\": \"60, 90\", \"delayError\": \"0.5\", "
                     "\"bandPassForm\": \"top-c\", \"resonatorL\": \"100n\", ");
    withBoth.replace(
        withBoth.find("\"comment\""), 0,
        R"("partLimits": { "minCapacitance": 2.2e-12, "minInductance": 1e-8, "maxInductorReactance": 1500 },)");
    const DesignFile read = ParseDesignFile(withBoth);
    EXPECT_EQ(read.exactResponse.panel->zeros, "60, 90");
    EXPECT_EQ(read.exactResponse.panel->delayError, "0.5");
    EXPECT_EQ(read.exactResponse.panel->bandPassForm, "top-c");
    EXPECT_EQ(read.exactResponse.panel->resonatorL, "100n");
    EXPECT_EQ(read.exactResponse.partLimits, (PartLimits{2.2e-12, 1e-8, 1500.0}));
    TempFolder folder;
    const std::string path = folder.Path("zeros.corvane");
    WriteDesignFile(path, read);
    EXPECT_EQ(ReadDesignFile(path), read);

    for (const auto& [from, to] : {std::pair<std::string, std::string>{"1500", "0"},
                                   {"1500", "\"1.5k\""},
                                   {"2.2e-12", "-2.2e-12"},
                                   {"\"60, 90\"", "60"},
                                   {"\"top-c\"", "\"top-x\""},
                                   {"\"100n\"", "1e-7"}}) {
        std::string edited = withBoth;
        edited.replace(edited.find(from), from.size(), to);
        EXPECT_THROW(ParseDesignFile(edited), DesignFileError) << to;
    }
}

// Version 3 adds the tolerance tab's settings, without a design panel where the panel kept its
// defaults; the keys are checked like every other.
TEST(DesignFile, KeepsTheToleranceSettingsInVersion3)
{
    std::string text = kHandWritten;
    text.replace(text.find("\"version\": 1"), 12, "\"version\": 3");
    const std::string tolerance = R"("tolerance": { "trials": "2e4", "inductorTol": "5", "capacitorTol": "2.5",
    "seed": "42", "distribution": "normal", "maxPassLoss": "", "stopFreq": "30", "stopAtt": "40", "curve": "S11" },)";
    text.replace(text.find("\"comment\""), 0, tolerance);
    DesignFile expected = HandWrittenDesign();
    expected.exactResponse.tolerance = ToleranceFileSettings{"2e4", "5", "2.5", "normal", "42", "", "30", "40", "S11"};
    EXPECT_EQ(ParseDesignFile(text), expected);

    TempFolder folder;
    const std::string path = folder.Path("tolerance.corvane");
    WriteDesignFile(path, expected);
    EXPECT_EQ(ReadDesignFile(path), expected);
    EXPECT_NE(ReadFile(path).find("\n  \"version\": 3,\n"), std::string::npos);
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"\"normal\"", "\"lognormal\""},
                                   {"\"S11\"", "\"S22\""},
                                   {"\"42\"", "42"}}) {
        std::string edited = text;
        edited.replace(edited.find(from), from.size(), to);
        EXPECT_THROW(ParseDesignFile(edited), DesignFileError) << to;
    }
}

// Version 4 adds the part models and strays, without the sections that kept their defaults.
TEST(DesignFile, KeepsThePartModelsInVersion4)
{
    std::string text = kHandWritten;
    text.replace(text.find("\"version\": 1"), 12, "\"version\": 4");
    const std::string models = R"("partModels": { "srfL": "1.2G", "srfC": "0", "rdcL": "0.3", "esrC": "50m",
    "nodeC": "1.5p", "leadL": "0", "absorbStrays": true, "ownModels": { "L2": "Q 80 @ 100 MHz, lead 1n" },
    "eslC": "0.4n" },)";
    text.replace(text.find("\"comment\""), 0, models);
    DesignFile expected = HandWrittenDesign();
    expected.exactResponse.partModels = PartModelFileSettings{
        "1.2G", "0", "0.3", "50m", "1.5p", "0", true, {}, {{"L2", "Q 80 @ 100 MHz, lead 1n"}}, "0.4n"};
    EXPECT_EQ(ParseDesignFile(text), expected);

    TempFolder folder;
    const std::string path = folder.Path("models.corvane");
    WriteDesignFile(path, expected);
    EXPECT_EQ(ReadDesignFile(path), expected);
    EXPECT_NE(ReadFile(path).find("\n  \"version\": 4,\n"), std::string::npos);
    std::string edited = text;
    edited.replace(edited.find("true"), 4, "\"yes\"");
    EXPECT_THROW(ParseDesignFile(edited), DesignFileError);
    std::string noPart = text;
    noPart.replace(noPart.find("\"L2\": \"Q"), 4, "\"R2\"");
    EXPECT_THROW(ParseDesignFile(noPart), DesignFileError);
}

// The mask's bands are a list in the tolerance section, there only where the field holds any: a file
// without them opens with the shorthands alone, and one with them keeps its version.
TEST(DesignFile, KeepsTheMaskBandsInTheToleranceSection)
{
    std::string text = kHandWritten;
    text.replace(text.find("\"version\": 1"), 12, "\"version\": 3");
    const std::string tolerance = R"("tolerance": { "trials": "2e4", "inductorTol": "5", "capacitorTol": "2.5",
    "seed": "42", "distribution": "normal", "maxPassLoss": "1", "stopFreq": "", "stopAtt": "", "curve": "S21",
    "mask": ["pass 0 30M 0.5", "stop 60 300 40 "] },)";
    text.replace(text.find("\"comment\""), 0, tolerance);
    DesignFile expected = HandWrittenDesign();
    expected.exactResponse.tolerance =
        ToleranceFileSettings{"2e4", "5", "2.5", "normal", "42", "1", "", "", "S21", "pass 0 30M 0.5; stop 60 300 40 "};
    EXPECT_EQ(ParseDesignFile(text), expected);

    TempFolder folder;
    const std::string path = folder.Path("mask.corvane");
    WriteDesignFile(path, expected);
    DesignFile trimmed = expected;
    trimmed.exactResponse.tolerance->mask = "pass 0 30M 0.5; stop 60 300 40";
    EXPECT_EQ(ReadDesignFile(path), trimmed);
    EXPECT_NE(ReadFile(path).find("\n  \"version\": 3,\n"), std::string::npos);
    EXPECT_NE(ReadFile(path).find("\"stop 60 300 40\""), std::string::npos);
    for (const std::string& bad :
         {std::string(R"(["pass 0 30M 0.5; stop 60M 300M 40"])"), std::string("\"pass\""), std::string("[1]")}) {
        std::string edited = text;
        const std::size_t at = edited.find("[\"pass");
        edited.replace(at, edited.find(']', at) + 1 - at, bad);
        EXPECT_THROW(ParseDesignFile(edited), DesignFileError) << bad;
    }
}

// The part-stress inputs come with version 4 as a section of their own, there only where a power
// or a rating is typed: a file without them keeps its version, and a file with them alone is version 4.
TEST(DesignFile, KeepsTheStressInputsInVersion4)
{
    std::string text = kHandWritten;
    text.replace(text.find("\"version\": 1"), 12, "\"version\": 4");
    const std::string stress = R"("stress": { "inductorRating": "", "power": "100 W", "vswr": "2.5",
    "capacitorRating": "50" },)";
    text.replace(text.find("\"comment\""), 0, stress);
    DesignFile expected = HandWrittenDesign();
    expected.exactResponse.stress = StressFileSettings{"100 W", "2.5", "50", ""};
    EXPECT_EQ(ParseDesignFile(text), expected);

    TempFolder folder;
    const std::string path = folder.Path("stress.corvane");
    WriteDesignFile(path, expected);
    EXPECT_EQ(ReadDesignFile(path), expected);
    EXPECT_NE(ReadFile(path).find("\n  \"version\": 4,\n"), std::string::npos);
    EXPECT_EQ(ReadFile(path).find("partModels"), std::string::npos);
    // Version 3 knew no stress: a member of that name in it is passed over like any unknown one.
    std::string older = text;
    older.replace(older.find("\"version\": 4"), 12, "\"version\": 3");
    older.replace(older.find("\"comment\""), 0, R"("tolerance": { "trials": "1", "inductorTol": "1",
    "capacitorTol": "1", "seed": "1", "distribution": "uniform", "maxPassLoss": "", "stopFreq": "", "stopAtt": "",
    "curve": "S21" },)");
    EXPECT_FALSE(ParseDesignFile(older).exactResponse.stress.has_value());
    for (const auto& [from, to, problem] :
         {std::tuple<std::string, std::string, std::string>{"\"2.5\"", "2.5", "'stress.vswr' must be a text"},
          {"\"inductorRating\": \"\", ", "", "'stress.inductorRating' is missing"},
          {"\"100 W\"", "\"1\\u00070\"", "'stress.power' holds a control character"}}) {
        std::string edited = text;
        edited.replace(edited.find(from), from.size(), to);
        try {
            ParseDesignFile(edited);
            ADD_FAILURE() << "accepted: " << edited;
        } catch (const DesignFileError& error) {
            EXPECT_NE(std::string(error.what()).find(problem), std::string::npos) << error.what();
        }
    }
}

TEST(DesignFile, ReadingNamesTheFile)
{
    TempFolder folder;
    const auto messageOf = [](const std::string& path) -> std::string {
        try {
            ReadDesignFile(path);
        } catch (const DesignFileError& error) {
            return error.what();
        }
        return "accepted";
    };
    const std::string missing = folder.Path("missing.corvane");
    EXPECT_EQ(messageOf(missing), "Cannot open design file '" + missing + "': No such file or directory.");
    EXPECT_EQ(messageOf(folder.Path("")),
              "Cannot open design file '" + folder.Path("") + "': it is not a regular file.");
    const std::string broken = folder.Path("broken.corvane");
    WriteDesignFile(broken, DesignFile());
    const std::string whole = ReadFile(broken);
    WriteFileAtomically(broken, whole.substr(0, whole.size() / 2));
    EXPECT_EQ(messageOf(broken).rfind("Cannot open design file '" + broken + "': it is not valid JSON", 0), 0u);
}

TEST(DesignFile, ADesignThatWouldNotOpenIsNotWritten)
{
    TempFolder folder;
    const std::string path = folder.Path("long.corvane");
    DesignFile design;
    design.Text(Field::N) = "123";
    try {
        WriteDesignFile(path, design);
        FAIL() << "written";
    } catch (const DesignFileError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot save design file '" + path + "': 'inputs.poles' is longer than 2 characters.");
    }
    EXPECT_TRUE(folder.Names().empty());
}

} // namespace
