// SPDX-License-Identifier: Apache-2.0
#include "design/PartChoice.h"

namespace corvane {

double PairValue(PartKind kind, ChoiceForm form, double a, double b)
{
    const bool adds = (kind == PartKind::Capacitor) == (form == ChoiceForm::Parallel);
    return adds ? a + b : a * b / (a + b);
}

std::string MemberDesignator(const std::string& designator, int member)
{
    return designator + "_" + std::to_string(member + 1);
}

} // namespace corvane
