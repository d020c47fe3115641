// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QString>

#include "filtermath/EngineeringText.h"

namespace corvane {

// The parts table's columns: the part, its values and checks, its model, and the four stress
// columns, hidden while no power is set.
enum PartsColumn : int {
    kPartColumn,
    kDesignedColumn,
    kStandardColumn,
    kChangeColumn,
    kCheckColumn,
    kModelColumn,
    kVoltageColumn,
    kCurrentColumn,
    kDissipationColumn,
    kFrequencyColumn,
    kColumns
};

// A cell's value as an engineer writes it (796 nH, 1.2 k\u03a9).
inline QString EngineeringCell(double value, const char* unit, bool trim = false)
{
    return QString::fromStdString(EngineeringText(value, unit, trim));
}

} // namespace corvane
