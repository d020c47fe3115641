// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>

namespace corvane {

// The Smith chart's geometry in the reflection plane, normalised to the reference resistance.
struct SmithCircle {
    double centreX = 0.0;
    double centreY = 0.0;
    double radius = 0.0;
};

// Where the normalised resistance r (>= 0) is constant: centre (r/(1+r), 0), radius 1/(1+r).
SmithCircle ResistanceCircle(double r);
// Where the normalised reactance x (non-zero) is constant: centre (1, 1/x), radius 1/|x|.
SmithCircle ReactanceCircle(double x);
// The admittance grid, the impedance grid turned half a turn: conductance g and susceptance b.
SmithCircle ConductanceCircle(double g);
SmithCircle SusceptanceCircle(double b);

// The impedance that reflects gamma against referenceOhms; infinite for gamma = 1.
std::complex<double> ImpedanceOf(std::complex<double> gamma, double referenceOhms);
// The reflection of an impedance against referenceOhms.
std::complex<double> ReflectionOf(std::complex<double> impedance, double referenceOhms);

} // namespace corvane
