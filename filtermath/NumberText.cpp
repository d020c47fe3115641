// SPDX-License-Identifier: Apache-2.0
#include "filtermath/NumberText.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <system_error>

#include "filtermath/Failure.h"

namespace corvane {

// All conversions use '.' as the decimal separator whatever the C locale says, so the
// window (which adopts the user's locale) and the command line read and show the same.
//
// Real syntax: blanks, optional sign, digits with an optional '.', optional exponent
// (e or E, optional sign, digits), blanks. A blank is a space or a tab. The mantissa needs
// one digit or more, before or after the point: "1." and ".5" are accepted, a lone "." is
// not. A value too large for a double is refused; one too small becomes zero.

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

size_t SkipBlanks(const std::string& text, size_t pos)
{
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

size_t SkipDigits(const std::string& text, size_t pos)
{
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    return pos;
}

size_t SkipSign(const std::string& text, size_t pos)
{
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    return pos;
}

[[noreturn]] void RefuseFloat(const std::string& text)
{
    throw ConvertError("'" + text + "' is not a valid floating point value");
}

[[noreturn]] void RefuseInt(const std::string& text)
{
    throw ConvertError("'" + text + "' is not a valid integer value");
}

// Where a real's parts lie in the text; false when the syntax is wrong.
struct RealSpan {
    bool negative;
    size_t digitsBegin;
    size_t exponentBegin; // at 'e' or 'E', or the end of the number
    size_t end;
};

bool ScanReal(const std::string& text, RealSpan& span)
{
    size_t pos = SkipBlanks(text, 0);
    span.negative = pos < text.size() && text[pos] == '-';
    span.digitsBegin = pos = SkipSign(text, pos);
    const size_t intEnd = SkipDigits(text, pos);
    size_t fracEnd = intEnd;
    if (intEnd < text.size() && text[intEnd] == '.') fracEnd = SkipDigits(text, intEnd + 1);
    const bool hasDigits = intEnd > span.digitsBegin || fracEnd > intEnd + 1;
    if (!hasDigits) return false;
    span.exponentBegin = pos = fracEnd;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        const size_t expDigits = SkipSign(text, pos + 1);
        pos = SkipDigits(text, expDigits);
        if (pos == expDigits) return false;
    }
    span.end = pos;
    return SkipBlanks(text, pos) == text.size();
}

long long ExplicitExponent(const std::string& text, const RealSpan& span)
{
    if (span.exponentBegin == span.end) return 0;
    const bool negative = text[span.exponentBegin + 1] == '-';
    long long exponent = 0;
    for (size_t pos = SkipSign(text, span.exponentBegin + 1); pos < span.end; ++pos) {
        if (exponent < 1000000000000LL) exponent = exponent * 10 + (text[pos] - '0');
    }
    return negative ? -exponent : exponent;
}

// Decimal exponent of the leading non-zero digit; a value out of the double range is an
// overflow when it is at least 0 and an underflow otherwise.
long long LeadingExponent(const std::string& text, const RealSpan& span)
{
    size_t point = text.find('.', span.digitsBegin);
    if (point > span.exponentBegin) point = span.exponentBegin;
    size_t lead = span.digitsBegin;
    while (lead < span.exponentBegin && (text[lead] == '0' || text[lead] == '.')) ++lead;
    const long long position =
        lead < point ? static_cast<long long>(point - lead) - 1 : -static_cast<long long>(lead - point);
    return position + ExplicitExponent(text, span);
}

} // namespace

double StrToFloat(const std::string& text)
{
    RealSpan span{};
    if (!ScanReal(text, span)) RefuseFloat(text);
    double value = 0;
    const char* first = text.data() + span.digitsBegin;
    const char* last = text.data() + span.end;
    const std::from_chars_result result = std::from_chars(first, last, value);
    if (result.ec == std::errc::result_out_of_range) {
        if (LeadingExponent(text, span) >= 0) RefuseFloat(text);
        value = 0;
    } else if (result.ec != std::errc() || result.ptr != last) {
        RefuseFloat(text);
    }
    return span.negative ? -value : value;
}

int StrToInt(const std::string& text)
{
    size_t pos = SkipBlanks(text, 0);
    const bool negative = pos < text.size() && text[pos] == '-';
    pos = SkipSign(text, pos);
    const size_t digitsBegin = pos;
    long long value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) RefuseInt(text);
    }
    if (pos == digitsBegin || pos != text.size()) RefuseInt(text);
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) RefuseInt(text);
    return static_cast<int>(value);
}

namespace {

// A rounded zero is shown without a sign, as "0.00e+00" rather than "-0.00e+00".
std::string DropSignOfZero(std::string text)
{
    if (text.empty() || text[0] != '-') return text;
    for (char c : text) {
        if (c >= '1' && c <= '9') return text;
        if (c == 'e') break;
    }
    return text.substr(1);
}

// Rounded to nearest from the exact binary value; the exponent has a sign and two digits or more.
std::string FormatWith(double value, std::chars_format format, int decimals)
{
    char buffer[400];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value, format, decimals);
    return DropSignOfZero(std::string(buffer, result.ptr));
}

} // namespace

std::string ShortNumberText(double value, int digits)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

std::string FormatSci2(double value)
{
    return FormatWith(value, std::chars_format::scientific, 2);
}

std::string FormatSci3(double value)
{
    return FormatWith(value, std::chars_format::scientific, 3);
}

std::string FormatFixed3(double value)
{
    return FormatWith(value, std::chars_format::fixed, 3);
}

std::string ErrorReportText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

} // namespace corvane
