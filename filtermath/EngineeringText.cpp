// SPDX-License-Identifier: Apache-2.0
#include "filtermath/EngineeringText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

const char* const kNoValueText = "\u2014";

namespace {

// From 1e-24 (yocto) to 1e24 (yotta) in steps of a thousand.
constexpr int kLowestPrefixExponent = -24;
const char* const kPrefixes[] = {"y", "z", "a", "f", "p", "n", "\u00b5", "m", "",
                                 "k", "M", "G", "T", "P", "E", "Z",      "Y"};
constexpr int kPrefixCount = static_cast<int>(sizeof kPrefixes / sizeof kPrefixes[0]);

std::string WithUnit(const std::string& number, const char* prefix, const std::string& unit)
{
    std::string text = number;
    if (!unit.empty() || *prefix) text += ' ';
    return text + prefix + unit;
}

void DropTrailingZeros(std::string& number)
{
    if (number.find('.') == std::string::npos) return;
    while (number.back() == '0') number.pop_back();
    if (number.back() == '.') number.pop_back();
}

} // namespace

std::string EngineeringText(double value, const std::string& unit, bool trimZeros)
{
    if (!std::isfinite(value)) return kNoValueText;
    if (value == 0.0) return WithUnit("0", "", unit);
    // Rounding to three digits first settles the decade: the printed exponent is that of the
    // rounded value, so 999.6 becomes 1.00e+03 and takes the next prefix.
    char scientific[32];
    std::snprintf(scientific, sizeof scientific, "%.2e", std::fabs(value));
    const std::string text = scientific;
    const std::string digits = {text[0], text[2], text[3]};
    const int exponent = std::atoi(text.c_str() + 5);
    const int group = static_cast<int>(std::floor(exponent / 3.0));
    const int index = group - kLowestPrefixExponent / 3;
    std::string number;
    const char* prefix = "";
    if (index < 0 || index >= kPrefixCount) {
        number = text;
        if (trimZeros) {
            std::string mantissa = number.substr(0, 4);
            DropTrailingZeros(mantissa);
            number = mantissa + number.substr(4);
        }
    } else {
        const int integerDigits = exponent - group * 3 + 1;
        number = digits.substr(0, integerDigits);
        if (integerDigits < 3) number += "." + digits.substr(integerDigits);
        if (trimZeros) DropTrailingZeros(number);
        prefix = kPrefixes[index];
    }
    if (value < 0) number.insert(0, "-");
    return WithUnit(number, prefix, unit);
}
