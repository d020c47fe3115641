// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "export/TouchstoneReader.h"

using namespace corvane;

// Any bytes either give a two-port whose every value is finite, its frequencies ascending, or a
// TouchstoneError; nothing else may escape and nothing may crash.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const TwoPortData parsed = ParseTouchstone(text, "fuzz.s2p");
        double last = -1.0;
        for (const TwoPortPoint& p : parsed.points) {
            if (!(p.frequencyHz > last) || !std::isfinite(p.frequencyHz)) std::abort();
            for (const auto& s : {p.S11, p.S21, p.S12, p.S22})
                if (!std::isfinite(s.real()) || !std::isfinite(s.imag())) std::abort();
            last = p.frequencyHz;
        }
        if (!(parsed.referenceOhms[0] > 0.0) || !(parsed.referenceOhms[1] > 0.0)) std::abort();
    } catch (const TouchstoneError&) {
    }
    return 0;
}
