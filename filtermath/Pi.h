// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvane {

// Pi to more digits than any floating type here holds: kPi<double> is the double nearest to it,
// kPi<long double> the extended one.
template <typename T>
inline constexpr T kPi = static_cast<T>(3.141592653589793238462643383279502884L);

} // namespace corvane
