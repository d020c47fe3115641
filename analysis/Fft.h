// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <vector>

namespace corvane {

// The inverse discrete Fourier transform without the 1/n factor, in place:
// x[n] <- sum over k of x[k] e^(+j 2 pi k n / size). The size must be a power of two
// (std::invalid_argument otherwise).
void InverseFft(std::vector<std::complex<double>>& x);

// The smallest power of two at or above n (n >= 1).
size_t PowerOfTwoAtLeast(size_t n);

} // namespace corvane
