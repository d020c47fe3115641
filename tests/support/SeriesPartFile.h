// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <string>
#include <vector>

// How a file states its data: the option line's pair format, or version 2.0 with a reference per port.
enum class TouchstoneLayout { RI, MA, DB, Version2 };

// The Touchstone text of a part of impedance z[i] at f[i] (hertz) measured in series between ports of
// z1 and z2 ohms, as a network analyser sees it: S21 = S12 = 2 sqrt(z1 z2) / (z + z1 + z2),
// S11 = (z + z2 - z1) / (z + z1 + z2), S22 = (z + z1 - z2) / (z + z1 + z2).
std::string SeriesPartFile(const std::vector<double>& f, const std::vector<std::complex<double>>& z,
                           TouchstoneLayout layout = TouchstoneLayout::RI, double z1 = 50.0, double z2 = 50.0);

// An inductor L with a loss of R + wL/Q and the parallel capacitance that resonates with it at
// srfHz, at each frequency: the closed form a vendor's coil follows.
std::vector<std::complex<double>> CoilImpedances(double L, double R, double Q, double srfHz,
                                                 const std::vector<double>& f);

// n frequencies from low to high, evenly on a log scale.
std::vector<double> LogFrequencies(double low, double high, int n);
