// SPDX-License-Identifier: Apache-2.0
#include "filtermath/UGain.h"

#include <cmath>
#include <complex>

#include "filtermath/Failure.h"
#include "filtermath/FpMath.h"

namespace corvane {

using namespace fpmath;

const char* const kPassbandZeroText = "Passband Frequency cannot be zero!";
const char* const kBandEdgeZeroText = "Fmin and Fmax cannot be zero.";

namespace {

// Attenuation of the term X = |H|^-2 - 1, told as a negative gain in dB.
double AttenuationDb(Real X)
{
    return StoreDouble(Mul(-10, Log10(Add(1, X))));
}

// Maximally flat: X = ratio^(2N).
Real ButterworthTerm(Real ratio, double Order)
{
    return Power(ratio, Mul(2, Order));
}

bool IsWhole(double Order)
{
    return Order == std::trunc(Order) && std::fabs(Order) <= 65536;
}

// cos(N arccos x) for a whole N as Re((x + i sqrt(1 - x^2))^N): the same value without the
// slow extended cosine, by repeated squaring on the unit circle.
Real CosOfMultipleAngle(double Order, Real x)
{
    std::complex<Real> base(x, Sqrt(Sub(1, Mul(x, x))));
    long n = static_cast<long>(std::fabs(Order));
    std::complex<Real> power(1, 0);
    while (n > 0) {
        if (n & 1) power *= base;
        n >>= 1;
        if (n > 0) base *= base;
    }
    return power.real();
}

// Equal ripple inside the band: X = eps^2 cos^2(N arccos x).
Real CosForm(double eps2, double Order, Real x)
{
    if (!IsWhole(Order)) {
        const Real c = Cos(Mul(Order, ArcCos(x)));
        return Mul(eps2, Mul(c, c));
    }
    // The arc cosine's domain still decides: outside -1..1 the form is undefined.
    if (!(x >= -1 && x <= 1)) RaiseInvalidOperation();
    const Real c = CosOfMultipleAngle(Order, x);
    return Mul(eps2, Mul(c, c));
}

// Monotonic outside the band: X = eps^2 cosh^2(N arccosh x). With t = x + sqrt(x^2 - 1),
// arccosh x = ln t and cosh(N ln t) = (t^N + t^-N) / 2, which whole powers give quickly.
Real CoshForm(double eps2, double Order, Real x)
{
    const Real t = Add(x, Sqrt(Sub(Mul(x, x), 1)));
    // ln t is undefined for x <= -1, where t is negative.
    if (t < 0) RaiseInvalidOperation();
    if (t == 0) RaiseDivisionByZero();
    const Real c = Div(Add(Power(t, Order), Power(t, -Order)), 2);
    return Mul(eps2, Mul(c, c));
}

double RippleFactor(double Ripple)
{
    return StoreDouble(Sub(Power(10, Div(Ripple, 10)), 1));
}

// Writes Att in index order, so entries before a faulting frequency keep their new values.
template <typename TermRule>
void FillAttenuation(const Sweep& Freq, Sweep& Att, TermRule term)
{
    for (int i = 0; i < SweepPoints; ++i) Att[i] = AttenuationDb(term(Real(Freq[i])));
}

bool RefuseZeroPassband(double PassF, MessagePort& messages)
{
    if (PassF != 0) return false;
    messages.ShowMessage(kPassbandZeroText);
    return true;
}

} // namespace

bool ButterworthLowPassResponse(const Sweep& Freq, Sweep& Att, double Order, double PassF, MessagePort& messages)
{
    if (RefuseZeroPassband(PassF, messages)) return false;
    FillAttenuation(Freq, Att, [&](Real f) { return ButterworthTerm(Div(f, PassF), Order); });
    return true;
}

bool ButterworthHighPassResponse(const Sweep& Freq, Sweep& Att, double Order, double PassF, MessagePort& messages)
{
    if (RefuseZeroPassband(PassF, messages)) return false;
    FillAttenuation(Freq, Att, [&](Real f) { return ButterworthTerm(Div(PassF, f), Order); });
    return true;
}

// Two-sided model split at the centre: a high-pass at Fmin below it, a low-pass at Fmax above.
bool ButterworthBandPassResponse(const Sweep& Freq, Sweep& Att, double Order, double F0, double Fmin, double Fmax,
                                 MessagePort& messages)
{
    if (Fmin == 0 || Fmax == 0) {
        messages.ShowMessage(kBandEdgeZeroText);
        return false;
    }
    FillAttenuation(Freq, Att, [&](Real f) {
        const Real ratio = f <= F0 ? Div(Fmin, f) : Div(f, Fmax);
        return ButterworthTerm(ratio, Order);
    });
    return true;
}

bool ChebyshevLowPassResponse(const Sweep& Freq, Sweep& Att, double Order, double PassF, double Ripple,
                              MessagePort& messages)
{
    if (RefuseZeroPassband(PassF, messages)) return false;
    const double eps2 = RippleFactor(Ripple);
    FillAttenuation(Freq, Att, [&](Real f) {
        const Real x = Div(f, PassF);
        return f <= PassF ? CosForm(eps2, Order, x) : CoshForm(eps2, Order, x);
    });
    return true;
}

bool ChebyshevHighPassResponse(const Sweep& Freq, Sweep& Att, double Order, double PassF, double Ripple,
                               MessagePort& messages)
{
    if (RefuseZeroPassband(PassF, messages)) return false;
    const double eps2 = RippleFactor(Ripple);
    FillAttenuation(Freq, Att, [&](Real f) {
        const Real x = Div(PassF, f);
        return f <= PassF ? CoshForm(eps2, Order, x) : CosForm(eps2, Order, x);
    });
    return true;
}

// A band edge at or below zero leaves no band to model, so it is refused like a zero edge.
bool ChebyshevBandPassResponse(const Sweep& Freq, Sweep& Att, double Order, double F0, double Ripple, double Fmin,
                               double Fmax, MessagePort& messages)
{
    if (!(Fmin > 0) || !(Fmax > 0)) {
        messages.ShowMessage(kBandEdgeZeroText);
        return false;
    }
    const double eps2 = RippleFactor(Ripple);
    FillAttenuation(Freq, Att, [&](Real f) {
        if (f <= F0) {
            const Real x = Div(Fmin, f);
            return f <= Fmin ? CoshForm(eps2, Order, x) : CosForm(eps2, Order, x);
        }
        const Real x = Div(f, Fmax);
        return f <= Fmax ? CosForm(eps2, Order, x) : CoshForm(eps2, Order, x);
    });
    return true;
}

} // namespace corvane
