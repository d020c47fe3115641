// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "synthesis/Synthesis.h"

namespace corvane {

// Band-pass filters of shunt parallel-LC resonators coupled by series capacitors (top-C) or
// series inductors (top-L), with a series capacitor or inductor from each termination into its
// end resonator. The narrow-band design from the prototype's coupling coefficients
// k = FBW / sqrt(g_i g_i+1) and external Q = g0 g1 / FBW, g_N g_N+1 / FBW is then refined on
// the exact response of the ladder.
namespace synthesis {

constexpr double kCoupledLossGoalDb = 0.05;
constexpr double kCoupledEdgeGoal = 0.01;
// Up to this fractional bandwidth the refinement is expected to meet the goal.
constexpr double kCoupledGoalBandwidth = 0.10;

// The prototype values g0 ... g_N+1 of the all-pole family (g0 = 1, a 1 ohm source); for an even
// order Chebyshev g_N+1 is the load its ladder needs.
std::vector<Real> AllPoleG(const FamilyRequest& response, const Characteristic& c);

// The coupled-resonator ladder of a band-pass request whose form is TopC or TopL. Throws Failure
// when no positive set of values exists, naming the resonator and an inductance that works.
Ladder CoupledResonatorLadder(const DesignRequest& r, const Characteristic& c, CoupledFit& fit);

// How closely a coupled form meets the family's response, in one sentence without a full stop,
// with the goal it falls short of where it does.
std::string CoupledFitText(const CoupledFit& fit, BandPassForm form);

} // namespace synthesis

} // namespace corvane
