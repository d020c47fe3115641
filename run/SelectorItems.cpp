// SPDX-License-Identifier: Apache-2.0
#include "run/SelectorItems.h"

const std::array<const char*, 3> kTypeItems{"LPF", "HPF", "BPF"};
const std::array<const char*, 2> kModelItems{"Butterworth", "Chebyshev"};
const std::array<const char*, 2> kTopologyItems{"T - Type", "Pi - Type"};
