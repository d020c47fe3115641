// SPDX-License-Identifier: Apache-2.0
#include "filtermath/EngineeringText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"

namespace corvane {

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

SiPrefix PrefixOf(double value, int significant)
{
    if (!std::isfinite(value) || value == 0.0 || significant < 1) return {nullptr, 0};
    char scientific[48];
    std::snprintf(scientific, sizeof scientific, "%.*e", significant - 1, std::fabs(value));
    const int group = static_cast<int>(std::floor(std::atoi(std::strchr(scientific, 'e') + 1) / 3.0));
    const int index = group - kLowestPrefixExponent / 3;
    if (index < 0 || index >= kPrefixCount) return {nullptr, 0};
    return {kPrefixes[index], 3 * group};
}

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
    const SiPrefix si = PrefixOf(value, 3);
    std::string number;
    const char* prefix = "";
    if (!si.symbol) {
        number = text;
        if (trimZeros) {
            std::string mantissa = number.substr(0, 4);
            DropTrailingZeros(mantissa);
            number = mantissa + number.substr(4);
        }
    } else {
        const int integerDigits = exponent - si.exponent + 1;
        number = digits.substr(0, integerDigits);
        if (integerDigits < 3) number += "." + digits.substr(integerDigits);
        if (trimZeros) DropTrailingZeros(number);
        prefix = si.symbol;
    }
    if (value < 0) number.insert(0, "-");
    return WithUnit(number, prefix, unit);
}

namespace {

// The prefixes a value may be typed with and their powers of ten; the micro sign and the
// Greek mu both read as micro, and "u" where neither is on the keyboard.
const std::pair<const char*, int> kTypedPrefixes[] = {
    {"f", -15}, {"p", -12}, {"n", -9}, {"u", -6}, {"\u00b5", -6}, {"\u03bc", -6},
    {"m", -3},  {"k", 3},   {"M", 6},  {"G", 9},  {"T", 12},
};

bool IsDigitChar(char c)
{
    return c >= '0' && c <= '9';
}

// End of the number at the start of text (sign, digits, point, exponent); the syntax itself
// is checked by the field conversion afterwards.
size_t NumberEnd(const std::string& text, size_t& exponentBegin)
{
    size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string::npos) return 0;
    if (text[pos] == '+' || text[pos] == '-') ++pos;
    while (pos < text.size() && (IsDigitChar(text[pos]) || text[pos] == '.')) ++pos;
    exponentBegin = pos;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t digits = pos + 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) ++digits;
        size_t end = digits;
        while (end < text.size() && IsDigitChar(text[end])) ++end;
        // "1e" or "2E" with no digits: the letter is no exponent, so the text is refused later.
        if (end > digits) pos = end;
    }
    return pos;
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsUnit(const std::string& text, const std::string& unit)
{
    if (unit.empty()) return false;
    if (text == unit) return true;
    return unit == "\u03a9" && (text == "\u2126" || text == "ohm" || text == "ohms" || text == "Ohm");
}

// The power of ten the suffix stands for; false when it is neither the unit nor a prefix
// with or without the unit.
bool SuffixExponent(const std::string& suffix, const std::string& unit, int& exponent)
{
    exponent = 0;
    if (IsUnit(suffix, unit)) return true;
    for (const auto& prefix : kTypedPrefixes) {
        const std::string symbol = prefix.first;
        if (suffix.compare(0, symbol.size(), symbol) != 0) continue;
        const std::string rest = suffix.substr(symbol.size());
        if (rest.empty() || IsUnit(rest, unit)) {
            exponent = prefix.second;
            return true;
        }
    }
    return false;
}

// The number with the prefix's power folded into its exponent, so the conversion rounds once:
// "4.7p" converts as "4.7e-12", exactly as typed that way.
std::string WithExponent(const std::string& number, size_t exponentBegin, int exponent)
{
    if (exponent == 0) return number;
    if (exponentBegin == number.size()) return number + "e" + std::to_string(exponent);
    const std::string written = number.substr(exponentBegin + 1);
    // An exponent of more than nine digits is far beyond the double range either way.
    if (written.size() > 10) return number;
    const long long total = std::stoll(written) + exponent;
    return number.substr(0, exponentBegin) + "e" + std::to_string(total);
}

} // namespace

bool ReadEngineeringText(const std::string& text, const std::string& unit, TypedValue& typed)
{
    size_t exponentBegin = 0;
    const size_t end = NumberEnd(text, exponentBegin);
    const std::string number = text.substr(0, end);
    const std::string suffix = Trimmed(text.substr(end));
    int exponent = 0;
    if (!suffix.empty() && !SuffixExponent(suffix, unit, exponent)) return false;
    try {
        typed.value = StrToFloat(WithExponent(number, exponentBegin, exponent));
    } catch (const ConvertError&) {
        return false;
    }
    typed.absolute = !suffix.empty();
    return std::isfinite(typed.value);
}

} // namespace corvane
