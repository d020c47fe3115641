#include <cmath>
#include <cstdlib>
#include <regex>
#include <string>

#include "FuzzInput.h"
#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

void CheckFormats(double value)
{
    static const std::regex sci2(R"(-?\d\.\d{2}e[+-]\d{2,3})");
    static const std::regex sci3(R"(-?\d\.\d{3}e[+-]\d{2,3})");
    static const std::regex fixed3(R"(-?\d+\.\d{3})");
    Require(std::regex_match(FormatSci2(value), sci2));
    Require(std::regex_match(FormatSci3(value), sci3));
    if (std::fabs(value) < 1e15) Require(std::regex_match(FormatFixed3(value), fixed3));
}

void CheckFloat(const std::string& text)
{
    try {
        const double value = StrToFloat(text);
        Require(std::isfinite(value));
        CheckFormats(value);
    } catch (const ConvertError& e) {
        Require(std::string(e.what()) == "'" + text + "' is not a valid floating point value");
    }
}

void CheckInteger(const std::string& text)
{
    try {
        StrToInt(text);
    } catch (const ConvertError& e) {
        Require(std::string(e.what()) == "'" + text + "' is not a valid integer value");
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
