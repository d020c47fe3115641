// SPDX-License-Identifier: Apache-2.0
#include "synthesis/StopRequirement.h"

#include <cmath>

#include "filtermath/Failure.h"
#include "synthesis/CheckedAdvice.h"
#include "synthesis/ChosenZeros.h"

namespace corvane {

namespace synthesis {

namespace {

// The lowest order from N up that a ladder between the request's terminations realises (an
// even-order Chebyshev between equal ones does not); 0 when none up to 15 does.
int BuildableFrom(DesignRequest request, Family family, int N, Real rippleDb)
{
    request.response.family = family;
    if (TraitsOf(family).ripple) request.response.rippleDb = rippleDb;
    if (!TakesChosenZeros(family)) request.zerosHz.clear();
    // Each order's refusal would look for advice of its own.
    const QuietRefusals quiet;
    for (int n = std::max(N, 1); n <= kMaxOrder; ++n) {
        request.response.N = n;
        try {
            Synthesise(request);
            return n;
        } catch (const Failure&) {
            // this order cannot be built here; the next one may
        }
    }
    return 0;
}

Real LossDb(Family family, int N, const OrderRequirement& need)
{
    FamilyRequest response;
    response.family = family;
    response.N = N;
    response.rippleDb = need.rippleDb;
    response.stopAttDb = need.stopAttDb;
    if (TakesChosenZeros(family)) response.zeros = need.zeros;
    return -10.0L * std::log10(PowerGain(Approximate(response), need.stopRatio));
}

} // namespace

std::vector<OrderChoice> PickOrderForStop(DesignRequest& request, Real stopHz, int* neededN)
{
    const Family family = request.response.family;
    OrderRequirement need;
    need.rippleDb = TraitsOf(family).ripple ? request.response.rippleDb : 0.0L;
    need.stopAttDb = request.response.stopAttDb;
    need.delayErrorDeg = request.response.delayErrorDeg;
    need.stopRatio = PrototypeFrequency(request, stopHz);
    need.zeros = PrototypeZeros(request);
    const int needed = ChooseOrder(family, need).N;
    if (neededN) *neededN = needed;
    request.response.N = BuildableFrom(request, family, needed, request.response.rippleDb);
    if (request.response.N == 0)
        throw Failure(std::string("No ") + FamilyName(family) + " ladder of order " + std::to_string(needed) +
                      " to 15 can be built between these terminations.");
    std::vector<OrderChoice> all = OrdersOfAllFamilies(need);
    const Real compareRipple = need.rippleDb > 0.0L ? need.rippleDb : 10.0L * std::log10(2.0L);
    for (OrderChoice& choice : all) {
        if (choice.N == 0) continue;
        const int buildable = BuildableFrom(request, choice.family, choice.N, compareRipple);
        if (buildable != choice.N && buildable != 0) {
            OrderRequirement compared = need;
            compared.rippleDb = compareRipple;
            choice.reachedDb = LossDb(choice.family, buildable, compared);
        }
        choice.N = buildable;
    }
    return all;
}

} // namespace synthesis

} // namespace corvane
