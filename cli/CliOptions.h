#pragma once
#include <string>

#include "cli/NetworkOptions.h"

namespace CLI {
class App;
}

// The texts a user would type into the window's fields, with the window's start-up texts.
struct FieldTexts {
    std::string N = "3";
    std::string Ripple = "0";
    std::string PassF = "10";
    std::string Fmin;
    std::string Fmax;
    std::string R = "50";
    std::string FStart = "1";
    std::string Stop = "101";
};

// Everything the command line takes; selector values are the names the options accept.
struct CliOptions {
    std::string type = "LPF";
    std::string model = "Butterworth";
    std::string topology = "T";
    std::string unit = "MHz";
    FieldTexts texts;
    bool rippleGiven = false;
    bool json = false;
    NetworkOptions network;
};

// Registers every option on the app, bound to the fields of options.
void AddOptions(CLI::App& app, CliOptions& options);
// After parsing: an untouched ripple takes the preset that choosing the model would type.
void ResolveDefaults(CliOptions& options);

// Item index of a selector value among the names the option accepts; -1 when it is none.
int TypeIndex(const std::string& type);
int ModelIndex(const std::string& model);
int TopologyIndex(const std::string& topology);
int UnitIndex(const std::string& unit);
// The drop-down's item text for a topology option value ("T" -> "T - Type").
std::string TopologyItemText(const std::string& topology);

// Characters of a UTF-8 text, as the window counts them against a field's limit.
size_t CharacterCount(const std::string& text);
