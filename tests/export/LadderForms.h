// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "design/LadderModel.h"

// One ladder of every form and type the program builds: low-pass, high-pass, band-pass and
// band-stop in T and Pi form, elliptic traps, chosen zeros, the top-C and top-L coupled forms, and a
// shunt arm alone. The exporters are checked over all of them.
struct NamedLadder {
    std::string name;
    corvane::LadderModel ladder;
};

std::vector<NamedLadder> EveryLadderForm();
