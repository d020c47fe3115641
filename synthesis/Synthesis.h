// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <vector>

#include "design/DesignBand.h"
#include "design/LadderModel.h"
#include "filtermath/LadderAnalysis.h"
#include "synthesis/Approximation.h"

namespace corvane {

// Doubly terminated LC ladders from the approximations: the normalised low-pass prototype by
// Darlington synthesis (continued fraction with zero shifting for the traps), then the frequency
// transform and the scaling to the terminations and hertz.
namespace synthesis {

using corvane::FilterType;
using corvane::BandPassForm;

struct DesignRequest {
    FamilyRequest response;
    FilterType type = FilterType::LowPass;
    LadderTopology form = LadderTopology::T; // T: series inductor first; Pi: shunt capacitor first
    double RS = 50.0;
    double RL = 50.0;
    double passHz = 0.0; // low-pass and high-pass edge
    double lowHz = 0.0; // band edges of the band-pass (passband) and band-stop (stopband)
    double highHz = 0.0;
    // Butterworth and Chebyshev: transmission zeros at chosen frequencies (hertz), realised as
    // traps; Synthesise fills response.zeros from them.
    std::vector<double> zerosHz{};
    BandPassForm bandForm = BandPassForm::Ladder;
    // Henries. Top-C: every resonator's inductor; top-L: the resonators' impedance level. 0: the
    // inductance whose reactance at the centre frequency equals RS.
    double resonatorL = 0.0;
};

// The coupled forms' deviation from the family's band-pass response.
struct CoupledFit {
    double passbandExcessDb = 0.0; // the largest passband loss above the family's largest passband loss
    double edgeLossErrorDb = 0.0; // the loss at the band edges against the family's loss there
    double edgeShift = 0.0; // where the loss crosses the edge level, in bandwidths; 0.25 means 0.25 or more
    bool meetsGoal = false; // losses within kCoupledLossGoalDb, edges within kCoupledEdgeGoal
};

// One branch of the prototype, normalised to a 1 ohm source and a 1 rad/s passband edge.
struct PrototypeBranch {
    BranchPlace place;
    BranchKind kind; // Inductor, Capacitor, SeriesLC or ParallelLC
    Real L;
    Real C;
};

struct Design {
    DesignRequest request;
    Characteristic response;
    Real gain = 1.0L; // the largest |S21|^2 the terminations allow
    std::vector<PrototypeBranch> prototype;
    LadderModel ladder;
    CoupledFit fit; // top-C and top-L only
};

// Throws Failure with a message that names the cause and, where there is one, what would work
// (for chosen zeros that this order cannot realise, the lowest order that does).
Design Synthesise(const DesignRequest& request);

// The band edges the request designs for, as a mask and the default sweep take them.
DesignBand BandOfRequest(const DesignRequest& request);

// The prototype frequency (rad/s) that the frequency transform maps f (hertz) onto; infinity
// where the transform has its pole (0 Hz for the high-pass, the centre for the band-stop).
Real PrototypeFrequency(const DesignRequest& request, Real fHz);

// The frequencies (hertz, ascending) where the stopband attenuation begins to hold: one for a
// low-pass or high-pass, two for a band design; none for a family without finite zeros.
std::vector<double> StopbandEdgesHz(const Design& design);

// Even-order elliptic and inverse Chebyshev responses are built in their modified form: the
// highest transmission zero moved to infinity (and, for the elliptic, the lowest reflection zero
// to DC), which a ladder between equal terminations realises; the stopband edge moves out.
bool IsModifiedForm(const FamilyRequest& response);
// The sentence that says which even-order form a response takes; "" for any other response.
std::string ModifiedFormNote(const FamilyRequest& response);
// For a modified even-order elliptic: the same request with the ripple kept as loss at DC, when
// a ladder between its terminations realises that (never between equal ones).
std::optional<Design> LossAtDcAlternative(const Design& design);

// The family's transducer gain 10 log10 |S21|^2 at f, floored at -kAttenuationCeilingDb.
constexpr double kAttenuationCeilingDb = 400.0;
double TransducerGainDb(const Design& design, double fHz);

} // namespace synthesis

} // namespace corvane
