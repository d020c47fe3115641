// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <cstddef>
#include <stdexcept>

#include "design/LadderModel.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// A part's impedance at one angular frequency w, split into what w alone sets and what the part's
// value v changes, so that an analysis that varies the values (a Monte Carlo trial) works the first
// out once per frequency:
//
//     Z = x / (1 + j (tank / s) x) + j lead,    x = fixed + s scaled,
//
// with the part's scale s = v for an inductor or a resistor (its inductance and its loss wL/Q scale
// together) and s = 1 / v for a capacitor (its reactance, its loss 1/(wCQ) and the inductance of a
// self-resonance stated in hertz); a measured part's data scale by s = v / L or C / v against its
// fitted value. tank = w / w0^2 for an inductor self-resonant at w0 (its parallel capacitance is
// 1 / (w0^2 v)), else 0; lead = w times the lead inductance. Each term's derivative over w comes
// along for the group delay.
template <class Real>
struct FormTerms {
    std::complex<Real> fixed, scaled;
    Real tank = 0, lead = 0;
};
template <class Real>
struct PartForm {
    FormTerms<Real> value;
    FormTerms<Real> slope; // the derivative of each term over w
};

// The tank's denominator 1 + j (tank / s) x; exactly 1 without a tank or at s = 0 (no inductance
// for the capacitance to resonate with).
template <class Real>
std::complex<Real> TankDenominator(const FormTerms<Real>& form, Real s, const std::complex<Real>& x)
{
    if (form.tank == 0 || s == 0) return {1, 0};
    const Real t = form.tank / s;
    return {1 - t * x.imag(), t * x.real()};
}

// The part's impedance at scale s. A lossless tank right at its resonance makes the denominator
// zero: the caller checks TankDenominator first where that can happen.
template <class Real>
std::complex<Real> FormImpedance(const FormTerms<Real>& form, Real s)
{
    const std::complex<Real> x{form.fixed.real() + s * form.scaled.real(), form.fixed.imag() + s * form.scaled.imag()};
    std::complex<Real> z = x;
    if (form.tank != 0 && s != 0) {
        const std::complex<Real> den = TankDenominator(form, s, x);
        const Real inverse = 1 / (den.real() * den.real() + den.imag() * den.imag());
        z = {(x.real() * den.real() + x.imag() * den.imag()) * inverse,
             (x.imag() * den.real() - x.real() * den.imag()) * inverse};
    }
    return {z.real(), z.imag() + form.lead};
}

template <class To, class From>
FormTerms<To> ConvertTerms(const FormTerms<From>& f)
{
    const auto cx = [](const std::complex<From>& z) {
        return std::complex<To>(static_cast<To>(z.real()), static_cast<To>(z.imag()));
    };
    return {cx(f.fixed), cx(f.scaled), static_cast<To>(f.tank), static_cast<To>(f.lead)};
}

// The arm of a branch from its parts' impedances z[0 .. count-1]: an impedance, or an admittance
// (admittance set) where the shape is parallel at heart. Resonator is series on a series place and
// parallel on a shunt place. add sums two immittances, invert takes the reciprocal of one.
template <class T, class Add, class Invert>
T ArmOfParts(BranchKind shape, bool seriesPlace, const T* z, std::size_t count, const Add& add, const Invert& invert,
             bool& admittance)
{
    const auto at = [&](std::size_t k) -> const T& {
        if (k >= count) throw std::out_of_range("The parts of a branch do not fit its shape");
        return z[k];
    };
    admittance = false;
    switch (shape) {
    case BranchKind::Inductor:
    case BranchKind::Capacitor: return at(0);
    case BranchKind::Resonator:
        if (seriesPlace) return add(at(0), at(1));
        admittance = true;
        return add(invert(at(0)), invert(at(1)));
    case BranchKind::SeriesLC: return add(at(0), at(1));
    case BranchKind::ParallelLC: admittance = true; return add(invert(at(0)), invert(at(1)));
    case BranchKind::SeriesArm: return add(add(at(0), at(1)), invert(add(invert(at(2)), invert(at(3)))));
    case BranchKind::ParallelArm: break;
    }
    admittance = true;
    return add(invert(add(at(0), at(1))), add(invert(at(2)), invert(at(3))));
}

// The branch as the cascade takes it: its impedance on a series place, its admittance across the line.
template <class T, class Add, class Invert>
T BranchOfParts(BranchKind shape, BranchPlace place, const T* z, std::size_t count, const Add& add,
                const Invert& invert)
{
    const bool series = place == BranchPlace::Series;
    bool admittance = false;
    const T x = ArmOfParts(shape, series, z, count, add, invert, admittance);
    return admittance == series ? invert(x) : x;
}

} // namespace corvane
