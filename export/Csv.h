// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace corvane {

// A field of a CSV file (RFC 4180): as it is, or in double quotes with every quote doubled where
// it holds a comma, a quote or a line break, so that a typed text keeps its row's columns.
std::string CsvField(const std::string& text);

} // namespace corvane
