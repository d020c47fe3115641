// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

namespace corvane {

// The exact response of a ladder as comma-separated values: a header row naming each column
// with its unit, then one row per sweep point: frequency in the chosen unit, |S21| and |S11|
// in dB, group delay in seconds, each to full precision. The columns run as long as the
// shortest of the four vectors.
std::string ExactResponseCsvText(const std::vector<double>& freq, const std::vector<double>& s21Db,
                                 const std::vector<double>& s11Db, const std::vector<double>& delaySeconds,
                                 const std::string& unitText);

} // namespace corvane
