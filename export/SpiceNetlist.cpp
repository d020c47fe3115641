#include "export/SpiceNetlist.h"

#include <cmath>
#include <sstream>

#include "export/AtomicFile.h"
#include "export/ExportSweep.h"
#include "filtermath/Failure.h"

const char* const kSpiceFrequencyName = "hz";
const char* const kSpiceOutputName = "vout";

namespace {

const char* const kTwoPi = "6.283185307179586";

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
    NetlistBuilder(const Ladder& ladder, const PartQuality& quality)
        : quality_(quality), lossyL_(IsLossy(quality.QL)), lossyC_(IsLossy(quality.QC))
    {
        int seriesCount = 0;
        for (const LadderBranch& branch : ladder.branches) seriesCount += branch.place == BranchPlace::Series ? 1 : 0;
        lastNode_ = seriesCount + 1;
    }

    std::string Elements(const Ladder& ladder)
    {
        lines_ << "V1 in 0 DC 0 AC 1\n";
        lines_ << "RS in " << MainNode(1) << ' ' << NumberText(ladder.RS) << '\n';
        int node = 1;
        int position = 1;
        for (const LadderBranch& branch : ladder.branches) {
            if (branch.place == BranchPlace::Series) {
                SeriesBranch(branch, position, MainNode(node), MainNode(node + 1));
                ++node;
            } else {
                ShuntBranch(branch, position, MainNode(node));
            }
            ++position;
        }
        lines_ << "RLOAD " << MainNode(node) << " 0 " << NumberText(ladder.RL) << '\n';
        return lines_.str();
    }

    const std::vector<std::string>& Alters() const { return alters_; }

private:
    std::string MainNode(int k) const { return k == lastNode_ ? "out" : "n" + std::to_string(k); }
    std::string InnerNode() { return "x" + std::to_string(++innerNodes_); }

    // One part from a to b, followed by its loss resistor when its Q is finite.
    void Part(char kind, int position, double value, const std::string& a, const std::string& b)
    {
        const bool lossy = kind == 'L' ? lossyL_ : lossyC_;
        const std::string name = std::string(1, kind) + std::to_string(position);
        if (!lossy) {
            lines_ << name << ' ' << a << ' ' << b << ' ' << NumberText(value) << '\n';
            return;
        }
        const std::string mid = InnerNode();
        const std::string loss = "RQ" + name;
        lines_ << name << ' ' << a << ' ' << mid << ' ' << NumberText(value) << '\n';
        lines_ << loss << ' ' << mid << ' ' << b << " 1\n";
        if (kind == 'L')
            alters_.push_back("alter " + loss + " = " + kTwoPi + " * $f * " + NumberText(value) + " / " +
                              NumberText(quality_.QL));
        else
            alters_.push_back("alter " + loss + " = 1 / (" + kTwoPi + " * $f * " + NumberText(value) + " * " +
                              NumberText(quality_.QC) + ")");
    }

    void SeriesBranch(const LadderBranch& branch, int position, const std::string& a, const std::string& b)
    {
        if (branch.kind == BranchKind::Inductor) {
            Part('L', position, branch.L, a, b);
        } else if (branch.kind == BranchKind::Capacitor) {
            Part('C', position, branch.C, a, b);
        } else {
            const std::string mid = InnerNode();
            Part('L', position, branch.L, a, mid);
            Part('C', position, branch.C, mid, b);
        }
    }

    void ShuntBranch(const LadderBranch& branch, int position, const std::string& node)
    {
        if (branch.kind != BranchKind::Capacitor) Part('L', position, branch.L, node, "0");
        if (branch.kind != BranchKind::Inductor) Part('C', position, branch.C, node, "0");
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

std::string SpiceNetlist(const Ladder& ladder, const std::vector<double>& frequenciesHz, const PartQuality& quality,
                         const std::string& title)
{
    NetlistBuilder builder(ladder, quality);
    std::ostringstream out;
    out << "* " << OneLine(title) << '\n';
    out << "* Source and load " << NumberText(ladder.RL) << " Ohm, source 1 V AC: S21 in dB = 20*log10(2*|V(out)|)\n";
    out << "* AC analysis at the positive sweep points in hertz, ascending, each once\n";
    out << builder.Elements(ladder);
    out << ".control\n";
    out << "set numdgt=15\n";
    out << "foreach f" << FrequencyList(frequenciesHz) << '\n';
    for (const std::string& alter : builder.Alters()) out << "  " << alter << '\n';
    out << "  ac lin 1 $f $f\n";
    out << "  let " << kSpiceFrequencyName << " = real(frequency)\n";
    out << "  let " << kSpiceOutputName << " = vm(out)\n";
    out << "  print " << kSpiceFrequencyName << ' ' << kSpiceOutputName << '\n';
    out << "end\n";
    out << ".endc\n";
    out << ".end\n";
    return out.str();
}

void WriteSpiceNetlist(const std::string& path, const Ladder& ladder, const Sweep& Freq, double UnitScale,
                       const PartQuality& quality, const std::string& title)
{
    std::vector<double> frequenciesHz;
    for (double f : ExportFrequencies(Freq)) {
        const double hz = f * UnitScale;
        if (!std::isfinite(hz)) RaiseOverflow();
        frequenciesHz.push_back(hz);
    }
    WriteFileAtomically(path, SpiceNetlist(ladder, frequenciesHz, quality, title));
}
