// SPDX-License-Identifier: Apache-2.0
#include "synthesis/StopRequirement.h"

#include "filtermath/Failure.h"

namespace synthesis {

std::vector<OrderChoice> PickOrderForStop(DesignRequest& request, Real stopHz)
{
    const Family family = request.response.family;
    OrderRequirement need;
    need.rippleDb = UsesRipple(family) ? request.response.rippleDb : 0.0L;
    need.stopAttDb = request.response.stopAttDb;
    need.stopRatio = PrototypeFrequency(request, stopHz);
    request.response.N = ChooseOrder(family, need).N;
    if (family == Family::InverseChebyshev) {
        if (request.type != FilterType::LowPass && request.type != FilterType::HighPass)
            throw Failure("The order of an inverse Chebyshev band design cannot be picked from a stop frequency; give "
                          "the order.");
        request.passHz = stopHz;
    }
    return OrdersOfAllFamilies(need);
}

} // namespace synthesis
