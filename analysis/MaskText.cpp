// SPDX-License-Identifier: Apache-2.0
#include "analysis/MaskText.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"

namespace corvane {

namespace {

const MaskKind kKinds[] = {MaskKind::Pass, MaskKind::Stop, MaskKind::ReturnLoss, MaskKind::Delay};

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> items;
    std::string item;
    std::istringstream in(text);
    while (std::getline(in, item, separator)) items.push_back(item);
    return items;
}

std::vector<std::string> Words(const std::string& item)
{
    std::vector<std::string> words;
    std::istringstream in(item);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool ReadKind(const std::string& word, MaskKind& kind)
{
    for (MaskKind k : kKinds)
        if (word == MaskKindWord(k)) {
            kind = k;
            return true;
        }
    return false;
}

bool ReadEdge(const std::string& word, double unitScale, double& hz)
{
    TypedValue typed;
    if (!ReadEngineeringText(word, "Hz", typed)) return false;
    hz = typed.absolute ? typed.value : typed.value * unitScale;
    return std::isfinite(hz) && hz >= 0.0;
}

bool ReadValue(const std::string& word, MaskKind kind, double& value)
{
    TypedValue typed;
    if (!ReadEngineeringText(word, kind == MaskKind::Delay ? "s" : "dB", typed)) return false;
    value = typed.value;
    return std::isfinite(value) && value >= 0.0;
}

MaskBand ReadBand(const std::string& item, const std::string& where, double unitScale)
{
    const std::vector<std::string> words = Words(item);
    MaskBand band;
    if (words.empty() || !ReadKind(words[0], band.kind))
        throw Failure(where + " must start with its kind: pass, stop, rl or delay.");
    if (words.size() != 4)
        throw Failure(where + " must be its kind, two edges and a value, as in \"" + MaskKindWord(band.kind) +
                      (band.kind == MaskKind::Delay ? " 1M 20M 2n\"." : " 60M 300M 40\"."));
    if (!ReadEdge(words[1], unitScale, band.lowHz))
        throw Failure(where + ": the lower edge \"" + words[1] + "\" must be a frequency of zero or above.");
    if (!ReadEdge(words[2], unitScale, band.highHz))
        throw Failure(where + ": the upper edge \"" + words[2] + "\" must be a frequency above zero.");
    if (!ReadValue(words[3], band.kind, band.value))
        throw Failure(where + ": the value \"" + words[3] + "\" must be " +
                      (band.kind == MaskKind::Delay ? "a time of 0 s or above." : "a number of dB, 0 or above."));
    return band;
}

// Every digit a double needs, with the prefix that keeps its integer part short; where no digits
// after a prefix give the value back, the plain value with its unit, which every reader takes as it is.
std::string ExactText(double value, const char* const* prefixes, const double* scales, int count, const char* unit)
{
    int k = 0;
    while (k + 1 < count && std::fabs(value) >= scales[k + 1]) ++k;
    if (value == 0.0) return "0";
    for (int digits = 6; digits <= 17; ++digits) {
        char text[48];
        std::snprintf(text, sizeof text, "%.*g%s", digits, value / scales[k], prefixes[k]);
        TypedValue back;
        if (ReadEngineeringText(text, unit, back) && back.value == value) return text;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.17g%s", value, unit);
    return text;
}

std::string FrequencyText(double hz)
{
    static const char* const prefixes[] = {"", "k", "M", "G", "T"};
    static const double scales[] = {1.0, 1e3, 1e6, 1e9, 1e12};
    return ExactText(hz, prefixes, scales, 5, "Hz");
}

std::string SecondsText(double s)
{
    static const char* const prefixes[] = {"f", "p", "n", "u", "m", ""};
    static const double scales[] = {1e-15, 1e-12, 1e-9, 1e-6, 1e-3, 1.0};
    return ExactText(s, prefixes, scales, 6, "s");
}

std::string DecimalText(double value)
{
    static const char* const prefixes[] = {""};
    static const double scales[] = {1.0};
    return ExactText(value, prefixes, scales, 1, "");
}

std::string Printed(const char* format, double value)
{
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string SpanText(const MaskBand& band, double scale)
{
    return Printed("%.6g", band.lowHz / scale) + " to " + Printed("%.6g", band.highHz / scale);
}

std::string LimitText(const MaskBand& band)
{
    switch (band.kind) {
    case MaskKind::Pass: return "loss at most " + Printed("%g", band.value) + " dB";
    case MaskKind::Stop: return "loss at least " + Printed("%g", band.value) + " dB";
    case MaskKind::ReturnLoss: return "return loss at least " + Printed("%g", band.value) + " dB";
    case MaskKind::Delay: break;
    }
    return "group delay within " + EngineeringText(band.value, "s") + " of its mean";
}

} // namespace

std::string MaskBandText(const MaskBand& band, double scale, const std::string& unitText, int points)
{
    std::string text =
        std::string(MaskKindNoun(band.kind)) + " " + SpanText(band, scale) + " " + unitText + ": " + LimitText(band);
    if (points >= 0) text += ", " + std::to_string(points) + " points";
    return text;
}

std::string WhereText(const std::vector<MaskBand>& bands, std::size_t band, double hz, double scale,
                      const std::string& unitText)
{
    if (band >= bands.size()) return "";
    return "in the " + std::string(MaskKindNoun(bands[band].kind)) + " " + SpanText(bands[band], scale) + " " +
           unitText + " at " + Printed("%.6g", hz / scale) + " " + unitText;
}

Mask ReadMaskText(const std::string& text, const std::string& field, double unitScale)
{
    Mask mask;
    const std::vector<std::string> items = Split(text, ';');
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (Words(items[i]).empty()) {
            if (i + 1 == items.size()) break; // a closing semicolon
            throw Failure(field + ", band " + std::to_string(i + 1) + " is empty: bands are separated by semicolons.");
        }
        mask.bands.push_back(ReadBand(items[i], field + ", band " + std::to_string(i + 1), unitScale));
    }
    CheckMask(mask, field);
    return mask;
}

std::string MaskText(const Mask& mask)
{
    std::string text;
    for (const MaskBand& band : mask.bands) {
        if (!text.empty()) text += "; ";
        text += std::string(MaskKindWord(band.kind)) + " " + FrequencyText(band.lowHz) + " " +
                FrequencyText(band.highHz) + " " +
                (band.kind == MaskKind::Delay ? SecondsText(band.value) : DecimalText(band.value));
    }
    return text;
}

} // namespace corvane
