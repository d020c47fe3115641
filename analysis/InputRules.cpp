// SPDX-License-Identifier: Apache-2.0
#include "analysis/InputRules.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "analysis/NetworkResponse.h"
#include "filtermath/EngineeringText.h"

namespace corvane {

namespace {

std::string Short(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

// The typed value in the field's own unit; nullopt-like false for a text that is no value.
bool Typed(const std::string& text, const char* unit, double unitScale, double& value)
{
    TypedValue typed;
    if (!ReadEngineeringText(text, unit, typed)) return false;
    value = typed.absolute ? typed.value / unitScale : typed.value;
    return std::isfinite(value);
}

int Count(const std::string& text, const std::string& field, int lowest, int highest)
{
    double value = 0.0;
    if (!Typed(text, "", 1.0, value) || value != std::floor(value) || value < lowest || value > highest)
        throw InputError(field + " must be a whole number from " + std::to_string(lowest) + " to " +
                         std::to_string(highest) + ".");
    return static_cast<int>(value);
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

int ReadPoints(const std::string& text, const std::string& field)
{
    return Count(text, field, kMinNetworkPoints, kMaxNetworkPoints);
}

int ReadTrials(const std::string& text, const std::string& field)
{
    return Count(text, field, 1, kMaxToleranceTrials);
}

std::uint64_t ReadSeed(const std::string& text, const std::string& field)
{
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    const std::string digits = first == std::string::npos ? "" : text.substr(first, last - first + 1);
    const bool plain = !digits.empty() && digits.size() <= 20 &&
                       std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    errno = 0;
    const unsigned long long seed = plain ? std::strtoull(digits.c_str(), nullptr, 10) : 0;
    if (!plain || errno == ERANGE) throw InputError(field + " must be a whole number from 0 to 18446744073709551615.");
    return seed;
}

double ReadPartQ(const std::string& text, const std::string& field)
{
    double Q = 0.0;
    if (!Typed(text, "", 1.0, Q) || Q < 0.0) throw InputError(field + " must be 0 (ideal) or a positive number.");
    return Q;
}

bool SplitGrowingQ(const std::string& text, std::string& q, std::string& at)
{
    const size_t sign = text.find('@');
    if (sign == std::string::npos) return false;
    std::string before = Trimmed(text.substr(0, sign)), after = Trimmed(text.substr(sign + 1));
    if (before.empty() || after.empty()) return false;
    q = std::move(before);
    at = std::move(after);
    return true;
}

KindQ ReadKindQ(const std::string& text, const std::string& field, double unitScale)
{
    if (text.find('@') == std::string::npos) return {ReadPartQ(text, field), 0.0};
    std::string q, at;
    if (!SplitGrowingQ(text, q, at))
        throw InputError(field + " must be a number, or a number @ a frequency (80 @ 100 MHz).");
    KindQ kindQ{ReadPartQ(q, field), 0.0};
    if (kindQ.Q == 0.0) throw InputError(field + " must be above zero to grow with the frequency (80 @ 100 MHz).");
    double hz = 0.0;
    if (!Typed(at, "Hz", unitScale, hz) || !(hz > 0.0))
        throw InputError(field + " must grow from a frequency above zero (80 @ 100 MHz).");
    kindQ.QHz = hz * unitScale;
    return kindQ;
}

double ReadTolerancePercent(const std::string& text, const std::string& field, ToleranceDistribution distribution)
{
    const double limit = ToleranceLimitPercent(distribution);
    double percent = 0.0;
    if (!Typed(text, "%", 1.0, percent) || percent < 0.0 || percent >= limit)
        throw InputError(field + " must be a percentage from 0 to below " + Short(limit) +
                         (distribution == ToleranceDistribution::Normal ? " with the normal distribution." : "."));
    return percent;
}

double ReadFrequency(const std::string& text, const std::string& field, double unitScale)
{
    double value = 0.0;
    if (!Typed(text, "Hz", unitScale, value) || !(value > 0.0))
        throw InputError(field + " must be a frequency above zero.");
    return value;
}

std::vector<double> ReadFrequencyList(const std::string& text, const std::string& field, double unitScale)
{
    std::vector<double> list;
    if (text.find_first_not_of(" \t") == std::string::npos) return list;
    size_t from = 0;
    while (true) {
        const size_t comma = text.find(',', from);
        const std::string item = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        double value = 0.0;
        if (!Typed(item, "Hz", unitScale, value) || !(value > 0.0))
            throw InputError(field + " must be frequencies above zero, separated by commas.");
        list.push_back(value);
        if (comma == std::string::npos) return list;
        from = comma + 1;
    }
}

PartLimits ReadPartLimits(const std::string& text, const std::string& field)
{
    PartLimits limits;
    if (text.find_first_not_of(" \t") == std::string::npos) return limits;
    const char* units[] = {"F", "H", "\u03a9"};
    double* values[] = {&limits.minCapacitance, &limits.minInductance, &limits.maxInductorReactance};
    size_t from = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t comma = text.find(',', from);
        const bool last = i == 2;
        double value = 0.0;
        if ((comma == std::string::npos) != last ||
            !Typed(text.substr(from, last ? std::string::npos : comma - from), units[i], 1.0, value) || !(value > 0.0))
            throw InputError(field + " must be three values above zero, separated by commas.");
        *values[i] = value;
        from = comma + 1;
    }
    return limits;
}

double ReadSweepEdge(const std::string& text, const std::string& field, double unitScale)
{
    double value = 0.0;
    if (!Typed(text, "Hz", unitScale, value) || value < 0.0)
        throw InputError(field + " must be a frequency of zero or above.");
    return value;
}

double ReadResistance(const std::string& text, const std::string& field)
{
    double ohms = 0.0;
    if (!Typed(text, "\u03a9", 1.0, ohms) || !(ohms > 0.0))
        throw InputError(field + " must be a resistance above zero.");
    return ohms;
}

namespace {

double ReadNoneOrAbove(const std::string& text, const std::string& field, const char* unit, double unitScale,
                       const char* what)
{
    double value = 0.0;
    if (!Typed(text, unit, unitScale, value) || value < 0.0)
        throw InputError(field + " must be 0 (none) or " + what + " above zero.");
    return value;
}

} // namespace

double ReadSelfResonance(const std::string& text, const std::string& field, double unitScale)
{
    return ReadNoneOrAbove(text, field, "Hz", unitScale, "a frequency");
}

double ReadLossResistance(const std::string& text, const std::string& field)
{
    return ReadNoneOrAbove(text, field, "\u03a9", 1.0, "a resistance");
}

double ReadStrayCapacitance(const std::string& text, const std::string& field)
{
    return ReadNoneOrAbove(text, field, "F", 1.0, "a capacitance");
}

namespace {

// "n3 4p", "n3=4p" or "n3: 4p": node 3 and its value; false for an item that names no node.
bool NodeItem(const std::string& item, int& node, std::string& value)
{
    size_t end = 1;
    while (end < item.size() && std::isdigit(static_cast<unsigned char>(item[end]))) ++end;
    if (item.size() < 2 || (item[0] != 'n' && item[0] != 'N') || end == 1 || end > 6) return false;
    if (end < item.size() && item[end] != ' ' && item[end] != '=' && item[end] != ':') return false;
    node = std::atoi(item.substr(1, end - 1).c_str());
    value = item.substr(end);
    const size_t first = value.find_first_not_of(" \t=:");
    value = first == std::string::npos ? std::string() : value.substr(first);
    return true;
}

// "out 4p": the load's node, as the netlist names it.
bool OutputItem(const std::string& item, std::string& value)
{
    if (item.size() < 4 || (item.compare(0, 3, "out") != 0 && item.compare(0, 3, "OUT") != 0)) return false;
    if (item[3] != ' ' && item[3] != '=' && item[3] != ':') return false;
    const size_t first = item.find_first_not_of(" \t=:", 3);
    value = first == std::string::npos ? std::string() : item.substr(first);
    return true;
}

} // namespace

BoardStrays ReadNodeStrays(const std::string& text, const std::string& field)
{
    BoardStrays strays;
    bool everyNode = false;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t comma = std::min(text.find(',', from), text.size());
        const size_t first = text.find_first_not_of(" \t", from);
        const size_t last = text.find_last_not_of(" \t", comma == 0 ? 0 : comma - 1);
        const std::string item = first < comma && last != std::string::npos && last >= first
                                     ? text.substr(first, last - first + 1)
                                     : std::string();
        from = comma + 1;
        if (item.empty()) continue;
        int node = 0;
        std::string value;
        if (OutputItem(item, value)) {
            const std::string name = field + " at out";
            if (strays.nodeCAt.count(BoardStrays::kOutputNode) != 0) throw InputError(name + " is given twice.");
            strays.nodeCAt[BoardStrays::kOutputNode] = ReadStrayCapacitance(value, name);
            continue;
        }
        if (!NodeItem(item, node, value)) {
            if (everyNode) throw InputError(field + ": give one value for every node, and nodes as n3 4p.");
            strays.nodeC = ReadStrayCapacitance(item, field);
            everyNode = true;
            continue;
        }
        const std::string name = field + " at n" + std::to_string(node);
        if (node < 1) throw InputError(field + ": nodes are numbered from n1 at the source.");
        if (strays.nodeCAt.count(node) != 0) throw InputError(name + " is given twice.");
        strays.nodeCAt[node] = ReadStrayCapacitance(value, name);
    }
    return strays;
}

double ReadStrayInductance(const std::string& text, const std::string& field)
{
    return ReadNoneOrAbove(text, field, "H", 1.0, "an inductance");
}

double ReadPowerW(const std::string& text, const std::string& field)
{
    double watts = 0.0;
    if (!Typed(text, "W", 1.0, watts) || !(watts > 0.0)) throw InputError(field + " must be a power above zero.");
    return watts;
}

double ReadPowerDbm(const std::string& text, const std::string& field)
{
    double dBm = 0.0;
    // Past 300 dBm the power is no longer a finite double.
    if (!Typed(text, "dBm", 1.0, dBm) || std::fabs(dBm) > 300.0)
        throw InputError(field + " must be a level in dBm from -300 to 300.");
    return std::pow(10.0, (dBm - 30.0) / 10.0);
}

double ReadVswr(const std::string& text, const std::string& field)
{
    double vswr = 0.0;
    if (!Typed(text, "", 1.0, vswr) || !(vswr >= 1.0)) throw InputError(field + " must be 1 (matched) or above.");
    return vswr;
}

bool PowerTextInWatts(const std::string& text)
{
    const size_t last = text.find_last_not_of(" \t");
    return last != std::string::npos && text[last] == 'W';
}

double ReadPower(const std::string& text, const std::string& field)
{
    try {
        return PowerTextInWatts(text) ? ReadPowerW(text, field) : ReadPowerDbm(text, field);
    } catch (const InputError&) {
        // The field takes both forms, so its message names both.
        throw InputError(field + " must be a level in dBm from -300 to 300, or a power above zero in W.");
    }
}

namespace {

double ReadRating(const std::string& text, const std::string& field, const char* unit, const char* what)
{
    if (text.find_first_not_of(" \t") == std::string::npos) return 0.0;
    double value = 0.0;
    if (!Typed(text, unit, 1.0, value) || !(value > 0.0))
        throw InputError(field + " must be empty (no rating) or " + what + " above zero.");
    return value;
}

} // namespace

double ReadVoltageRating(const std::string& text, const std::string& field)
{
    return ReadRating(text, field, "V", "a voltage");
}

double ReadCurrentRating(const std::string& text, const std::string& field)
{
    return ReadRating(text, field, "A", "a current");
}

double ReadInductance(const std::string& text, const std::string& field)
{
    double henries = 0.0;
    if (!Typed(text, "H", 1.0, henries) || !(henries > 0.0))
        throw InputError(field + " must be an inductance above zero.");
    return henries;
}

double ReadAttenuation(const std::string& text, const std::string& field)
{
    double dB = 0.0;
    if (!Typed(text, "dB", 1.0, dB) || dB < 0.0) throw InputError(field + " must be an attenuation of 0 dB or more.");
    return dB;
}

double ReadRipple(const std::string& text, const std::string& field)
{
    double dB = 0.0;
    if (!Typed(text, "dB", 1.0, dB) || !(dB > 0.0) || dB > kMaxRippleDb)
        throw InputError(field + " must be a ripple above 0 dB and at most " + Short(kMaxRippleDb) + " dB.");
    return dB;
}

double ReadPhaseError(const std::string& text, const std::string& field)
{
    double degrees = 0.0;
    if (!Typed(text, "", 1.0, degrees) || !(degrees > 0.0) || degrees > kMaxPhaseErrorDeg)
        throw InputError(field + " must be a phase error above 0 and at most " + Short(kMaxPhaseErrorDeg) +
                         " degrees.");
    return degrees;
}

std::string PlainNumberText(const std::string& text, const char* unit, double unitScale)
{
    TypedValue typed;
    if (!ReadEngineeringText(text, unit, typed) || !typed.absolute) return text;
    const double value = typed.value / unitScale;
    // The shortest of 15 to 17 digits that reads back as the same double.
    char plain[40];
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(plain, sizeof plain, "%.*g", digits, value);
        if (std::strtod(plain, nullptr) == value) break;
    }
    return plain;
}

} // namespace corvane
