// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <ostream>

namespace corvane {

// `corvane --version` and `corvane --help` are answered before any window exists, so that they work
// without a display. Returns the exit status when one of them was asked, nothing otherwise.
std::optional<int> AnswerInfoOptions(int argc, const char* const* argv, std::ostream& out);

} // namespace corvane
