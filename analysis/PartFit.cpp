// SPDX-License-Identifier: Apache-2.0
#include "analysis/PartFit.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "analysis/NetworkResponse.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"
#include "filtermath/Minimise.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

using Complex = std::complex<double>;

constexpr double kLnPerDb = 0.11512925464970229; // ln(10) / 20
constexpr double kReflectionFloorDb = -40.0;
// The least spread the residual is taken to have, in ln S (about 0.01 dB): data without noise
// still leave a part they cannot see uncertain.
constexpr double kResolution = 1e-3;
constexpr double kStep = 1e-6; // of ln(value), for the Jacobian's differences
// Where a fitted common stray starts, as a share of the smallest capacitor (or in farads without one).
constexpr double kStrayStartShare = 1e-3;
constexpr double kStrayStartFarads = 1e-14;

double Wrap(double radians)
{
    return radians - 2.0 * kPi<double> * std::round(radians / (2.0 * kPi<double>));
}

// The measured points in the band and the ladder whose values the parameters scale.
struct Problem {
    std::vector<double> hz;
    std::vector<Complex> logS21, logS11; // ln of the measured values
    std::vector<bool> useS11;
    LadderModel ladder;
    PartQuality quality;
    bool fitQ = false;
    bool fitStray = false;
    size_t parts = 0;
    const std::atomic<bool>* cancel = nullptr;
    std::atomic<long long>* iterationsDone = nullptr;
};

// Where the inductor Q and the stray sit among the parameters, after the parts.
size_t QIndex(const Problem& p)
{
    return p.parts;
}

size_t StrayIndex(const Problem& p)
{
    return p.parts + (p.fitQ ? 1 : 0);
}

Complex LogOf(Complex s)
{
    return {std::log(std::max(std::abs(s), 1e-300)), std::arg(s)};
}

LadderModel Scaled(const Problem& p, const std::vector<double>& x)
{
    LadderModel ladder = p.ladder;
    size_t k = 0;
    for (ModelBranch& branch : ladder.branches)
        for (ModelPart& part : branch.parts) part.value *= std::exp(x[k++]);
    if (p.fitStray) {
        const double stray = std::exp(x[StrayIndex(p)]);
        ladder.strays.nodeC += stray;
        for (auto& node : ladder.strays.nodeCAt) node.second += stray;
    }
    return ladder;
}

std::vector<double> Residuals(const Problem& p, const std::vector<double>& x)
{
    PartQuality quality = p.quality;
    if (p.fitQ) quality.QL = std::exp(x[QIndex(p)]);
    const NetworkCurves c = AnalyseCurves(Scaled(p, x), p.hz, 1.0, quality);
    std::vector<double> r;
    r.reserve(4 * p.hz.size());
    for (size_t i = 0; i < p.hz.size(); ++i) {
        r.push_back(c.NetS21[i] * kLnPerDb - p.logS21[i].real());
        r.push_back(Wrap(c.NetS21Deg[i] * kPi<double> / 180.0 - p.logS21[i].imag()));
        if (!p.useS11[i]) continue;
        r.push_back(c.NetS11[i] * kLnPerDb - p.logS11[i].real());
        r.push_back(Wrap(c.NetS11Deg[i] * kPi<double> / 180.0 - p.logS11[i].imag()));
    }
    return r;
}

// Forward differences, one analysis per parameter, into J (row-major, one row per residual).
void Jacobian(const Problem& p, const std::vector<double>& x, const std::vector<double>& r, std::vector<double>& J)
{
    const size_t n = x.size();
    for (size_t j = 0; j < n; ++j) {
        std::vector<double> moved = x;
        moved[j] += kStep;
        const std::vector<double> rj = Residuals(p, moved);
        if (rj.size() != r.size()) RaiseInvalidOperation();
        for (size_t i = 0; i < r.size(); ++i) J[i * n + j] = (rj[i] - r[i]) / kStep;
    }
}

// The diagonal of the inverse, column by column; a ridge far below the data keeps a part they
// cannot see from making the matrix singular (its variance then comes out huge, as it should).
std::vector<double> InverseDiagonal(std::vector<double> a, size_t n)
{
    double largest = 0.0;
    for (size_t i = 0; i < n; ++i) largest = std::max(largest, a[i * n + i]);
    for (size_t i = 0; i < n; ++i) a[i * n + i] += 1e-14 * largest + 1e-300;
    std::vector<double> diagonal(n, HUGE_VAL);
    for (size_t j = 0; j < n; ++j) {
        std::vector<double> e(n, 0.0);
        e[j] = 1.0;
        if (SolveSymmetricPositive(a, e)) diagonal[j] = e[j];
    }
    return diagonal;
}

// Levenberg-Marquardt with Marquardt's scaling of the damping by the normal matrix's diagonal,
// on the logarithms of the parameters.
LeastSquaresFit Minimise(const Problem& p, const std::vector<double>& x)
{
    LeastSquares problem;
    problem.residualCount = Residuals(p, x).size();
    problem.residuals = [&p](const std::vector<double>& at, std::vector<double>& r) {
        std::vector<double> values;
        try {
            values = Residuals(p, at);
        } catch (const ArithmeticError&) {
            // A long step for a part the data barely see can take a value past the range the
            // analysis holds: such a trial costs more than any, and a shorter step follows.
            values.assign(r.size(), 1e100);
        }
        if (values.size() != r.size()) RaiseInvalidOperation();
        r.swap(values);
    };
    problem.jacobian = [&p](const std::vector<double>& at, const std::vector<double>& r, std::vector<double>& J) {
        Jacobian(p, at, r, J);
    };
    problem.beforeIteration = [&p](int done) {
        if (p.cancel && p.cancel->load()) throw FitCancelled();
        if (p.iterationsDone) p.iterationsDone->store(done);
    };
    Stopping stopping;
    stopping.maxIterations = kMaxFitIterations;
    stopping.relativeGain = 1e-14;
    stopping.step = 1e-10;
    return LevenbergMarquardt(problem, x, Damping{}, stopping);
}

double Lower(const std::vector<MeasuredPoint>& m)
{
    return m.front().hz;
}

double Upper(const std::vector<MeasuredPoint>& m)
{
    return m.back().hz;
}

// The file must reach over the whole passband: the band's edges, and for a low-pass from a
// tenth of its edge.
void CheckCoverage(const std::vector<MeasuredPoint>& m, const DesignBand& band)
{
    double low = band.lowHz, high = band.highHz;
    if (band.shape == BandShape::LowPass) low = band.highHz / 10.0;
    if (band.shape == BandShape::HighPass) high = band.lowHz * 2.0;
    if (Lower(m) <= low * (1.0 + 1e-9) && Upper(m) >= high * (1.0 - 1e-9)) return;
    throw Failure("The measured data reach from " + EngineeringText(Lower(m), "Hz") + " to " +
                  EngineeringText(Upper(m), "Hz") + "; the fit needs the passband, " + EngineeringText(low, "Hz") +
                  " to " + EngineeringText(high, "Hz") + ".");
}

Complex Polar(double db, double deg)
{
    return std::polar(std::pow(10.0, db / 20.0), deg * kPi<double> / 180.0);
}

// Reversed ports show as a measured S11 that follows the design's S22 and not its S11 (their
// magnitudes agree in a lossless ladder, their phases do not); a ladder whose two reflections
// agree cannot tell, and needs not.
void CheckPorts(const Problem& p)
{
    const NetworkCurves c = AnalyseCurves(p.ladder, p.hz, 1.0, p.quality);
    double straight = 0.0, swapped = 0.0, apart = 0.0;
    for (size_t i = 0; i < p.hz.size(); ++i) {
        const Complex measured = std::exp(p.logS11[i]);
        const Complex s11 = Polar(c.NetS11[i], c.NetS11Deg[i]);
        const Complex s22 = Polar(c.NetS22[i], c.NetS22Deg[i]);
        straight += std::norm(measured - s11);
        swapped += std::norm(measured - s22);
        apart += std::norm(s11 - s22);
    }
    if (apart / static_cast<double>(p.hz.size()) > 0.01 && swapped < 0.25 * straight)
        throw Failure("The ports of the measured data look swapped: its S11 follows the design's S22.");
}

Problem MakeProblem(const std::vector<MeasuredPoint>& m, const LadderModel& built, const PartQuality& quality,
                    const FitRequest& request)
{
    Problem p;
    p.ladder = built;
    p.quality = quality;
    p.fitQ = request.fitInductorQ;
    p.fitStray = request.fitStray;
    p.cancel = request.cancel;
    p.iterationsDone = request.iterationsDone;
    for (const ModelBranch& branch : built.branches) p.parts += branch.parts.size();
    const bool whole = request.lowHz == 0.0 && request.highHz == 0.0;
    for (const MeasuredPoint& point : m) {
        if (!whole && (point.hz < request.lowHz || point.hz > request.highHz)) continue;
        if (!(point.hz > 0.0)) continue;
        p.hz.push_back(point.hz);
        p.logS21.push_back(LogOf(point.S21));
        p.logS11.push_back(LogOf(point.S11));
        p.useS11.push_back(20.0 * std::log10(std::abs(point.S11)) > kReflectionFloorDb);
    }
    return p;
}

double StrayStart(const LadderModel& ladder)
{
    double smallest = HUGE_VAL;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts)
            if (part.kind == PartKind::Capacitor) smallest = std::min(smallest, part.value);
    return std::isfinite(smallest) ? kStrayStartShare * smallest : kStrayStartFarads;
}

FittedPart Fitted(const ModelPart& part, double x, double variance, const FitRequest& request)
{
    FittedPart f;
    f.designator = part.designator;
    f.designed = part.value;
    f.fitted = part.value * std::exp(x);
    f.changePercent = 100.0 * std::expm1(x);
    f.stdErrorPercent = 100.0 * std::sqrt(variance);
    f.confidence = f.stdErrorPercent < 0.5   ? FitConfidence::High
                   : f.stdErrorPercent < 5.0 ? FitConfidence::Medium
                                             : FitConfidence::Low;
    const double tolerance = part.kind == PartKind::Inductor ? request.inductorPercent : request.capacitorPercent;
    f.outsideTolerance = std::fabs(f.changePercent) > tolerance;
    return f;
}

} // namespace

const char* ConfidenceName(FitConfidence confidence)
{
    switch (confidence) {
    case FitConfidence::High: return "high";
    case FitConfidence::Medium: return "medium";
    case FitConfidence::Low: break;
    }
    return "low";
}

FitResult FitParts(const std::vector<MeasuredPoint>& measured, const LadderModel& built, const PartQuality& quality,
                   const DesignBand& band, const FitRequest& request)
{
    if (measured.empty()) throw Failure("The measured data hold no points.");
    CheckCoverage(measured, band);
    const Problem p = MakeProblem(measured, built, quality, request);
    if (p.hz.size() < 2 * (p.parts + 1)) throw Failure("Too few measured points in the fit band for the parts.");
    CheckPorts(p);
    std::vector<double> start(p.parts, 0.0);
    if (p.fitQ) start.push_back(std::log(quality.QL > 0.0 ? quality.QL : 100.0));
    if (p.fitStray) start.push_back(std::log(StrayStart(built)));
    const LeastSquaresFit s = Minimise(p, start);
    const size_t n = start.size();
    const double dof = std::max(1.0, static_cast<double>(s.r.size()) - static_cast<double>(n));
    const double spread = std::max(s.cost / dof, kResolution * kResolution);
    std::vector<double> J(s.r.size() * n);
    Jacobian(p, s.x, s.r, J);
    const std::vector<double> inverse = InverseDiagonal(NormalMatrix(J, s.r.size(), n), n);
    FitResult result;
    size_t k = 0;
    for (const ModelBranch& branch : built.branches)
        for (const ModelPart& part : branch.parts) {
            result.parts.push_back(Fitted(part, s.x[k], spread * inverse[k], request));
            ++k;
        }
    if (p.fitQ) result.inductorQ = std::exp(s.x[QIndex(p)]);
    if (p.fitStray) {
        const size_t k = StrayIndex(p);
        result.strayFarads = std::exp(s.x[k]);
        result.strayStdErrorFarads = *result.strayFarads * std::sqrt(spread * inverse[k]);
    }
    // The remaining magnitude differences alone, in dB, as an engineer reads them.
    double sum = 0.0;
    size_t count = 0;
    for (size_t i = 0; i < s.r.size(); i += 2, ++count) sum += std::pow(s.r[i] / kLnPerDb, 2);
    result.residualDb = std::sqrt(sum / std::max<size_t>(count, 1));
    result.iterations = s.iterations;
    result.points = static_cast<int>(p.hz.size());
    return result;
}

} // namespace corvane
