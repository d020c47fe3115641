// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <complex>
#include <string>
#include <vector>

#include "filtermath/Failure.h"

namespace corvane {

// Measured or published two-port S-parameters, as a network analyser or a part vendor writes them in
// Touchstone 1.x (.s2p) or 2.0 files.
struct TwoPortPoint {
    double frequencyHz;
    std::complex<double> S11, S21, S12, S22;
};

struct TwoPortData {
    std::array<double, 2> referenceOhms{50.0, 50.0}; // of port 1 and port 2
    std::vector<TwoPortPoint> points; // ascending in frequency, each frequency once
};

// A file that is no readable two-port Touchstone file; what() names the file and the line.
class TouchstoneError : public Failure {
public:
    using Failure::Failure;
};

// Reads the network data of a two-port file: the option line (frequency unit, S parameters, RI, MA or
// DB, the reference resistance), version 2.0 keywords ([Number of Ports], [Two-Port Data Order],
// [Reference], [Number of Frequencies], [Network Data], [End]), comments after "!" anywhere. Noise
// data after the network data is skipped. fileName only names the file in messages and, for
// version 1 files, tells the port count by its extension (.s2p; any other name is taken as a
// two-port file). The text is checked whole: any fault raises TouchstoneError.
TwoPortData ParseTouchstone(const std::string& text, const std::string& fileName);

// The same from a file on disk.
TwoPortData ReadTouchstone(const std::string& path);

} // namespace corvane
