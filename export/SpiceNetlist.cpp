// SPDX-License-Identifier: Apache-2.0
#include "export/SpiceNetlist.h"

#include <cmath>
#include <utility>
#include <sstream>

#include "analysis/MeasuredParts.h"
#include "analysis/PartModels.h"
#include "export/AtomicFile.h"
#include "design/LadderModel.h"
#include "export/ExportSweep.h"
#include "filtermath/Failure.h"

namespace corvane {

const char* const kSpiceFrequencyName = "hz";
const char* const kSpiceOutputName = "vout";
const char* const kSpiceGainName = "s21db";
const char* const kSpiceSubcircuitName = "corvane_ladder";

namespace {

const char* const kTwoPi = "6.283185307179586";
// Inner nodes of band ladders and traps reach ground only through capacitors, so the operating
// point that every AC analysis starts from has no solution there. A leak of this size to ground
// at every node fixes the operating point and moves S21 by under 1e-8 dB at 50 ohms.
const char* const kLeakOhms = "1e12";

// A Q of 0 (or an infinite one) is an ideal part; a negative Q is no loss at all.
bool IsLossy(double Q)
{
    if (std::isnan(Q) || Q < 0.0) RaiseInvalidOperation();
    return Q > 0.0 && std::isfinite(Q);
}

std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

// How a part's loss resistor follows the frequency: set by an alter before each analysis of the
// test bench, or, in a subcircuit that must work in any analysis of the user's, a behavioural
// resistor on ngspice's "hertz". Its frequency is held at 1 mHz or more, so that the operating
// point sees a finite resistance: an inductor's loss is then a few nano-ohms at DC, and a
// capacitor's in series with an open circuit.
enum class LossForm { Alter, Expression };

// The nodes a ladder hangs between: its input, its output and ground.
struct LadderPorts {
    std::string in, out, ground;
};

class NetlistBuilder {
public:
    NetlistBuilder(const LadderModel& ladder, const PartQuality& quality, LossForm form)
        : ladder_(ladder), quality_(quality), form_(form)
    {
        IsLossy(quality.QL);
        IsLossy(quality.QC);
        int seriesCount = 0;
        for (const ModelBranch& branch : ladder.branches) seriesCount += branch.place == BranchPlace::Series ? 1 : 0;
        lastNode_ = seriesCount + 1;
    }

    // The test bench: the source with its resistance, the ladder from n1 to "out", the load.
    std::string Bench(const LadderModel& ladder)
    {
        // Without a series branch the ladder's one node is the output.
        ports_ = {lastNode_ == 1 ? "out" : "n1", "out", "0"};
        lines_ << "V1 in 0 DC 0 AC 1\n";
        lines_ << "RS in " << MainNode(1) << ' ' << NumberText(ladder.RS) << '\n';
        const int last = Branches(ladder);
        lines_ << "RLOAD " << MainNode(last) << " 0 " << NumberText(ladder.RL) << '\n';
        NodeStrays(last);
        Leaks(last);
        return lines_.str();
    }

    // The ladder alone between the given ports. Where no series branch parts input and output,
    // a 0 V source joins the two ports, which a subcircuit must keep distinct.
    std::string Alone(const LadderModel& ladder, const LadderPorts& ports)
    {
        ports_ = ports;
        const int last = Branches(ladder);
        if (last == 1) lines_ << "VTHRU " << ports_.in << ' ' << ports_.out << " DC 0\n";
        NodeStrays(last);
        Leaks(last);
        return lines_.str();
    }

    const std::vector<std::string>& Alters() const { return alters_; }

private:
    std::string MainNode(int k) const
    {
        if (k == 1) return ports_.in;
        return k == lastNode_ ? ports_.out : "n" + std::to_string(k);
    }
    std::string InnerNode() { return "x" + std::to_string(++innerNodes_); }

    // The branches from main node 1; returns the last main node.
    int Branches(const LadderModel& ladder)
    {
        int node = 1;
        for (const ModelBranch& branch : ladder.branches) {
            if (branch.place == BranchPlace::Series) {
                TwoTerminal(branch, MainNode(node), MainNode(node + 1), true);
                ++node;
            } else {
                TwoTerminal(branch, MainNode(node), ports_.ground, false);
            }
        }
        return node;
    }

    // CN<node>: the board's stray capacitance at each node of the signal path.
    void NodeStrays(int mainNodes)
    {
        for (int k = 1; k <= mainNodes; ++k) {
            const double C = corvane::NodeCapacitance(ladder_, k);
            if (!(C >= 0.0) || !std::isfinite(C)) RaiseInvalidOperation();
            if (C > 0.0)
                lines_ << "CN" << MainNode(k) << ' ' << MainNode(k) << ' ' << ports_.ground << ' ' << NumberText(C)
                       << '\n';
        }
    }

    // RDC<node>: the DC path of every node of the ladder.
    void Leaks(int mainNodes)
    {
        lines_ << "* RDC: " << kLeakOhms << " Ohm from every node to ground, a DC path for the operating point\n";
        for (int k = 1; k <= mainNodes; ++k) Leak(MainNode(k));
        if (mainNodes == 1 && ports_.out != MainNode(1)) Leak(ports_.out);
        for (int k = 1; k <= innerNodes_; ++k) Leak("x" + std::to_string(k));
    }
    void Leak(const std::string& node)
    {
        lines_ << "RDC" << node << ' ' << node << ' ' << ports_.ground << ' ' << kLeakOhms << '\n';
    }

    // The loss resistance of a part's model (DC resistance or ESR plus the reactance over Q) in
    // terms of the frequency f, or empty when it is constant.
    static std::string LossExpression(const ModelPart& part, const PartModel& model, const std::string& f)
    {
        if (!IsLossy(model.Q)) return std::string();
        const std::string value = NumberText(part.value);
        std::string Q = NumberText(model.Q);
        if (model.growth == QGrowth::SqrtF) Q = "(" + Q + " * sqrt(" + f + " / " + NumberText(model.QHz) + "))";
        const std::string w = std::string(kTwoPi) + " * " + f;
        std::string r = part.kind == PartKind::Inductor ? w + " * " + value + " / " + Q
                                                        : "1 / (" + w + " * " + value + " * " + Q + ")";
        if (model.seriesR > 0.0) r = NumberText(model.seriesR) + " + " + r;
        return r;
    }

    // The loss resistor of a part with its model from a to b, when it has a loss.
    void Loss(const ModelPart& part, const PartModel& model, const std::string& a, const std::string& b)
    {
        const std::string name = "RQ" + part.designator;
        if (form_ == LossForm::Expression) {
            const std::string r = LossExpression(part, model, "max(hertz, 1e-3)");
            if (!r.empty()) {
                lines_ << name << ' ' << a << ' ' << b << " r={" << r << "}\n";
                return;
            }
        } else if (const std::string r = LossExpression(part, model, "$f"); !r.empty()) {
            lines_ << name << ' ' << a << ' ' << b << " 1\n";
            alters_.push_back("alter " + name + " = " + r);
            return;
        }
        lines_ << name << ' ' << a << ' ' << b << ' ' << NumberText(model.seriesR) << '\n';
    }

    // One part from a to b under its designator, with its model as plain elements: the lead LL<d>
    // first; an inductor's loss resistor RQ<d> after it, the whole shunted by CP<d>; a
    // capacitor's series inductance LS<d> and loss resistor RQ<d> after it.
    void Part(const ModelPart& given, const std::string& a, const std::string& b)
    {
        if (given.kind == PartKind::Resistor) {
            lines_ << given.designator << ' ' << a << ' ' << b << ' ' << NumberText(given.value) << '\n';
            return;
        }
        ModelPart part = given;
        PartModel model = corvane::EffectiveModel(ladder_, part, quality_);
        if (given.measured) {
            // A simulator reads no vendor file here: the part is its fitted R-L-C equivalent throughout.
            const corvane::EquivalentPart equivalent =
                corvane::EquivalentOf(part.kind, given.measured->equivalent, given.value);
            part.value = equivalent.value;
            model = equivalent.model;
            lines_ << "* " << part.designator << ": the R-L-C equivalent fitted to " << OneLine(given.measured->file)
                   << " (measured " << NumberText(given.measured->LowHz()) << " to "
                   << NumberText(given.measured->HighHz()) << " Hz)\n";
        }
        const double lead = corvane::LeadInductance(ladder_, part);
        corvane::CheckPartModel(model, lead);
        std::string from = a;
        if (lead > 0.0) {
            const std::string mid = InnerNode();
            lines_ << "LL" << part.designator << ' ' << a << ' ' << mid << ' ' << NumberText(lead) << '\n';
            from = mid;
        }
        const bool inductor = part.kind == PartKind::Inductor;
        if (inductor && model.srfHz > 0.0 && part.value > 0.0) {
            const double w0 = 2.0 * M_PI * model.srfHz;
            lines_ << "CP" << part.designator << ' ' << from << ' ' << b << ' '
                   << NumberText(1.0 / (w0 * w0 * part.value)) << '\n';
        }
        double Ls = inductor ? 0.0 : model.esl;
        if (!inductor && model.srfHz > 0.0) {
            const double w0 = 2.0 * M_PI * model.srfHz;
            Ls = 1.0 / (w0 * w0 * part.value);
        }
        const bool lossy = IsLossy(model.Q) || model.seriesR > 0.0;
        std::string to = Ls > 0.0 || lossy ? InnerNode() : b;
        lines_ << part.designator << ' ' << from << ' ' << to << ' ' << NumberText(part.value) << '\n';
        if (Ls > 0.0) {
            from = to;
            to = lossy ? InnerNode() : b;
            lines_ << "LS" << part.designator << ' ' << from << ' ' << to << ' ' << NumberText(Ls) << '\n';
        }
        if (lossy) Loss(part, model, to, b);
    }

    // Two parts in a row from a to b, through an inner node.
    void SeriesPair(const ModelPart& first, const ModelPart& second, const std::string& a, const std::string& b)
    {
        const std::string mid = InnerNode();
        Part(first, a, mid);
        Part(second, mid, b);
    }

    void ParallelPair(const ModelPart& first, const ModelPart& second, const std::string& a, const std::string& b)
    {
        Part(first, a, b);
        Part(second, a, b);
    }

    // The arm of one branch between a and b, its parts in the order the model lists them.
    void TwoTerminal(const ModelBranch& branch, const std::string& a, const std::string& b, bool series)
    {
        const std::vector<ModelPart>& p = branch.parts;
        switch (branch.shape) {
        case BranchKind::Inductor:
        case BranchKind::Capacitor: Part(p.at(0), a, b); return;
        case BranchKind::Resonator:
            if (series)
                SeriesPair(p.at(0), p.at(1), a, b);
            else
                ParallelPair(p.at(0), p.at(1), a, b);
            return;
        case BranchKind::SeriesLC: SeriesPair(p.at(0), p.at(1), a, b); return;
        case BranchKind::ParallelLC: ParallelPair(p.at(0), p.at(1), a, b); return;
        case BranchKind::SeriesArm: {
            const std::string mid = InnerNode();
            SeriesPair(p.at(0), p.at(1), a, mid);
            ParallelPair(p.at(2), p.at(3), mid, b);
            return;
        }
        case BranchKind::ParallelArm:
            SeriesPair(p.at(0), p.at(1), a, b);
            ParallelPair(p.at(2), p.at(3), a, b);
            return;
        }
    }

    const LadderModel& ladder_;
    const PartQuality& quality_;
    LossForm form_;
    LadderPorts ports_;
    int lastNode_ = 1;
    int innerNodes_ = 0;
    std::ostringstream lines_;
    std::vector<std::string> alters_;
};

std::string FrequencyList(const std::vector<double>& frequenciesHz)
{
    std::string list;
    for (double f : frequenciesHz) list += ' ' + NumberText(f);
    return list;
}

} // namespace

std::string SpiceNetlist(const LadderModel& ladder, const std::vector<double>& frequenciesHz,
                         const PartQuality& quality, const std::string& title)
{
    NetlistBuilder builder(ladder, quality, LossForm::Alter);
    const std::string rs = NumberText(ladder.RS);
    const std::string rl = NumberText(ladder.RL);
    const std::string count = std::to_string(frequenciesHz.size());
    const std::string hz = kSpiceFrequencyName;
    const std::string vout = kSpiceOutputName;
    const std::string gain = kSpiceGainName;
    std::ostringstream out;
    out << "* " << OneLine(title) << '\n';
    out << "* Source " << rs << " Ohm, load " << rl << " Ohm, source 1 V AC: S21 in dB = 20*log10(2*|V(out)|*sqrt("
        << rs << "/" << rl << "))\n";
    out << "* AC analysis at the positive sweep points in hertz, ascending, each once\n";
    out << builder.Bench(ladder);
    out << ".control\n";
    out << "set numdgt=15\n";
    out << "set nobreak\n";
    // Each AC analysis makes a plot of its own; the rows are gathered in the constants plot,
    // which every analysis can reach, and printed there as one table.
    out << "let " << hz << " = vector(" << count << ")\n";
    out << "let " << vout << " = vector(" << count << ")\n";
    out << "let " << gain << " = vector(" << count << ")\n";
    out << "let row = 0\n";
    out << "foreach f" << FrequencyList(frequenciesHz) << '\n';
    for (const std::string& alter : builder.Alters()) out << "  " << alter << '\n';
    out << "  ac lin 1 $f $f\n";
    out << "  let v = vm(out)\n";
    out << "  let const." << hz << "[const.row] = $f\n";
    out << "  let const." << vout << "[const.row] = v\n";
    out << "  let const." << gain << "[const.row] = db(2 * v * sqrt(" << rs << " / " << rl << "))\n";
    out << "  let const.row = const.row + 1\n";
    // Each analysis leaves a plot behind; dropping it keeps a long sweep from slowing down.
    out << "  destroy\n";
    out << "end\n";
    out << "setplot const\n";
    out << "print " << hz << ' ' << vout << ' ' << gain << '\n';
    // Batch mode would otherwise go on to look for analyses outside this block and, finding
    // none, exit with status 1.
    out << "quit 0\n";
    out << ".endc\n";
    out << ".end\n";
    return out.str();
}

std::string SpiceSubcircuit(const LadderModel& ladder, const PartQuality& quality, const std::string& title)
{
    NetlistBuilder builder(ladder, quality, LossForm::Expression);
    const std::string name = kSpiceSubcircuitName;
    std::ostringstream out;
    out << "* " << OneLine(title) << '\n';
    out << "* The ladder alone, designed between a source of " << NumberText(ladder.RS) << " Ohm and a load of "
        << NumberText(ladder.RL) << " Ohm.\n";
    out << "* Ports: input, output, ground. Use: .include this file, then X1 <in> <out> <ground> " << name << '\n';
    out << ".subckt " << name << " in out gnd\n";
    out << builder.Alone(ladder, {"in", "out", "gnd"});
    out << ".ends " << name << '\n';
    return out.str();
}

void WriteSpiceSubcircuit(const std::string& path, const LadderModel& ladder, const PartQuality& quality,
                          const std::string& title)
{
    WriteFileAtomically(path, SpiceSubcircuit(ladder, quality, title));
}

void WriteSpiceNetlist(const std::string& path, const LadderModel& ladder, const std::vector<double>& Freq,
                       double UnitScale, const PartQuality& quality, const std::string& title)
{
    std::vector<double> frequenciesHz;
    for (double f : ExportFrequencies(Freq)) {
        const double hz = f * UnitScale;
        if (!std::isfinite(hz)) RaiseOverflow();
        frequenciesHz.push_back(hz);
    }
    WriteFileAtomically(path, SpiceNetlist(ladder, frequenciesHz, quality, title));
}

} // namespace corvane
