// SPDX-License-Identifier: Apache-2.0
#include "export/SpiceNetlist.h"

#include <cmath>
#include <sstream>

#include "export/AtomicFile.h"
#include "design/LadderModel.h"
#include "export/ExportSweep.h"
#include "filtermath/Failure.h"

const char* const kSpiceFrequencyName = "hz";
const char* const kSpiceOutputName = "vout";
const char* const kSpiceGainName = "s21db";

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

class NetlistBuilder {
public:
    NetlistBuilder(const LadderModel& ladder, const PartQuality& quality)
        : quality_(quality), lossyL_(IsLossy(quality.QL)), lossyC_(IsLossy(quality.QC))
    {
        int seriesCount = 0;
        for (const ModelBranch& branch : ladder.branches) seriesCount += branch.place == BranchPlace::Series ? 1 : 0;
        lastNode_ = seriesCount + 1;
    }

    std::string Elements(const LadderModel& ladder)
    {
        lines_ << "V1 in 0 DC 0 AC 1\n";
        lines_ << "RS in " << MainNode(1) << ' ' << NumberText(ladder.RS) << '\n';
        int node = 1;
        for (const ModelBranch& branch : ladder.branches) {
            if (branch.place == BranchPlace::Series) {
                TwoTerminal(branch, MainNode(node), MainNode(node + 1), true);
                ++node;
            } else {
                TwoTerminal(branch, MainNode(node), "0", false);
            }
        }
        lines_ << "RLOAD " << MainNode(node) << " 0 " << NumberText(ladder.RL) << '\n';
        Leaks(node);
        return lines_.str();
    }

    const std::vector<std::string>& Alters() const { return alters_; }

private:
    std::string MainNode(int k) const { return k == lastNode_ ? "out" : "n" + std::to_string(k); }
    std::string InnerNode() { return "x" + std::to_string(++innerNodes_); }

    // RDC<node>: the DC path of every node but the source's.
    void Leaks(int mainNodes)
    {
        lines_ << "* RDC: " << kLeakOhms << " Ohm from every node to ground, a DC path for the operating point\n";
        for (int k = 1; k <= mainNodes; ++k) Leak(MainNode(k));
        for (int k = 1; k <= innerNodes_; ++k) Leak("x" + std::to_string(k));
    }
    void Leak(const std::string& node) { lines_ << "RDC" << node << ' ' << node << " 0 " << kLeakOhms << '\n'; }

    // One part from a to b under its designator, followed by its loss resistor when its Q is finite.
    void Part(const ModelPart& part, const std::string& a, const std::string& b)
    {
        if (part.kind == PartKind::Resistor) {
            lines_ << part.designator << ' ' << a << ' ' << b << ' ' << NumberText(part.value) << '\n';
            return;
        }
        const bool inductor = part.kind == PartKind::Inductor;
        if (!(inductor ? lossyL_ : lossyC_)) {
            lines_ << part.designator << ' ' << a << ' ' << b << ' ' << NumberText(part.value) << '\n';
            return;
        }
        const std::string mid = InnerNode();
        const std::string loss = "RQ" + part.designator;
        const std::string value = NumberText(part.value);
        lines_ << part.designator << ' ' << a << ' ' << mid << ' ' << value << '\n';
        lines_ << loss << ' ' << mid << ' ' << b << " 1\n";
        if (inductor)
            alters_.push_back("alter " + loss + " = " + kTwoPi + " * $f * " + value + " / " + NumberText(quality_.QL));
        else
            alters_.push_back("alter " + loss + " = 1 / (" + kTwoPi + " * $f * " + value + " * " +
                              NumberText(quality_.QC) + ")");
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

    const PartQuality& quality_;
    bool lossyL_;
    bool lossyC_;
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
    NetlistBuilder builder(ladder, quality);
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
    out << builder.Elements(ladder);
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
