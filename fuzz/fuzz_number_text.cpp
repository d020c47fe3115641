// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

#include "fuzz/FuzzInput.h"
#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"

using namespace corvane;

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

// A failure's text is a C string, so a field text holding a byte 0 is shown up to that byte.
bool SameMessage(const Failure& failure, const std::string& expected)
{
    return std::strcmp(failure.what(), expected.c_str()) == 0;
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// A shown value read back gives the value again, to the precision of its pattern; a value
// that rounds up past the largest double cannot be read back and is left out.
void CheckReadsBack(const std::string& shown, double value, double relative)
{
    if (std::fabs(value) > 1e307) return;
    const double back = StrToFloat(shown);
    Require(std::fabs(back - value) <= relative * std::fabs(value) || std::fabs(value) < 1e-300);
}

void CheckFormats(double value)
{
    static const std::regex sci2(R"(-?\d\.\d{2}e[+-]\d{2,3})");
    static const std::regex sci3(R"(-?\d\.\d{3}e[+-]\d{2,3})");
    static const std::regex fixed3(R"(-?\d+\.\d{3})");
    const std::string shown2 = FormatSci2(value);
    const std::string shown3 = FormatSci3(value);
    Require(std::regex_match(shown2, sci2));
    Require(std::regex_match(shown3, sci3));
    CheckReadsBack(shown2, value, 5.01e-3);
    CheckReadsBack(shown3, value, 5.01e-4);
    if (std::fabs(value) < 1e15) {
        const std::string fixed = FormatFixed3(value);
        Require(std::regex_match(fixed, fixed3));
        Require(std::fabs(StrToFloat(fixed) - value) <= 5.01e-4 + 1e-15 * std::fabs(value));
    }
}

void CheckFloat(const std::string& text)
{
    try {
        const double value = StrToFloat(text);
        Require(std::isfinite(value));
        CheckFormats(value);
    } catch (const ConvertError& e) {
        Require(SameMessage(e, "'" + text + "' is not a valid floating point value"));
    }
}

// Every integer text is also a real text with the same value.
void CheckInteger(const std::string& text)
{
    try {
        const int value = StrToInt(text);
        Require(StrToFloat(text) == static_cast<double>(value));
    } catch (const ConvertError& e) {
        Require(SameMessage(e, "'" + text + "' is not a valid integer value"));
    }
}

void CheckReport(const std::string& text)
{
    const std::string report = ErrorReportText(text);
    Require(StartsWith(report, text));
    Require(report.size() == text.size() || report == text + ".");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const std::string text = input.Text();
    CheckFloat(text);
    CheckInteger(text);
    CheckReport(text);
    return 0;
}
