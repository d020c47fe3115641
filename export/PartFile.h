// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <memory>
#include <string>

#include "design/LadderModel.h"
#include "design/MeasuredPart.h"
#include "export/TouchstoneReader.h"

namespace corvane {

// A vendor's two-port file of one part, taken as the part measured in series between the two
// ports: Z = 2 sqrt(Z1 Z2) / S21 - Z1 - Z2 with the file's reference resistances Z1 and Z2 (with
// equal ones, 2 Z0 (1 - S21) / S21).
MeasuredPart PartOfTouchstone(const TwoPortData& data, PartKind kind, const std::string& fileName);

// Reads the file at path. TouchstoneError naming the file (and the line, for a fault of the text)
// for a file that cannot be read or holds no such part.
std::shared_ptr<const MeasuredPart> ReadPartFile(const std::string& path, PartKind kind);

// The kind a designator names: an inductor for L..., a capacitor for C...; std::invalid_argument
// for any other text or one that is no designator (a letter and a number from 1; the earlier
// second-pair names such as L3B are read too).
PartKind KindOfDesignator(const std::string& designator);

} // namespace corvane
