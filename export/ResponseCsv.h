// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

namespace corvane {

// The last run's curves as comma-separated values for a spreadsheet: a header row naming the
// columns (the frequency with its unit), then one row per sweep point in sweep order:
// frequency, attenuation in dB, S11 in dB. The rows run as long as the shortest column.
std::string ResponseCsvText(const std::vector<double>& Freq, const std::vector<double>& Att,
                            const std::vector<double>& S11, const std::string& unitText);

// The same, written with the safe writer; ExportError when it cannot be written.
void WriteResponseCsv(const std::string& path, const std::vector<double>& Freq, const std::vector<double>& Att,
                      const std::vector<double>& S11, const std::string& unitText);

} // namespace corvane
