// SPDX-License-Identifier: Apache-2.0
#include "chart/SmithGrid.h"

#include <cmath>
#include <limits>

namespace corvane {

SmithCircle ResistanceCircle(double r)
{
    return {r / (1.0 + r), 0.0, 1.0 / (1.0 + r)};
}

SmithCircle ReactanceCircle(double x)
{
    return {1.0, 1.0 / x, 1.0 / std::fabs(x)};
}

SmithCircle ConductanceCircle(double g)
{
    const SmithCircle c = ResistanceCircle(g);
    return {-c.centreX, 0.0, c.radius};
}

SmithCircle SusceptanceCircle(double b)
{
    const SmithCircle c = ReactanceCircle(b);
    return {-c.centreX, -c.centreY, c.radius};
}

std::complex<double> ImpedanceOf(std::complex<double> gamma, double referenceOhms)
{
    const std::complex<double> den = 1.0 - gamma;
    if (den == 0.0) return {std::numeric_limits<double>::infinity(), 0.0};
    return referenceOhms * (1.0 + gamma) / den;
}

std::complex<double> ReflectionOf(std::complex<double> impedance, double referenceOhms)
{
    return (impedance - referenceOhms) / (impedance + referenceOhms);
}

} // namespace corvane
