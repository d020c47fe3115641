// SPDX-License-Identifier: Apache-2.0
#include "synthesis/Darlington.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "filtermath/Failure.h"
#include "filtermath/Pi.h"
#include "synthesis/CheckedAdvice.h"
#include "synthesis/ContinuedFraction.h"

namespace corvane {

namespace synthesis {

namespace {

const char* FormName(LadderTopology form)
{
    return KeyOf(kFormNames, form);
}

struct Attempt {
    std::vector<PrototypeBranch> branches;
    Wide load = 0;
};

// Orders in which to take the transmission zeros, from the source to the load: the highest
// zeros at the ends and the lowest in the middle, and its mirror image.
std::vector<std::vector<Real>> PreferredOrders(const std::vector<Real>& zeros)
{
    std::vector<Real> descending(zeros);
    std::sort(descending.rbegin(), descending.rend());
    std::vector<Real> outsideIn(zeros.size());
    size_t left = 0, right = zeros.size();
    for (size_t i = 0; i < descending.size(); ++i) {
        if (i % 2 == 0)
            outsideIn[left++] = descending[i];
        else
            outsideIn[--right] = descending[i];
    }
    return {outsideIn, std::vector<Real>(outsideIn.rbegin(), outsideIn.rend())};
}

// Depth-first over the orders in which the transmission zeros are taken, source to load: a
// prefix whose removal turns an element negative is dropped with all its continuations, so only
// the few workable orders are followed to the end. accept() judges each complete ladder.
template <typename Accept>
bool SearchOrders(const Expansion& x, std::vector<Real> remaining, int& budget, bool& positive, Accept accept)
{
    if (remaining.empty()) {
        Expansion last = x;
        Attempt attempt;
        attempt.load = Tail(last);
        if (!(attempt.load > 0)) return false;
        positive = true;
        attempt.branches = last.branches;
        return accept(attempt);
    }
    // The highest zeros first: they suit the ends of the ladder.
    std::sort(remaining.rbegin(), remaining.rend());
    for (size_t i = 0; i < remaining.size(); ++i) {
        if (--budget < 0) return false;
        Expansion next = x;
        if (!ShiftZero(next, static_cast<Wide>(remaining[i]))) continue;
        std::vector<Real> rest(remaining);
        rest.erase(rest.begin() + static_cast<long>(i));
        if (SearchOrders(next, rest, budget, positive, accept)) return true;
    }
    return false;
}

// The usual arrangements first, then the search over all orders.
template <typename Accept>
bool ExpandFrom(const Expansion& start, const std::vector<Real>& zeros, bool& expanded, Accept accept)
{
    for (const std::vector<Real>& order : PreferredOrders(zeros)) {
        Expansion x = start;
        bool shifted = true;
        for (Real wz : order) shifted = shifted && ShiftZero(x, static_cast<Wide>(wz));
        if (!shifted) continue;
        int none = 0;
        if (SearchOrders(x, {}, none, expanded, accept)) return true;
    }
    int budget = 1500;
    return SearchOrders(start, zeros, budget, expanded, accept);
}

Ladder NormalisedLadder(const std::vector<PrototypeBranch>& branches, Real load)
{
    Ladder ladder;
    ladder.RS = 1.0;
    ladder.RL = static_cast<double>(load);
    for (const PrototypeBranch& b : branches) {
        LadderBranch branch{b.place, b.kind, static_cast<double>(b.L), static_cast<double>(b.C)};
        ladder.branches.push_back(branch);
    }
    return ladder;
}

// The analysed prototype must reproduce the approximation wherever the response is above -80 dB.
bool Reproduces(const Ladder& ladder, const Characteristic& c, Real gain)
{
    constexpr int kPoints = 24;
    // Four decades on a log scale, and as many points again across the passband edge, where a
    // sharp filter's ripples and first zeros crowd into a few per cent of the frequency.
    const Real edgeTo = std::max(1.25L, 1.1L * c.stopEdge);
    try {
        for (int i = 0; i < 2 * kPoints; ++i) {
            const Real w = i < kPoints ? std::pow(10.0L, -2.0L + 4.0L * (i + 0.5L) / kPoints)
                                       : 0.8L + (edgeTo - 0.8L) * (i - kPoints + 0.5L) / kPoints;
            const Real expected = 10.0L * std::log10(gain * PowerGain(c, w));
            if (expected < -80.0L) continue;
            const NetworkPoint p = AnalyseAt(ladder, static_cast<double>(w / (2.0L * kPi<Real>)), PartQuality{});
            if (std::fabs(p.S21dB - expected) > 0.002L) return false;
        }
    } catch (const ArithmeticError&) {
        return false;
    }
    return true;
}

// At DC the ladder is a through connection: W(0) = (E(0) + F(0)) / (E(0) - F(0)) must be the
// load ratio that the form sees. A real reflection zero mirrored into the right half plane turns
// F(0) over where the sign is wrong.
void PutLoadOnItsSide(const DesignRequest& r, Real ratio, Polynomials& p)
{
    const Real target = r.form == LadderTopology::T ? ratio : 1.0L / ratio;
    const bool sameSign = (p.F.back() > 0) == (p.E.back() > 0);
    if (!sameSign) p.F = Scale(p.F, -1);
    const bool wantPositive = target > 1.0L;
    const bool mismatched = std::fabs(target - 1.0L) > 1e-12L && (p.F[0] > 0) != wantPositive;
    if (!mismatched) return;
    auto real = std::find_if(p.reflectionRoots.begin(), p.reflectionRoots.end(), [](const WideComplex& z) {
        const Wide size = z.re < 0 ? -z.re : z.re;
        return (z.im < 0 ? -z.im : z.im) <= static_cast<Wide>(1e-12L) * size;
    });
    if (real == p.reflectionRoots.end())
        throw Failure(std::string("This ") + FamilyName(r.response.family) + " ladder of order " +
                      std::to_string(r.response.N) + " cannot have its load " + (ratio > 1.0L ? "above" : "below") +
                      " its source in the " + FormName(r.form) + " form" + OtherFormAdvice(r) + ".");
    *real = WideComplex{-real->re, 0};
    p.BuildF();
    if ((p.F.back() > 0) != (p.E.back() > 0)) p.F = Scale(p.F, -1);
}

// expanded: some order of the zeros gave positive elements down to the load, but none
// reproduced the response.
[[noreturn]] void RefuseExpansion(const DesignRequest& r, bool expanded)
{
    if (!expanded)
        throw Failure(std::string("No ladder with positive elements realises this ") + FamilyName(r.response.family) +
                      " response of order " + std::to_string(r.response.N) + " in the " + FormName(r.form) + " form" +
                      ExpansionAdvice(r) + ".");
    throw Failure(std::string("The ") + FamilyName(r.response.family) + " ladder of order " +
                  std::to_string(r.response.N) + " could not be synthesised to working accuracy; try a lower order.");
}

} // namespace

std::vector<PrototypeBranch> Darlington(const DesignRequest& r, const Characteristic& c, Real gain)
{
    const Real ratio = static_cast<Real>(r.RL) / static_cast<Real>(r.RS);
    Polynomials p = PrototypePolynomials(c, static_cast<Wide>(gain));
    PutLoadOnItsSide(r, ratio, p);

    bool expanded = false;
    std::vector<PrototypeBranch> found;
    const auto accept = [&](const Attempt& attempt) {
        if (std::fabs(static_cast<Real>(attempt.load) - ratio) > 1e-9L * ratio) return false;
        if (!Reproduces(NormalisedLadder(attempt.branches, ratio), c, gain)) return false;
        found = attempt.branches;
        return true;
    };
    // Chosen zeros leave room for a whole element at the source: then a T form (series inductor
    // first) has its traps as parallel-LC series arms and a Pi form as series-LC shunt arms. The
    // family's own zeros fill the order and leave none.
    const bool chosen = !r.response.zeros.empty();
    for (int lead = chosen ? 1 : 0; lead >= 0; --lead) {
        Expansion start = StartExpansion(p, r.form);
        if (lead == 1 && !TakeWholePole(start)) continue;
        if (ExpandFrom(start, c.zeros, expanded, accept)) return found;
    }
    RefuseExpansion(r, expanded);
}

} // namespace synthesis

} // namespace corvane
