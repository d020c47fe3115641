// SPDX-License-Identifier: Apache-2.0
#include "cli/NetworkStage.h"

#include <cstdio>
#include <ostream>

#include "run/LadderOfRun.h"
#include "export/SpiceNetlist.h"
#include "export/Touchstone.h"
#include "filtermath/NumberText.h"
#include "filtermath/SelectFilter.h"
#include "run/Rules.h"

namespace {

std::string QualityText(double Q)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", Q);
    return Q > 0.0 ? text : "ideal";
}

std::string Column(const std::string& text, size_t width)
{
    std::string cell = text;
    if (cell.size() < width) cell.resize(width, ' ');
    return cell;
}

std::string Printed(const char* format, double value)
{
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void TrimAndEnd(std::string line, std::ostream& out)
{
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << '\n';
}

} // namespace

void NetworkStage::Run(const DesignState& state, const CliForm& form, StreamMessages& messages)
{
    bandPass_ = IsBandPassKind(state.FilterKind);
    N_ = static_cast<int>(state.GValues.size()) - 2;
    unitText_ = form.SelectorText(Selector::Scale);
    const LadderTopology topology = TopologyForIndex(form.ItemIndex(Selector::Topology));
    try {
        designLoad_ = PrototypeLoad(state.RL, state.GValues, topology);
        const std::vector<double> frequencies = options_.network ? Frequencies(state, form) : std::vector<double>{};
        result_ = AnalyseDesign(state, topology, settings_.analysis, frequencies);
        built_ = true;
        analysed_ = options_.network;
        if (options_.spiceFile.empty() && options_.touchstoneFile.empty()) return;
        const std::vector<double> exported = options_.network ? frequencies : Frequencies(state, form);
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

std::vector<double> NetworkStage::Frequencies(const DesignState& state, const CliForm& form) const
{
    if (!settings_.points) return std::vector<double>(state.Freq.begin(), state.Freq.end());
    // The run has converted both texts already, so they convert here too.
    SweepPlan plan{StrToFloat(form.FieldText(Field::FStart)), StrToFloat(form.FieldText(Field::Stop)),
                   *settings_.points, settings_.spacing};
    if (plan.spacing == SweepSpacing::Log && !(plan.start > 0.0 && plan.stop > 0.0))
        throw Failure("--log-sweep needs Start and Stop greater than zero.");
    return NetworkFrequencies(plan);
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
    text += ", QL " + QualityText(settings_.analysis.quality.QL) + ", QC " + QualityText(settings_.analysis.quality.QC);
    return text;
}

void NetworkStage::AddJson(nlohmann::ordered_json& json) const
{
    if (built_) json["LoadOhms"] = result_.ladder.RL;
    if (!options_.series.empty()) {
        const bool rounded = built_ && settings_.analysis.series.has_value();
        const DesignState& d = result_.design;
        const TableChanges& c = result_.changes;
        json["Series"] = options_.series;
        if (bandPass_) {
            json["RoundedBandL"] = rounded ? d.BandL : std::vector<double>{};
            json["RoundedBandC"] = rounded ? d.BandC : std::vector<double>{};
            json["BandLChange"] = c.BandLChange;
            json["BandCChange"] = c.BandCChange;
        } else {
            json["RoundedElementValues"] = rounded ? d.ElementValues : std::vector<double>{};
            json["ElementChange"] = c.ElementChange;
        }
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
    }
}

void NetworkStage::PrintText(std::ostream& out) const
{
    if (!built_) return;
    out << "\nTerminations: " << TerminationText() << '\n';
    if (settings_.analysis.series) PrintRounded(out);
    if (analysed_) PrintAnalysis(out);
}

void NetworkStage::PrintRounded(std::ostream& out) const
{
    const DesignState& d = result_.design;
    const TableChanges& c = result_.changes;
    out << "\nValues rounded to " << options_.series << '\n';
    const size_t width = 12;
    if (bandPass_) {
        TrimAndEnd(Column(kGridHeader[0], 8) + Column(kGridHeader[1], width) + Column(kGridHeader[2], width) +
                       Column("C change, %", width + 2) + "L change, %",
                   out);
        for (int i = 1; i <= N_; ++i)
            TrimAndEnd(Column(GridRowLabel(i), 8) + Column(FormatSci2(d.BandC[i]), width) +
                           Column(FormatSci2(d.BandL[i]), width) +
                           Column(Printed("%+.2f", c.BandCChange[i]), width + 2) + Printed("%+.2f", c.BandLChange[i]),
                       out);
        return;
    }
    TrimAndEnd(Column(kGridHeader[0], 8) + Column(kGridHeader[1], width) + Column(kGridHeader[2], width) + "Change, %",
               out);
    for (int i = 1; i <= N_; ++i) {
        const bool capacitor = d.ElementUnits[i] == "F";
        const std::string value = FormatSci2(d.ElementValues[i]);
        TrimAndEnd(Column(GridRowLabel(i), 8) + Column(capacitor ? value : "", width) +
                       Column(capacitor ? "" : value, width) + Printed("%+.2f", c.ElementChange[i]),
                   out);
    }
}

void NetworkStage::PrintAnalysis(std::ostream& out) const
{
    const PartQuality& quality = settings_.analysis.quality;
    out << "\nNetwork analysis, " << TerminationText() << ", QL " << QualityText(quality.QL) << ", QC "
        << QualityText(quality.QC) << '\n';
    const size_t width = 14;
    TrimAndEnd(Column("Freq, [" + unitText_ + "]", width) + Column("S21, [dB]", width) + Column("S11, [dB]", width) +
                   "Delay, [s]",
               out);
    const NetworkCurves& curves = result_.curves;
    for (size_t i = 0; i < curves.NetFreq.size(); ++i)
        TrimAndEnd(Column(Printed("%.6g", curves.NetFreq[i]), width) +
                       Column(Printed("%.4f", curves.NetS21[i]), width) +
                       Column(Printed("%.4f", curves.NetS11[i]), width) + Printed("%.4e", curves.NetGroupDelay[i]),
                   out);
}
