// SPDX-License-Identifier: Apache-2.0
#include "synthesis/Synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "filtermath/Failure.h"
#include "filtermath/UG.h"
#include "synthesis/CheckedAdvice.h"
#include "synthesis/ChosenZeros.h"
#include "synthesis/CoupledResonator.h"
#include "synthesis/Darlington.h"
#include "synthesis/FrequencyTransform.h"

namespace corvane {

namespace synthesis {

namespace {

[[noreturn]] void Refuse(const std::string& text)
{
    throw Failure(text);
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

void CheckPositive(double value, const char* what)
{
    if (!(value > 0.0) || !std::isfinite(value)) Refuse(std::string(what) + " must be a positive number.");
}

void CheckRequest(const DesignRequest& r)
{
    CheckPositive(r.RS, "The source resistance");
    CheckPositive(r.RL, "The load resistance");
    if (r.type == FilterType::LowPass || r.type == FilterType::HighPass) {
        CheckPositive(r.passHz, "The passband frequency");
        return;
    }
    CheckPositive(r.lowHz, "The lower band edge");
    CheckPositive(r.highHz, "The upper band edge");
    if (!(r.lowHz < r.highHz)) Refuse("The lower band edge must lie below the upper band edge.");
}

// The classic tables for Butterworth and Chebyshev between equal resistances.
bool ClassicPrototype(const DesignRequest& r, std::vector<PrototypeBranch>& out)
{
    const Family family = r.response.family;
    const int N = r.response.N;
    if (r.RS != r.RL || !r.response.zeros.empty()) return false;
    if (family != Family::Butterworth && !(family == Family::Chebyshev && N % 2 != 0)) return false;
    std::vector<double> g(static_cast<size_t>(N) + 2);
    if (family == Family::Butterworth)
        ButterworthG(N, g);
    else
        ChebyshevG(N, g, static_cast<double>(r.response.rippleDb));
    for (int i = 1; i <= N; ++i) {
        const BranchPlace place = PlaceOfPosition(i, r.form);
        const Real value = g[static_cast<size_t>(i)];
        if (place == BranchPlace::Series)
            out.push_back({place, BranchKind::Inductor, value, 0.0L});
        else
            out.push_back({place, BranchKind::Capacitor, 0.0L, value});
    }
    return true;
}

// value rounded outward to four digits, so that the bound printed still holds.
std::string Bound(Real value, bool up)
{
    const Real step = std::pow(10.0L, std::floor(std::log10(value)) - 3.0L);
    return Number(static_cast<double>((up ? std::ceil(value / step) : std::floor(value / step)) * step));
}

// For a response with its full ripple as loss at DC: an even-order Chebyshev, or an elliptic
// asked to keep that loss.
std::string LossAtDcAdvice(const DesignRequest& r)
{
    const Real eps = std::sqrt(std::expm1(r.response.rippleDb * std::log(10.0L) / 10.0L));
    const Real ratio = std::pow(eps + std::sqrt(1.0L + eps * eps), 2);
    const bool elliptic = r.response.family == Family::Elliptic;
    return std::string("An even-order ") + (elliptic ? "Elliptic ladder that keeps" : "Chebyshev ladder has") +
           " its full ripple as loss at DC, so it cannot run between these resistances. With RS = " + Number(r.RS) +
           " ohms it needs RL of at least " + Bound(r.RS * ratio, true) + " ohms in the T form or at most " +
           Bound(r.RS / ratio, false) + " ohms in the Pi form; " +
           (elliptic ? "the modified form works between equal resistances."
                     : "an odd order works between any resistances.");
}

// The scale of the prototype's |S21|^2: a lowpass ladder is a through connection at DC, so
// |S21(0)|^2 is the mismatch 4 RS RL / (RS + RL)^2, and the response must not ask for more.
Real TerminationGain(const DesignRequest& r, const Characteristic& c)
{
    const Real ratio = static_cast<Real>(r.RL) / static_cast<Real>(r.RS);
    const Real mismatch = 4.0L * ratio / ((1.0L + ratio) * (1.0L + ratio));
    const Real gain = mismatch / PowerGain(c, 0.0L);
    if (gain > 1.0L + 1e-9L) {
        if (r.response.family == Family::Chebyshev || r.response.lossAtDc) Refuse(LossAtDcAdvice(r));
        Refuse(std::string("The ") + FamilyName(r.response.family) +
               " response has loss at DC that these resistances cannot give.");
    }
    return gain > 1.0L - 1e-9L ? 1.0L : gain;
}

Design SynthesiseAtOrder(const DesignRequest& request)
{
    Design design;
    design.request = request;
    design.response = Approximate(request.response);
    if (request.bandForm != BandPassForm::Ladder) {
        if (request.type != FilterType::BandPass) Refuse("The top-C and top-L forms are band-pass forms.");
        if (!request.zerosHz.empty())
            Refuse("The top-C and top-L forms have no transmission zeros of their own; chosen zeros need the ladder "
                   "form.");
        // The couplings match the terminations, so no DC mismatch limits the gain.
        design.ladder = ModelOfLadder(CoupledResonatorLadder(request, design.response, design.fit));
        return design;
    }
    design.gain = TerminationGain(request, design.response);
    if (!ClassicPrototype(request, design.prototype))
        design.prototype = Darlington(request, design.response, design.gain);
    design.ladder = ModelOfLadder(Denormalise(request, design.prototype));
    return design;
}

// The refusal of a design with chosen zeros, with the lowest order up to 15 that realises them.
// The orders tried give no advice of their own.
[[noreturn]] void RefuseZeros(const DesignRequest& r, const std::string& reason)
{
    const QuietRefusals quiet;
    DesignRequest higher = r;
    const int from = std::max(r.response.N + 1, LeastOrderForZeros(r.response.zeros.size()));
    for (int N = from; N <= 15; ++N) {
        higher.response.N = N;
        try {
            SynthesiseAtOrder(higher);
        } catch (const Failure&) {
            continue;
        }
        Refuse(reason + " Order " + std::to_string(N) + " is the lowest that realises these transmission zeros.");
    }
    Refuse(reason + " No order up to 15 realises these transmission zeros.");
}

} // namespace

Design Synthesise(const DesignRequest& request)
{
    CheckRequest(request);
    DesignRequest r = request;
    r.response.zeros = PrototypeZeros(request);
    if (r.response.zeros.empty() || AdviceQuiet()) return SynthesiseAtOrder(r);
    try {
        return SynthesiseAtOrder(r);
    } catch (const Failure& failure) {
        RefuseZeros(r, failure.what());
    }
}

Real PrototypeFrequency(const DesignRequest& r, Real fHz)
{
    const Real f = std::fabs(fHz);
    const Real inf = std::numeric_limits<Real>::infinity();
    switch (r.type) {
    case FilterType::LowPass: return f / r.passHz;
    case FilterType::HighPass: return f == 0.0L ? inf : r.passHz / f;
    case FilterType::BandPass: {
        if (f == 0.0L) return inf;
        const Real f0sq = static_cast<Real>(r.lowHz) * r.highHz;
        return std::fabs(f * f - f0sq) / (f * (static_cast<Real>(r.highHz) - r.lowHz));
    }
    case FilterType::BandStop: break;
    }
    const Real f0sq = static_cast<Real>(r.lowHz) * r.highHz;
    const Real d = std::fabs(f0sq - f * f);
    if (d == 0.0L) return inf;
    return f * (static_cast<Real>(r.highHz) - r.lowHz) / d;
}

std::vector<double> StopbandEdgesHz(const Design& design)
{
    const Real w = design.response.stopEdge;
    if (!(w > 0.0L)) return {};
    const DesignRequest& r = design.request;
    if (r.type == FilterType::LowPass) return {static_cast<double>(r.passHz * w)};
    if (r.type == FilterType::HighPass) return {static_cast<double>(r.passHz / w)};
    // The prototype frequency w is |f^2 - f0^2| / (f bw) for the band-pass and its inverse for
    // the band-stop: each edge is a root of f^2 -+ d f - f0^2 = 0 with d = w bw or bw / w.
    const Real f0sq = static_cast<Real>(r.lowHz) * r.highHz;
    const Real bw = static_cast<Real>(r.highHz) - r.lowHz;
    const Real d = r.type == FilterType::BandPass ? w * bw : bw / w;
    const Real root = std::sqrt(d * d + 4.0L * f0sq);
    return {static_cast<double>((root - d) / 2.0L), static_cast<double>((root + d) / 2.0L)};
}

bool IsModifiedForm(const FamilyRequest& response)
{
    return TraitsOf(response.family).finiteZeros && response.N % 2 == 0;
}

std::string ModifiedFormNote(const FamilyRequest& response)
{
    if (!IsModifiedForm(response)) return "";
    if (response.family == Family::Elliptic && response.lossAtDc)
        return "Even-order form with the ripple as loss at DC: the highest transmission zero moved to infinity, so "
               "that a ladder between unequal terminations realises it.";
    return std::string("Modified even-order form: the highest transmission zero moved to infinity") +
           (response.family == Family::Elliptic ? " and the lowest reflection zero to DC" : "") +
           ", so that a ladder realises it; the stopband begins further out than in the standard form.";
}

std::optional<Design> LossAtDcAlternative(const Design& design)
{
    const FamilyRequest& response = design.request.response;
    if (response.family != Family::Elliptic || response.lossAtDc || !IsModifiedForm(response)) return std::nullopt;
    DesignRequest other = design.request;
    other.response.lossAtDc = true;
    try {
        return Synthesise(other);
    } catch (const Failure&) {
        return std::nullopt;
    }
}

double TransducerGainDb(const Design& design, double fHz)
{
    const Real w = PrototypeFrequency(design.request, fHz);
    const Real floorDb = -kAttenuationCeilingDb;
    Real power;
    if (std::isinf(w)) {
        const Characteristic& c = design.response;
        power = Degree(c.PPInY) < Degree(c.FFInY) ? 0.0L : c.PPInY.back() / (c.PPInY.back() + c.FFInY.back());
    } else {
        power = PowerGain(design.response, w);
    }
    power *= design.gain;
    if (!(power > 0.0L)) return floorDb;
    return static_cast<double>(std::max(10.0L * std::log10(power), floorDb));
}

DesignBand BandOfRequest(const DesignRequest& r)
{
    switch (r.type) {
    case FilterType::LowPass: return {BandShape::LowPass, 0.0, r.passHz};
    case FilterType::HighPass: return {BandShape::HighPass, r.passHz, 0.0};
    case FilterType::BandPass: return {BandShape::BandPass, r.lowHz, r.highHz};
    case FilterType::BandStop: break;
    }
    return {BandShape::BandStop, r.lowHz, r.highHz};
}

} // namespace synthesis

} // namespace corvane
