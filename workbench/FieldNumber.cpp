// SPDX-License-Identifier: Apache-2.0
#include "workbench/FieldNumber.h"

#include <cmath>

#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"

double FieldNumber(const std::string& text, const std::string& field)
{
    double value = 0.0;
    try {
        value = StrToFloat(text);
    } catch (const Failure& failure) {
        throw FieldError(field + ": " + ErrorReportText(failure.what()));
    }
    if (!std::isfinite(value)) throw FieldError(field + " is out of range.");
    return value;
}
