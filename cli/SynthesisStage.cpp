// SPDX-License-Identifier: Apache-2.0
#include "cli/SynthesisStage.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/InputRules.h"
#include "analysis/MeasuredParts.h"
#include "analysis/NetworkResponse.h"
#include "analysis/ResonanceFlags.h"
#include "cli/BoardStage.h"
#include "design/LadderModel.h"
#include "cli/CliRun.h"
#include "cli/BenchStage.h"
#include "cli/BuildOptions.h"
#include "cli/NetworkOptions.h"
#include "cli/StressReport.h"
#include "cli/OptimiseStage.h"
#include "cli/OutputFiles.h"
#include "cli/MeasuredPartReport.h"
#include "cli/PartFlagReport.h"
#include "cli/SynthesisOptions.h"
#include "cli/ToleranceStage.h"
#include "export/ModelsNote.h"
#include "export/SpiceNetlist.h"
#include "export/Touchstone.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"
#include "filtermath/FrequencyUnits.h"
#include "filtermath/NumberText.h"
#include "filtermath/Sweep.h"
#include "run/Rules.h"
#include "synthesis/ChosenZeros.h"
#include "synthesis/CoupledResonator.h"
#include "synthesis/OrderSelection.h"
#include "synthesis/StopRequirement.h"
#include "synthesis/Synthesis.h"

namespace corvane {

using namespace synthesis;

namespace {

int WholeNumber(const std::string& text, const char* option)
{
    try {
        return StrToInt(text);
    } catch (const ConvertError& error) {
        throw Failure(std::string(option) + ": " + error.what());
    }
}

double UnitScaleOf(const std::string& unit)
{
    const FrequencyUnit* found = UnitOfName(unit);
    if (!found)
        throw Failure("--unit: \"" + unit + "\" is no frequency unit; give " + ListOfKeys(FrequencyUnitNames()) + ".");
    return found->scale;
}

const char* KindText(BranchKind kind)
{
    switch (kind) {
    case BranchKind::Inductor: return "Inductor";
    case BranchKind::Capacitor: return "Capacitor";
    case BranchKind::Resonator: return "Resonator";
    case BranchKind::SeriesLC: return "SeriesLC";
    case BranchKind::ParallelLC: return "ParallelLC";
    case BranchKind::SeriesArm: return "SeriesArm";
    case BranchKind::ParallelArm: return "ParallelArm";
    }
    return "";
}

// How the parts of one position are joined, as the netlist names them.
std::string ArmText(const LadderBranch& b, int position, bool standardValues)
{
    const std::string p = std::to_string(position);
    const auto value = [standardValues](double v, const char* unit) {
        return EngineeringText(v, unit, standardValues);
    };
    const std::string L = "L" + p + " = " + value(b.L, "H");
    const std::string C = "C" + p + " = " + value(b.C, "F");
    const std::string L2 = "L" + p + "B = " + value(b.L2, "H");
    const std::string C2 = "C" + p + "B = " + value(b.C2, "F");
    switch (b.kind) {
    case BranchKind::Inductor: return L;
    case BranchKind::Capacitor: return C;
    case BranchKind::Resonator:
    case BranchKind::SeriesLC: return L + " in series with " + C;
    case BranchKind::ParallelLC: return L + " in parallel with " + C;
    case BranchKind::SeriesArm:
        return "(" + L + " in series with " + C + ") in series with (" + L2 + " in parallel with " + C2 + ")";
    case BranchKind::ParallelArm: return "(" + L + " in series with " + C + ") in parallel with " + L2 + " and " + C2;
    }
    return "";
}

struct Outcome {
    Design design;
    double unitScale = 1.0;
    Sweep Freq{}, Att{};
    bool orderPicked = false;
    int neededN = 0; // the order the stopband requirement alone needs
    double stopHz = 0.0;
    double reachedDb = 0.0;
    std::vector<OrderChoice> others;
    bool analysed = false;
    LadderModel analysedLadder; // the designed ladder, rounded to --series, with the load asked for
    bool rounded = false;
    std::vector<std::string> absorbRefused; // capacitors that could not absorb their node's stray
    std::vector<std::string> rangeWarnings; // measured parts whose data do not cover the analysis sweep
    std::vector<double> NetFreq, NetAtt; // the analysis sweep and the family's response there
    NetworkCurves curves;
    std::vector<PartFlag> flags; // the parts of the ladder as built that are hard to build
    BuildRequest build; // the settings of the ladder as built
    std::optional<StressReport> stress; // with a power
};

double FlatLossDb(const Design& design);

DesignRequest ReadRequest(const CliOptions& o)
{
    DesignRequest r;
    const NameEntry<Family>* family = FindKey(kFamilyNames, o.model);
    const NameEntry<FilterType>* type = FindKey(kFilterTypeNames, o.type);
    const NameEntry<LadderTopology>* form = FindKey(kFormNames, o.topology);
    if (!family) throw Failure("--model: unknown model '" + o.model + "'");
    if (!type) throw Failure("--type: unknown type '" + o.type + "'");
    if (!form) throw Failure("--topology: unknown topology '" + o.topology + "'");
    r.response.family = family->value;
    r.type = type->value;
    r.form = form->value;
    const FieldTexts& t = o.texts;
    const SynthesisOptions& s = o.synthesis;
    // A design file's band-pass form stays behind when the command line picks another type, and
    // its resonator inductance when the command line picks the ladder form.
    const bool fileFormOnly = o.fromFile.count("--form") != 0 && r.type != FilterType::BandPass;
    if (!s.form.empty() && !fileFormOnly) {
        const NameEntry<BandPassForm>* bandForm = FindKey(kBandPassFormNames, s.form);
        if (!bandForm) throw Failure("--form: unknown form '" + s.form + "'");
        r.bandForm = bandForm->value;
    }
    const bool fileInductanceOnly = o.fromFile.count("--resonator-l") != 0 && r.bandForm == BandPassForm::Ladder;
    if (!o.synthesis.resonatorL.empty() && !fileInductanceOnly) {
        if (r.bandForm == BandPassForm::Ladder)
            throw Failure("--resonator-l: give the top-c or top-l form with --form.");
        r.resonatorL = ReadInductance(o.synthesis.resonatorL, "--resonator-l");
    }
    if (TraitsOf(r.response.family).ripple) r.response.rippleDb = ReadRipple(t.Ripple, "--ripple");
    // A design file's phase error stays behind when the command line picks another family.
    const bool fileDelayOnly = o.fromFile.count("--delay-error") != 0 && r.response.family != Family::EquirippleDelay;
    if (!s.delayError.empty() && !fileDelayOnly) {
        if (r.response.family != Family::EquirippleDelay)
            throw Failure("--delay-error: only an EquirippleDelay design has a phase error to choose.");
        r.response.delayErrorDeg = ReadPhaseError(s.delayError, "--delay-error");
    }
    r.response.stopAttDb = s.stopAtt.empty() ? 40.0L : ReadAttenuation(s.stopAtt, "--stop-att");
    r.response.lossAtDc = s.lossAtDc;
    r.RL = ReadResistance(t.R, "--rl");
    r.RS = s.rs.empty() ? r.RL : ReadResistance(s.rs, "--rs");
    const double scale = UnitScaleOf(o.unit);
    for (double f : ReadFrequencyList(s.zeros, "--zeros", scale)) r.zerosHz.push_back(f * scale);
    if (r.type == FilterType::LowPass || r.type == FilterType::HighPass) {
        r.passHz = ReadFrequency(t.PassF, "--passband", scale) * scale;
    } else {
        if (t.Fmin.empty() || t.Fmax.empty())
            throw Failure("--fmin and --fmax: a band-pass or band-stop design needs both band edges.");
        r.lowHz = ReadFrequency(t.Fmin, "--fmin", scale) * scale;
        r.highHz = ReadFrequency(t.Fmax, "--fmax", scale) * scale;
    }
    return r;
}

Outcome MakeDesign(const CliOptions& o)
{
    Outcome out;
    DesignRequest request = ReadRequest(o);
    out.unitScale = UnitScaleOf(o.unit);
    const SynthesisOptions& s = o.synthesis;
    if (!s.stopFreq.empty()) {
        if (s.stopAtt.empty()) throw Failure("--stop-freq: give the attenuation needed there with --stop-att.");
        out.stopHz = ReadFrequency(s.stopFreq, "--stop-freq", out.unitScale) * out.unitScale;
    }
    if (!s.stopFreq.empty() && !s.polesGiven) {
        out.others = PickOrderForStop(request, out.stopHz, &out.neededN);
        out.orderPicked = true;
    } else {
        request.response.N = WholeNumber(o.texts.N, "--poles");
    }
    out.design = Synthesise(request);
    if (out.stopHz > 0.0) out.reachedDb = -TransducerGainDb(out.design, out.stopHz);

    const double start = ReadSweepEdge(o.texts.FStart, "--start", out.unitScale);
    const double stop = ReadSweepEdge(o.texts.Stop, "--stop", out.unitScale);
    FillSweep(start, SweepStep(start, stop), out.Freq);
    // Same sign as the classic run's Att: 0 dB in the passband, negative beyond it.
    for (size_t i = 0; i < out.Att.size(); ++i) out.Att[i] = TransducerGainDb(out.design, out.Freq[i] * out.unitScale);
    return out;
}

std::string Title(const CliOptions& o, const Outcome& out)
{
    return o.model + " " + o.type + ", " + std::to_string(out.design.request.response.N) + " poles";
}

void Analyse(const CliOptions& o, Outcome& out, OptimiseStage& optimise)
{
    const NetworkOptions& n = o.network;
    const DesignBand band = BandOfRequest(out.design.request);
    out.build = ReadBuildOptions(o, {out.unitScale, band, out.design.request.RS});
    const BuildRequest& settings = out.build;
    const PartQuality& quality = settings.analysis.quality;
    // Rounding, load, part models and strays (absorbed when asked) as for a classic design.
    DesignAnalysis built = AnalyseDesign(out.design.ladder, settings.analysis, {}, out.unitScale);
    out.analysedLadder = std::move(built.ladder);
    out.absorbRefused = std::move(built.absorbRefused);
    out.rounded = settings.analysis.series.has_value() && !optimise.Asked();
    if (optimise.Asked()) {
        LadderModel loaded = out.design.ladder;
        loaded.RL = out.analysedLadder.RL;
        out.analysedLadder = optimise.Build(loaded, band, out.unitScale, settings.analysis);
    }
    out.flags = FlagBuiltParts(out.analysedLadder, quality, band, out.Freq.back() * out.unitScale, settings.limits);
    if (!n.AnalysisAsked() && !o.tolerance.Asked()) return;
    out.NetFreq =
        settings.plan ? NetworkFrequencies(*settings.plan) : std::vector<double>(out.Freq.begin(), out.Freq.end());
    if (!out.NetFreq.empty())
        out.rangeWarnings = corvane::MeasuredRangeWarnings(out.analysedLadder, out.NetFreq.front() * out.unitScale,
                                                           out.NetFreq.back() * out.unitScale);
    const std::string title = Title(o, out);
    if (n.network) {
        out.curves = AnalyseCurves(out.analysedLadder, out.NetFreq, out.unitScale, quality);
        for (double f : out.NetFreq) out.NetAtt.push_back(TransducerGainDb(out.design, f * out.unitScale));
        out.analysed = true;
    }
    if (settings.stress) {
        std::vector<double> sweepHz;
        for (double f : out.NetFreq) sweepHz.push_back(std::fabs(f * out.unitScale));
        out.stress = StressReport{*settings.stress, settings.ratings,
                                  StressOverBand(out.analysedLadder, quality, sweepHz, band, *settings.stress),
                                  out.unitScale, o.unit};
    }
    if (!n.spiceFile.empty())
        WriteSpiceNetlist(n.spiceFile, out.analysedLadder, out.NetFreq, out.unitScale, quality, title);
    if (!n.touchstoneFile.empty())
        WriteTouchstone(n.touchstoneFile, out.analysedLadder, out.NetFreq, out.unitScale, quality, {title});
}

nlohmann::ordered_json ElementsJson(const LadderModel& ladder)
{
    nlohmann::ordered_json elements = nlohmann::ordered_json::array();
    int position = 1;
    for (const LadderBranch& b : LadderOfModel(ladder).branches) {
        const ModelBranch& branch = ladder.branches[static_cast<size_t>(position - 1)];
        nlohmann::ordered_json names = nlohmann::ordered_json::array();
        for (const ModelPart& part : branch.parts) names.push_back(part.designator);
        nlohmann::ordered_json e;
        e["Position"] = position++;
        e["Place"] = b.place == BranchPlace::Series ? "Series" : "Shunt";
        e["Kind"] = KindText(b.kind);
        e["L"] = b.L;
        e["C"] = b.C;
        if (b.kind == BranchKind::SeriesArm || b.kind == BranchKind::ParallelArm) {
            e["L2"] = b.L2;
            e["C2"] = b.C2;
        }
        e["Designators"] = names;
        elements.push_back(e);
    }
    return elements;
}

std::string PassbandText(const CliOptions& o, const Outcome& out)
{
    const DesignRequest& r = out.design.request;
    if (r.type == FilterType::LowPass || r.type == FilterType::HighPass)
        return ShortNumberText(r.passHz / out.unitScale, 6) + " " + o.unit;
    return ShortNumberText(r.lowHz / out.unitScale, 6) + " and " + ShortNumberText(r.highHz / out.unitScale, 6) + " " +
           o.unit;
}

// The band-pass form with the accuracy a coupled form reached, the order picked from a stopband
// requirement and the zeros asked for.
void AddFormAndOrderJson(nlohmann::ordered_json& json, const Outcome& out)
{
    const DesignRequest& r = out.design.request;
    json["BandPassForm"] = KeyOf(kBandPassFormNames, r.bandForm);
    if (r.bandForm != BandPassForm::Ladder) {
        const CoupledFit& fit = out.design.fit;
        json["PassbandExcessDb"] = fit.passbandExcessDb;
        json["EdgeLossErrorDb"] = fit.edgeLossErrorDb;
        json["EdgeShift"] = fit.edgeShift;
        json["MeetsResponse"] = fit.meetsGoal;
    }
    if (out.stopHz > 0.0) {
        json["StopF"] = out.stopHz / out.unitScale;
        json["StopAttReached"] = out.reachedDb;
    }
    if (out.orderPicked) {
        json["OrderNeeded"] = out.neededN;
        nlohmann::ordered_json orders;
        for (const OrderChoice& c : out.others) orders[FamilyName(c.family)] = c.N;
        json["OrderByFamily"] = orders;
    }
    if (!r.zerosHz.empty()) {
        nlohmann::ordered_json zeros = nlohmann::ordered_json::array();
        for (double hz : ZeroFrequenciesHz(out.design)) zeros.push_back(hz / out.unitScale);
        json["Zeros"] = zeros;
    }
}

// The exact analysis of the ladder as built.
void AddAnalysedJson(nlohmann::ordered_json& json, const Outcome& out)
{
    json["LoadOhms"] = out.analysedLadder.RL;
    json["NetFreq"] = out.NetFreq;
    json["NetAtt"] = out.NetAtt;
    json["NetS21"] = out.curves.NetS21;
    json["NetS11"] = out.curves.NetS11;
    json["NetGroupDelay"] = out.curves.NetGroupDelay;
}

nlohmann::ordered_json Json(const CliOptions& o, const Outcome& out)
{
    const DesignRequest& r = out.design.request;
    nlohmann::ordered_json json;
    json["Model"] = o.model;
    json["Type"] = o.type;
    json["Topology"] = o.topology;
    json["UnitScale"] = out.unitScale;
    json["Order"] = r.response.N;
    json["Ripple"] = TraitsOf(r.response.family).ripple ? static_cast<double>(r.response.rippleDb) : 0.0;
    if (r.response.family == Family::EquirippleDelay)
        json["DelayError"] = static_cast<double>(r.response.delayErrorDeg);
    json["StopAtt"] = TraitsOf(r.response.family).stopbandAttenuation || out.stopHz > 0.0
                          ? static_cast<double>(r.response.stopAttDb)
                          : 0.0;
    json["PassF"] = r.passHz / out.unitScale;
    json["Fmin"] = r.lowHz / out.unitScale;
    json["Fmax"] = r.highHz / out.unitScale;
    json["RS"] = r.RS;
    json["RL"] = r.RL;
    nlohmann::ordered_json stopEdges = nlohmann::ordered_json::array();
    for (double hz : StopbandEdgesHz(out.design)) stopEdges.push_back(hz / out.unitScale);
    json["StopEdges"] = stopEdges;
    json["Form"] = !IsModifiedForm(r.response) ? "standard" : r.response.lossAtDc ? "loss at DC" : "modified";
    json["FlatLossDb"] = FlatLossDb(out.design);
    AddFormAndOrderJson(json, out);
    json["Elements"] = ElementsJson(out.design.ladder);
    if (out.rounded) {
        json["Series"] = o.network.series;
        json["RoundedElements"] = ElementsJson(out.analysedLadder);
    }
    AddPartFlagsJson(json, out.flags);
    corvane::AddMeasuredPartsJson(json, out.analysedLadder);
    json["Freq"] = out.Freq;
    json["Att"] = out.Att;
    if (out.analysed) AddAnalysedJson(json, out);
    if (out.stress) AddStressJson(*out.stress, json);
    return json;
}

std::string FrequencyText(double hz, const Outcome& out, const CliOptions& o)
{
    return ShortNumberText(hz / out.unitScale, 6) + " " + o.unit;
}

// Where the stopband begins, and the form an even order takes.
void PrintStopband(const CliOptions& o, const Outcome& out, std::ostream& text)
{
    const FamilyRequest& response = out.design.request.response;
    const std::vector<double> edges = StopbandEdgesHz(out.design);
    if (edges.empty()) return;
    const FilterType type = out.design.request.type;
    const std::string low = FrequencyText(edges.front(), out, o);
    const std::string high = FrequencyText(edges.back(), out, o);
    std::string stopband;
    switch (type) {
    case FilterType::LowPass: stopband = "from " + low; break;
    case FilterType::HighPass: stopband = "up to " + low; break;
    case FilterType::BandPass: stopband = "up to " + low + " and from " + high; break;
    case FilterType::BandStop: stopband = "from " + low + " to " + high; break;
    }
    const bool band = type == FilterType::BandPass || type == FilterType::BandStop;
    text << "Passband edge" << (band ? "s " : " ") << PassbandText(o, out) << " ("
         << (TraitsOf(response.family).ripple ? ShortNumberText(static_cast<double>(response.rippleDb), 6)
                                              : std::string("3.01"))
         << " dB), stopband " << stopband << " (" << ShortNumberText(static_cast<double>(response.stopAttDb), 6)
         << " dB)\n";
    if (IsModifiedForm(response)) text << ModifiedFormNote(response) << '\n';
    if (const std::optional<Design> other = LossAtDcAlternative(out.design))
        text << "Between these terminations the form with the ripple as loss at DC (--dc-loss) is buildable too; "
                "its stopband begins at "
             << FrequencyText(StopbandEdgesHz(*other).front(), out, o)
             << (StopbandEdgesHz(*other).size() > 1 ? " (lower edge)" : "") << ".\n";
}

// The zeros the traps place; a band-pass places each on both sides of its centre.
void PrintChosenZeros(const CliOptions& o, const Outcome& out, std::ostream& text)
{
    if (out.design.request.zerosHz.empty()) return;
    const std::vector<double> hz = ZeroFrequenciesHz(out.design);
    text << "Transmission zeros at";
    for (size_t i = 0; i < hz.size(); ++i) text << (i == 0 ? " " : ", ") << ShortNumberText(hz[i] / out.unitScale, 6);
    text << ' ' << o.unit;
    if (out.design.request.type == FilterType::BandPass)
        text << " (the band-pass places each zero and its mirror image f0^2/f about the centre)";
    text << '\n';
}

double EdgeLossDb(const FamilyRequest& response)
{
    return TraitsOf(response.family).ripple ? static_cast<double>(response.rippleDb) : 10.0 * std::log10(2.0);
}

// Between unequal terminations a lossless low-pass ladder is a through connection at DC, so its
// gain there is the mismatch of the two; the response's peaks then sit that far down and the
// asked ripple comes on top.
double FlatLossDb(const Design& design)
{
    return design.gain < 1.0L ? -10.0 * std::log10(static_cast<double>(design.gain)) : 0.0;
}

void PrintMismatchLoss(const Outcome& out, std::ostream& text)
{
    const double flat = FlatLossDb(out.design);
    if (!(flat > 1e-9)) return;
    const DesignRequest& r = out.design.request;
    text << "Passband loss up to " << ShortNumberText(EdgeLossDb(r.response) + flat, 6)
         << " dB: " << (TraitsOf(r.response.family).ripple ? "the ripple of " : "the edge loss of ")
         << ShortNumberText(EdgeLossDb(r.response), 6) << " dB on top of a flat " << ShortNumberText(flat, 6)
         << " dB, the least loss a lossless ladder between " << ShortNumberText(r.RS, 6) << " and "
         << ShortNumberText(r.RL, 6) << " ohms can have with this response.\n";
}

void PrintElements(const std::string& heading, const LadderModel& ladder, bool standardValues, std::ostream& text)
{
    text << '\n' << heading << '\n';
    int position = 1;
    for (const LadderBranch& b : LadderOfModel(ladder).branches) {
        text << position << ' ' << (b.place == BranchPlace::Series ? "series" : "shunt ") << "  "
             << ArmText(b, position, standardValues) << '\n';
        ++position;
    }
}

void PrintText(const CliOptions& o, const Outcome& out, std::ostream& text)
{
    const DesignRequest& r = out.design.request;
    text << o.model << ' ' << o.type << ", " << r.response.N << " poles, "
         << (r.bandForm == BandPassForm::Ladder ? o.topology : KeyOf(kBandPassFormNames, r.bandForm)) << " form, RS "
         << ShortNumberText(r.RS, 6) << " ohms, RL " << ShortNumberText(r.RL, 6) << " ohms\n";
    if (out.orderPicked) {
        text << "Order " << r.response.N << " reaches " << ShortNumberText(out.reachedDb, 6) << " dB at "
             << ShortNumberText(out.stopHz / out.unitScale, 6) << ' ' << o.unit
             << " (asked: " << ShortNumberText((double)r.response.stopAttDb, 6) << " dB)\n";
        if (out.neededN != r.response.N)
            text << "Order " << out.neededN << " meets the requirement, but a " << o.model << " ladder of order "
                 << out.neededN << " cannot be built between these terminations"
                 << (r.zerosHz.empty() ? "" : " with these transmission zeros") << "; order " << r.response.N
                 << " is the lowest that can.\n";
        text << "Other families (lowest buildable order):";
        for (const OrderChoice& c : out.others)
            text << ' ' << FamilyName(c.family) << ' ' << (c.N > 0 ? std::to_string(c.N) : std::string("over 15"));
        text << '\n';
    } else if (out.stopHz > 0.0) {
        text << "Attenuation at " << ShortNumberText(out.stopHz / out.unitScale, 6) << ' ' << o.unit << ": "
             << ShortNumberText(out.reachedDb, 6) << " dB\n";
    }
    if (r.bandForm != BandPassForm::Ladder) text << CoupledFitText(out.design.fit, r.bandForm) << '\n';
    PrintStopband(o, out, text);
    PrintChosenZeros(o, out, text);
    PrintMismatchLoss(out, text);
    PrintElements("Elements, source to load", out.design.ladder, false, text);
    if (out.rounded) PrintElements("Values rounded to " + o.network.series, out.analysedLadder, true, text);
    corvane::PrintMeasuredParts(text, out.analysedLadder);
    PrintPartFlags(text, out.flags);
    if (out.analysed) {
        text << "\nNetwork analysis. " << ModelsNote(out.analysedLadder, out.build.analysis.quality) << '\n';
        text << "Freq        Att         NetS21      NetS11      NetGroupDelay\n";
        for (size_t k = 0; k < out.NetFreq.size(); ++k) {
            char line[96];
            std::snprintf(line, sizeof line, "%-11.5g %-11.5g %-11.5g %-11.5g %.5g\n", out.NetFreq[k], out.NetAtt[k],
                          out.curves.NetS21[k], out.curves.NetS11[k], out.curves.NetGroupDelay[k]);
            text << line;
        }
    }
    if (out.stress) PrintStress(*out.stress, text);
}

} // namespace

void AddSynthesisOptions(CLI::App& app, SynthesisOptions& options)
{
    app.add_option("--stop-att", options.stopAtt,
                   "Stopband attenuation in dB (Elliptic, InverseChebyshev; with --stop-freq the loss needed there)");
    app.add_option("--rs", options.rs, "Source resistance in ohms (default: the load resistance --rl)");
    app.add_flag("--dc-loss", options.lossAtDc,
                 "Even-order Elliptic: keep the ripple as loss at DC, for a stopband nearer the passband; needs "
                 "unequal terminations, as an even-order Chebyshev does");
    app.add_option("--stop-freq", options.stopFreq,
                   "Stopband frequency; with --stop-att and without --poles the order is chosen to meet it");
    app.add_option("--delay-error", options.delayError,
                   "Peak phase error in degrees of an EquirippleDelay design (default 0.05)");
    app.add_option("--zeros", options.zeros,
                   "Butterworth or Chebyshev low-pass, high-pass or band-pass: transmission zeros at these "
                   "frequencies in the chosen unit, separated by commas (realised as traps)");
    app.add_option("--form", options.form,
                   "Band-pass form: the transformed ladder, or shunt resonators coupled by series capacitors "
                   "(top-c) or inductors (top-l)")
        ->check(CLI::IsMember(KeysOf(kBandPassFormNames)));
    app.add_option("--resonator-l", options.resonatorL,
                   "Resonator inductance in henries (top-c: every resonator inductor; top-l: the impedance level; "
                   "default: reactance at the centre equal to --rs)");
    if (CLI::Option* poles = app.get_option_no_throw("--poles"))
        poles->each([&options](const std::string&) { options.polesGiven = true; });
}

// The classic even-order Chebyshev takes a load of its own; with --rs the load is --rl, and the
// synthesis refuses such a design with the loads and the order that would work.
static bool EvenChebyshevWithGivenLoad(const CliOptions& options)
{
    if (options.model != "Chebyshev" || options.synthesis.rs.empty()) return false;
    try {
        const int N = StrToInt(options.texts.N);
        return N >= 2 && N % 2 == 0;
    } catch (const ConvertError&) {
        return false; // the classic run names the bad field
    }
}

bool NeedsSynthesis(const CliOptions& options)
{
    const bool classicModel = ModelIndex(options.model) >= 0;
    const bool classicType = TypeIndex(options.type) >= 0;
    bool sameTerminations = options.synthesis.rs.empty() || options.synthesis.rs == options.texts.R;
    if (!sameTerminations) {
        try {
            sameTerminations = ReadResistance(options.synthesis.rs, "--rs") == ReadResistance(options.texts.R, "--rl");
        } catch (const InputError&) {
            // the synthesised design names the bad field
        }
    }
    return options.synthesis.panelShown || !classicModel || !classicType || !sameTerminations ||
           !options.synthesis.stopFreq.empty() || !options.synthesis.zeros.empty() ||
           EvenChebyshevWithGivenLoad(options) ||
           (!options.synthesis.form.empty() &&
            options.synthesis.form != KeyOf(kBandPassFormNames, BandPassForm::Ladder)) ||
           !options.synthesis.resonatorL.empty();
}

int RunSynthesisDesign(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    for (const std::string& warning : UnusedOptionWarnings(options)) err << warning << '\n';
    Outcome outcome;
    ToleranceStage tolerance(options.tolerance);
    corvane::BenchStage bench(options.bench);
    OptimiseStage optimise(options);
    try {
        outcome = MakeDesign(options);
        Analyse(options, outcome, optimise);
        for (const std::string& refused : outcome.absorbRefused) err << refused << '\n';
        for (const std::string& warning : outcome.rangeWarnings) err << warning << '\n';
        WriteBoardFiles(options.board, outcome.analysedLadder, outcome.build.analysis.quality, optimise.Choices(),
                        Title(options, outcome), BandOfRequest(outcome.design.request));
        if (options.tolerance.Asked()) {
            // Every family's passband frequency is its passband edge (the inverse Chebyshev's
            // 3.01 dB point included), so one mask serves them all.
            const DesignRequest& r = outcome.design.request;
            const PartQuality quality = outcome.build.analysis.quality;
            tolerance.RunLadder(outcome.analysedLadder, quality, BandOfRequest(r), outcome.unitScale, outcome.NetFreq,
                                ToleranceReportingOn(err));
        }
        if (options.bench.Asked())
            bench.SetTolerances(options.tolerance.inductorPercent, options.tolerance.capacitorPercent);
        if (options.bench.Asked())
            bench.RunLadder(outcome.analysedLadder, outcome.build.analysis.quality,
                            BandOfRequest(outcome.design.request), outcome.unitScale);
    } catch (const Failure& failure) {
        err << ErrorReportText(failure.what()) << '\n';
        return kExitEndedEarly;
    } catch (const std::exception& failure) {
        err << ErrorReportText(failure.what()) << '\n';
        return kExitEndedEarly;
    }
    if (options.json) {
        nlohmann::ordered_json json = Json(options, outcome);
        optimise.AddJson(json);
        tolerance.AddJson(json);
        bench.AddJson(json);
        out << json.dump() << '\n';
    } else if (!FileTakesStandardOutput(options)) {
        PrintText(options, outcome, out);
        optimise.PrintText(out, options.unit);
        tolerance.PrintText(out, options.unit);
        bench.PrintText(out);
    }
    return kExitCompleted;
}

} // namespace corvane
