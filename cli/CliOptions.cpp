#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <vector>

#include "run/Rules.h"

namespace {

const std::vector<std::string> kTypes{"LPF", "HPF", "BPF"};
const std::vector<std::string> kModels{"Butterworth", "Chebyshev"};
const std::vector<std::string> kTopologies{"T", "Pi"};
const std::vector<std::string> kTopologyItems{"T - Type", "Pi - Type"};
const std::vector<std::string> kUnits{"Hz", "kHz", "MHz", "GHz"};

int IndexOf(const std::vector<std::string>& items, const std::string& value)
{
    const auto found = std::find(items.begin(), items.end(), value);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

// A field's typing limit, applied to the option's text.
CLI::Validator LengthLimit(Field field)
{
    const size_t limit = static_cast<size_t>(FieldMaxLength(field));
    return CLI::Validator(
        [limit](std::string& text) {
            if (limit == 0 || CharacterCount(text) <= limit) return std::string();
            return "at most " + std::to_string(limit) + " characters: '" + text + "'";
        },
        "");
}

void AddField(CLI::App& app, const char* name, std::string& text, Field field, const char* help)
{
    app.add_option(name, text, help)->check(LengthLimit(field))->capture_default_str();
}

} // namespace

void AddOptions(CLI::App& app, CliOptions& options)
{
    app.add_option("--type", options.type, "Response type")->check(CLI::IsMember(kTypes))->capture_default_str();
    app.add_option("--model", options.model, "Approximation")->check(CLI::IsMember(kModels))->capture_default_str();
    app.add_option("--topology", options.topology, "Ladder topology")
        ->check(CLI::IsMember(kTopologies))
        ->capture_default_str();
    FieldTexts& t = options.texts;
    AddField(app, "--poles", t.N, Field::N, "Number of poles");
    app.add_option("--ripple", t.Ripple, "Passband ripple in dB (default: 0 for Butterworth, 0.5 otherwise)")
        ->check(LengthLimit(Field::Ripple))
        ->each([&options](const std::string&) { options.rippleGiven = true; });
    AddField(app, "--passband", t.PassF, Field::PassF, "Passband frequency (low-pass, high-pass)");
    AddField(app, "--fmin", t.Fmin, Field::Fmin, "Lower band edge (band-pass)");
    AddField(app, "--fmax", t.Fmax, Field::Fmax, "Upper band edge (band-pass)");
    AddField(app, "--rl", t.R, Field::R, "Source and load resistance in ohms");
    app.add_option("--unit", options.unit, "Frequency unit")->check(CLI::IsMember(kUnits))->capture_default_str();
    AddField(app, "--start", t.FStart, Field::FStart, "Sweep start");
    AddField(app, "--stop", t.Stop, Field::Stop, "Sweep stop");
    app.add_flag("--json", options.json, "Print the design state as one JSON object");
    AddNetworkOptions(app, options.network);
}

void ResolveDefaults(CliOptions& options)
{
    if (!options.rippleGiven) options.texts.Ripple = RipplePresetFor(ModelIndex(options.model)).text;
}

int TypeIndex(const std::string& type)
{
    return IndexOf(kTypes, type);
}

int ModelIndex(const std::string& model)
{
    return IndexOf(kModels, model);
}

int TopologyIndex(const std::string& topology)
{
    return IndexOf(kTopologies, topology);
}

int UnitIndex(const std::string& unit)
{
    return IndexOf(kUnits, unit);
}

std::string TopologyItemText(const std::string& topology)
{
    const int index = TopologyIndex(topology);
    return index < 0 ? topology : kTopologyItems[static_cast<size_t>(index)];
}

size_t CharacterCount(const std::string& text)
{
    // Every byte except the continuation bytes 10xxxxxx starts a character.
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}
