// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "filtermath/FrequencyUnits.h"

using namespace corvane;

namespace {

// Touchstone's option line and hand-written files spell units in any case.
TEST(FrequencyUnits, AreFoundByNameInAnyCaseAndNothingElseIs)
{
    const struct {
        const char* name;
        double scale;
    } found[] = {{"Hz", 1.0},  {"hz", 1.0},  {"HZ", 1.0},  {"khz", 1e3}, {"KHZ", 1e3},
                 {"MHz", 1e6}, {"mhz", 1e6}, {"MHZ", 1e6}, {"ghz", 1e9}, {"GHz", 1e9}};
    for (const auto& f : found) {
        const FrequencyUnit* unit = UnitOfName(f.name);
        ASSERT_NE(unit, nullptr) << f.name;
        EXPECT_EQ(unit->scale, f.scale) << f.name;
    }
    for (const char* unknown : {"", " MHz", "MHz ", "M", "megahertz", "THz", "kHzz", "rad/s"})
        EXPECT_EQ(UnitOfName(unknown), nullptr) << unknown;
}

} // namespace
