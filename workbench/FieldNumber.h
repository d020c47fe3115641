// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <stdexcept>
#include <string>

// A field text that a workbench window cannot use; what() names the field.
class FieldError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text as a finite real by the number rules of every field. A text the converter refuses gives
// "<field>: <its reason>.", a value beyond the double range "<field> is out of range.".
double FieldNumber(const std::string& text, const std::string& field);
