// SPDX-License-Identifier: Apache-2.0
#include "export/SpiceNetlist.h"

#include <cmath>
#include <map>
#include <sstream>
#include <utility>

#include "analysis/MeasuredParts.h"
#include "analysis/PartModels.h"
#include "export/AtomicFile.h"
#include "design/LadderModel.h"
#include "export/ExportSweep.h"
#include "export/ModelsNote.h"
#include "filtermath/Failure.h"
#include "filtermath/Pi.h"

namespace corvane {

const char* const kSpiceFrequencyName = "hz";
const char* const kSpiceOutputName = "vout";
const char* const kSpiceGainName = "s21db";
const char* const kSpiceSubcircuitName = "corvane_ladder";

namespace {

const char* const kTwoPi = "6.283185307179586";
// A node that reaches ground through capacitors alone has no operating point; a leak of this size
// fixes it. Only such nodes get one: at a trap's inner node, even this much limits the depth of its
// null.
const char* const kLeakOhms = "1e12";
// A loop of inductors alone (and voltage sources) is a loop of shorts at DC, which leaves the
// operating point's matrix singular; this resistance in series with the inductor that closes the
// loop breaks it, a Q of some 1e6 per ohm of reactance.
const char* const kLoopOhms = "1e-6";

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
// resistor on ngspice's "hertz". Outside an AC analysis (hertz is 0) and before the first alter,
// the resistor holds its value at the ladder's reference frequency: a loss that grows with the
// frequency has no time-domain form, and a resistance at 0 Hz would open every capacitor.
enum class LossForm { Alter, Expression };

// The nodes a ladder hangs between: its input, its output and ground.
struct LadderPorts {
    std::string in, out, ground;
};

// The frequency where the ladder's parts have the reactance of its terminations, on geometric
// average: a band ladder's centre, near the edge of a low-pass or high-pass.
double LossReferenceHz(const LadderModel& ladder)
{
    double R = std::sqrt(ladder.RS * ladder.RL);
    if (!(R > 0.0) || !std::isfinite(R)) R = 1.0;
    double logSum = 0.0;
    int count = 0;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) {
            if (part.kind == PartKind::Resistor || !(part.value > 0.0)) continue;
            logSum += std::log(part.kind == PartKind::Inductor ? R / part.value : 1.0 / (R * part.value));
            ++count;
        }
    return count == 0 ? 0.0 : std::exp(logSum / count) / (2.0 * kPi<double>);
}

// How an element conducts at DC: inductors and voltage sources as shorts, resistors as paths,
// capacitors not at all.
enum class Conduction { Short, Path, None };

class NetlistBuilder {
public:
    NetlistBuilder(const LadderModel& ladder, const PartQuality& quality, LossForm form)
        : ladder_(ladder), quality_(quality), form_(form), referenceHz_(LossReferenceHz(ladder))
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
        Element("V1", "in", "0", "DC 0 AC 1", Conduction::Short);
        Element("RS", "in", MainNode(1), NumberText(ladder.RS), Conduction::Path);
        const int last = Branches(ladder);
        Element("RLOAD", MainNode(last), "0", NumberText(ladder.RL), Conduction::Path);
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
        if (last == 1) Element("VTHRU", ports_.in, ports_.out, "DC 0", Conduction::Short);
        NodeStrays(last);
        Leaks(last);
        return lines_.str();
    }

    const std::vector<std::string>& Alters() const { return alters_; }

    // The lines a header needs to say what the elements beyond the parts are.
    std::string Notes() const
    {
        std::ostringstream notes;
        if (frequencyLoss_)
            notes << "* RQ<part>: the loss over Q follows the frequency in .ac; in .op and .tran it holds its value at "
                  << NumberText(referenceHz_)
                  << " Hz (the ladder's reference: the geometric mean of its parts' frequencies at its terminations)\n";
        if (frequencyLoss_ && form_ == LossForm::Expression)
            notes << "* ngspice keeps hertz from an .ac until a reset: reset before an .op or .tran that follows one\n";
        if (loops_)
            notes << "* RB<part>: " << kLoopOhms
                  << " Ohm in series with an inductor that closes a loop of inductors, which has no operating point\n";
        if (leaks_)
            notes
                << "* RDC<node>: " << kLeakOhms
                << " Ohm to ground from a node that reaches ground only through capacitors, for the operating point\n";
        return notes.str();
    }

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
            if (C > 0.0) Element("CN" + MainNode(k), MainNode(k), ports_.ground, NumberText(C), Conduction::None);
        }
    }

    // RDC<node>: a DC path for each group of nodes that reaches ground through capacitors alone,
    // at its first node in the order main nodes, output, inner nodes.
    void Leaks(int mainNodes)
    {
        std::vector<std::string> nodes;
        for (int k = 1; k <= mainNodes; ++k) nodes.push_back(MainNode(k));
        nodes.push_back(ports_.out);
        for (int k = 1; k <= innerNodes_; ++k) nodes.push_back("x" + std::to_string(k));
        for (const std::string& node : nodes) {
            if (Root(dc_, node) == Root(dc_, ports_.ground)) continue;
            Element("RDC" + node, node, ports_.ground, kLeakOhms, Conduction::Path);
            leaks_ = true;
        }
    }

    // One two-terminal element line. An inductor or source that would close a loop of shorts gets
    // its series resistor RB<name>.
    void Element(const std::string& name, const std::string& a, const std::string& b, const std::string& value,
                 Conduction conduction)
    {
        std::string end = b;
        if (conduction == Conduction::Short && Root(shorts_, a) == Root(shorts_, b)) {
            end = InnerNode();
            lines_ << name << ' ' << a << ' ' << end << ' ' << value << '\n';
            Join(shorts_, a, end);
            Join(dc_, a, end);
            Element("RB" + name, end, b, kLoopOhms, Conduction::Path);
            loops_ = true;
            return;
        }
        lines_ << name << ' ' << a << ' ' << end << ' ' << value << '\n';
        if (conduction == Conduction::Short) Join(shorts_, a, b);
        if (conduction != Conduction::None) Join(dc_, a, b);
    }

    using Groups = std::map<std::string, std::string>;
    static std::string Root(Groups& groups, const std::string& node)
    {
        auto it = groups.find(node);
        if (it == groups.end() || it->second == node) return node;
        return it->second = Root(groups, it->second);
    }
    static void Join(Groups& groups, const std::string& a, const std::string& b)
    {
        const std::string ra = Root(groups, a), rb = Root(groups, b);
        if (ra != rb) groups[ra] = rb;
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
        const std::string atReference = LossExpression(part, model, NumberText(referenceHz_));
        if (atReference.empty()) {
            Element(name, a, b, NumberText(model.seriesR), Conduction::Path);
            return;
        }
        frequencyLoss_ = true;
        if (form_ == LossForm::Expression) {
            Element(name, a, b, "r={hertz > 0 ? " + LossExpression(part, model, "hertz") + " : " + atReference + "}",
                    Conduction::Path);
            return;
        }
        Element(name, a, b, "{" + atReference + "}", Conduction::Path);
        alters_.push_back("alter " + name + " = " + LossExpression(part, model, "$f"));
    }

    // One part from a to b under its designator, with its model as plain elements: the lead LL<d>
    // first; an inductor's loss resistor RQ<d> after it, the whole shunted by CP<d>; a
    // capacitor's series inductance LS<d> and loss resistor RQ<d> after it.
    void Part(const ModelPart& given, const std::string& a, const std::string& b)
    {
        if (given.kind == PartKind::Resistor) {
            Element(given.designator, a, b, NumberText(given.value), Conduction::Path);
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
            Element("LL" + part.designator, a, mid, NumberText(lead), Conduction::Short);
            from = mid;
        }
        const bool inductor = part.kind == PartKind::Inductor;
        if (inductor && model.srfHz > 0.0 && part.value > 0.0) {
            const double w0 = 2.0 * kPi<double> * model.srfHz;
            Element("CP" + part.designator, from, b, NumberText(1.0 / (w0 * w0 * part.value)), Conduction::None);
        }
        double Ls = inductor ? 0.0 : model.esl;
        if (!inductor && model.srfHz > 0.0) {
            const double w0 = 2.0 * kPi<double> * model.srfHz;
            Ls = 1.0 / (w0 * w0 * part.value);
        }
        const bool lossy = IsLossy(model.Q) || model.seriesR > 0.0;
        std::string to = Ls > 0.0 || lossy ? InnerNode() : b;
        Element(part.designator, from, to, NumberText(part.value), inductor ? Conduction::Short : Conduction::None);
        if (Ls > 0.0) {
            from = to;
            to = lossy ? InnerNode() : b;
            Element("LS" + part.designator, from, to, NumberText(Ls), Conduction::Short);
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
    double referenceHz_;
    Groups dc_, shorts_;
    bool frequencyLoss_ = false, loops_ = false, leaks_ = false;
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
    out << "* " << ModelsNote(ladder, quality) << '\n';
    out << "* Source " << rs << " Ohm, load " << rl << " Ohm, source 1 V AC: S21 in dB = 20*log10(2*|V(out)|*sqrt("
        << rs << "/" << rl << "))\n";
    out << "* AC analysis at the positive sweep points in hertz, ascending, each once\n";
    const std::string elements = builder.Bench(ladder);
    out << builder.Notes() << elements;
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
    out << "* " << ModelsNote(ladder, quality) << '\n';
    out << "* The ladder alone, designed between a source of " << NumberText(ladder.RS) << " Ohm and a load of "
        << NumberText(ladder.RL) << " Ohm.\n";
    out << "* Ports: input, output, ground. Use: .include this file, then X1 <in> <out> <ground> " << name << '\n';
    const std::string elements = builder.Alone(ladder, {"in", "out", "gnd"});
    out << builder.Notes();
    out << ".subckt " << name << " in out gnd\n";
    out << elements;
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
