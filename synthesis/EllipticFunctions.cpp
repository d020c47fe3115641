// SPDX-License-Identifier: Apache-2.0
#include "synthesis/EllipticFunctions.h"

#include <cmath>
#include <vector>

#include "filtermath/Pi.h"

namespace corvane {

namespace synthesis {

namespace {
}

Real EllipticK(Real kComplement)
{
    Real a = 1.0L;
    Real b = kComplement;
    for (int i = 0; i < 64 && std::fabs(a - b) > 1e-19L * a; ++i) {
        const Real mean = (a + b) / 2.0L;
        b = std::sqrt(a * b);
        a = mean;
    }
    return kPi<Real> / (2.0L * a);
}

Real Nome(Real k, Real kComplement)
{
    return std::exp(-kPi<Real> * EllipticK(k) / EllipticK(kComplement));
}

void ModulusFromNome(Real q, Real& k, Real& kComplement)
{
    // theta2 = 2 q^(1/4) sum q^(n(n+1)), theta3 = 1 + 2 sum q^(n^2), theta4 = 1 + 2 sum (-q)^(n^2).
    Real sum2 = 0.0L, sum3 = 0.0L, sum4 = 0.0L;
    for (int n = 0; n < 40; ++n) {
        const Real nn = static_cast<Real>(n);
        const Real t2 = std::pow(q, nn * (nn + 1.0L));
        sum2 += t2;
        if (n > 0) {
            const Real t3 = std::pow(q, nn * nn);
            sum3 += t3;
            sum4 += (n % 2 == 0) ? t3 : -t3;
        }
        if (t2 < 1e-22L * sum2) break;
    }
    const Real theta2 = 2.0L * std::pow(q, 0.25L) * sum2;
    const Real theta3 = 1.0L + 2.0L * sum3;
    const Real theta4 = 1.0L + 2.0L * sum4;
    k = (theta2 / theta3) * (theta2 / theta3);
    kComplement = (theta4 / theta3) * (theta4 / theta3);
}

Real CdOfFraction(Real u, Real k)
{
    // Descending moduli k_n -> 0, where cd(u K, 0) = cos(u pi / 2), then back up.
    std::vector<Real> moduli;
    Real kn = k;
    for (int i = 0; i < 12 && kn > 1e-22L; ++i) {
        const Real complement = std::sqrt((1.0L - kn) * (1.0L + kn));
        kn = (kn / (1.0L + complement)) * (kn / (1.0L + complement));
        moduli.push_back(kn);
    }
    Real w = std::cos(u * kPi<Real> / 2.0L);
    for (size_t n = moduli.size(); n-- > 0;) w = (1.0L + moduli[n]) * w / (1.0L + moduli[n] * w * w);
    return w;
}

} // namespace synthesis

} // namespace corvane
