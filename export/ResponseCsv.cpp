// SPDX-License-Identifier: Apache-2.0
#include "export/ResponseCsv.h"

#include "export/AtomicFile.h"
#include "export/ExportSweep.h"

namespace {

// A unit typed into the drop-down may hold a comma or a quote; a quoted field keeps the
// header at three columns.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::string ResponseCsvText(const Sweep& Freq, const Sweep& Att, const Sweep& S11, const std::string& unitText)
{
    std::string text = CsvField("Frequency (" + unitText + ")") + ",Attenuation (dB),S11 (dB)\n";
    for (int i = 0; i < SweepPoints; ++i) {
        const size_t k = static_cast<size_t>(i);
        text += NumberText(Freq[k]) + "," + NumberText(Att[k]) + "," + NumberText(S11[k]) + "\n";
    }
    return text;
}

void WriteResponseCsv(const std::string& path, const Sweep& Freq, const Sweep& Att, const Sweep& S11,
                      const std::string& unitText)
{
    WriteFileAtomically(path, ResponseCsvText(Freq, Att, S11, unitText));
}
