// SPDX-License-Identifier: Apache-2.0
#include "analysis/TimeResponse.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <stdexcept>

#include "analysis/Fft.h"
#include "analysis/NetworkResponse.h"
#include "filtermath/Failure.h"
#include "filtermath/Minimise.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

using Complex = std::complex<double>;

// Beyond the frequency where S21 stays this close to its limit (relative to its peak) the spectrum is
// cut; what is left there shifts the step by far less than the figures' precision.
constexpr double kTailTolerance = 1e-5;
// The impulse response late in the period, relative to its peak: below this, what
// wraps around from the next period is negligible.
constexpr double kDecayTolerance = 1e-6;
// The spectrum is scanned from the band's top to 10^4 times it.
constexpr double kScanRatio = 1.25;
constexpr int kScanSteps = 42;
constexpr double kNegligible = 1e-12;
constexpr size_t kMaxSpectrumPoints = size_t(1) << 18;
constexpr int kMaxPeriodDoublings = 12;
// The time axis shown ends a little after both responses have come within these of their ends.
constexpr double kShownImpulseLevel = 2e-3;
constexpr double kShownStepLevel = 1e-3;
constexpr double kShownMargin = 1.25;
// A step whose final level is below this share of its peak settles to zero: no figures.
constexpr double kLevelShare = 1e-3;

// S21 as a complex number at each frequency in hertz.
std::vector<Complex> TransferAt(const LadderModel& ladder, const PartQuality& quality, const std::vector<double>& hz)
{
    const NetworkCurves curves = AnalyseCurves(ladder, hz, 1.0, quality);
    std::vector<Complex> h(hz.size());
    for (size_t i = 0; i < hz.size(); ++i)
        h[i] = std::polar(std::pow(10.0, curves.NetS21[i] / 20.0), curves.NetS21Deg[i] * kPi<double> / 180.0);
    return h;
}

// How S21 ends far above the band: D + A / (j 2 pi f) + O(1/f^2). The A term, a jump of A in the
// impulse response at 0, falls too slowly to cut, so a one-pole term A / (j 2 pi f + 2 pi b) with
// the same ending is taken off the spectrum with D, and both are added back in closed form:
// a pulse D and A e^(-2 pi b t) in the impulse response.
struct Tail {
    double limit = 0.0; // D, S21 at infinite frequency
    double jump = 0.0; // A
    double poleHz = 1.0; // b
    double cutHz = 0.0; // from where what is left stays within the tolerance

    Complex Closed(double f) const { return limit + jump / Complex(2.0 * kPi<double> * poleHz, 2.0 * kPi<double> * f); }
};

Tail ScanTail(const LadderModel& ladder, const PartQuality& quality, double topHz, double widthHz)
{
    std::vector<double> hz(kScanSteps + 1);
    for (int i = 0; i <= kScanSteps; ++i) hz[static_cast<size_t>(i)] = topHz * std::pow(kScanRatio, i);
    const std::vector<Complex> h = TransferAt(ladder, quality, hz);
    Tail tail;
    double peak = 0.0;
    for (const Complex& x : h) peak = std::max(peak, std::abs(x));
    // A limit within rounding of zero is zero: no pulse of weight 1e-26 at t = 0.
    tail.limit = std::fabs(h.back().real()) > kNegligible * peak ? h.back().real() : 0.0;
    tail.jump = -2.0 * kPi<double> * hz.back() * h.back().imag();
    tail.poleHz = widthHz;
    size_t from = h.size() - 1;
    while (from > 0 && std::abs(h[from - 1] - tail.Closed(hz[from - 1])) < kTailTolerance * peak) --from;
    tail.cutHz = hz[std::min(from + 1, h.size() - 1)];
    return tail;
}

// What is left of S21 at k df, k = 0 .. count-1, and its integral's coefficients G = H / (j 2 pi f).
// The point at 0 is taken a hair above it, where a series capacitor would divide by zero.
struct Spectrum {
    double df = 0.0;
    Tail tail;
    std::vector<Complex> H;
    std::vector<Complex> G;
};

Spectrum SampleSpectrum(const LadderModel& ladder, const PartQuality& quality, const Tail& tail, double df)
{
    // A spectrum too long to sample is cut lower: a slowly falling S21 over a long period.
    const double cutHz = std::min(tail.cutHz, 0.5 * df * static_cast<double>(kMaxSpectrumPoints - 1));
    const size_t count = static_cast<size_t>(std::ceil(2.0 * cutHz / df)) + 1;
    std::vector<double> hz(count);
    hz[0] = df * 1e-9;
    for (size_t k = 1; k < count; ++k) hz[k] = df * static_cast<double>(k);
    Spectrum s{df, tail, TransferAt(ladder, quality, hz), std::vector<Complex>(count)};
    // A raised-cosine taper from the cut to twice it, where what is left is already below the
    // tolerance: a hard edge would ring through the whole period (and fail the test of decay).
    for (size_t k = 0; k < count; ++k) {
        const double f = k == 0 ? 0.0 : hz[k];
        const double taper = f <= cutHz ? 1.0 : 0.5 * (1.0 + std::cos(kPi<double> * std::min(1.0, f / cutHz - 1.0)));
        s.H[k] = (s.H[k] - tail.Closed(f)) * taper;
        if (k > 0) s.G[k] = s.H[k] / Complex(0.0, 2.0 * kPi<double> * f);
    }
    s.H[0] = s.H[0].real();
    return s;
}

// S21 at DC, where the step response ends.
double FinalValue(const Spectrum& s)
{
    return s.H[0].real() + s.tail.Closed(0.0).real();
}

// The closed-form part of the responses at t >= 0.
double ClosedImpulse(const Tail& tail, double t)
{
    return tail.jump * std::exp(-2.0 * kPi<double> * tail.poleHz * t);
}

double ClosedStep(const Tail& tail, double t)
{
    return tail.limit +
           tail.jump / (2.0 * kPi<double> * tail.poleHz) * -std::expm1(-2.0 * kPi<double> * tail.poleHz * t);
}

// The impulse and step responses at n / (size df), n = 0 .. size-1: the Fourier series of the
// periodic response and its exact integral from 0, each through one transform.
struct Waves {
    std::vector<double> impulse;
    std::vector<double> step;
};

Waves Synthesise(const Spectrum& s, size_t size)
{
    // Both responses are real, so each is the transform of a Hermitian spectrum; one transform of
    // the impulse's spectrum plus j times the step's gives the one as its real part and the other
    // as its imaginary part.
    std::vector<Complex> z(size);
    Complex gSum = 0.0;
    const Complex j(0.0, 1.0);
    z[0] = s.H[0].real();
    for (size_t k = 1; k < s.H.size(); ++k) {
        z[k] += s.H[k] + j * s.G[k];
        z[size - k] += std::conj(s.H[k]) + j * std::conj(s.G[k]);
        gSum += s.G[k];
    }
    InverseFft(z);
    const double h0 = s.H[0].real();
    const double dt = 1.0 / (s.df * static_cast<double>(size));
    Waves w{std::vector<double>(size), std::vector<double>(size)};
    for (size_t n = 0; n < size; ++n) {
        const double t = dt * static_cast<double>(n);
        w.impulse[n] = s.df * z[n].real() + ClosedImpulse(s.tail, t);
        w.step[n] = s.df * h0 * t + s.df * z[n].imag() - 2.0 * s.df * gSum.real() + ClosedStep(s.tail, t);
    }
    return w;
}

// The step response at any time from the same series.
double StepAt(const Spectrum& s, double t)
{
    const Complex turn = std::polar(1.0, 2.0 * kPi<double> * s.df * t);
    Complex phasor = turn;
    Complex sum = 0.0;
    for (size_t k = 1; k < s.G.size(); ++k) {
        sum += s.G[k] * (phasor - 1.0);
        phasor *= turn;
    }
    return s.df * s.H[0].real() * t + 2.0 * s.df * sum.real() + ClosedStep(s.tail, t);
}

double PeakMagnitude(const std::vector<double>& x, size_t from = 0, size_t to = SIZE_MAX)
{
    double peak = 0.0;
    for (size_t i = from; i < std::min(to, x.size()); ++i) peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

// The width of the band, which sets how fast the response can die away.
double BandWidthHz(const DesignBand& band)
{
    switch (band.shape) {
    case BandShape::LowPass: return band.highHz;
    case BandShape::HighPass: return band.lowHz;
    default: return band.highHz - band.lowHz;
    }
}

// Doubles the period from a guess until the impulse response has died away in its second half. The
// last eighth is left out: there lie the moments just before the impulse, where the cut spectrum
// spreads a trace of it.
double PeriodNeeded(const LadderModel& ladder, const PartQuality& quality, const Tail& tail, double widthHz)
{
    double period = 16.0 / widthHz;
    for (int i = 0; i < kMaxPeriodDoublings; ++i, period *= 2.0) {
        const Spectrum s = SampleSpectrum(ladder, quality, tail, 1.0 / period);
        const size_t size = PowerOfTwoAtLeast(2 * s.H.size() + 1);
        const Waves w = Synthesise(s, size);
        if (PeakMagnitude(w.impulse, size / 2, size - size / 8) <= kDecayTolerance * PeakMagnitude(w.impulse))
            return period;
    }
    throw Failure("The time response does not die away: the ladder has a loss-free resonance.");
}

// The last time at which a sampled response still lay further than level from its end value.
double LastAbove(const std::vector<double>& x, size_t count, double end, double level, double dt)
{
    for (size_t i = count; i-- > 0;)
        if (std::fabs(x[i] - end) > level) return static_cast<double>(i + 1) * dt;
    return dt;
}

// The time span shown: until both responses have nearly come to their ends.
double ShownSpan(const Spectrum& s, double period)
{
    const size_t size = PowerOfTwoAtLeast(2 * s.H.size() + 1);
    const Waves w = Synthesise(s, size);
    const double dt = period / static_cast<double>(size);
    const double finalValue = FinalValue(s);
    const size_t count = size - size / 8; // before the trace of the next impulse
    const double impulseEnd = LastAbove(w.impulse, count, 0.0, kShownImpulseLevel * PeakMagnitude(w.impulse), dt);
    const double stepEnd = LastAbove(w.step, count, finalValue, kShownStepLevel * PeakMagnitude(w.step), dt);
    return std::min(period, kShownMargin * std::max(impulseEnd, stepEnd));
}

// x in [a, b] where f changes sign, f(a) < 0 <= f(b) or the reverse.
template <class F>
double Bisect(F f, double a, double b)
{
    const bool rising = f(a) < 0.0;
    for (int i = 0; i < 32; ++i) {
        const double m = 0.5 * (a + b);
        if ((f(m) < 0.0) == rising)
            a = m;
        else
            b = m;
    }
    return 0.5 * (a + b);
}

double FirstCrossing(const Spectrum& s, const std::vector<double>& y, double share, double finalValue, double dt)
{
    for (size_t i = 1; i < y.size(); ++i)
        if (y[i] >= share)
            return Bisect([&](double t) { return StepAt(s, t) / finalValue - share; }, static_cast<double>(i - 1) * dt,
                          static_cast<double>(i) * dt);
    return std::nan("");
}

StepFigures Figures(const Spectrum& s, const std::vector<double>& step, double dt)
{
    StepFigures f;
    f.finalValue = FinalValue(s);
    std::vector<double> y(step.size());
    for (size_t i = 0; i < y.size(); ++i) y[i] = step[i] / f.finalValue;
    const size_t top = static_cast<size_t>(std::max_element(y.begin(), y.end()) - y.begin());
    if (y[top] > 1.0) {
        const double a = static_cast<double>(top == 0 ? 0 : top - 1) * dt;
        const double b = static_cast<double>(std::min(top + 1, y.size() - 1)) * dt;
        // The peak between the samples about the largest one, its time to 1e-10 of a step.
        const double peak =
            -GoldenSectionMinimum([&](double t) { return -StepAt(s, t) / f.finalValue; }, a, b, 1e-10 * dt).value;
        f.overshootPercent = 100.0 * (std::max(peak, y[top]) - 1.0);
    }
    f.riseSeconds = FirstCrossing(s, y, 0.9, f.finalValue, dt) - FirstCrossing(s, y, 0.1, f.finalValue, dt);
    size_t last = y.size();
    while (last > 0 && std::fabs(y[last - 1] - 1.0) <= 0.01) --last;
    if (last == 0) return f;
    if (last == y.size()) {
        f.settlingSeconds = std::nan("");
        return f;
    }
    f.settlingSeconds = Bisect([&](double t) { return 0.01 - std::fabs(StepAt(s, t) / f.finalValue - 1.0); },
                               static_cast<double>(last - 1) * dt, static_cast<double>(last) * dt);
    return f;
}

} // namespace

TimeResponse AnalyseTime(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band, int points)
{
    if (points < kMinTimePoints || points > kMaxTimePoints) throw std::invalid_argument("time points out of range");
    const double widthHz = BandWidthHz(band);
    const double topHz = std::max(band.lowHz, band.highHz);
    if (!(widthHz > 0.0) || !std::isfinite(topHz)) RaiseInvalidOperation();
    const Tail tail = ScanTail(ladder, quality, topHz, widthHz);
    const double needed = PeriodNeeded(ladder, quality, tail, widthHz);
    const double span = ShownSpan(SampleSpectrum(ladder, quality, tail, 1.0 / needed), needed);
    const double dt = span / (points - 1);
    // The transform's step divides the one shown, so that every point shown is a sample of it and
    // the spectrum up to the cut lies below the transform's Nyquist frequency.
    const size_t every = PowerOfTwoAtLeast(static_cast<size_t>(std::ceil(4.0 * tail.cutHz * dt + 1e-9)));
    const size_t size = PowerOfTwoAtLeast(static_cast<size_t>(std::ceil(needed * every / dt)) + 1);
    const Spectrum s = SampleSpectrum(ladder, quality, tail, every / (dt * static_cast<double>(size)));
    const Waves w = Synthesise(s, size);
    TimeResponse r;
    r.impulseAtZero = tail.limit;
    for (size_t i = 0; i < static_cast<size_t>(points); ++i) {
        r.time.push_back(dt * static_cast<double>(i));
        r.step.push_back(w.step[i * every]);
        r.impulse.push_back(w.impulse[i * every]);
    }
    const double finalValue = FinalValue(s);
    if (std::fabs(finalValue) > kLevelShare * PeakMagnitude(r.step)) r.figures = Figures(s, r.step, dt);
    return r;
}

} // namespace corvane
