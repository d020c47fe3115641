// SPDX-License-Identifier: Apache-2.0
#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "analysis/InputRules.h"
#include "cli/PartFlagReport.h"
#include "design/Names.h"
#include "filtermath/FrequencyUnits.h"
#include "run/Rules.h"
#include "design/SelectorItems.h"

namespace corvane {

namespace {

int IndexOf(const std::vector<std::string>& items, const std::string& value)
{
    const auto found = std::find(items.begin(), items.end(), value);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

// The classic drop-down's item that the option value names; -1 for a key it does not list.
template <typename Value, size_t Count, size_t Items>
int ItemIndexOf(const NameTable<Value, Count>& table, const std::array<Value, Items>& items, const std::string& key)
{
    const NameEntry<Value>* entry = FindKey(table, key);
    if (!entry) return -1;
    const auto found = std::find(items.begin(), items.end(), entry->value);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

void Track(CLI::Option* option, CliOptions& options)
{
    const std::string name = option->get_name();
    option->each([&options, name](const std::string&) { options.given.insert(name); });
}

void AddField(CLI::App& app, CliOptions& options, const char* name, std::string& text, const char* help)
{
    Track(app.add_option(name, text, help)->capture_default_str(), options);
}

bool Given(const CliOptions& options, const std::string& name)
{
    return options.given.count(name) != 0;
}

// Typed on the command line rather than set by a --design file, which holds every setting.
bool Typed(const CliOptions& options, const std::string& name)
{
    return Given(options, name) && options.fromFile.count(name) == 0;
}

} // namespace

void AddOptions(CLI::App& app, CliOptions& options)
{
    app.add_option("--type", options.type, "Response type")
        ->check(CLI::IsMember(KeysOf(kFilterTypeNames)))
        ->capture_default_str();
    app.add_option("--model", options.model, "Approximation")
        ->check(CLI::IsMember(KeysOf(kFamilyNames)))
        ->capture_default_str();
    app.add_option("--topology", options.topology, "Ladder topology")
        ->check(CLI::IsMember(KeysOf(kFormNames)))
        ->capture_default_str();
    FieldTexts& t = options.texts;
    AddField(app, options, "--poles", t.N, "Number of poles");
    Track(app.add_option("--ripple", t.Ripple, "Passband ripple in dB (default: 0 for Butterworth, 0.5 otherwise)"),
          options);
    AddField(app, options, "--passband", t.PassF, "Passband frequency (low-pass, high-pass)");
    AddField(app, options, "--fmin", t.Fmin, "Lower band edge (band-pass, band-stop)");
    AddField(app, options, "--fmax", t.Fmax, "Upper band edge (band-pass, band-stop)");
    AddField(app, options, "--rl", t.R,
             "RL in ohms: the source of a classic design (its load follows from the prototype); with --rs, the load");
    app.add_option("--unit", options.unit, "Frequency unit")
        ->check(CLI::IsMember(FrequencyUnitNames()))
        ->capture_default_str();
    AddField(app, options, "--start", t.FStart, "Sweep start");
    AddField(app, options, "--stop", t.Stop, "Sweep stop");
    app.add_flag("--json", options.json, "Print the design state as one JSON object");
    AddNetworkOptions(app, options.network);
    AddSynthesisOptions(app, options.synthesis);
    for (const char* name :
         {"--series", "--q-l", "--q-c", "--srf-l", "--srf-c", "--rdc-l", "--esr-c", "--esl-c", "--node-c", "--lead-l",
          "--part", "--part-model", "--load", "--points", "--rating-c", "--rating-l"})
        Track(app.get_option(name), options);
    AddToleranceOptions(app, options.tolerance);
    AddBoardOptions(app, options.board);
    AddPartLimitsOption(app, options.partLimits);
    corvane::AddBenchOptions(app, options.bench);
}

void ParseArguments(CLI::App& app, const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg.size() > 3 && arg.compare(0, 2, "--") == 0 && arg.back() == '=' && arg.find('=') == arg.size() - 1)
            throw CLI::ArgumentMismatch(arg.substr(0, arg.size() - 1) + " needs a value after '='");
    }
    std::vector<std::string> reversed(args.rbegin(), args.rend()); // CLI11 takes the vector last-first
    app.parse(reversed);
}

void ResolveDefaults(CliOptions& options)
{
    if (!Given(options, "--ripple")) options.texts.Ripple = RipplePresetFor(ModelIndex(options.model)).text;
    // The classic run reads plain numbers in the chosen unit; a value written with a prefix or
    // its unit reaches it as that plain number, and everything else as typed, for the run's own
    // verdict.
    const int unit = std::max(0, UnitIndex(options.unit));
    const double scale = kFrequencyUnits[static_cast<size_t>(unit)].scale;
    FieldTexts& t = options.texts;
    for (std::string* frequency : {&t.PassF, &t.Fmin, &t.Fmax, &t.FStart, &t.Stop})
        *frequency = PlainNumberText(*frequency, "Hz", scale);
    t.R = PlainNumberText(t.R, "\u03a9");
    t.Ripple = PlainNumberText(t.Ripple, "dB");
}

std::vector<std::string> UnusedOptionWarnings(const CliOptions& options)
{
    std::vector<std::string> warnings;
    const auto warn = [&warnings](const std::string& name, const std::string& why) {
        warnings.push_back("Warning: " + name + " is not used " + why + ".");
    };
    const NameEntry<FilterType>* type = FindKey(kFilterTypeNames, options.type);
    const FilterType chosen = type ? type->value : FilterType::LowPass;
    if (chosen == FilterType::LowPass || chosen == FilterType::HighPass) {
        const std::string design = chosen == FilterType::HighPass ? "by a high-pass design" : "by a low-pass design";
        for (const char* name : {"--fmin", "--fmax"})
            if (Typed(options, name)) warn(name, design);
    }
    const NameEntry<Family>* family = FindKey(kFamilyNames, options.model);
    const Family model = family ? family->value : Family::Butterworth;
    if (!TraitsOf(model).ripple && Typed(options, "--ripple")) warn("--ripple", "by a " + options.model + " design");
    if (options.synthesis.lossAtDc && model != Family::Elliptic) warn("--dc-loss", "by a " + options.model + " design");
    const SynthesisOptions& s = options.synthesis;
    if (!TraitsOf(model).stopbandAttenuation && !s.stopAtt.empty() && s.stopFreq.empty() &&
        !options.tolerance.Asked() && options.fromFile.count("--stop-att") == 0)
        warn("--stop-att", "by a " + options.model + " design without --stop-freq");
    const NetworkOptions& network = options.network;
    // A matched load (the default, 1) is the same with or without a power.
    if (network.vswr != "1" && options.fromFile.count("--vswr") == 0 && network.powerDbm.empty() &&
        network.powerW.empty())
        warn("--vswr", "without --power-dbm or --power-w");
    for (const char* rating : {"--rating-c", "--rating-l"})
        if (Typed(options, rating) && network.powerDbm.empty() && network.powerW.empty())
            warn(rating, "without --power-dbm or --power-w");
    // The optimiser chooses every value with the strays in place: there is nothing left to absorb.
    if (network.absorbStrays && options.board.optimise.Asked() && options.fromFile.count("--absorb-strays") == 0)
        warn("--absorb-strays", "with --optimise, which chooses the parts with the strays in place");
    // The trials analyse the ladder with its Q, load and rounding over the analysis sweep.
    if (!network.AnalysisAsked() && !options.tolerance.Asked() && !options.bench.Asked()) {
        const std::string why = "without --network, --spice or --touchstone";
        // The board's files carry the parts' Q and the load too, but no sweep.
        for (const char* name : {"--q-l", "--q-c", "--srf-l", "--srf-c", "--rdc-l", "--esr-c", "--esl-c", "--node-c",
                                 "--lead-l", "--part", "--part-model", "--load", "--points"})
            if (Typed(options, name) &&
                (std::string(name) == "--points" || !(options.board.FilesAsked() || options.board.optimise.Asked())))
                warn(name, why);
        if (network.absorbStrays && options.fromFile.count("--absorb-strays") == 0) warn("--absorb-strays", why);
        if (network.logSweep && options.fromFile.count("--log-sweep") == 0) warn("--log-sweep", why);
    }
    return warnings;
}

int TypeIndex(const std::string& type)
{
    return ItemIndexOf(kFilterTypeNames, kTypeItems, type);
}

int ModelIndex(const std::string& model)
{
    return ItemIndexOf(kFamilyNames, kModelItems, model);
}

int TopologyIndex(const std::string& topology)
{
    return ItemIndexOf(kFormNames, kTopologyItems, topology);
}

int UnitIndex(const std::string& unit)
{
    return IndexOf(FrequencyUnitNames(), unit);
}

std::string TopologyItemText(const std::string& topology)
{
    const NameEntry<LadderTopology>* entry = FindKey(kFormNames, topology);
    return entry ? entry->text : topology;
}

} // namespace corvane
