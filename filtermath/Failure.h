// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <stdexcept>
#include <string>

namespace corvane {

// A failure that ends the current event or run; what() is the text the user sees.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A field text that does not convert to a number.
class ConvertError : public Failure {
public:
    using Failure::Failure;
};

// An arithmetic fault: division by zero, invalid operation or overflow.
class ArithmeticError : public Failure {
public:
    using Failure::Failure;
};

extern const char* const kDivisionByZeroText; // "Floating point division by zero"
extern const char* const kInvalidOperationText; // "Invalid floating point operation"
extern const char* const kOverflowText; // "Floating point overflow"

[[noreturn]] void RaiseDivisionByZero();
[[noreturn]] void RaiseInvalidOperation();
[[noreturn]] void RaiseOverflow();

} // namespace corvane
