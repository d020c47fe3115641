// SPDX-License-Identifier: Apache-2.0
#include "analysis/Fft.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "filtermath/Pi.h"

namespace corvane {

size_t PowerOfTwoAtLeast(size_t n)
{
    size_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

void InverseFft(std::vector<std::complex<double>>& x)
{
    const size_t n = x.size();
    if (n == 0 || (n & (n - 1)) != 0) throw std::invalid_argument("FFT size is no power of two");
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    // One table of twiddles for the last stage; each earlier stage takes every (n/len)-th.
    // Each from its own angle rather than by repeated products, so no rounding accumulates.
    const double pi = kPi<double>;
    std::vector<std::complex<double>> twiddle(n / 2);
    for (size_t k = 0; k < n / 2; ++k) twiddle[k] = std::polar(1.0, 2.0 * pi * static_cast<double>(k) / n);
    for (size_t len = 2; len <= n; len <<= 1) {
        const size_t half = len / 2;
        const size_t stride = n / len;
        for (size_t start = 0; start < n; start += len) {
            for (size_t k = 0; k < half; ++k) {
                const std::complex<double> odd = x[start + k + half] * twiddle[k * stride];
                x[start + k + half] = x[start + k] - odd;
                x[start + k] += odd;
            }
        }
    }
}

} // namespace corvane
