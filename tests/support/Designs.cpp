// SPDX-License-Identifier: Apache-2.0
#include "tests/support/Designs.h"

#include <cmath>
#include <stdexcept>

#include "filtermath/UGain.h"

using namespace corvane;

namespace {

const char* const kKindNames[] = {"ButterworthLPF", "ButterworthHPF", "ButterworthBPF",
                                  "ChebyshevLPF",   "ChebyshevHPF",   "ChebyshevBPF"};

bool IsChebyshev(int kind)
{
    return kind >= 3;
}

} // namespace

std::string DesignName(const Design& d)
{
    std::string name = std::string(kKindNames[d.FilterKind]) + (d.topology == LadderTopology::T ? "_T" : "_Pi") + "_N" +
                       std::to_string(d.N);
    if (IsChebyshev(d.FilterKind))
        name += "_ripple" + std::to_string(static_cast<int>(std::lround(d.Ripple * 100))) + "cdB";
    return name;
}

void PrintTo(const Design& design, std::ostream* os)
{
    *os << DesignName(design);
}

LadderModel DesignModel(const Design& d)
{
    return ModelOfRun(ComputeDesign(d), d.topology);
}

Ladder DesignLadder(const Design& d)
{
    return LadderOfModel(DesignModel(d));
}

Sweep ClosedForm(const Design& d, const Sweep& Freq)
{
    Sweep Att{};
    SilentMessages messages;
    const double F0 = std::sqrt(d.Fmin * d.Fmax);
    bool ok = false;
    switch (d.FilterKind) {
    case 0: ok = ButterworthLowPassResponse(Freq, Att, d.N, d.PassF, messages); break;
    case 1: ok = ButterworthHighPassResponse(Freq, Att, d.N, d.PassF, messages); break;
    case 2: ok = ButterworthBandPassResponse(Freq, Att, d.N, F0, d.Fmin, d.Fmax, messages); break;
    case 3: ok = ChebyshevLowPassResponse(Freq, Att, d.N, d.PassF, d.Ripple, messages); break;
    case 4: ok = ChebyshevHighPassResponse(Freq, Att, d.N, d.PassF, d.Ripple, messages); break;
    default: ok = ChebyshevBandPassResponse(Freq, Att, d.N, F0, d.Ripple, d.Fmin, d.Fmax, messages); break;
    }
    if (!ok) throw std::logic_error("closed form refused the design " + DesignName(d));
    return Att;
}

Sweep LinearSweep(double start, double stop)
{
    Sweep Freq{};
    for (int i = 0; i < SweepPoints; ++i) Freq[i] = start + (stop - start) * i / (SweepPoints - 1);
    return Freq;
}

Sweep LogSweep(double start, double stop)
{
    Sweep Freq{};
    for (int i = 0; i < SweepPoints; ++i)
        Freq[i] = start * std::pow(stop / start, static_cast<double>(i) / (SweepPoints - 1));
    return Freq;
}

std::vector<double> List(const Sweep& sweep)
{
    return {sweep.begin(), sweep.end()};
}
