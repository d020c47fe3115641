// SPDX-License-Identifier: Apache-2.0
#include "export/ExportSweep.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "export/ExportError.h"

namespace corvane {

const char* const kNoPositiveFrequencyText = "The sweep holds no positive frequency to export.";

std::vector<double> ExportFrequencies(const std::vector<double>& Freq)
{
    std::vector<double> frequencies;
    for (double f : Freq) {
        if (f > 0.0 && std::isfinite(f)) frequencies.push_back(f);
    }
    if (frequencies.empty()) throw ExportError(kNoPositiveFrequencyText);
    std::sort(frequencies.begin(), frequencies.end());
    frequencies.erase(std::unique(frequencies.begin(), frequencies.end()), frequencies.end());
    return frequencies;
}

std::string NumberText(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

} // namespace corvane
