// SPDX-License-Identifier: Apache-2.0
#include "filtermath/UG.h"

#include <stdexcept>

#include "filtermath/FpMath.h"
#include "filtermath/Pi.h"
#include "filtermath/SelectFilter.h"

namespace corvane {

using namespace fpmath;

namespace {

// The caller sizes g; a negative N or a short array is a programming error.
void RequirePrototypeRoom(int N, const std::vector<double>& g)
{
    if (N < 0 || g.size() < static_cast<size_t>(N) + 2)
        throw std::invalid_argument("prototype array needs N + 2 entries, N >= 0");
}

// coth from the two exponentials; a zero argument divides by zero.
Real CothFromExp(Real x)
{
    const Real up = Exp(x);
    const Real down = Exp(-x);
    return Div(Add(up, down), Sub(up, down));
}

// Arguments this small give exactly 0, so a vanishing beta shows up as gamma = 0.
Real SinhOrZero(Real y)
{
    if (y >= -1e-16L && y <= 1e-16L) return 0;
    return Div(Sub(Exp(y), Exp(-y)), 2);
}

bool IsOdd(int N)
{
    const Real half = Div(N, 2);
    return Floor(half) != half;
}

// (2k - 1) * pi / (2N): the angle of the k-th pole of the prototype.
Real PoleAngle(int k, int N)
{
    return Div(Mul(2 * k - 1, kPi<Real>), Mul(2, N));
}

} // namespace

void ButterworthG(int N, std::vector<double>& g)
{
    RequirePrototypeRoom(N, g);
    g[0] = 1;
    for (int k = 1; k <= N; ++k) {
        g[k] = StoreDouble(Mul(2, Sin(PoleAngle(k, N))));
    }
    g[N + 1] = 1;
}

void ChebyshevG(int N, std::vector<double>& g, double Ripple)
{
    RequirePrototypeRoom(N, g);
    // 17.37 (not 40 / ln 10) is the divisor of the classic design tables.
    const double x = StoreDouble(Div(Ripple, 17.37L));
    // Held as a double, coth x rounds to 1 for a ripple above about 325 dB, and beta is 0.
    const double cothX = StoreDouble(CothFromExp(x));
    const double beta = StoreDouble(Ln(cothX));
    const double gamma = StoreDouble(SinhOrZero(Div(beta, Mul(2, N))));

    std::vector<double> a(static_cast<size_t>(N) + 1);
    std::vector<double> b(static_cast<size_t>(N) + 1);
    g[0] = 1;
    for (int k = 1; k <= N; ++k) {
        a[k] = StoreDouble(Sin(PoleAngle(k, N)));
        const Real s = Sin(Div(Mul(k, kPi<Real>), N));
        b[k] = StoreDouble(Add(Mul(s, s), Mul(gamma, gamma)));
        if (k == 1)
            g[1] = StoreDouble(Div(Mul(2, a[1]), gamma));
        else
            g[k] = StoreDouble(Div(Mul(Mul(4, a[k - 1]), a[k]), Mul(b[k - 1], g[k - 1])));
    }
    if (IsOdd(N)) {
        g[N + 1] = 1;
    } else {
        // An even-order equal-ripple ladder needs a mismatched load.
        const Real c = CothFromExp(Div(beta, 4));
        g[N + 1] = StoreDouble(Mul(c, c));
    }
}

void ComputePrototype(int FilterKind, int N, double Ripple, std::vector<double>& g)
{
    if (IsChebyshevKind(FilterKind))
        ChebyshevG(N, g, Ripple);
    else
        ButterworthG(N, g);
}

} // namespace corvane
