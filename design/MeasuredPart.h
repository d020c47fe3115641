// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <string>
#include <vector>

namespace corvane {

// The R-L-C equivalent of a measured part, fitted to its data: an inductor is R in series with L,
// the two shunted by C; a capacitor is R, L and C in series. Ohms, henries and farads; a zero
// leaves the element out (C of an inductor, L of a capacitor).
struct RlcEquivalent {
    double R = 0.0;
    double L = 0.0;
    double C = 0.0;

    bool operator==(const RlcEquivalent& o) const { return R == o.R && L == o.L && C == o.C; }
};

// A part as its vendor measured it: its impedance at each frequency of the file (taken as the part
// in series between the two ports), ascending, and the equivalent used outside their range.
struct MeasuredPart {
    std::string file; // the path as given
    std::vector<double> frequencyHz;
    std::vector<std::complex<double>> impedance;
    RlcEquivalent equivalent;

    double LowHz() const { return frequencyHz.front(); }
    double HighHz() const { return frequencyHz.back(); }
    bool operator==(const MeasuredPart& o) const
    {
        return file == o.file && frequencyHz == o.frequencyHz && impedance == o.impedance && equivalent == o.equivalent;
    }
};

} // namespace corvane
