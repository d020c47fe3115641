// SPDX-License-Identifier: Apache-2.0
#include "cli/NetworkStage.h"

#include <cmath>
#include <cstdio>
#include <ostream>

#include "analysis/PartModels.h"
#include "cli/MeasuredPartReport.h"
#include "cli/StressReport.h"
#include "cli/TextCells.h"
#include "run/LadderOfRun.h"
#include "export/ModelsNote.h"
#include "export/SpiceNetlist.h"
#include "export/Touchstone.h"
#include "filtermath/NumberText.h"
#include "run/Rules.h"

namespace corvane {

namespace {

} // namespace

void NetworkStage::Run(const DesignState& state, const CliForm& form, StreamMessages& messages)
{
    N_ = static_cast<int>(state.GValues.size()) - 2;
    unitText_ = form.SelectorText(Selector::Scale);
    const LadderTopology topology = TopologyForIndex(form.ItemIndex(Selector::Topology));
    try {
        const LadderModel designed = ModelOfRun(state, topology);
        designLoad_ = designed.RL;
        const std::vector<double> frequencies = options_.network ? Frequencies(state) : std::vector<double>{};
        result_ = Build(designed, settings_.analysis, frequencies, state.UnitScale);
        for (const std::string& refused : result_.absorbRefused) messages.ShowMessage(refused);
        for (const std::string& warning : result_.rangeWarnings) messages.ShowMessage(warning);
        built_ = true;
        analysed_ = options_.network;
        if (settings_.stress) Stress(state, options_.network ? frequencies : Frequencies(state));
        if (options_.spiceFile.empty() && options_.touchstoneFile.empty()) return;
        const std::vector<double> exported = options_.network ? frequencies : Frequencies(state);
        const std::string description = Description(form);
        const PartQuality& quality = settings_.analysis.quality;
        if (!options_.spiceFile.empty())
            WriteSpiceNetlist(options_.spiceFile, result_.ladder, exported, state.UnitScale, quality, description);
        if (!options_.touchstoneFile.empty())
            WriteTouchstone(options_.touchstoneFile, result_.ladder, exported, state.UnitScale, quality, {description});
    } catch (const Failure& failure) {
        messages.ReportFailure(failure);
        failed_ = true;
    }
}

void NetworkStage::Stress(const DesignState& state, const std::vector<double>& frequencies)
{
    std::vector<double> sweep;
    for (double f : frequencies) sweep.push_back(std::fabs(f * state.UnitScale));
    stress_ = StressReport{
        *settings_.stress, settings_.ratings,
        StressOverBand(result_.ladder, settings_.analysis.quality, sweep, BandOfRun(state), *settings_.stress),
        state.UnitScale, unitText_};
}

DesignAnalysis NetworkStage::Build(const LadderModel& designed, const AnalysisOptions& options,
                                   const std::vector<double>& frequencies, double unitScale) const
{
    if (!builder_) return AnalyseDesign(designed, options, frequencies, unitScale);
    LadderModel loaded = designed;
    if (options.loadOhms) loaded.RL = *options.loadOhms;
    // The builder's ladder is the one built: its parts' own models and measured parts are in it, its
    // values were chosen with the strays in place. Applying them again would print and try another.
    AnalysisOptions asBuilt = options;
    asBuilt.series.reset();
    asBuilt.loadOhms.reset();
    asBuilt.ownModels.clear();
    asBuilt.measuredParts.clear();
    asBuilt.absorbStrays = false;
    DesignAnalysis analysis = AnalyseDesign(builder_(loaded), asBuilt, frequencies, unitScale);
    for (std::size_t b = 0; b < designed.branches.size(); ++b)
        for (std::size_t p = 0; p < designed.branches[b].parts.size(); ++p)
            analysis.changePercent.push_back(
                PercentChange(designed.branches[b].parts[p].value, analysis.ladder.branches[b].parts[p].value));
    return analysis;
}

std::vector<double> NetworkStage::Frequencies(const DesignState& state) const
{
    if (!settings_.plan) return std::vector<double>(state.Freq.begin(), state.Freq.end());
    return NetworkFrequencies(*settings_.plan);
}

std::string NetworkStage::TerminationText() const
{
    const double load = result_.ladder.RL;
    std::string text = "source " + Printed("%g", result_.ladder.RS) + " Ohm, load " + Printed("%g", load) + " Ohm";
    if (load != designLoad_) text += " (the design needs " + Printed("%g", designLoad_) + " Ohm)";
    return text;
}

std::string NetworkStage::Description(const CliForm& form) const
{
    std::string text = "Corvane " + form.Title() + ", " + form.SelectorText(Selector::Topology) +
                       ", N = " + std::to_string(N_) + ", " + TerminationText();
    if (settings_.analysis.series) text += ", values rounded to " + options_.series;
    const PartQuality& quality = settings_.analysis.quality;
    text += ", QL " + KindQText(result_.ladder, PartKind::Inductor, quality) + ", QC " +
            KindQText(result_.ladder, PartKind::Capacitor, quality);
    return text;
}

void NetworkStage::AddJson(nlohmann::ordered_json& json) const
{
    if (built_) json["LoadOhms"] = result_.ladder.RL;
    if (built_) corvane::AddMeasuredPartsJson(json, result_.ladder);
    if (!options_.series.empty()) {
        const bool rounded = built_ && settings_.analysis.series.has_value();
        nlohmann::ordered_json values = nlohmann::ordered_json::object();
        nlohmann::ordered_json changes = nlohmann::ordered_json::object();
        if (rounded) {
            size_t k = 0;
            for (const ModelBranch& branch : result_.ladder.branches)
                for (const ModelPart& part : branch.parts) {
                    values[part.designator] = part.value;
                    changes[part.designator] = result_.changePercent.at(k++);
                }
        }
        json["Series"] = options_.series;
        json["RoundedParts"] = values;
        json["PartChange"] = changes;
    }
    if (options_.network) {
        const auto curve = [this](const std::vector<double>& values) {
            return analysed_ ? nlohmann::ordered_json(values) : nlohmann::ordered_json::array();
        };
        const NetworkCurves& curves = result_.curves;
        json["NetFreq"] = curve(curves.NetFreq);
        json["NetS21"] = curve(curves.NetS21);
        json["NetS11"] = curve(curves.NetS11);
        json["NetS22"] = curve(curves.NetS22);
        json["NetGroupDelay"] = curve(curves.NetGroupDelay);
        if (Absorbs()) {
            json["NetS21BeforeAbsorbing"] = curve(result_.beforeAbsorbing.NetS21);
            json["NetS11BeforeAbsorbing"] = curve(result_.beforeAbsorbing.NetS11);
        }
    }
    if (Absorbs()) json["Absorbed"] = result_.absorbed;
    if (stress_) AddStressJson(*stress_, json);
}

void NetworkStage::PrintText(std::ostream& out) const
{
    if (!built_) return;
    out << "\nTerminations: " << TerminationText() << '\n';
    if (Absorbs()) {
        std::string absorbed;
        for (const std::string& part : result_.absorbed) absorbed += (absorbed.empty() ? "" : ", ") + part;
        out << "Strays absorbed into: " << (absorbed.empty() ? "none" : absorbed) << '\n';
    }
    if (settings_.analysis.series && !builder_) PrintRounded(out);
    corvane::PrintMeasuredParts(out, result_.ladder);
    if (analysed_) PrintAnalysis(out);
    if (stress_) PrintStress(*stress_, out);
}

void NetworkStage::PrintRounded(std::ostream& out) const
{
    out << "\nValues rounded to " << options_.series << '\n';
    const size_t width = 12;
    TrimAndEnd(Cell("Part", 8) + Cell("Value", width) + "Change, %", out);
    size_t k = 0;
    for (const ModelBranch& branch : result_.ladder.branches)
        for (const ModelPart& part : branch.parts)
            TrimAndEnd(Cell(part.designator, 8) +
                           Cell(FormatSci2(part.value) + (part.kind == PartKind::Inductor ? " H" : " F"), width) +
                           Printed("%+.2f", result_.changePercent.at(k++)),
                       out);
}

void NetworkStage::PrintAnalysis(std::ostream& out) const
{
    const PartQuality& quality = settings_.analysis.quality;
    // Every part's model, as every exported file states it: after a catalogue's choice the parts'
    // own models, which the kind's Q alone would not say.
    out << "\nNetwork analysis, " << TerminationText() << ". " << ModelsNote(result_.ladder, quality) << '\n';
    const size_t width = 14;
    const bool before = Absorbs();
    TrimAndEnd(Cell("Freq, [" + unitText_ + "]", width) + Cell("S21, [dB]", width) + Cell("S11, [dB]", width) +
                   Cell("Delay, [s]", width) + (before ? "S21 before absorbing, [dB]" : ""),
               out);
    const NetworkCurves& curves = result_.curves;
    for (size_t i = 0; i < curves.NetFreq.size(); ++i)
        TrimAndEnd(Cell(Printed("%.6g", curves.NetFreq[i]), width) + Cell(Printed("%.4f", curves.NetS21[i]), width) +
                       Cell(Printed("%.4f", curves.NetS11[i]), width) +
                       Cell(Printed("%.4e", curves.NetGroupDelay[i]), width) +
                       (before ? Printed("%.4f", result_.beforeAbsorbing.NetS21[i]) : ""),
                   out);
}

} // namespace corvane
