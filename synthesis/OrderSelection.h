// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

#include "synthesis/Approximation.h"

namespace corvane {

// The smallest order that meets a stopband requirement, in prototype terms.
namespace synthesis {

struct OrderRequirement {
    Real rippleDb = 0.5L; // Chebyshev and Elliptic; the maximally flat families have 3 dB at the edge
    Real stopRatio = 2.0L; // prototype frequency of the stopband requirement (> 1)
    Real stopAttDb = 40.0L; // the loss needed there
    Real delayErrorDeg = 0.05L; // EquirippleDelay
    std::vector<Real> zeros{}; // chosen transmission zeros (prototype rad/s), for the families that take them
};

struct OrderChoice {
    Family family = Family::Butterworth;
    int N = 0; // 0: not even 15 poles reach it
    Real reachedDb = 0.0L; // the loss the chosen order has at the stop frequency
};

// Evaluates the ladder-realisable response of each order, from the least that holds the chosen
// zeros (the even elliptic and inverse
// Chebyshev in their modified forms). Throws Failure when the requirement is out of range or
// when 15 poles are not enough.
OrderChoice ChooseOrder(Family family, const OrderRequirement& requirement);
// Every family's choice for comparison; N = 0 where 15 poles are not enough. Families without a
// ripple of their own are compared at the given ripple, or at 3.01 dB when it is 0.
std::vector<OrderChoice> OrdersOfAllFamilies(const OrderRequirement& requirement);

} // namespace synthesis

} // namespace corvane
