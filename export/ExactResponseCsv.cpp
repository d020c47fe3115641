// SPDX-License-Identifier: Apache-2.0
#include "export/ExactResponseCsv.h"

#include <algorithm>

#include "export/Csv.h"
#include "export/ExportSweep.h"

namespace corvane {

std::string ExactResponseCsvText(const std::vector<double>& freq, const std::vector<double>& s21Db,
                                 const std::vector<double>& s11Db, const std::vector<double>& delaySeconds,
                                 const std::string& unitText)
{
    // A unit typed into the drop-down may hold a comma or a quote: quoted, the header keeps
    // its four columns.
    std::string text = CsvField("Frequency (" + unitText + ")") + ",S21 (dB),S11 (dB),Group delay (s)\n";
    const size_t rows = std::min({freq.size(), s21Db.size(), s11Db.size(), delaySeconds.size()});
    text.reserve(text.size() + rows * 64);
    for (size_t i = 0; i < rows; ++i)
        text += NumberText(freq[i]) + ',' + NumberText(s21Db[i]) + ',' + NumberText(s11Db[i]) + ',' +
                NumberText(delaySeconds[i]) + '\n';
    return text;
}

} // namespace corvane
