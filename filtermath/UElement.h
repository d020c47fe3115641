// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "filtermath/LadderPlace.h"

namespace corvane {

// Element values of the ladder between two resistances RL. The caller sizes every
// output array to N + 2 entries; index 0 and N + 1 are the terminations.
void LowPassElementsT(int N, const std::vector<double>& g, double PassF, double RL, double UnitScale,
                      std::vector<std::string>& ElementUnits, std::vector<double>& ElementValues);
void LowPassElementsPi(int N, const std::vector<double>& g, double PassF, double RL, double UnitScale,
                       std::vector<std::string>& ElementUnits, std::vector<double>& ElementValues);
void HighPassElementsT(int N, const std::vector<double>& g, double PassF, double RL, double UnitScale,
                       std::vector<std::string>& ElementUnits, std::vector<double>& ElementValues);
void HighPassElementsPi(int N, const std::vector<double>& g, double PassF, double RL, double UnitScale,
                        std::vector<std::string>& ElementUnits, std::vector<double>& ElementValues);
void BandPassElementsT(int N, const std::vector<double>& g, double Fmin, double Fmax, double RL, double UnitScale,
                       std::vector<double>& BandC, std::vector<double>& BandL);
void BandPassElementsPi(int N, const std::vector<double>& g, double Fmin, double Fmax, double RL, double UnitScale,
                        std::vector<double>& BandC, std::vector<double>& BandL);

// The one procedure that FilterKind (low-pass, high-pass or band-pass family) and the topology
// choose, with its own arguments taken from the rest.
void ComputeElementTable(int FilterKind, LadderTopology topology, int N, const std::vector<double>& g, double PassF,
                         double Fmin, double Fmax, double RL, double UnitScale, std::vector<std::string>& ElementUnits,
                         std::vector<double>& ElementValues, std::vector<double>& BandL, std::vector<double>& BandC);

} // namespace corvane
