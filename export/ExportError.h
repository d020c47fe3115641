// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "filtermath/Failure.h"

namespace corvane {

// A file that cannot be written, or a sweep with nothing to export; what() is the text to show.
class ExportError : public Failure {
public:
    using Failure::Failure;
};

} // namespace corvane
