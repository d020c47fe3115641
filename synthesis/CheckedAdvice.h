// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

#include "synthesis/Synthesis.h"

namespace corvane {

// The advice a refusal gives names only alternatives that were designed and worked.
namespace synthesis {

// "; the Pi form realises it" when the other form designs; "" otherwise.
std::string OtherFormAdvice(const DesignRequest& r);
// While one lives on this thread, refusals give no advice: the designs tried in a search for
// what works do not set off searches of their own.
struct QuietRefusals {
    QuietRefusals();
    ~QuietRefusals();
    QuietRefusals(const QuietRefusals&) = delete;
    QuietRefusals& operator=(const QuietRefusals&) = delete;
    bool wasQuiet;
};
bool AdviceQuiet();

// The same for the other form, one order less and 10 dB more stopband attenuation, joined.
std::string ExpansionAdvice(const DesignRequest& r);

} // namespace synthesis

} // namespace corvane
