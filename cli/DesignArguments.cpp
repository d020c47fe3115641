// SPDX-License-Identifier: Apache-2.0
#include "cli/DesignArguments.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>
#include <stdexcept>

#include "analysis/InputRules.h"
#include "filtermath/FrequencyUnits.h"
#include "design/SelectorItems.h"
#include "cli/BuildOptions.h"
#include "cli/PartFlagReport.h"
#include "cli/SynthesisStage.h"
#include "synthesis/Approximation.h"

namespace corvane {

namespace {

const char* const kDesignOption = "--design";
const char* const kSaveOption = "--save-design";

// The field options, in Field order.
const std::array<const char*, kFieldCount> kFieldOptions = {"--poles", "--ripple", "--passband", "--fmin",
                                                            "--fmax",  "--rl",     "--start",    "--stop"};

bool Names(const std::string& arg, const std::string& option)
{
    return arg == option || arg.compare(0, option.size() + 1, option + "=") == 0;
}

// The part of a --part or --part-model given on the command line, which takes the place of the file's
// for that part.
bool PartGivenOutside(const std::vector<std::string>& args, const std::string& option, const std::string& value)
{
    const std::string prefix = value.substr(0, value.find('=') + 1);
    for (size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
        const std::string& arg = args[i];
        if (arg.rfind(option + "=" + prefix, 0) == 0) return true;
        if (arg == option && i + 1 < args.size() && args[i + 1].rfind(prefix, 0) == 0) return true;
    }
    return false;
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
    case Selector::Type: return KeyOf(kFilterTypeNames, kTypeItems[i]);
    case Selector::Model: return KeyOf(kFamilyNames, kModelItems[i]);
    case Selector::Topology: return KeyOf(kFormNames, kTopologyItems[i]);
    case Selector::Scale: return kFrequencyUnits[i].name;
    }
    return {};
}

using OptionList = std::vector<std::pair<std::string, std::string>>;

// The classic design window's part of a file. The ripple goes only with a model that has one,
// the band edges only with a band-pass, as the window uses them.
OptionList ClassicOptionsOf(const DesignFile& design, const std::string& path)
{
    OptionList options = {{"--type", ItemName(design, Selector::Type, path)},
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

// The design panel's design, shown in the exact response window over that window's sweep.
OptionList PanelOptionsOf(const DesignPanelSettings& p, const ExactResponseSettings& exact)
{
    OptionList options = {{"--model", p.family},  {"--type", p.type},        {"--topology", p.form}, {"--unit", p.unit},
                          {"--ripple", p.ripple}, {"--stop-att", p.stopAtt}, {"--rs", p.rs},         {"--rl", p.rl}};
    // An empty sweep edge follows the design's band in the workbench; here the sweep's default does.
    if (!exact.sweepStart.empty()) options.emplace_back("--start", exact.sweepStart);
    if (!exact.sweepStop.empty()) options.emplace_back("--stop", exact.sweepStop);
    if (!p.zeros.empty()) options.emplace_back("--zeros", p.zeros);
    if (p.family == "EquirippleDelay") options.emplace_back("--delay-error", p.delayError);
    // The coupled forms are band-pass forms; a ladder has no resonator inductance to choose.
    if (p.type == KeyOf(kFilterTypeNames, FilterType::BandPass) &&
        p.bandPassForm != KeyOf(kBandPassFormNames, BandPassForm::Ladder)) {
        options.emplace_back("--form", p.bandPassForm);
        if (!p.resonatorL.empty()) options.emplace_back("--resonator-l", p.resonatorL);
    }
    if (p.orderFrom == "order")
        options.emplace_back("--poles", p.order);
    else
        options.emplace_back("--stop-freq", p.stopFreq);
    if (p.type == "LPF" || p.type == "HPF") {
        options.emplace_back("--passband", p.passband);
    } else {
        options.emplace_back("--fmin", p.fmin);
        options.emplace_back("--fmax", p.fmax);
    }
    return options;
}

// The exact response window's settings: standard series, part Q, load and the analysis sweep.
OptionList ExactOptionsOf(const ExactResponseSettings& exact, const DesignFile& design)
{
    OptionList options = {
        {"--q-l", exact.inductorQ}, {"--q-c", exact.capacitorQ}, {"--points", std::to_string(exact.points)}};
    if (exact.series != "none") options.emplace_back("--series", exact.series);
    if (exact.load == "value") options.emplace_back("--load", exact.loadValue);
    if (exact.load == "source")
        options.emplace_back("--load", PanelShown(design) ? exact.panel->rs : design.Text(Field::R));
    if (exact.logarithmic) options.emplace_back("--log-sweep", "");
    if (exact.partLimits != PartLimits{}) options.emplace_back("--part-limits", PartLimitsText(exact.partLimits));
    if (const std::optional<PartModelFileSettings>& m = exact.partModels) {
        const std::pair<const char*, const std::string*> models[] = {{"--srf-l", &m->srfL},   {"--srf-c", &m->srfC},
                                                                     {"--rdc-l", &m->rdcL},   {"--esr-c", &m->esrC},
                                                                     {"--node-c", &m->nodeC}, {"--lead-l", &m->leadL}};
        for (const auto& [option, text] : models) options.emplace_back(option, *text);
        if (m->eslC != PartModelFileSettings{}.eslC) options.emplace_back("--esl-c", m->eslC);
        if (m->absorbStrays) options.emplace_back("--absorb-strays", "");
        for (const auto& [designator, file] : m->partFiles) options.emplace_back("--part", designator + "=" + file);
        for (const auto& [designator, text] : m->ownModels)
            options.emplace_back("--part-model", designator + "=" + text);
    }
    // The ratings have no option: they stay in the file the design is saved to. A blank power is
    // none, as in the workbench's field.
    if (const std::optional<StressFileSettings>& stress = exact.stress) {
        if (stress->power.find_first_not_of(" \t") != std::string::npos)
            options.emplace_back(PowerTextInWatts(stress->power) ? "--power-w" : "--power-dbm", stress->power);
        options.emplace_back("--vswr", stress->vswr);
        if (!stress->capacitorRating.empty()) options.emplace_back("--rating-c", stress->capacitorRating);
        if (!stress->inductorRating.empty()) options.emplace_back("--rating-l", stress->inductorRating);
    }
    return options;
}

OptionList OptionsOf(const DesignFile& design, const std::string& path)
{
    OptionList options = PanelShown(design) ? PanelOptionsOf(*design.exactResponse.panel, design.exactResponse)
                                            : ClassicOptionsOf(design, path);
    for (auto& option : ExactOptionsOf(design.exactResponse, design)) options.push_back(std::move(option));
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
            const bool perPart = option == "--part" || option == "--part-model";
            if (perPart ? PartGivenOutside(args, option, value) : GivenOutside(args, option)) continue;
            // Either power typed replaces the file's, in whichever unit that is.
            const bool power = option == "--power-w" || option == "--power-dbm";
            if (power && (GivenOutside(args, "--power-w") || GivenOutside(args, "--power-dbm"))) continue;
            result.args.push_back(option);
            if (option != "--log-sweep" && option != "--absorb-strays") result.args.push_back(value);
            result.fromFile.insert(option);
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

bool PanelShown(const DesignFile& design)
{
    return design.exactResponse.panel && design.exactResponse.panel->shown;
}

namespace {

void SaveExactSettings(const CliOptions& options, const std::string& source, ExactResponseSettings& exact)
{
    BuildTexts texts = BuildTextsOf(options);
    // The source's resistance given as the load keeps a file's "Equal to the source".
    if (exact.load == "source" && texts.load == "value" && texts.loadValue == source) {
        texts.load = exact.load;
        texts.loadValue = exact.loadValue;
    }
    KeepBuildTexts(texts, exact);
}

void SavePanel(const CliOptions& options, DesignFile& design)
{
    DesignPanelSettings& p =
        design.exactResponse.panel.emplace(design.exactResponse.panel.value_or(DesignPanelSettings{}));
    const FieldTexts& t = options.texts;
    const SynthesisOptions& s = options.synthesis;
    // A text the design did not use keeps what the panel held.
    const auto set = [&options](std::string& text, const char* option, const std::string& value) {
        if (options.given.count(option) != 0) text = value;
    };
    p.family = options.model;
    p.type = options.type;
    p.form = options.topology;
    p.unit = options.unit;
    p.orderFrom = !s.stopFreq.empty() && !s.polesGiven ? "requirement" : "order";
    // The order and the ripple designed with, typed or not: the panel's defaults are not the command line's.
    if (p.orderFrom == "order") p.order = t.N;
    const NameEntry<Family>* family = FindKey(kFamilyNames, options.model);
    if (family && TraitsOf(family->value).ripple) p.ripple = t.Ripple;
    set(p.passband, "--passband", t.PassF);
    set(p.fmin, "--fmin", t.Fmin);
    set(p.fmax, "--fmax", t.Fmax);
    if (!s.stopAtt.empty()) p.stopAtt = s.stopAtt;
    if (!s.stopFreq.empty()) p.stopFreq = s.stopFreq;
    p.rl = t.R;
    p.rs = s.rs.empty() ? t.R : s.rs;
    p.zeros = s.zeros;
    if (!s.delayError.empty()) p.delayError = s.delayError;
    if (!s.form.empty()) {
        p.bandPassForm = s.form;
        p.resonatorL = s.resonatorL;
    }
    p.shown = true;
    set(design.exactResponse.sweepStart, "--start", t.FStart);
    set(design.exactResponse.sweepStop, "--stop", t.Stop);
}

} // namespace

DesignFile DesignOfOptions(const CliOptions& options, const DesignFile& base)
{
    DesignFile design = base;
    if (NeedsSynthesis(options)) {
        if (options.synthesis.lossAtDc) throw DesignFileError("the design panel has no setting for --dc-loss");
        SavePanel(options, design);
        SaveExactSettings(options, design.exactResponse.panel->rs, design.exactResponse);
        return design;
    }
    design.Index(Selector::Type) = WindowItem(TypeIndex(options.type), options.type, "response types");
    design.Index(Selector::Model) = WindowItem(ModelIndex(options.model), options.model, "approximations");
    design.Index(Selector::Topology) =
        WindowItem(TopologyIndex(options.topology), options.topology, "ladder topologies");
    design.Index(Selector::Scale) = WindowItem(UnitIndex(options.unit), options.unit, "units");
    const FieldTexts& t = options.texts;
    design.fields = {t.N, t.Ripple, t.PassF, t.Fmin, t.Fmax, t.R, t.FStart, t.Stop};
    if (design.exactResponse.panel) design.exactResponse.panel->shown = false;
    SaveExactSettings(options, t.R, design.exactResponse);
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

} // namespace corvane
