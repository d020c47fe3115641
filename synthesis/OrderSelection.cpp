// SPDX-License-Identifier: Apache-2.0
#include "synthesis/OrderSelection.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "filtermath/Failure.h"
#include "synthesis/ChosenZeros.h"
#include "synthesis/PulseFamilies.h"

namespace corvane {

namespace synthesis {

namespace {

const Real kHalfPowerDb = 10.0L * std::log10(2.0L);

Real LossDb(const Characteristic& c, Real w)
{
    return -10.0L * std::log10(PowerGain(c, w));
}

void CheckRequirement(const OrderRequirement& r)
{
    if (!(r.stopRatio > 1.0L) || !std::isfinite(r.stopRatio))
        throw Failure("The stopband frequency must lie outside the passband.");
    if (!(r.stopAttDb > 0.0L && r.stopAttDb <= 200.0L))
        throw Failure("The stopband attenuation must be above 0 dB and at most 200 dB.");
}

OrderChoice Search(Family family, const OrderRequirement& r)
{
    OrderChoice choice;
    choice.family = family;
    FamilyRequest request;
    request.family = family;
    request.rippleDb = r.rippleDb;
    request.stopAttDb = r.stopAttDb;
    request.delayErrorDeg = r.delayErrorDeg;
    if (TakesChosenZeros(family)) request.zeros = r.zeros;
    for (int N = std::max(LeastOrderForZeros(request.zeros.size()), LeastOrder(family)); N <= 15; ++N) {
        request.N = N;
        const Characteristic c = Approximate(request);
        const Real reached = LossDb(c, r.stopRatio);
        if (reached >= r.stopAttDb - 1e-9L) {
            choice.N = N;
            choice.reachedDb = reached;
            return choice;
        }
    }
    return choice;
}

} // namespace

OrderChoice ChooseOrder(Family family, const OrderRequirement& requirement)
{
    CheckRequirement(requirement);
    const OrderChoice choice = Search(family, requirement);
    if (choice.N == 0)
        throw Failure(std::string("A ") + FamilyName(family) +
                      " ladder needs more than 15 poles for this stopband; move the stopband frequency further out "
                      "or ask for less attenuation.");
    return choice;
}

std::vector<OrderChoice> OrdersOfAllFamilies(const OrderRequirement& requirement)
{
    CheckRequirement(requirement);
    OrderRequirement r = requirement;
    if (!(r.rippleDb > 0.0L)) r.rippleDb = kHalfPowerDb;
    std::vector<OrderChoice> all;
    for (Family f : {Family::Butterworth, Family::Chebyshev, Family::Bessel, Family::Legendre, Family::Elliptic,
                     Family::InverseChebyshev})
        all.push_back(Search(f, r));
    return all;
}

} // namespace synthesis

} // namespace corvane
