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
#include "cli/CliRun.h"
#include "cli/SynthesisOptions.h"
#include "cli/ToleranceStage.h"
#include "export/SpiceNetlist.h"
#include "export/Touchstone.h"
#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"
#include "filtermath/Sweep.h"
#include "run/Rules.h"
#include "synthesis/OrderSelection.h"
#include "synthesis/StopRequirement.h"
#include "synthesis/Synthesis.h"

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
    const int index = UnitIndex(unit);
    return std::pow(1000.0, index < 0 ? 0 : index);
}

std::string Short(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
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
std::string ArmText(const LadderBranch& b, int position)
{
    const std::string p = std::to_string(position);
    const std::string L = "L" + p + " = " + Short(b.L) + " H";
    const std::string C = "C" + p + " = " + Short(b.C) + " F";
    const std::string L2 = "L" + p + "B = " + Short(b.L2) + " H";
    const std::string C2 = "C" + p + "B = " + Short(b.C2) + " F";
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
    double stopHz = 0.0;
    double reachedDb = 0.0;
    std::vector<OrderChoice> others;
    bool analysed = false;
    Sweep NetS21{}, NetS11{}, NetGroupDelay{};
};

DesignRequest ReadRequest(const CliOptions& o)
{
    DesignRequest r;
    if (!FamilyFromName(o.model, r.response.family)) throw Failure("--model: unknown model '" + o.model + "'");
    if (!FilterTypeFromName(o.type, r.type)) throw Failure("--type: unknown type '" + o.type + "'");
    r.form = o.topology == "Pi" ? LadderTopology::Pi : LadderTopology::T;
    const FieldTexts& t = o.texts;
    const SynthesisOptions& s = o.synthesis;
    if (UsesRipple(r.response.family)) r.response.rippleDb = ReadRipple(t.Ripple, "--ripple");
    r.response.stopAttDb = s.stopAtt.empty() ? 40.0L : ReadAttenuation(s.stopAtt, "--stop-att");
    r.RL = ReadResistance(t.R, "--rl");
    r.RS = s.rs.empty() ? r.RL : ReadResistance(s.rs, "--rs");
    const double scale = UnitScaleOf(o.unit);
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
        out.others = PickOrderForStop(request, out.stopHz);
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

void Analyse(const CliOptions& o, Outcome& out)
{
    const NetworkOptions& n = o.network;
    PartQuality quality;
    quality.QL = ReadPartQ(n.QL, "--q-l");
    quality.QC = ReadPartQ(n.QC, "--q-c");
    const std::string title = o.model + " " + o.type + ", " + std::to_string(out.design.request.response.N) + " poles";
    if (n.network) {
        AnalyseSweep(out.design.ladder, out.Freq, out.unitScale, quality, out.NetS21, out.NetS11, out.NetGroupDelay);
        out.analysed = true;
    }
    if (!n.spiceFile.empty())
        WriteSpiceNetlist(n.spiceFile, out.design.ladder, out.Freq, out.unitScale, quality, title);
    if (!n.touchstoneFile.empty())
        WriteTouchstone(n.touchstoneFile, out.design.ladder, out.Freq, out.unitScale, quality, {title});
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
    json["Ripple"] = UsesRipple(r.response.family) ? static_cast<double>(r.response.rippleDb) : 0.0;
    json["StopAtt"] =
        HasFiniteZeros(r.response.family) || out.stopHz > 0.0 ? static_cast<double>(r.response.stopAttDb) : 0.0;
    json["PassF"] = r.passHz / out.unitScale;
    json["Fmin"] = r.lowHz / out.unitScale;
    json["Fmax"] = r.highHz / out.unitScale;
    json["RS"] = r.RS;
    json["RL"] = r.RL;
    if (out.stopHz > 0.0) {
        json["StopF"] = out.stopHz / out.unitScale;
        json["StopAttReached"] = out.reachedDb;
    }
    if (out.orderPicked) {
        nlohmann::ordered_json orders;
        for (const OrderChoice& c : out.others) orders[FamilyName(c.family)] = c.N;
        json["OrderByFamily"] = orders;
    }
    nlohmann::ordered_json elements = nlohmann::ordered_json::array();
    int position = 1;
    for (const LadderBranch& b : out.design.ladder.branches) {
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
        elements.push_back(e);
    }
    json["Elements"] = elements;
    json["Freq"] = out.Freq;
    json["Att"] = out.Att;
    if (out.analysed) {
        json["NetS21"] = out.NetS21;
        json["NetS11"] = out.NetS11;
        json["NetGroupDelay"] = out.NetGroupDelay;
    }
    return json;
}

void PrintText(const CliOptions& o, const Outcome& out, std::ostream& text)
{
    const DesignRequest& r = out.design.request;
    text << o.model << ' ' << o.type << ", " << r.response.N << " poles, " << o.topology << " form, RS " << Short(r.RS)
         << " ohms, RL " << Short(r.RL) << " ohms\n";
    if (out.orderPicked) {
        text << "Order " << r.response.N << " reaches " << Short(out.reachedDb) << " dB at "
             << Short(out.stopHz / out.unitScale) << ' ' << o.unit << " (asked: " << Short((double)r.response.stopAttDb)
             << " dB)\nOther families:";
        for (const OrderChoice& c : out.others)
            text << ' ' << FamilyName(c.family) << ' ' << (c.N > 0 ? std::to_string(c.N) : std::string("over 15"));
        text << '\n';
    } else if (out.stopHz > 0.0) {
        text << "Attenuation at " << Short(out.stopHz / out.unitScale) << ' ' << o.unit << ": " << Short(out.reachedDb)
             << " dB\n";
    }
    text << "\nElements, source to load\n";
    int position = 1;
    for (const LadderBranch& b : out.design.ladder.branches) {
        text << position << ' ' << (b.place == BranchPlace::Series ? "series" : "shunt ") << "  "
             << ArmText(b, position) << '\n';
        ++position;
    }
    if (out.analysed) {
        text << "\nFreq        Att         NetS21      NetS11      NetGroupDelay\n";
        for (int i = 0; i < SweepPoints; ++i) {
            const size_t k = static_cast<size_t>(i);
            char line[96];
            std::snprintf(line, sizeof line, "%-11.5g %-11.5g %-11.5g %-11.5g %.5g\n", out.Freq[k], out.Att[k],
                          out.NetS21[k], out.NetS11[k], out.NetGroupDelay[k]);
            text << line;
        }
    }
}

} // namespace

const std::vector<std::string> kSynthesisTypes{"BSF"};
const std::vector<std::string> kSynthesisModels{"Bessel", "Legendre", "Elliptic", "InverseChebyshev"};

std::vector<std::string> WithSynthesised(std::vector<std::string> names, const std::vector<std::string>& more)
{
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

void AddSynthesisOptions(CLI::App& app, SynthesisOptions& options)
{
    app.add_option("--stop-att", options.stopAtt,
                   "Stopband attenuation in dB (Elliptic, InverseChebyshev; with --stop-freq the loss needed there)");
    app.add_option("--rs", options.rs, "Source resistance in ohms (default: the load resistance --rl)");
    app.add_option("--stop-freq", options.stopFreq,
                   "Stopband frequency; with --stop-att and without --poles the order is chosen to meet it");
    if (CLI::Option* poles = app.get_option_no_throw("--poles"))
        poles->each([&options](const std::string&) { options.polesGiven = true; });
}

bool NeedsSynthesis(const CliOptions& options)
{
    const bool classicModel = options.model == "Butterworth" || options.model == "Chebyshev";
    const bool classicType = options.type == "LPF" || options.type == "HPF" || options.type == "BPF";
    bool sameTerminations = options.synthesis.rs.empty() || options.synthesis.rs == options.texts.R;
    if (!sameTerminations) {
        try {
            sameTerminations = ReadResistance(options.synthesis.rs, "--rs") == ReadResistance(options.texts.R, "--rl");
        } catch (const InputError&) {
            // the synthesised design names the bad field
        }
    }
    return !classicModel || !classicType || !sameTerminations || !options.synthesis.stopFreq.empty();
}

int RunSynthesisDesign(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    Outcome outcome;
    ToleranceStage tolerance(options.tolerance);
    try {
        outcome = MakeDesign(options);
        Analyse(options, outcome);
        if (options.tolerance.Asked()) {
            const DesignRequest& r = outcome.design.request;
            // An inverse Chebyshev's design frequency is where its stopband begins, not its passband edge.
            if (r.response.family == Family::InverseChebyshev)
                throw Failure("--monte-carlo: no mask for an inverse Chebyshev design yet.");
            const PartQuality quality{ReadPartQ(options.network.QL, "--q-l"), ReadPartQ(options.network.QC, "--q-c")};
            tolerance.RunLadder(outcome.design.ladder, quality, MaskEdgesOfRequest(r), outcome.unitScale,
                                std::vector<double>(outcome.Freq.begin(), outcome.Freq.end()),
                                ToleranceReportingOn(err));
        }
    } catch (const Failure& failure) {
        err << ErrorReportText(failure.what()) << '\n';
        return kExitEndedEarly;
    } catch (const std::exception& failure) {
        err << ErrorReportText(failure.what()) << '\n';
        return kExitEndedEarly;
    }
    if (options.json) {
        nlohmann::ordered_json json = Json(options, outcome);
        tolerance.AddJson(json);
        out << json.dump() << '\n';
    } else {
        PrintText(options, outcome, out);
        tolerance.PrintText(out, options.unit);
    }
    return kExitCompleted;
}
