// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "export/PartCatalogue.h"

using namespace corvane;

// Any bytes either give a catalogue whose every part is a positive finite inductance or
// capacitance with figures that are absent or in range, or a CatalogueError naming the file;
// nothing else may escape and nothing may crash.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const PartCatalogue catalogue = ParseCatalogue(text, "/nonexistent/fuzz.csv");
        for (const CataloguePart& p : catalogue.parts) {
            if (p.kind != PartKind::Inductor && p.kind != PartKind::Capacitor) std::abort();
            if (!(p.value > 0.0) || !std::isfinite(p.value)) std::abort();
            if (!std::isnan(p.tolerancePercent) && !(p.tolerancePercent > 0.0 && p.tolerancePercent < 100.0))
                std::abort();
            if (std::isnan(p.Q) != std::isnan(p.qFrequencyHz)) std::abort();
            if (!std::isnan(p.Q) && !(p.Q > 0.0 && std::isfinite(p.Q) && p.qFrequencyHz > 0.0)) std::abort();
            if (!std::isnan(p.seriesOhms) && !(p.seriesOhms >= 0.0)) std::abort();
            if (!p.touchstoneFile.empty()) std::abort(); // no file exists under /nonexistent
        }
    } catch (const CatalogueError& error) {
        if (std::string(error.what()).rfind("/nonexistent/fuzz.csv, line ", 0) != 0) std::abort();
    }
    return 0;
}
