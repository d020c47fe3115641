// SPDX-License-Identifier: Apache-2.0
#include "export/ResponseCsv.h"

#include <algorithm>

#include "export/AtomicFile.h"
#include "export/Csv.h"
#include "export/ExportSweep.h"

namespace corvane {

std::string ResponseCsvText(const std::vector<double>& Freq, const std::vector<double>& Att,
                            const std::vector<double>& S11, const std::string& unitText)
{
    // A unit typed into the drop-down may hold a comma or a quote.
    std::string text = CsvField("Frequency (" + unitText + ")") + ",Attenuation (dB),S11 (dB)\n";
    const size_t rows = std::min({Freq.size(), Att.size(), S11.size()});
    for (size_t k = 0; k < rows; ++k)
        text += NumberText(Freq[k]) + "," + NumberText(Att[k]) + "," + NumberText(S11[k]) + "\n";
    return text;
}

void WriteResponseCsv(const std::string& path, const std::vector<double>& Freq, const std::vector<double>& Att,
                      const std::vector<double>& S11, const std::string& unitText)
{
    WriteFileAtomically(path, ResponseCsvText(Freq, Att, S11, unitText));
}

} // namespace corvane
