// SPDX-License-Identifier: Apache-2.0
#include "filtermath/Failure.h"

namespace corvane {

const char* const kDivisionByZeroText = "Floating point division by zero";
const char* const kInvalidOperationText = "Invalid floating point operation";
const char* const kOverflowText = "Floating point overflow";

void RaiseDivisionByZero()
{
    throw ArithmeticError(kDivisionByZeroText);
}

void RaiseInvalidOperation()
{
    throw ArithmeticError(kInvalidOperationText);
}

void RaiseOverflow()
{
    throw ArithmeticError(kOverflowText);
}

} // namespace corvane
