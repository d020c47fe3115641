// SPDX-License-Identifier: Apache-2.0
#include "analysis/PartStress.h"

#include <cmath>
#include <initializer_list>
#include <stdexcept>

#include "analysis/PartModels.h"
#include "filtermath/Failure.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

using Real = long double;
using Cx = std::complex<Real>;

Cx Over(const Cx& x, const Cx& z)
{
    if (z == Cx{}) RaiseDivisionByZero();
    return x / z;
}

// One step of the cascade: a branch (its parts' impedances and its immittance) or a node's stray.
struct Stage {
    const ModelBranch* branch = nullptr; // null: a node's stray capacitance
    bool series = false;
    Cx x; // impedance in series, admittance across
    std::vector<PartImpedance> z;
    Cx v, i; // across and through the whole branch, filled by the backward pass
};

std::vector<Stage> StagesAt(const LadderModel& ladder, const PartQuality& quality, Real w)
{
    std::vector<Stage> stages;
    int node = 1;
    const auto stray = [&](int k) {
        const double C = NodeCapacitance(ladder, k);
        if (C > 0.0) stages.push_back({nullptr, false, Cx{0.0L, w * C}, {}, {}, {}});
    };
    stray(node);
    for (const ModelBranch& branch : ladder.branches) {
        Stage stage{&branch, branch.place == BranchPlace::Series, {}, PartImpedancesAt(ladder, branch, w, quality), {},
                    {}};
        stage.x = BranchFromParts(branch, stage.z).value;
        stages.push_back(std::move(stage));
        if (branch.place == BranchPlace::Series) stray(++node);
    }
    return stages;
}

// From the ladder's output back to the source, with the voltage v and the current i there; the
// source's EMF that drives them.
Cx CascadeBack(std::vector<Stage>& stages, Real RS, Cx v, Cx i)
{
    for (auto stage = stages.rbegin(); stage != stages.rend(); ++stage) {
        if (stage->series) {
            stage->i = i;
            stage->v = stage->x * i;
            v += stage->v;
        } else {
            stage->v = v;
            stage->i = stage->x * v;
            i += stage->i;
        }
    }
    return v + RS * i;
}

// From the load back to the source with V = ZL and I = 1 at the load, then scaled so that the
// source's EMF is sourcePeakV.
void BackwardPass(std::vector<Stage>& stages, Real RS, const Cx& loadZ, Real sourcePeakV)
{
    const Cx scale = Over(Cx{sourcePeakV, 0.0L}, CascadeBack(stages, RS, loadZ, Cx{1.0L, 0.0L}));
    for (Stage& stage : stages) {
        stage.v *= scale;
        stage.i *= scale;
    }
}

// The parts of one arm from the arm's voltage and current, by how its shape connects them.
void SplitArm(const Stage& stage, std::vector<PartPhasor>& out)
{
    const std::vector<PartImpedance>& z = stage.z;
    const auto inSeries = [&](size_t k, const Cx& i) { out.push_back({z[k].value * i, i}); };
    const auto across = [&](size_t k, const Cx& v) { out.push_back({v, Over(v, z[k].value)}); };
    switch (stage.branch->shape) {
    case BranchKind::Inductor:
    case BranchKind::Capacitor: out.push_back({stage.v, stage.i}); return;
    case BranchKind::Resonator:
        if (!stage.series) break;
        [[fallthrough]];
    case BranchKind::SeriesLC:
        inSeries(0, stage.i);
        inSeries(1, stage.i);
        return;
    case BranchKind::ParallelLC: break;
    case BranchKind::SeriesArm: {
        inSeries(0, stage.i);
        inSeries(1, stage.i);
        const Cx vp = Over(stage.i, Over(1.0L, z[2].value) + Over(1.0L, z[3].value));
        across(2, vp);
        across(3, vp);
        return;
    }
    case BranchKind::ParallelArm: {
        const Cx i01 = Over(stage.v, z[0].value + z[1].value);
        inSeries(0, i01);
        inSeries(1, i01);
        across(2, stage.v);
        across(3, stage.v);
        return;
    }
    }
    across(0, stage.v);
    across(1, stage.v);
}

std::vector<PartPhasor> Split(const std::vector<Stage>& stages)
{
    std::vector<PartPhasor> parts;
    for (const Stage& stage : stages)
        if (stage.branch) SplitArm(stage, parts);
    return parts;
}

void CheckDrive(const StressDrive& drive)
{
    if (!(drive.availableW > 0.0) || !std::isfinite(drive.availableW))
        throw std::invalid_argument("The source power must be above zero");
    if (!(drive.vswr >= 1.0) || !std::isfinite(drive.vswr)) throw std::invalid_argument("The VSWR must be 1 or above");
    if (drive.phaseSteps < 2) throw std::invalid_argument("The load phase needs at least 2 steps");
}

// The loads of the drive: RL alone for a VSWR of 1, else RL (1 + G) / (1 - G) round the circle |G| = (S-1)/(S+1).
std::vector<Cx> Loads(Real RL, const StressDrive& drive)
{
    if (drive.vswr == 1.0) return {Cx{RL, 0.0L}};
    const Real rho = (drive.vswr - 1.0L) / (drive.vswr + 1.0L);
    std::vector<Cx> loads;
    for (int k = 0; k < drive.phaseSteps; ++k) {
        const Cx gamma = std::polar(rho, 2.0L * kPi<Real> * k / drive.phaseSteps);
        loads.push_back(RL * (1.0L + gamma) / (1.0L - gamma));
    }
    return loads;
}

// Magnitudes are compared squared, so that the square root is taken only for a new worst case.
void Keep(PartStress& s, const PartPhasor& p, double hz)
{
    const Real v2 = std::norm(p.v);
    const Real i2 = std::norm(p.i);
    const Real w = 0.5L * (p.v.real() * p.i.real() + p.v.imag() * p.i.imag());
    if (v2 > static_cast<Real>(s.vPeak) * s.vPeak) s.vPeak = static_cast<double>(std::sqrt(v2)), s.vHz = hz;
    if (i2 > static_cast<Real>(s.iPeak) * s.iPeak) s.iPeak = static_cast<double>(std::sqrt(i2)), s.iHz = hz;
    // A lossless part's V and I are in quadrature; what rounding leaves of Re(V conj I) is no loss.
    if (w > s.pDiss && w * w >= 1e-30L * v2 * i2) s.pDiss = static_cast<double>(w), s.pHz = hz;
}

// Every part with no stress yet, in ladder order, once the drive and the ladder are checked.
std::vector<PartStress> UnstressedParts(const LadderModel& ladder, const StressDrive& drive)
{
    CheckDrive(drive);
    LadderOfModel(ladder);
    std::vector<PartStress> parts;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) parts.push_back({part.designator, part.kind});
    return parts;
}

// Each load at one frequency, its parts' stress kept in every list given (a null one is passed over).
// Every voltage and current in the ladder is linear in the output's voltage and current, so the
// cascade runs twice, for an output voltage of 1 (open) and an output current of 1 (shorted), and
// each load ZL is their sum ZL a + b, scaled to the source's EMF: 72 load phases cost little more
// than one.
void KeepWorstAt(const LadderModel& ladder, const PartQuality& quality, double hz, const std::vector<Cx>& loads,
                 Real sourceV, std::initializer_list<std::vector<PartStress>*> lists)
{
    std::vector<Stage> stages = StagesAt(ladder, quality, 2.0L * kPi<Real> * std::fabs(static_cast<Real>(hz)));
    const Cx emfOpen = CascadeBack(stages, ladder.RS, Cx{1.0L, 0.0L}, Cx{});
    const std::vector<PartPhasor> open = Split(stages);
    const Cx emfShort = CascadeBack(stages, ladder.RS, Cx{}, Cx{1.0L, 0.0L});
    const std::vector<PartPhasor> shorted = Split(stages);
    for (const Cx& load : loads) {
        const Cx scale = Over(Cx{sourceV, 0.0L}, load * emfOpen + emfShort);
        for (size_t k = 0; k < open.size(); ++k) {
            const PartPhasor part{(load * open[k].v + shorted[k].v) * scale, (load * open[k].i + shorted[k].i) * scale};
            for (std::vector<PartStress>* list : lists)
                if (list) Keep((*list)[k], part, hz);
        }
    }
}

} // namespace

double SourcePeakVolts(double RS, double availableW)
{
    return std::sqrt(8.0 * RS * availableW);
}

std::vector<PartPhasor> PartPhasorsAt(const LadderModel& ladder, const PartQuality& quality, double frequencyHz,
                                      std::complex<long double> loadZ, long double sourcePeakV)
{
    LadderOfModel(ladder); // refuses parts that do not fit their branch's shape
    std::vector<Stage> stages = StagesAt(ladder, quality, 2.0L * kPi<Real> * std::fabs(static_cast<Real>(frequencyHz)));
    BackwardPass(stages, ladder.RS, loadZ, sourcePeakV);
    return Split(stages);
}

std::vector<PartStress> StressOfParts(const LadderModel& ladder, const PartQuality& quality,
                                      const std::vector<double>& frequenciesHz, const StressDrive& drive)
{
    std::vector<PartStress> result = UnstressedParts(ladder, drive);
    const std::vector<Cx> loads = Loads(ladder.RL, drive);
    const Real sourceV = SourcePeakVolts(ladder.RS, drive.availableW);
    for (double hz : frequenciesHz) KeepWorstAt(ladder, quality, hz, loads, sourceV, {&result});
    return result;
}

double RatedPeakHz(const PartStress& stress)
{
    return stress.kind == PartKind::Capacitor ? stress.vHz : stress.iHz;
}

BandStress StressOverBand(const LadderModel& ladder, const PartQuality& quality,
                          const std::vector<double>& frequenciesHz, const DesignBand& band, const StressDrive& drive,
                          const std::atomic<bool>* cancel, std::atomic<long long>* done)
{
    BandStress result;
    result.sweep = UnstressedParts(ladder, drive);
    result.passband = result.sweep;
    const std::vector<Cx> loads = Loads(ladder.RL, drive);
    const Real sourceV = SourcePeakVolts(ladder.RS, drive.availableW);
    for (double hz : frequenciesHz) {
        if (cancel && *cancel) break;
        const bool inBand = InPassband(band, std::fabs(hz));
        result.passbandPoints += inBand ? 1 : 0;
        KeepWorstAt(ladder, quality, hz, loads, sourceV, {&result.sweep, inBand ? &result.passband : nullptr});
        if (done) ++*done;
    }
    return result;
}

double ExceededRating(const PartStress& stress, const StressRatings& ratings)
{
    const bool capacitor = stress.kind == PartKind::Capacitor;
    const double rating = capacitor ? ratings.capacitorV : ratings.inductorA;
    const double peak = capacitor ? stress.vPeak : stress.iPeak;
    return rating > 0.0 && peak > rating ? rating : 0.0;
}

} // namespace corvane
