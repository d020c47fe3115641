// SPDX-License-Identifier: Apache-2.0
#include "design/FormFields.h"

namespace corvane {

int FieldMaxLength(Field field)
{
    switch (field) {
    case Field::N: return 2;
    case Field::Ripple:
    case Field::PassF:
    case Field::Fmin:
    case Field::Fmax:
    case Field::R: return 5;
    case Field::FStart:
    case Field::Stop: return 0;
    }
    return 0;
}

} // namespace corvane
