// SPDX-License-Identifier: Apache-2.0
#include "rules/BuildSettings.h"

#include <algorithm>
#include <stdexcept>

#include "analysis/InputRules.h"
#include "analysis/PerPartModels.h"
#include "design/Names.h"
#include "export/PartFile.h"

namespace corvane {

const BuildNames kCommandLineNames = {"--series",      "--q-l",   "--q-c",   "--srf-l",    "--srf-c",
                                      "--rdc-l",       "--esr-c", "--esl-c", "--node-c",   "--lead-l",
                                      "--part-model",  "--load",  "--start", "--stop",     "--points",
                                      "--part-limits", "--power", "--vswr",  "--rating-c", "--rating-l"};

const BuildNames kWorkbenchNames = {"Standard series",
                                    "Q of inductors",
                                    "Q of capacitors",
                                    "SRF of inductors",
                                    "SRF of capacitors",
                                    "DC resistance of inductors",
                                    "ESR of capacitors",
                                    "ESL of capacitors",
                                    "Stray C at each node",
                                    "Lead L of each part",
                                    "Model of",
                                    "Load",
                                    "Sweep start",
                                    "Sweep stop",
                                    "Points",
                                    "Part limits",
                                    "Power available",
                                    "Load VSWR",
                                    "Voltage rating of capacitors",
                                    "Current rating of inductors"};

bool BuildTexts::operator==(const BuildTexts& o) const
{
    return series == o.series && inductorQ == o.inductorQ && capacitorQ == o.capacitorQ && models == o.models &&
           load == o.load && loadValue == o.loadValue && sweepStart == o.sweepStart && sweepStop == o.sweepStop &&
           points == o.points && logarithmic == o.logarithmic && partLimits == o.partLimits && stress == o.stress;
}

namespace {

bool Blank(const std::string& text)
{
    return text.find_first_not_of(" \t") == std::string::npos;
}

PartKind KindOfPart(const std::string& designator, const std::string& field)
{
    try {
        return KindOfDesignator(designator);
    } catch (const std::invalid_argument& error) {
        throw InputError(field + " " + designator + ": " + error.what() + ".");
    }
}

// The kinds' models, the board's strays and each part's own model and file.
void ReadModels(const BuildTexts& t, const BuildNames& n, double scale, AnalysisOptions& analysis)
{
    const PartModelFileSettings& m = t.models;
    PartModel inductor;
    PartModel capacitor;
    inductor.srfHz = ReadSelfResonance(m.srfL, n.srfL, scale) * scale;
    capacitor.srfHz = ReadSelfResonance(m.srfC, n.srfC, scale) * scale;
    inductor.seriesR = ReadLossResistance(m.rdcL, n.rdcL);
    capacitor.seriesR = ReadLossResistance(m.esrC, n.esrC);
    capacitor.esl = ReadStrayInductance(m.eslC, n.eslC);
    // A capacitor's self-resonance is its ESL with its capacitance: both would state it twice.
    if (capacitor.esl > 0.0 && capacitor.srfHz > 0.0)
        throw InputError(std::string(n.eslC) + ": give the capacitors' ESL or their SRF (" + n.srfC + "), not both.");
    if (!inductor.Ideal()) analysis.inductorModel = inductor;
    if (!capacitor.Ideal()) analysis.capacitorModel = capacitor;
    BoardStrays strays = ReadNodeStrays(m.nodeC, n.nodeC);
    strays.leadL = ReadStrayInductance(m.leadL, n.leadL);
    if (!strays.None()) analysis.strays = strays;
    analysis.absorbStrays = m.absorbStrays;
    const KindQ QL = ReadKindQ(t.inductorQ, n.inductorQ, scale);
    const KindQ QC = ReadKindQ(t.capacitorQ, n.capacitorQ, scale);
    ApplyKindQ(analysis, PartKind::Inductor, QL.Q, QL.QHz);
    ApplyKindQ(analysis, PartKind::Capacitor, QC.Q, QC.QHz);
    for (const auto& [designator, text] : m.ownModels) {
        const std::string field = std::string(n.partModel) + " " + designator;
        analysis.ownModels[designator] = ReadPartModelText(text, field, KindOfPart(designator, n.partModel), scale);
    }
    for (const auto& [designator, path] : m.partFiles)
        analysis.measuredParts[designator] = ReadPartFile(path, KindOfPart(designator, "Part file of"));
}

std::optional<SweepPlan> ReadSweep(const BuildTexts& t, const BuildNames& n, const BuildContext& context)
{
    if (Blank(t.points) && !t.logarithmic && context.ownPoints == 0) return std::nullopt;
    SweepPlan plan;
    plan.spacing = t.logarithmic ? SweepSpacing::Log : SweepSpacing::Linear;
    plan.points = context.ownPoints > 0 ? context.ownPoints : kMinNetworkPoints;
    if (!Blank(t.points)) plan.points = ReadPoints(t.points, n.points);
    const auto [low, high] = SweepAroundBand(context.band, context.unitScale, t.logarithmic);
    const double scale = context.unitScale;
    plan.start = Blank(t.sweepStart) ? low : ReadSweepEdge(t.sweepStart, n.sweepStart, scale);
    plan.stop = Blank(t.sweepStop) ? high : ReadSweepEdge(t.sweepStop, n.sweepStop, scale);
    if (!(plan.start < plan.stop))
        throw InputError(std::string(n.sweepStart) + " must be less than " + n.sweepStop + ".");
    if (plan.spacing == SweepSpacing::Log && !(plan.start > 0.0))
        throw InputError(std::string(n.sweepStart) + " must be above zero for a logarithmic sweep.");
    return plan;
}

} // namespace

BuildRequest ReadBuild(const BuildTexts& t, const BuildNames& n, const BuildContext& context)
{
    BuildRequest request;
    AnalysisOptions& analysis = request.analysis;
    const NameEntry<std::optional<ESeries>>* series = FindKey(kSeriesNames, t.series);
    if (!series) throw InputError(std::string(n.series) + ": \"" + t.series + "\" is no standard series.");
    analysis.series = series->value;
    ReadModels(t, n, context.unitScale, analysis);
    const NameEntry<LoadChoice>* load = FindKey(kLoadNames, t.load);
    if (!load) throw InputError(std::string(n.load) + ": \"" + t.load + "\" is no load choice.");
    if (load->value == LoadChoice::Source) analysis.loadOhms = context.sourceOhms;
    if (load->value == LoadChoice::Value) analysis.loadOhms = ReadResistance(t.loadValue, n.load);
    request.plan = ReadSweep(t, n, context);
    request.limits = ReadPartLimits(t.partLimits, n.partLimits);
    // The drive and the ratings mean something only with a power.
    const StressFileSettings& s = t.stress;
    if (!Blank(s.power)) {
        StressDrive drive;
        drive.availableW = ReadPower(s.power, n.power);
        drive.vswr = ReadVswr(s.vswr, n.vswr);
        request.stress = drive;
        request.ratings = {ReadVoltageRating(s.capacitorRating, n.ratingC),
                           ReadCurrentRating(s.inductorRating, n.ratingL)};
    }
    return request;
}

std::pair<double, double> SweepAroundBand(const DesignBand& band, double unitScale, bool logarithmic)
{
    double low = band.lowHz / unitScale;
    double high = band.highHz / unitScale;
    if (band.shape == BandShape::LowPass) low = high;
    if (band.shape == BandShape::HighPass) high = low;
    if (!(low > 0) || !(high >= low)) return {1.0, 101.0};
    if (low == high) return logarithmic ? std::pair{low / 10, low * 10} : std::pair{low / 10, low * 3};
    if (logarithmic) return {low / 2, high * 2};
    const double width = high - low;
    return {std::max(low - 2 * width, low / 10), high + 2 * width};
}

BuildTexts BuildTextsOfFile(const ExactResponseSettings& file)
{
    BuildTexts t;
    t.series = file.series;
    t.inductorQ = file.inductorQ;
    t.capacitorQ = file.capacitorQ;
    t.models = file.partModels.value_or(PartModelFileSettings{});
    t.load = file.load;
    t.loadValue = file.loadValue;
    t.sweepStart = file.sweepStart;
    t.sweepStop = file.sweepStop;
    t.points = std::to_string(file.points);
    t.logarithmic = file.logarithmic;
    if (file.partLimits != PartLimits{}) t.partLimits = PartLimitsText(file.partLimits);
    t.stress = file.stress.value_or(StressFileSettings{});
    return t;
}

void KeepBuildTexts(const BuildTexts& t, ExactResponseSettings& file)
{
    file.series = t.series;
    file.inductorQ = t.inductorQ;
    file.capacitorQ = t.capacitorQ;
    file.load = t.load;
    file.loadValue = t.loadValue;
    file.sweepStart = t.sweepStart;
    file.sweepStop = t.sweepStop;
    // The file holds the count itself; a text that does not read keeps the file's.
    try {
        if (!Blank(t.points)) file.points = ReadPoints(t.points, kWorkbenchNames.points);
    } catch (const InputError&) {
    }
    file.logarithmic = t.logarithmic;
    try {
        file.partLimits = ReadPartLimits(t.partLimits, kWorkbenchNames.partLimits);
    } catch (const InputError&) {
    }
    if (t.models != PartModelFileSettings{})
        file.partModels = t.models;
    else
        file.partModels.reset();
    if (t.stress != StressFileSettings{})
        file.stress = t.stress;
    else
        file.stress.reset();
}

} // namespace corvane
