// SPDX-License-Identifier: Apache-2.0
#include "cli/DesignArguments.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>
#include <stdexcept>

#include "filtermath/FrequencyUnits.h"
#include "run/SelectorItems.h"

namespace {

const char* const kDesignOption = "--design";
const char* const kSaveOption = "--save-design";
// Topology option values in item order.
const std::array<const char*, 2> kTopologyValues = {"T", "Pi"};

// The field options, in Field order.
const std::array<const char*, kFieldCount> kFieldOptions = {"--poles", "--ripple", "--passband", "--fmin",
                                                            "--fmax",  "--rl",     "--start",    "--stop"};

bool Names(const std::string& arg, const std::string& option)
{
    return arg == option || arg.compare(0, option.size() + 1, option + "=") == 0;
}

bool GivenOutside(const std::vector<std::string>& args, const std::string& option)
{
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (Names(arg, option)) return true;
    }
    return false;
}

// The value of "--name VALUE" or "--name=VALUE" at args[i]; i moves past it.
std::string ValueAt(const std::vector<std::string>& args, size_t& i, const std::string& option)
{
    if (args[i].size() > option.size()) return args[i].substr(option.size() + 1);
    if (i + 1 >= args.size() || args[i + 1].empty()) throw std::invalid_argument(option + " needs a file name");
    return args[++i];
}

std::string ItemName(const DesignFile& design, Selector selector, const std::string& path)
{
    const int index = design.Index(selector);
    if (index < 0)
        throw DesignFileError("Cannot use design file '" + path + "': the drop-down text \"" +
                              design.selectorTexts[static_cast<size_t>(selector)] +
                              "\" is no item, and the command line takes items only.");
    const size_t i = static_cast<size_t>(index);
    switch (selector) {
    case Selector::Type: return kTypeItems[i];
    case Selector::Model: return kModelItems[i];
    case Selector::Topology: return kTopologyValues[i];
    case Selector::Scale: return kFrequencyUnits[i].name;
    }
    return {};
}

// The options a design file stands for. The ripple goes only with a model that has one, the
// band edges only with a band-pass, as the window uses them.
std::vector<std::pair<std::string, std::string>> OptionsOf(const DesignFile& design, const std::string& path)
{
    std::vector<std::pair<std::string, std::string>> options = {
        {"--type", ItemName(design, Selector::Type, path)},
        {"--model", ItemName(design, Selector::Model, path)},
        {"--topology", ItemName(design, Selector::Topology, path)},
        {"--unit", ItemName(design, Selector::Scale, path)}};
    for (size_t f = 0; f < kFieldOptions.size(); ++f) {
        const Field field = static_cast<Field>(f);
        if (field == Field::Ripple && design.Index(Selector::Model) == 0) continue;
        if ((field == Field::Fmin || field == Field::Fmax) && design.Index(Selector::Type) != 2) continue;
        options.emplace_back(kFieldOptions[f], design.fields[f]);
    }
    return options;
}

// The item index of an option value that the window's drop-down also lists.
int WindowItem(int index, const std::string& value, const char* what)
{
    if (index < 0) throw DesignFileError("the window has no item \"" + value + "\" among its " + what);
    return index;
}

} // namespace

DesignArguments ExpandDesignArguments(const std::vector<std::string>& args)
{
    DesignArguments result;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            result.args.insert(result.args.end(), args.begin() + static_cast<long>(i), args.end());
            break;
        }
        if (Names(arg, kSaveOption)) {
            result.savePath = ValueAt(args, i, kSaveOption);
            continue;
        }
        if (!Names(arg, kDesignOption)) {
            result.args.push_back(arg);
            continue;
        }
        const std::string path = ValueAt(args, i, kDesignOption);
        result.base = ReadDesignFile(path);
        for (const auto& [option, value] : OptionsOf(result.base, path)) {
            if (GivenOutside(args, option)) continue;
            result.args.push_back(option);
            result.args.push_back(value);
        }
    }
    return result;
}

void AddDesignFileOptions(CLI::App& app)
{
    // Never filled: ExpandDesignArguments takes both out before parsing.
    static std::string unused;
    app.add_option(kDesignOption, unused,
                   "Start from a design file of the window; the other options override what it sets")
        ->type_name("FILE");
    app.add_option(kSaveOption, unused, "Save the design as the window would, to this design file")->type_name("FILE");
}

DesignFile DesignOfOptions(const CliOptions& options, const DesignFile& base)
{
    DesignFile design = base;
    design.Index(Selector::Type) = WindowItem(TypeIndex(options.type), options.type, "response types");
    design.Index(Selector::Model) = WindowItem(ModelIndex(options.model), options.model, "approximations");
    design.Index(Selector::Topology) =
        WindowItem(TopologyIndex(options.topology), options.topology, "ladder topologies");
    design.Index(Selector::Scale) = WindowItem(UnitIndex(options.unit), options.unit, "units");
    const FieldTexts& t = options.texts;
    design.fields = {t.N, t.Ripple, t.PassF, t.Fmin, t.Fmax, t.R, t.FStart, t.Stop};
    return design;
}

bool SaveDesignIfAsked(const DesignArguments& design, const CliOptions& options, std::ostream& err)
{
    if (design.savePath.empty()) return true;
    DesignFile saved;
    try {
        saved = DesignOfOptions(options, design.base);
    } catch (const DesignFileError& refusal) {
        err << "Cannot save design file '" << design.savePath << "': " << refusal.what() << ".\n";
        return false;
    }
    try {
        WriteDesignFile(design.savePath, saved);
    } catch (const std::exception& failure) {
        err << failure.what() << '\n';
        return false;
    }
    return true;
}
