// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <set>
#include <string>
#include <vector>

#include "cli/BoardOptions.h"
#include "cli/BenchOptions.h"
#include "cli/NetworkOptions.h"
#include "cli/ToleranceOptions.h"
#include "cli/SynthesisOptions.h"
#include "design/Names.h"

namespace CLI {
class App;
}

namespace corvane {

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
    std::string type = KeyOf(kFilterTypeNames, FilterType::LowPass);
    std::string model = KeyOf(kFamilyNames, Family::Butterworth);
    std::string topology = KeyOf(kFormNames, LadderTopology::T);
    std::string unit = "MHz"; // a name in kFrequencyUnits
    FieldTexts texts;
    bool json = false;
    NetworkOptions network;
    ToleranceOptions tolerance;
    SynthesisOptions synthesis;
    BoardOptions board;
    corvane::BenchOptions bench;
    std::string saveDesignFile; // --save-design: "" for none
    std::string partLimits; // --part-limits: "" for the defaults
    std::set<std::string> given; // the value options on the command line, by name ("--ripple")
    std::set<std::string> fromFile; // the options a --design file set: no warnings about them
    // The analysis sweep's start and stop of a --design file (empty: around the design's band).
    std::string fileSweepStart, fileSweepStop;
};

// Registers every option on the app, bound to the fields of options.
void AddOptions(CLI::App& app, CliOptions& options);
// Parses the arguments (without the program name) in order. An option written "--name=" with
// nothing after the "=" is refused (CLI::ParseError) rather than left to take the next argument.
void ParseArguments(CLI::App& app, const std::vector<std::string>& args);
// After parsing: an untouched ripple takes the preset that choosing the model would type.
void ResolveDefaults(CliOptions& options);
// One warning line per option given that the chosen design or the chosen outputs do not use.
std::vector<std::string> UnusedOptionWarnings(const CliOptions& options);

// The classic drop-down's item index of an option value; -1 for a value that drop-down lacks.
int TypeIndex(const std::string& type);
int ModelIndex(const std::string& model);
int TopologyIndex(const std::string& topology);
int UnitIndex(const std::string& unit);
// The drop-down's item text for a topology option value ("T" -> "T - Type").
std::string TopologyItemText(const std::string& topology);

} // namespace corvane
