// SPDX-License-Identifier: Apache-2.0
#include "synthesis/FrequencyTransform.h"

#include <cmath>

#include "filtermath/Failure.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace synthesis {

namespace {

struct Part {
    Real L = 0.0L, C = 0.0L;
};

// The transforms of one inductor l (impedance s l) and one capacitor c (admittance s c) of the
// prototype, with w0 the edge (low- and high-pass) or the centre, and bw the bandwidth.
struct Transform {
    FilterType type;
    Real R0, w0, bw;

    // Low-pass and high-pass: one part. Band types: the pair (series or parallel).
    Part OfInductor(Real l) const
    {
        switch (type) {
        case FilterType::LowPass: return {l * R0 / w0, 0.0L};
        case FilterType::HighPass: return {0.0L, 1.0L / (l * R0 * w0)};
        case FilterType::BandPass: return {l * R0 / bw, bw / (w0 * w0 * l * R0)};
        case FilterType::BandStop: break;
        }
        return {l * R0 * bw / (w0 * w0), 1.0L / (l * R0 * bw)};
    }
    Part OfCapacitor(Real c) const
    {
        switch (type) {
        case FilterType::LowPass: return {0.0L, c / (R0 * w0)};
        case FilterType::HighPass: return {R0 / (c * w0), 0.0L};
        case FilterType::BandPass: return {R0 * bw / (w0 * w0 * c), c / (R0 * bw)};
        case FilterType::BandStop: break;
        }
        return {R0 / (c * bw), c * bw / (R0 * w0 * w0)};
    }
};

LadderBranch Branch(BranchPlace place, BranchKind kind, Part a, Part b = {})
{
    LadderBranch branch{place, kind, static_cast<double>(a.L), static_cast<double>(a.C)};
    branch.L2 = static_cast<double>(b.L);
    branch.C2 = static_cast<double>(b.C);
    return branch;
}

LadderBranch TransformBranch(const PrototypeBranch& p, const Transform& t)
{
    const bool band = t.type == FilterType::BandPass || t.type == FilterType::BandStop;
    // In the band-pass an inductor becomes a series pair and a capacitor a parallel pair; the
    // band-stop swaps the two.
    const bool inductorToSeries = t.type == FilterType::BandPass;
    switch (p.kind) {
    case BranchKind::Inductor: {
        const Part part = t.OfInductor(p.L);
        if (!band)
            return t.type == FilterType::LowPass ? Branch(p.place, BranchKind::Inductor, part)
                                                 : Branch(p.place, BranchKind::Capacitor, part);
        return Branch(p.place, inductorToSeries ? BranchKind::SeriesLC : BranchKind::ParallelLC, part);
    }
    case BranchKind::Capacitor: {
        const Part part = t.OfCapacitor(p.C);
        if (!band)
            return t.type == FilterType::LowPass ? Branch(p.place, BranchKind::Capacitor, part)
                                                 : Branch(p.place, BranchKind::Inductor, part);
        return Branch(p.place, inductorToSeries ? BranchKind::ParallelLC : BranchKind::SeriesLC, part);
    }
    default: break;
    }
    const Part fromL = t.OfInductor(p.L);
    const Part fromC = t.OfCapacitor(p.C);
    if (!band) {
        const Part pair{fromL.L + fromC.L, fromL.C + fromC.C};
        return Branch(p.place, p.kind, pair);
    }
    // A four-element arm: the series pair first, the parallel pair second.
    const Part& seriesPair = inductorToSeries ? fromL : fromC;
    const Part& parallelPair = inductorToSeries ? fromC : fromL;
    const BranchKind kind = p.kind == BranchKind::SeriesLC ? BranchKind::SeriesArm : BranchKind::ParallelArm;
    return Branch(p.place, kind, seriesPair, parallelPair);
}

bool IsPart(double value)
{
    return std::isfinite(value) && value > 0.0;
}

} // namespace

Ladder Denormalise(const DesignRequest& r, const std::vector<PrototypeBranch>& prototype)
{
    Transform t{r.type, static_cast<Real>(r.RS), 0.0L, 0.0L};
    if (r.type == FilterType::LowPass || r.type == FilterType::HighPass) {
        t.w0 = 2.0L * kPi<Real> * r.passHz;
    } else {
        t.w0 = 2.0L * kPi<Real> * std::sqrt(static_cast<Real>(r.lowHz) * r.highHz);
        t.bw = 2.0L * kPi<Real> * (static_cast<Real>(r.highHz) - r.lowHz);
    }
    Ladder ladder;
    ladder.RS = r.RS;
    ladder.RL = r.RL;
    for (const PrototypeBranch& p : prototype) {
        const LadderBranch b = TransformBranch(p, t);
        // Every part the arm uses must be a positive finite value: extreme frequencies or
        // resistances can overflow it or round it to zero.
        const bool arm = b.kind == BranchKind::SeriesArm || b.kind == BranchKind::ParallelArm;
        const bool usesL = b.kind != BranchKind::Capacitor;
        const bool usesC = b.kind != BranchKind::Inductor;
        const bool sound =
            (!usesL || IsPart(b.L)) && (!usesC || IsPart(b.C)) && (!arm || (IsPart(b.L2) && IsPart(b.C2)));
        if (!sound)
            throw Failure("The element values of this design fall outside the range of numbers; check the "
                          "frequencies and resistances.");
        ladder.branches.push_back(b);
    }
    return ladder;
}

} // namespace synthesis

} // namespace corvane
