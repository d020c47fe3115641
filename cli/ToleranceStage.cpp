// SPDX-License-Identifier: Apache-2.0
#include "cli/ToleranceStage.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <ostream>
#include <stdexcept>
#include <unistd.h>

#include "analysis/MaskText.h"
#include "cli/CliOptions.h"
#include "cli/MaskReport.h"
#include "cli/SynthesisStage.h"
#include "cli/TextCells.h"
#include "filtermath/Failure.h"
#include "synthesis/Synthesis.h"
#include "run/LadderOfRun.h"

namespace corvane {

namespace {

std::vector<double> InUnit(const std::vector<double>& values, double scale)
{
    std::vector<double> out;
    out.reserve(values.size());
    for (double v : values) out.push_back(v / scale);
    return out;
}

} // namespace

void ToleranceStage::Run(const DesignState& state, LadderTopology topology, const AnalysisOptions& analysis,
                         const std::function<std::vector<double>()>& NetFreq, StreamMessages& messages,
                         const ToleranceReporting& reporting)
{
    if (!options_.Asked()) return;
    try {
        const DesignAnalysis design = AnalyseDesign(ModelOfRun(state, topology), analysis, {}, state.UnitScale);
        RunLadder(design.ladder, analysis.quality, BandOfRun(state), state.UnitScale, NetFreq(), reporting);
    } catch (const Failure& failure) {
        messages.ReportFailure(failure);
        failed_ = true;
    } catch (const std::invalid_argument& error) {
        messages.ShowMessage(error.what());
        failed_ = true;
    }
}

void ToleranceStage::RunLadder(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band,
                               double UnitScale, const std::vector<double>& NetFreq,
                               const ToleranceReporting& reporting)
{
    if (!options_.Asked()) return;
    unitScale_ = UnitScale;
    request_ = ReadToleranceOptions(options_, UnitScale);
    std::vector<double> hz;
    for (double f : NetFreq) hz.push_back(f * UnitScale);
    mask_ = MaskOfRequest(request_, band, UnitScale);
    maskWarnings_ = MaskWarnings(mask_, "--mask");
    std::ostream* progress = reporting.progress;
    int shown = -1;
    const auto report = [&](long long done, long long total) {
        const int percent = static_cast<int>(100 * done / std::max(total, 1LL));
        if (!progress || percent == shown) return;
        shown = percent;
        *progress << "\rMonte Carlo: " << percent << " %" << std::flush;
    };
    const auto started = std::chrono::steady_clock::now();
    result_ = RunTolerance(ladder, quality, hz, mask_, request_.settings, report);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    if (progress && shown >= 0) *progress << '\n';
    if (reporting.timing)
        *reporting.timing << "Monte Carlo: " << request_.settings.trials << " trials in "
                          << Printed("%.2f", took.count()) << " s\n";
    done_ = true;
}

void ToleranceStage::AddJson(nlohmann::ordered_json& json) const
{
    if (!options_.Asked()) return;
    using Json = nlohmann::ordered_json;
    const auto curve = [this](const std::vector<double>& values) { return done_ ? Json(values) : Json::array(); };
    const auto number = [this](double value, bool present) { return done_ && present ? Json(value) : Json(); };
    const bool masked = done_ && result_.masked;
    json["Trials"] = done_ ? Json(result_.trials) : Json();
    json["Yield"] = number(result_.yield, masked);
    json["YieldLow"] = number(result_.yieldLow, masked);
    json["YieldHigh"] = number(result_.yieldHigh, masked);
    json["TolFreq"] = curve(InUnit(result_.frequenciesHz, unitScale_));
    const char* names[5] = {"Min", "P05", "P50", "P95", "Max"};
    for (const auto& [prefix, e] : {std::pair<const char*, const Envelope*>{"S21", &result_.s21},
                                    std::pair<const char*, const Envelope*>{"S11", &result_.s11}}) {
        const std::vector<double>* parts[5] = {&e->min, &e->p05, &e->p50, &e->p95, &e->max};
        for (int k = 0; k < 5; ++k) json[std::string(prefix) + names[k]] = curve(*parts[k]);
    }
    Json sensitivity = Json::object();
    if (masked)
        for (const Sensitivity& s : result_.sensitivities) sensitivity[s.name] = s.dbPerPercent;
    json["Sensitivity"] = sensitivity;
    json["NominalMargin"] = number(result_.nominalMarginDb, masked);
    json["Mask"] = done_ ? Json(MaskText(mask_)) : Json();
    json["MaskBands"] = masked ? MaskBandsJson(result_.maskBands, unitScale_, result_.maskPoints) : Json::array();
    json["MaskWarnings"] = done_ ? Json(maskWarnings_) : Json::array();
    // Bands by their index in MaskBands; the worst trial's, and the nominal ladder's.
    json["WorstBand"] = number(static_cast<double>(result_.worstBand), masked);
    json["WorstFreq"] = number(result_.worstHz / unitScale_, masked);
    json["NominalWorstBand"] = number(static_cast<double>(result_.nominalWorstBand), masked);
    json["NominalWorstFreq"] = number(result_.nominalWorstHz / unitScale_, masked);
    Json histogram = Json::object();
    if (masked) {
        histogram["LowDb"] = result_.margins.lowDb;
        histogram["BinDb"] = result_.margins.binDb;
        histogram["Counts"] = result_.margins.counts;
    }
    json["MarginHistogram"] = histogram;
}

void ToleranceStage::PrintText(std::ostream& out, const std::string& unitText) const
{
    if (!done_) return;
    const ToleranceSettings& s = request_.settings;
    out << "\nTolerance analysis: " << s.trials << " trials, L " << Printed("%g", s.inductorPercent) << " %, C "
        << Printed("%g", s.capacitorPercent) << " %, " << KeyOf(kDistributionNames, s.distribution)
        << (s.distribution == ToleranceDistribution::Normal ? " (tolerance = 3 sigma)" : "") << ", seed " << s.seed
        << '\n';
    if (result_.masked) {
        out << "Yield: " << YieldPercentText(result_.yield) << " (" << result_.passed << " of " << s.trials
            << "), 95 % Wilson interval " << YieldPercentText(result_.yieldLow) << " to "
            << YieldPercentText(result_.yieldHigh) << '\n';
        out << "Mask \"" << MaskText(mask_) << "\", on frequencies of its own with each trial's worst places refined "
            << "between them:\n";
        for (std::size_t b = 0; b < result_.maskBands.size(); ++b)
            out << "  " << MaskBandText(result_.maskBands[b], unitScale_, unitText, result_.maskPoints[b]) << '\n';
        const std::string note = ShorthandStopNote(request_);
        if (!note.empty()) out << note << '\n';
        for (const std::string& warning : maskWarnings_) out << warning << '\n';
        out << "Worst margin: nominal " << Printed("%.3f", result_.nominalMarginDb) << " dB "
            << WhereText(result_.maskBands, result_.nominalWorstBand, result_.nominalWorstHz, unitScale_, unitText)
            << "; trials " << Printed("%.3f", result_.worstMarginDb) << " to " << Printed("%.3f", result_.bestMarginDb)
            << " dB, the worst "
            << WhereText(result_.maskBands, result_.worstBand, result_.worstHz, unitScale_, unitText) << '\n';
        std::vector<Sensitivity> sorted = result_.sensitivities;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Sensitivity& a, const Sensitivity& b) {
            return std::fabs(a.dbPerPercent) > std::fabs(b.dbPerPercent);
        });
        out << "\nSensitivity of the worst margin to +1 % on each part, largest first\n";
        TrimAndEnd(Cell("Part", 8) + "dB per %", out);
        for (const Sensitivity& x : sorted) TrimAndEnd(Cell(x.name, 8) + Printed("%+.4f", x.dbPerPercent), out);
    } else {
        out << "Yield: no mask (give --mask, --max-pass-loss, or --stop-freq with --stop-att)\n";
    }
    out << "\nEnvelope over the trials, dB\n";
    const std::size_t width = 11;
    TrimAndEnd(Cell("Freq, [" + unitText + "]", 14) + Cell("S21 min", width) + Cell("S21 5%", width) +
                   Cell("S21 50%", width) + Cell("S21 95%", width) + Cell("S21 max", width) + Cell("S11 5%", width) +
                   Cell("S11 50%", width) + "S11 95%",
               out);
    const std::size_t n = result_.frequenciesHz.size();
    const std::size_t rows = std::min<std::size_t>(n, 11);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t i = rows == 1 ? 0 : r * (n - 1) / (rows - 1);
        std::string line = Cell(Printed("%.6g", result_.frequenciesHz[i] / unitScale_), 14);
        for (const std::vector<double>* v : {&result_.s21.min, &result_.s21.p05, &result_.s21.p50, &result_.s21.p95,
                                             &result_.s21.max, &result_.s11.p05, &result_.s11.p50})
            line += Cell(Printed("%.3f", (*v)[i]), width);
        line += Printed("%.3f", result_.s11.p95[i]);
        TrimAndEnd(line, out);
    }
}

bool KeepsClassicRunForTolerance(const CliOptions& options)
{
    if (!options.tolerance.Asked() || !options.synthesis.polesGiven) return false;
    CliOptions classic = options;
    classic.synthesis.stopFreq.clear();
    return !NeedsSynthesis(classic);
}

ToleranceReporting ToleranceReportingOn(std::ostream& err)
{
    const bool terminal = &err == &std::cerr && isatty(STDERR_FILENO);
    return terminal ? ToleranceReporting{&err, nullptr} : ToleranceReporting{nullptr, &err};
}

} // namespace corvane
