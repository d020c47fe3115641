// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <complex>

#include "export/Renormalise.h"

using namespace corvane;

namespace {

using C = std::complex<double>;

// A series impedance z between references r1 and r2, by the textbook formulas.
TwoPortPoint Series(C z, double r1, double r2)
{
    const C d = z + r1 + r2;
    const C t = 2.0 * std::sqrt(r1 * r2) / d;
    return {1e7, (z + r2 - r1) / d, t, t, (z + r1 - r2) / d};
}

// A shunt admittance y between references r1 and r2.
TwoPortPoint Shunt(C y, double r1, double r2)
{
    const C d = r1 + r2 + y * r1 * r2;
    const C t = 2.0 * std::sqrt(r1 * r2) / d;
    return {1e7, (r2 - r1 - y * r1 * r2) / d, t, t, (r1 - r2 - y * r1 * r2) / d};
}

void ExpectNear(const TwoPortPoint& got, const TwoPortPoint& want)
{
    EXPECT_LT(std::abs(got.S11 - want.S11), 1e-12);
    EXPECT_LT(std::abs(got.S21 - want.S21), 1e-12);
    EXPECT_LT(std::abs(got.S12 - want.S12), 1e-12);
    EXPECT_LT(std::abs(got.S22 - want.S22), 1e-12);
}

} // namespace

// Renormalised data equal the network's own S-parameters worked out for the new references.
TEST(Renormalise, AgreesWithTheNetworkAtTheNewReferences)
{
    const struct {
        double fromR1, fromR2, toR1, toR2;
    } refs[] = {{75, 75, 50, 50}, {50, 50, 75, 75}, {50, 75, 75, 50}, {50, 50, 50, 200}, {50, 50, 50, 50}};
    const C z(12.0, 31.0), y(0.004, -0.011);
    for (const auto& r : refs) {
        for (bool series : {true, false}) {
            TwoPortData data;
            data.referenceOhms = {r.fromR1, r.fromR2};
            data.points = {series ? Series(z, r.fromR1, r.fromR2) : Shunt(y, r.fromR1, r.fromR2)};
            const TwoPortData renormalised = RenormalisedTo(data, r.toR1, r.toR2);
            EXPECT_EQ(renormalised.referenceOhms[0], r.toR1);
            EXPECT_EQ(renormalised.referenceOhms[1], r.toR2);
            ExpectNear(renormalised.points[0], series ? Series(z, r.toR1, r.toR2) : Shunt(y, r.toR1, r.toR2));
        }
    }
}
