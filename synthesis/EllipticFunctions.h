// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "synthesis/Polynomial.h"

namespace corvane {

// Jacobi elliptic quantities for the Cauer approximation. A modulus k comes with its
// complement k' = sqrt(1 - k^2) so that moduli near 1 keep their accuracy.
namespace synthesis {

// Complete elliptic integral of the first kind, by the arithmetic-geometric mean.
Real EllipticK(Real kComplement);
// Nome q = exp(-pi K' / K).
Real Nome(Real k, Real kComplement);
// Modulus and complement from the nome, through the theta functions.
void ModulusFromNome(Real q, Real& k, Real& kComplement);
// cd(u K, k) by descending Landen transformations.
Real CdOfFraction(Real u, Real k);

} // namespace synthesis

} // namespace corvane
