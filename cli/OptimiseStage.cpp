// SPDX-License-Identifier: Apache-2.0
#include "cli/OptimiseStage.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <ostream>
#include <stdexcept>

#include "analysis/MaskText.h"
#include "cli/CliOptions.h"
#include "cli/MaskReport.h"
#include "cli/ToleranceOptions.h"
#include "cli/TextCells.h"
#include "export/PartCatalogue.h"
#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

constexpr int kDefaultYieldTrials = 2000;

const char* FormName(ChoiceForm form)
{
    switch (form) {
    case ChoiceForm::Single: return "single";
    case ChoiceForm::Parallel: return "parallel";
    case ChoiceForm::Series: return "series";
    case ChoiceForm::Own: break;
    }
    return "own";
}

// The smallest and largest part value of the ladder, for the series' decades.
std::pair<double, double> ValueRange(const LadderModel& ladder)
{
    double low = INFINITY, high = 0.0;
    for (const ModelBranch& b : ladder.branches)
        for (const ModelPart& p : b.parts) {
            low = std::min(low, p.value);
            high = std::max(high, p.value);
        }
    return {low, high};
}

std::string PartsText(const PartChoice& choice)
{
    std::string text;
    for (const CataloguePart& m : choice.members) {
        if (!text.empty()) text += choice.form == ChoiceForm::Parallel ? " || " : " + ";
        text += EngineeringText(m.value, UnitOf(m.kind), true);
        if (!m.partNumber.empty()) text += " " + m.partNumber;
    }
    return text.empty() ? (choice.tuned ? "trimmer" : "kept") : text;
}

} // namespace

bool OptimiseStage::Asked() const
{
    return options_.board.optimise.Asked();
}

LadderModel OptimiseStage::Build(const LadderModel& designed, const DesignBand& band, double unitScale,
                                 const AnalysisOptions& analysis)
{
    const OptimiseOptions& o = options_.board.optimise;
    const ToleranceRequest tolerances = ReadMaskAndTolerances(options_.tolerance, unitScale);
    mask_ = MaskOfRequest(tolerances, band, unitScale);
    unitScale_ = unitScale;
    stopNote_ = ShorthandStopNote(tolerances);
    OptimiseRequest request;
    if (!o.catalogue.empty()) {
        const PartCatalogue catalogue = ReadCatalogue(o.catalogue);
        request.stock = StockOfCatalogue(catalogue.parts);
        method_ = "parts of " + o.catalogue;
    } else if (analysis.series) {
        const auto [low, high] = ValueRange(designed);
        request.stock = StockOfSeries(*analysis.series, low, high);
        method_ = "ideal parts of " + options_.network.series;
    } else {
        throw Failure("--optimise needs the parts to choose from: --catalogue FILE or --series.");
    }
    request.allowPairs = o.allowPairs;
    request.keep.insert(o.keep.begin(), o.keep.end());
    request.tune.insert(o.tune.begin(), o.tune.end());
    request.goal = o.goal == "yield" ? OptimiseGoal::Yield : OptimiseGoal::Margin;
    request.yield = tolerances.settings;
    request.yield.trials = options_.tolerance.Asked()
                               ? ReadToleranceOptions(options_.tolerance, unitScale).settings.trials
                               : kDefaultYieldTrials;
    designed_ = designed;
    // Measured as it will be built: with the kinds' models, the board's strays, the parts' own models
    // and measured parts. Its values are the optimiser's to choose: neither rounded nor absorbed here.
    AnalysisOptions asBuilt = analysis;
    asBuilt.series.reset();
    asBuilt.absorbStrays = false;
    const LadderModel withModels = AnalyseDesign(designed, asBuilt, {}, unitScale).ladder;
    try {
        result_ = OptimiseParts(withModels, analysis.quality, mask_, request);
    } catch (const std::invalid_argument& error) {
        throw Failure(std::string("--optimise: ") + error.what());
    }
    done_ = true;
    return result_.ladder;
}

void OptimiseStage::AddJson(nlohmann::ordered_json& json) const
{
    if (!Asked()) return;
    using Json = nlohmann::ordered_json;
    Json parts = Json::object();
    if (done_)
        for (const PartChoice& c : result_.choices) {
            Json members = Json::array();
            for (const CataloguePart& m : c.members)
                members.push_back({{"Value", m.value},
                                   {"PartNumber", m.partNumber},
                                   {"Manufacturer", m.manufacturer},
                                   {"Package", m.package}});
            parts[c.designator] = {
                {"Value", c.value}, {"Form", FormName(c.form)}, {"Tuned", c.tuned}, {"Parts", members}};
        }
    json["Optimised"] = parts;
    json["MarginBefore"] = done_ ? Json(result_.marginBeforeDb) : Json();
    json["MarginAfter"] = done_ ? Json(result_.marginAfterDb) : Json();
    json["YieldBefore"] = done_ && result_.yieldBefore ? Json(*result_.yieldBefore) : Json();
    json["YieldAfter"] = done_ && result_.yieldAfter ? Json(*result_.yieldAfter) : Json();
    json["OptimiseMask"] = done_ ? MaskBandsJson(mask_.bands, unitScale_) : Json::array();
    json["OptimiseWarnings"] = done_ ? Json(Warnings()) : Json::array();
    json["OptimisedWorstBand"] = done_ ? Json(result_.worstBand) : Json();
    json["OptimisedWorstFreq"] = done_ ? Json(result_.worstHz / unitScale_) : Json();
}

std::vector<std::string> OptimiseStage::Warnings() const
{
    std::vector<std::string> warnings = MaskWarnings(mask_, "--mask");
    // A passband alone is met best by moving the cutoff away from it: nothing holds the stopband.
    if (!mask_.Has(MaskKind::Stop))
        warnings.push_back("Warning: the optimiser's mask has no stopband, so nothing keeps the cutoff where it "
                           "was designed; give --stop-freq with --stop-att, or a stop band in --mask.");
    return warnings;
}

void OptimiseStage::PrintText(std::ostream& out, const std::string& unitText) const
{
    if (!done_) return;
    out << "\nOptimised from " << method_ << " (" << result_.evaluations << " margins measured) against the mask \""
        << MaskText(mask_) << "\":\n";
    for (const MaskBand& b : mask_.bands) out << "  " << MaskBandText(b, unitScale_, unitText) << '\n';
    if (!stopNote_.empty()) out << stopNote_ << '\n';
    for (const std::string& warning : Warnings()) out << warning << '\n';
    std::size_t k = 0;
    for (const ModelBranch& branch : designed_.branches)
        for (const ModelPart& part : branch.parts) {
            const PartChoice& c = result_.choices.at(k++);
            std::string line = part.designator;
            line.resize(8, ' ');
            std::string designedText = EngineeringText(part.value, UnitOf(part.kind));
            designedText.resize(std::max<std::size_t>(designedText.size() + 1, 12), ' ');
            std::string chosen = EngineeringText(c.value, UnitOf(part.kind));
            chosen.resize(std::max<std::size_t>(chosen.size() + 1, 12), ' ');
            out << line << designedText << chosen << PartsText(c) << '\n';
        }
    out << "Worst mask margin: " << Printed("%.3f", result_.marginBeforeDb) << " dB rounded, "
        << Printed("%.3f", result_.marginAfterDb) << " dB optimised, "
        << WhereText(mask_.bands, result_.worstBand, result_.worstHz, unitScale_, unitText) << '\n';
    if (result_.yieldBefore && result_.yieldAfter)
        out << "Yield: " << Printed("%.2f", 100.0 * *result_.yieldBefore) << " % rounded, "
            << Printed("%.2f", 100.0 * *result_.yieldAfter) << " % optimised\n";
}

} // namespace corvane
