// SPDX-License-Identifier: Apache-2.0
#include "synthesis/CoupledResonator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "design/LadderModel.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"
#include "filtermath/LadderCascade.h"
#include "filtermath/NumberText.h"
#include "filtermath/Minimise.h"
#include "filtermath/Pi.h"
#include "filtermath/UG.h"
#include "synthesis/Darlington.h"

namespace corvane {

namespace synthesis {

namespace {

// The frame of the ladder. Its branches alternate from the source: a series coupling, a shunt
// resonator, ..., the last resonator, a series coupling into the load: 2N + 1 positions. Each
// position has one free part (the coupling's capacitor or inductor; the resonator's capacitor in
// top-C, its inductor in top-L); the resonators' other part is fixed.
struct Frame {
    bool topC = true;
    int N = 0;
    double RS = 0.0, RL = 0.0;
    double f0 = 0.0, w0 = 0.0, fbw = 0.0;
    double Lr = 0.0, Cr = 0.0; // a resonator's inductance and capacitance at the centre
};

Frame MakeFrame(const DesignRequest& r)
{
    Frame f;
    f.topC = r.bandForm == BandPassForm::TopC;
    f.N = r.response.N;
    f.RS = r.RS;
    f.RL = r.RL;
    f.f0 = std::sqrt(r.lowHz * r.highHz);
    f.w0 = 2.0 * kPi<double> * f.f0;
    f.fbw = (r.highHz - r.lowHz) / f.f0;
    f.Lr = r.resonatorL > 0.0 ? r.resonatorL : r.RS / f.w0;
    f.Cr = 1.0 / (f.w0 * f.w0 * f.Lr);
    return f;
}

// The reactance (series) or susceptance (shunt) of the free part's position j at w, and its
// derivative with respect to the logarithm of the free part.
void Immittance(const Frame& f, const std::vector<double>& v, size_t j, double w, double& x, double& dx)
{
    if (j % 2 == 0) {
        x = f.topC ? -1.0 / (w * v[j]) : w * v[j];
        dx = f.topC ? -x : x;
    } else {
        x = f.topC ? w * v[j] - 1.0 / (w * f.Lr) : w * f.Cr - 1.0 / (w * v[j]);
        dx = f.topC ? w * v[j] : 1.0 / (w * v[j]);
    }
}

// |S21|^2 at w (rad/s): the inner loop of the refinement.
double PowerGainAt(const Frame& f, const std::vector<double>& v, double w)
{
    Chain<double> m;
    for (size_t j = 0; j < v.size(); ++j) {
        double x, dx;
        Immittance(f, v, j, w, x, dx);
        CascadeStep(j % 2 == 0, 0.0, x, PartsOf(m));
    }
    return 4.0 * f.RS * f.RL / DenNorm(WaveSumsOf(m, f.RS, f.RL));
}

double LossDb(const Frame& f, const std::vector<double>& v, double w)
{
    return -10.0 * std::log10(PowerGainAt(f, v, w));
}

// The frequency (rad/s) where the band-pass transform gives the prototype frequency omega.
double BandFrequency(const Frame& f, double omega)
{
    const double x = omega * f.fbw / 2.0;
    return f.w0 * (x + std::sqrt(x * x + 1.0));
}

double TargetLossDb(const Characteristic& c, double omega)
{
    return static_cast<double>(-10.0L * std::log10(PowerGain(c, static_cast<Real>(std::fabs(omega)))));
}

std::string Henries(double value)
{
    return EngineeringText(value, "H");
}

std::string ResonatorName(int i)
{
    return "Resonator " + std::to_string(i) + " (" + Designator(PartKind::Inductor, 2 * i) + ", " +
           Designator(PartKind::Capacitor, 2 * i) + ")";
}

// The inductances with which an end resonator can be matched to its termination R: the series
// coupling needs a parallel resistance Qe w0 L above R, and the part of the resonator that the
// end coupling and the inner coupling k take, sqrt(Qe w0 L / R - 1) / Qe + k, must stay below 1.
struct Window {
    double low = 0.0, high = 0.0;
};

Window EndWindow(const Frame& f, double R, double Qe, double k)
{
    const double room = 1.0 - k;
    if (!(room > 0.0)) return {1.0, 0.0};
    return {R / (Qe * f.w0), R * (1.0 + Qe * Qe * room * room) / (Qe * f.w0)};
}

[[noreturn]] void RefuseInductance(const Frame& f, int resonator, const char* end, Window w)
{
    std::string text = ResonatorName(resonator) + " cannot be coupled to the " + end + " with " +
                       (f.topC ? "resonator inductors of " : "a resonator inductance of ") + Henries(f.Lr) +
                       " at this bandwidth; ";
    if (w.low < w.high)
        text += "an inductance between " + Henries(w.low) + " and " + Henries(w.high) + " works, such as " +
                Henries(std::sqrt(w.low * w.high)) + ".";
    else
        text += "no single inductance suits both ends; use the ladder form.";
    throw Failure(text);
}

void CheckRealisable(const Frame& f, const std::vector<double>& k, double Qs, double Ql)
{
    for (int i = 2; i < f.N; ++i)
        if (!(k[i - 2] + k[i - 1] < 1.0))
            throw Failure(ResonatorName(i) + " cannot absorb its coupling " + (f.topC ? "capacitors" : "inductors") +
                          " at this bandwidth with any inductance; use the ladder form or a narrower band.");
    const Window source = EndWindow(f, f.RS, Qs, k.front());
    const Window load = EndWindow(f, f.RL, Ql, k.back());
    const Window both{std::max(source.low, load.low), std::min(source.high, load.high)};
    if (!(f.Lr > source.low && f.Lr < source.high)) RefuseInductance(f, 1, "source", both);
    if (!(f.Lr > load.low && f.Lr < load.high)) RefuseInductance(f, f.N, "load", both);
}

// The narrow-band values: a coupling k takes the fraction k of each resonator it joins (top-C:
// C = k Cr; top-L: L = Lr / k), an end coupling the fraction sqrt(Qe w0 Lr / R - 1) / Qe of its
// end resonator, and each resonator keeps what is left.
std::vector<double> NarrowBandValues(const Frame& f, const std::vector<Real>& g)
{
    const int N = f.N;
    std::vector<double> k(static_cast<size_t>(N - 1));
    for (int i = 1; i < N; ++i) k[i - 1] = f.fbw / static_cast<double>(std::sqrt(g[i] * g[i + 1]));
    const double Qs = static_cast<double>(g[0] * g[1]) / f.fbw;
    const double Ql = static_cast<double>(g[N] * g[N + 1]) / f.fbw;
    CheckRealisable(f, k, Qs, Ql);

    std::vector<double> share(static_cast<size_t>(N), 1.0); // what each resonator keeps
    std::vector<double> v(static_cast<size_t>(2 * N + 1));
    const auto endCoupling = [&f](double R, double Qe, double& shareTaken) {
        const double y = std::sqrt(Qe * f.w0 * f.Lr / R - 1.0);
        shareTaken = y / Qe;
        return f.topC ? 1.0 / (f.w0 * R * y) : R * y / f.w0;
    };
    double taken = 0.0;
    v.front() = endCoupling(f.RS, Qs, taken);
    share.front() -= taken;
    v.back() = endCoupling(f.RL, Ql, taken);
    share.back() -= taken;
    for (int i = 1; i < N; ++i) {
        v[2 * i] = f.topC ? k[i - 1] * f.Cr : f.Lr / k[i - 1];
        share[i - 1] -= k[i - 1];
        share[i] -= k[i - 1];
    }
    for (int i = 0; i < N; ++i) v[2 * i + 1] = f.topC ? share[i] * f.Cr : f.Lr / share[i];
    return v;
}

// Least-squares points: Chebyshev nodes across the passband (dense towards the edges, where the
// ripple crowds) and the two edges.
struct Samples {
    std::vector<double> w, lossDb, weight;
};

const double kEdgeWeight = 4.0;

Samples PassbandSamples(const Frame& f, const Characteristic& c)
{
    const int count = 2 * (2 * f.N + 1);
    Samples s;
    for (int j = -1; j <= count; ++j) {
        const double omega = j < 0 ? -1.0 : j == count ? 1.0 : std::cos(kPi<double> * (j + 0.5) / count);
        s.w.push_back(BandFrequency(f, omega));
        s.lossDb.push_back(TargetLossDb(c, omega));
        // The edges carry the band's definition: they weigh as much as several inner points.
        s.weight.push_back(j < 0 || j == count ? kEdgeWeight : 1.0);
    }
    return s;
}

void Residuals(const Frame& f, const Samples& s, const std::vector<double>& logV, std::vector<double>& r)
{
    std::vector<double> v(logV.size());
    for (size_t j = 0; j < v.size(); ++j) v[j] = std::exp(logV[j]);
    for (size_t i = 0; i < s.w.size(); ++i) r[i] = s.weight[i] * (LossDb(f, v, s.w[i]) - s.lossDb[i]);
}

// One row of the Jacobian: d(loss dB)/d(log part) at w, from the chain products before and
// after each position (the loss is 10 log10 |den|^2 + const, den linear in the chain matrix).
// With lossless parts A and D of every chain matrix stay real and B and C imaginary.
void JacobianRow(const Frame& f, const std::vector<double>& v, double w, std::vector<Chain<double>>& before,
                 double* row)
{
    const size_t n = v.size();
    std::vector<double> x(n), dx(n);
    for (size_t j = 0; j < n; ++j) Immittance(f, v, j, w, x[j], dx[j]);
    Chain<double> m;
    for (size_t j = 0; j < n; ++j) {
        before[j] = m;
        CascadeStep(j % 2 == 0, 0.0, x[j], PartsOf(m));
    }
    const WaveSums<double> sums = WaveSumsOf(m, f.RS, f.RL);
    const double re = sums.denR, im = sums.denI;
    const double scale = 20.0 / std::log(10.0) / DenNorm(sums);
    Chain<double> after;
    for (size_t j = n; j-- > 0;) {
        const Chain<double>& p = before[j];
        double dRe, dIm;
        if (j % 2 == 0) {
            dRe = -(f.RL * p.ar * after.ci + f.RS * p.ci * after.dr);
            dIm = p.ar * after.dr - f.RS * f.RL * p.ci * after.ci;
        } else {
            dRe = -(f.RL * p.bi * after.ar + f.RS * p.dr * after.bi);
            dIm = f.RS * f.RL * p.dr * after.ar - p.bi * after.bi;
        }
        row[j] = scale * (re * dRe + im * dIm) * dx[j];
        CascadeStepFromLoad(j % 2 == 0, 0.0, x[j], PartsOf(after));
    }
}

// The Jacobian of the weighted residuals at logV, row by row.
void Jacobian(const Frame& f, const Samples& s, const std::vector<double>& logV, std::vector<double>& J)
{
    const size_t n = logV.size();
    std::vector<double> v(n);
    std::vector<Chain<double>> before(n);
    for (size_t j = 0; j < n; ++j) v[j] = std::exp(logV[j]);
    for (size_t i = 0; i < s.w.size(); ++i) {
        JacobianRow(f, v, s.w[i], before, &J[i * n]);
        for (size_t p = 0; p < n; ++p) J[i * n + p] *= s.weight[i];
    }
}

// Levenberg-Marquardt on the logarithms of the free parts (so that every part stays positive)
// against the family's loss at the samples. Deterministic: a fixed start, fixed damping steps
// and at most 30 Jacobians.
void Refine(const Frame& f, const Samples& s, std::vector<double>& v)
{
    const size_t n = v.size(), m = s.w.size();
    std::vector<double> x(n);
    for (size_t j = 0; j < n; ++j) x[j] = std::log(v[j]);
    LeastSquares problem;
    problem.residualCount = m;
    problem.residuals = [&](const std::vector<double>& logV, std::vector<double>& r) { Residuals(f, s, logV, r); };
    problem.jacobian = [&](const std::vector<double>& logV, const std::vector<double>&, std::vector<double>& J) {
        Jacobian(f, s, logV, J);
    };
    const Damping damping{1e-3, 4.0, 8.0, 1e-9, 1e8, 0.0};
    Stopping stopping;
    stopping.maxIterations = 30;
    stopping.relativeGain = 1e-12;
    stopping.costFloor = 1e-16 * static_cast<double>(m);
    x = LevenbergMarquardt(problem, x, damping, stopping).x;
    for (size_t j = 0; j < n; ++j) v[j] = std::exp(x[j]);
}

// The ladder's loss in the exact analysis of filtermath, independent of the refinement's cascade.
double LadderLossDb(const Ladder& ladder, double w)
{
    return -AnalyseAt(ladder, w / (2.0 * kPi<double>), PartQuality{}).S21dB;
}

// Where the loss crosses level near an edge (omega = side = +1 or -1), as a shift in prototype
// frequency: stepped outwards or inwards from the edge, then halved down.
double EdgeCrossing(const Frame& f, const Ladder& ladder, double side, double level)
{
    const auto above = [&](double omega) { return LadderLossDb(ladder, BandFrequency(f, omega)) > level; };
    const double direction = above(side) ? -side : side; // inwards while the edge is above the level
    const double stepSize = 0.005;
    double inside = side, outside = side;
    for (int k = 1; k <= 100; ++k) {
        const double omega = side + direction * stepSize * k;
        if (above(omega) != above(side)) {
            inside = side + direction * stepSize * (k - 1);
            outside = omega;
            break;
        }
        if (k == 100) return stepSize * k;
    }
    for (int k = 0; k < 20; ++k) {
        const double mid = (inside + outside) / 2.0;
        (above(mid) == above(inside) ? inside : outside) = mid;
    }
    return std::fabs((inside + outside) / 2.0 - side);
}

CoupledFit MeasureFit(const Frame& f, const Characteristic& c, const Ladder& ladder)
{
    CoupledFit fit;
    const int count = 10 * f.N;
    double worstTarget = 0.0, worstLoss = 0.0;
    for (int j = 0; j <= count; ++j) {
        const double omega = -1.0 + 2.0 * j / count;
        worstTarget = std::max(worstTarget, TargetLossDb(c, omega));
        worstLoss = std::max(worstLoss, LadderLossDb(ladder, BandFrequency(f, omega)));
    }
    fit.passbandExcessDb = std::max(0.0, worstLoss - worstTarget);
    for (const double side : {-1.0, 1.0}) {
        const double edgeLoss = TargetLossDb(c, side);
        fit.edgeLossErrorDb =
            std::max(fit.edgeLossErrorDb, std::fabs(LadderLossDb(ladder, BandFrequency(f, side)) - edgeLoss));
        // A shift in prototype frequency of d is d / 2 of the bandwidth.
        fit.edgeShift = std::max(fit.edgeShift, EdgeCrossing(f, ladder, side, edgeLoss) / 2.0);
    }
    fit.meetsGoal = fit.passbandExcessDb <= kCoupledLossGoalDb && fit.edgeLossErrorDb <= kCoupledLossGoalDb &&
                    fit.edgeShift <= kCoupledEdgeGoal;
    return fit;
}

Ladder BuildLadder(const Frame& f, const std::vector<double>& v)
{
    Ladder ladder;
    ladder.RS = f.RS;
    ladder.RL = f.RL;
    for (size_t j = 0; j < v.size(); ++j) {
        if (j % 2 == 0)
            ladder.branches.push_back(f.topC ? LadderBranch{BranchPlace::Series, BranchKind::Capacitor, 0.0, v[j]}
                                             : LadderBranch{BranchPlace::Series, BranchKind::Inductor, v[j], 0.0});
        else
            ladder.branches.push_back(f.topC ? LadderBranch{BranchPlace::Shunt, BranchKind::ParallelLC, f.Lr, v[j]}
                                             : LadderBranch{BranchPlace::Shunt, BranchKind::ParallelLC, v[j], f.Cr});
    }
    return ladder;
}

} // namespace

std::vector<Real> AllPoleG(const FamilyRequest& response, const Characteristic& c)
{
    const int N = response.N;
    std::vector<Real> g(static_cast<size_t>(N) + 2, 1.0L);
    if (response.family == Family::Butterworth || response.family == Family::Chebyshev) {
        std::vector<double> table(g.size());
        if (response.family == Family::Butterworth)
            ButterworthG(N, table);
        else
            ChebyshevG(N, table, static_cast<double>(response.rippleDb));
        std::copy(table.begin(), table.end(), g.begin());
        return g;
    }
    // The other all-pole families pass DC whole, so their ladder runs between equal resistances.
    DesignRequest lowPass;
    lowPass.response = response;
    lowPass.RS = lowPass.RL = 1.0;
    lowPass.passHz = 1.0 / (2.0 * kPi<double>);
    const std::vector<PrototypeBranch> prototype = Darlington(lowPass, c, 1.0L);
    for (int i = 1; i <= N; ++i) {
        const PrototypeBranch& p = prototype[static_cast<size_t>(i - 1)];
        g[static_cast<size_t>(i)] = p.kind == BranchKind::Inductor ? p.L : p.C;
    }
    return g;
}

Ladder CoupledResonatorLadder(const DesignRequest& r, const Characteristic& c, CoupledFit& fit)
{
    if (TraitsOf(r.response.family).finiteZeros)
        throw Failure(std::string("The top-C and top-L forms take the all-pole families; the ") +
                      FamilyName(r.response.family) + " response needs the ladder form for its transmission zeros.");
    if (r.response.N < 2) throw Failure("The top-C and top-L forms need at least two resonators.");
    if (!(r.resonatorL >= 0.0) || !std::isfinite(r.resonatorL))
        throw Failure("The resonator inductance must be a positive number.");
    const Frame f = MakeFrame(r);
    std::vector<double> v = NarrowBandValues(f, AllPoleG(r.response, c));
    Refine(f, PassbandSamples(f, c), v);
    for (const double value : v)
        if (!(value > 0.0) || !std::isfinite(value))
            throw Failure("The element values of this design fall outside the range of numbers; check the "
                          "frequencies and resistances.");
    Ladder ladder = BuildLadder(f, v);
    fit = MeasureFit(f, c, ladder);
    return ladder;
}

std::string CoupledFitText(const CoupledFit& fit, BandPassForm form)
{
    const auto shortText = [](double value) { return ShortNumberText(value, 6); };
    std::string text = std::string(KeyOf(kBandPassFormNames, form)) + " coupled resonators: passband loss within " +
                       shortText(fit.passbandExcessDb) + " dB of the response's, band-edge loss within " +
                       shortText(fit.edgeLossErrorDb) + " dB, band edges within " + shortText(100.0 * fit.edgeShift) +
                       " % of the bandwidth";
    if (!fit.meetsGoal)
        text +=
            " (short of " + shortText(kCoupledLossGoalDb) + " dB and " + shortText(100.0 * kCoupledEdgeGoal) + " %)";
    return text;
}

} // namespace synthesis

} // namespace corvane
