// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvane {

// The ladder's cascade, for every analysis: the extended-precision one (long double), the long
// sweeps and the trials' kernels (double). The kernels run it over lanes of arrays and need every
// value to stay in registers, so these are forced inline: a call would spill the lanes.
#if defined(__GNUC__)
#define CORVANE_CASCADE_INLINE inline __attribute__((always_inline))
#else
#define CORVANE_CASCADE_INLINE inline
#endif

// The chain matrix [A B; C D] of the ladder so far, by its parts; the identity to start from.
template <typename T>
struct Chain {
    T ar = 1, ai = 0, br = 0, bi = 0;
    T cr = 0, ci = 0, dr = 1, di = 0;
};

// The same entries by reference, so that one step serves a matrix kept whole and one kept as a
// lane of arrays.
template <typename T>
struct ChainParts {
    T& ar;
    T& ai;
    T& br;
    T& bi;
    T& cr;
    T& ci;
    T& dr;
    T& di;
};

template <typename T>
CORVANE_CASCADE_INLINE ChainParts<T> PartsOf(Chain<T>& m)
{
    return {m.ar, m.ai, m.br, m.bi, m.cr, m.ci, m.dr, m.di};
}

// x += y z on complex numbers given by their parts.
template <typename T>
CORVANE_CASCADE_INLINE void AddProduct(T& xr, T& xi, T yr, T yi, T zr, T zi)
{
    xr += yr * zr - yi * zi;
    xi += yr * zi + yi * zr;
}

// One branch, source to load. A series impedance Z is [A B; C D] [1 Z; 0 1]: it adds A Z to B
// and C Z to D. A shunt admittance Y is [1 0; Y 1]: it adds B Y to A and D Y to C.
template <typename T>
CORVANE_CASCADE_INLINE void CascadeStep(bool series, T xr, T xi, const ChainParts<T>& m)
{
    if (series) {
        AddProduct(m.br, m.bi, m.ar, m.ai, xr, xi);
        AddProduct(m.dr, m.di, m.cr, m.ci, xr, xi);
    } else {
        AddProduct(m.ar, m.ai, m.br, m.bi, xr, xi);
        AddProduct(m.cr, m.ci, m.dr, m.di, xr, xi);
    }
}

// One branch onto the product of the branches after it, from the load back to the source:
// [1 Z; 0 1] [A B; C D] adds Z C to A and Z D to B; [1 0; Y 1] [A B; C D] adds Y A to C and Y B to D.
template <typename T>
CORVANE_CASCADE_INLINE void CascadeStepFromLoad(bool series, T xr, T xi, const ChainParts<T>& m)
{
    if (series) {
        AddProduct(m.ar, m.ai, m.cr, m.ci, xr, xi);
        AddProduct(m.br, m.bi, m.dr, m.di, xr, xi);
    } else {
        AddProduct(m.cr, m.ci, m.ar, m.ai, xr, xi);
        AddProduct(m.dr, m.di, m.br, m.bi, xr, xi);
    }
}

// x += y z + u v.
template <typename T>
CORVANE_CASCADE_INLINE void AddProducts(T& xr, T& xi, T yr, T yi, T zr, T zi, T ur, T ui, T vr, T vi)
{
    xr += yr * zr - yi * zi + ur * vr - ui * vi;
    xi += yr * zi + yi * zr + ur * vi + ui * vr;
}

// The step with the derivative over w carried along: (M S)' = M' S + M S', where the branch's
// matrix S has the immittance x and its slope s in the one place it is not constant. Each entry
// of the derivative takes its two products in one sum: stored and reloaded between them, an
// extended-precision value would stall the pipeline.
template <typename T>
CORVANE_CASCADE_INLINE void CascadeStepWithSlope(bool series, T xr, T xi, T sr, T si, const ChainParts<T>& m,
                                                 const ChainParts<T>& dm)
{
    if (series) {
        AddProducts(dm.br, dm.bi, dm.ar, dm.ai, xr, xi, m.ar, m.ai, sr, si);
        AddProducts(dm.dr, dm.di, dm.cr, dm.ci, xr, xi, m.cr, m.ci, sr, si);
    } else {
        AddProducts(dm.ar, dm.ai, dm.br, dm.bi, xr, xi, m.br, m.bi, sr, si);
        AddProducts(dm.cr, dm.ci, dm.dr, dm.di, xr, xi, m.dr, m.di, sr, si);
    }
    CascadeStep(series, xr, xi, m);
}

// The power waves of the cascade between a source of RS and a load of RL ohms:
// S21 = 2 sqrt(RS RL) / den, S11 = in / den and S22 = out / den, with
// den = A RL + B + C RS RL + D RS, in = A RL + B - C RS RL - D RS, out = D RS + B - C RS RL - A RL.
template <typename T>
struct WaveSums {
    T denR, denI;
    T inR, inI;
    T outR, outI;
};

template <typename T>
CORVANE_CASCADE_INLINE WaveSums<T> WaveSumsOf(const Chain<T>& m, T RS, T RL)
{
    const T aR = m.ar * RL, aI = m.ai * RL;
    const T cR = m.cr * RS * RL, cI = m.ci * RS * RL;
    const T dR = m.dr * RS, dI = m.di * RS;
    return {aR + m.br + cR + dR, aI + m.bi + cI + dI, aR + m.br - cR - dR,
            aI + m.bi - cI - dI, dR + m.br - cR - aR, dI + m.bi - cI - aI};
}

// |den|^2, from which |S21|^2 = 4 RS RL / |den|^2, and |S11|^2: what the trials keep of a point.
template <typename T>
CORVANE_CASCADE_INLINE T DenNorm(const WaveSums<T>& s)
{
    return s.denR * s.denR + s.denI * s.denI;
}

template <typename T>
CORVANE_CASCADE_INLINE T ReflectionNorm(const WaveSums<T>& s, T denNorm)
{
    return (s.inR * s.inR + s.inI * s.inI) / denNorm;
}

} // namespace corvane
