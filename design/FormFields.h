// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvane {

// The design window's input fields by role, and its four drop-downs: what a front end reads
// and what a design file keeps of the classic form.
enum class Field { N, Ripple, PassF, Fmin, Fmax, R, FStart, Stop };
// Response type, approximation, ladder topology, frequency unit.
enum class Selector { Type, Model, Topology, Scale };

// How many characters the user may type into a field; 0 for no limit.
int FieldMaxLength(Field field);

} // namespace corvane
