#include "cli/NetworkStage.h"

#include <cstdio>
#include <ostream>

#include "export/SpiceNetlist.h"
#include "export/Touchstone.h"
#include "filtermath/ESeries.h"
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
    if (!options_.AnyAsked()) return;
    bandPass_ = IsBandPassKind(state.FilterKind);
    N_ = static_cast<int>(state.GValues.size()) - 2;
    RL_ = state.RL;
    unitScale_ = state.UnitScale;
    unitText_ = form.SelectorText(Selector::Scale);
    units_ = state.ElementUnits;
    values_ = state.ElementValues;
    bandL_ = state.BandL;
    bandC_ = state.BandC;
    freq_ = state.Freq;
    try {
        RoundToSeries();
        const Ladder ladder = BuildLadder(form);
        const PartQuality quality{options_.QL, options_.QC};
        if (options_.network) {
            AnalyseSweep(ladder, freq_, unitScale_, quality, s21_, s11_, delay_);
            analysed_ = true;
        }
        const std::string description = Description(form);
        if (!options_.spiceFile.empty())
            WriteSpiceNetlist(options_.spiceFile, ladder, freq_, unitScale_, quality, description);
        if (!options_.touchstoneFile.empty())
            WriteTouchstone(options_.touchstoneFile, ladder, freq_, unitScale_, quality, {description});
    } catch (const Failure& failure) {
        messages.ReportFailure(failure);
        failed_ = true;
    }
}

void NetworkStage::RoundToSeries()
{
    ESeries series = ESeries::E24;
    if (options_.series.empty() || !ESeriesFromName(options_.series, series)) return;
    const size_t entries = static_cast<size_t>(N_) + 2;
    if (bandPass_) {
        changeL_.assign(entries, 0.0);
        changeC_.assign(entries, 0.0);
        RoundBandValues(N_, series, bandL_, bandC_, changeL_, changeC_);
    } else {
        change_.assign(entries, 0.0);
        RoundElementValues(N_, series, values_, change_);
    }
    rounded_ = true;
}

Ladder NetworkStage::BuildLadder(const CliForm& form) const
{
    const LadderTopology topology = TopologyForIndex(form.ItemIndex(Selector::Topology));
    if (bandPass_) return LadderFromResonators(N_, topology, RL_, bandL_, bandC_);
    return LadderFromElements(N_, topology, RL_, units_, values_);
}

std::string NetworkStage::Description(const CliForm& form) const
{
    std::string text = "Corvane " + form.Title() + ", " + form.SelectorText(Selector::Topology) +
                       ", N = " + std::to_string(N_) + ", RL = " + Printed("%g", RL_) + " Ohm";
    if (rounded_) text += ", values rounded to " + options_.series;
    text += ", QL " + QualityText(options_.QL) + ", QC " + QualityText(options_.QC);
    return text;
}

void NetworkStage::AddJson(nlohmann::ordered_json& json) const
{
    if (!options_.series.empty()) {
        json["Series"] = options_.series;
        if (bandPass_) {
            json["RoundedBandL"] = rounded_ ? bandL_ : std::vector<double>{};
            json["RoundedBandC"] = rounded_ ? bandC_ : std::vector<double>{};
            json["BandLChange"] = changeL_;
            json["BandCChange"] = changeC_;
        } else {
            json["RoundedElementValues"] = rounded_ ? values_ : std::vector<double>{};
            json["ElementChange"] = change_;
        }
    }
    if (options_.network) {
        const auto curve = [this](const Sweep& values) {
            return analysed_ ? nlohmann::ordered_json(values) : nlohmann::ordered_json::array();
        };
        json["NetS21"] = curve(s21_);
        json["NetS11"] = curve(s11_);
        json["NetGroupDelay"] = curve(delay_);
    }
}

void NetworkStage::PrintText(std::ostream& out) const
{
    if (rounded_) PrintRounded(out);
    if (analysed_) PrintAnalysis(out);
}

void NetworkStage::PrintRounded(std::ostream& out) const
{
    out << "\nValues rounded to " << options_.series << '\n';
    const size_t width = 12;
    if (bandPass_) {
        TrimAndEnd(Column(kGridHeader[0], 8) + Column(kGridHeader[1], width) + Column(kGridHeader[2], width) +
                       Column("C change, %", width + 2) + "L change, %",
                   out);
        for (int i = 1; i <= N_; ++i)
            TrimAndEnd(Column(GridRowLabel(i), 8) + Column(FormatSci2(bandC_[i]), width) +
                           Column(FormatSci2(bandL_[i]), width) + Column(Printed("%+.2f", changeC_[i]), width + 2) +
                           Printed("%+.2f", changeL_[i]),
                       out);
        return;
    }
    TrimAndEnd(Column(kGridHeader[0], 8) + Column(kGridHeader[1], width) + Column(kGridHeader[2], width) + "Change, %",
               out);
    for (int i = 1; i <= N_; ++i) {
        const bool capacitor = units_[i] == "F";
        const std::string value = FormatSci2(values_[i]);
        TrimAndEnd(Column(GridRowLabel(i), 8) + Column(capacitor ? value : "", width) +
                       Column(capacitor ? "" : value, width) + Printed("%+.2f", change_[i]),
                   out);
    }
}

void NetworkStage::PrintAnalysis(std::ostream& out) const
{
    out << "\nNetwork analysis, source and load " << Printed("%g", RL_) << " Ohm, QL " << QualityText(options_.QL)
        << ", QC " << QualityText(options_.QC) << '\n';
    const size_t width = 14;
    TrimAndEnd(Column("Freq, [" + unitText_ + "]", width) + Column("S21, [dB]", width) + Column("S11, [dB]", width) +
                   "Delay, [s]",
               out);
    for (int i = 0; i < SweepPoints; ++i)
        TrimAndEnd(Column(Printed("%.6g", freq_[i]), width) + Column(Printed("%.4f", s21_[i]), width) +
                       Column(Printed("%.4f", s11_[i]), width) + Printed("%.4e", delay_[i]),
                   out);
}
