// SPDX-License-Identifier: Apache-2.0
#include "analysis/Optimiser.h"

#include <cmath>
#include <memory>
#include <stdexcept>

#include "analysis/MaskGrid.h"
#include "analysis/MeasuredParts.h"
#include "analysis/ModelMaskMeter.h"
#include "analysis/ModelTrials.h"
#include "analysis/PartModels.h"
#include "analysis/ToleranceKernel.h"
#include "analysis/TrialParts.h"
#include "filtermath/Minimise.h"

namespace corvane {

namespace {

constexpr int kMaxDescentRounds = 50;
constexpr int kTuneRounds = 3;
// A tuned value to this in its logarithm: far finer than a trimmer is set.
constexpr double kTuneTolerance = 5e-9;
constexpr double kTuneRange = 1.5;
constexpr double kBetterDb = 1e-9; // a change must gain more than this to count

enum class Mode { Free, Keep, Tune };

// One part of the ladder and what it may become.
struct Slot {
    std::size_t branch;
    PartField field;
    const ModelPart* part;
    Mode mode;
    std::vector<Candidate> candidates; // Free only
};

PartField FieldOf(const ModelPart& part, std::size_t indexInBranch)
{
    const bool second = indexInBranch >= 2;
    if (part.kind == PartKind::Inductor) return second ? PartField::L2 : PartField::L;
    return second ? PartField::C2 : PartField::C;
}

double& ValueOf(BranchValues& v, PartField field)
{
    switch (field) {
    case PartField::L: return v.L;
    case PartField::C: return v.C;
    case PartField::L2: return v.L2;
    case PartField::C2: break;
    }
    return v.C2;
}

// A state of the search: for each slot its value and Q (0: the kind's), and the model of the
// parts held (none: the designed part's).
struct Assignment {
    std::vector<double> value, Q;
    std::vector<std::optional<PartModel>> model;
    std::vector<std::shared_ptr<const MeasuredPart>> measured;
};

// A part built from the assignment's slot s: its value and model, or the measured data in their place.
void Build(ModelPart& part, const Assignment& a, std::size_t s)
{
    part.value = a.value[s];
    if (a.model[s]) part.model = a.model[s];
    part.measured = a.measured[s];
    if (part.measured) part.value = EquivalentOf(part.kind, part.measured->equivalent).value;
}

// The model the designed part is analysed with before any catalogue figure: its own, or its kind's.
PartModel BaseModel(const LadderModel& designed, const ModelPart& part)
{
    if (part.model) return *part.model;
    return part.kind == PartKind::Inductor ? designed.inductorModel : designed.capacitorModel;
}

// The features of the designed ladder; where the stock states figures, its candidates' models may
// resonate anywhere, so the grid takes the logarithmic spacing and refines every extreme.
GridFeatures FeaturesOfSearch(const LadderModel& designed, const PartQuality& quality, const OptimiseRequest& request)
{
    GridFeatures features = FeaturesOf(designed, quality);
    features.dense = features.dense || StatesFigures(request.stock);
    return features;
}

// Measures assignments against the mask, as the tolerance analysis measures a trial.
class Meter {
public:
    Meter(const LadderModel& designed, const std::vector<Slot>& slots, const PartQuality& quality, const Mask& mask,
          const OptimiseRequest& request)
        : designed_(designed),
          ladder_(LadderOfModel(designed)),
          slots_(slots),
          grid_(MakeMaskGrid(mask, ladder_.branches.size(), FeaturesOfSearch(designed, quality, request),
                             request.maskPoints)),
          meter_(grid_, ladder_.RS, ladder_.RL),
          quality_(quality),
          lossL_(KernelLossFactor(quality.QL)),
          lossC_(KernelLossFactor(quality.QC)),
          kernel_(ladder_.branches.size()),
          cancel_(request.cancel),
          margins_(request.margins),
          values_(ladder_.branches.size())
    {
        if (grid_.bands.empty()) throw std::invalid_argument("The optimiser needs a mask: a passband or a stopband.");
        if (HasPartModels(designed) || StatesFigures(request.stock)) {
            models_.emplace(designed, quality, grid_);
            modelMeter_.emplace(grid_, designed.RS, designed.RL);
        }
    }

    const Ladder& Compact() const { return ladder_; }
    long long Count() const { return count_; }

    // factors scale each slot's value (a Monte Carlo trial); null for none.
    double Margin(const Assignment& a, const std::vector<Part>* parts = nullptr, const double* factors = nullptr)
    {
        Tick();
        if (models_ && !parts) return models_->Margin(LadderOf(a));
        std::vector<BranchValues>& values = values_;
        std::vector<double>& lossL = branchLossL_;
        std::vector<double>& lossC = branchLossC_;
        lossL.assign(values.size(), lossL_);
        lossC.assign(values.size(), lossC_);
        seenL_.assign(values.size(), false);
        seenC_.assign(values.size(), false);
        std::vector<bool>& seenL = seenL_;
        std::vector<bool>& seenC = seenC_;
        for (std::size_t s = 0; s < slots_.size(); ++s) {
            const Slot& slot = slots_[s];
            ValueOf(values[slot.branch], slot.field) = a.value[s];
            const bool inductor = slot.part->kind == PartKind::Inductor;
            std::vector<bool>& seen = inductor ? seenL : seenC;
            // One loss per kind and branch: the first part's of that kind.
            if (!seen[slot.branch] && a.Q[s] > 0.0) (inductor ? lossL : lossC)[slot.branch] = 1.0 / a.Q[s];
            seen[slot.branch] = true;
        }
        if (parts)
            for (std::size_t k = 0; k < parts->size(); ++k)
                ValueOf(values[(*parts)[k].branch], (*parts)[k].field) *= factors[k];
        for (std::size_t b = 0; b < values.size(); ++b)
            kernel_[b] = MakeKernelBranch(ladder_.branches[b], values[b], lossL[b], lossC[b]);
        double margin = 0.0;
        const auto delay = [&](const double* hz, std::size_t count, double* out) {
            LadderModel ladder = LadderOf(a);
            if (parts) ladder = ScaledModel(ladder, *parts, factors);
            return ExactDelay(ladder, quality_)(hz, count, out);
        };
        return meter_.Margin(kernel_.data(), kernel_.size(), margin, delay) ? margin : -INFINITY;
    }

    // The Monte Carlo trials of an assignment, where its ladder has part models: the assignment's
    // ladder, its models kept as stated while the parts' values vary. Null without part models.
    std::unique_ptr<ModelTrial> TrialsOf(const Assignment& a, const std::vector<Part>& parts) const
    {
        if (!models_) return nullptr;
        return std::make_unique<ModelTrial>(LadderOf(a), quality_, parts);
    }

    // The margin of one trial of TrialsOf's, its parts scaled by factors, on the grid the margin
    // with part models is measured on.
    double TrialMargin(ModelTrial& trial, const Assignment& a, const std::vector<Part>& parts, const double* factors)
    {
        Tick();
        trial.Scale(factors);
        double margin = 0.0;
        const auto delay = [&](const double* hz, std::size_t count, double* out) {
            return ExactDelay(ScaledModel(LadderOf(a), parts, factors), quality_)(hz, count, out);
        };
        return TrialMarginDb(trial, *modelMeter_, margin, delay) ? margin : -INFINITY;
    }

    // The designed ladder with the assignment's values and models.
    LadderModel LadderOf(const Assignment& a) const
    {
        LadderModel ladder = designed_;
        for (std::size_t s = 0; s < slots_.size(); ++s) {
            ModelPart& part = ladder.branches[slots_[s].branch].parts[static_cast<std::size_t>(
                slots_[s].part - designed_.branches[slots_[s].branch].parts.data())];
            Build(part, a, s);
        }
        return ladder;
    }

private:
    // Counts a margin measured and stops where asked to.
    void Tick()
    {
        ++count_;
        if (cancel_ && cancel_->load(std::memory_order_relaxed)) throw OptimiseCancelled();
        if (margins_) margins_->store(count_, std::memory_order_relaxed);
    }

    const LadderModel& designed_;
    Ladder ladder_;
    const std::vector<Slot>& slots_;
    MaskGrid grid_;
    MaskMeter meter_;
    PartQuality quality_;
    double lossL_, lossC_;
    std::vector<KernelBranch> kernel_;
    const std::atomic<bool>* cancel_;
    std::atomic<long long>* margins_;
    std::vector<BranchValues> values_;
    std::vector<double> branchLossL_, branchLossC_;
    std::vector<bool> seenL_, seenC_;
    std::optional<ModelMaskMeter> models_;
    std::optional<MaskMeter> modelMeter_; // for the yield's trials with part models
    long long count_ = 0;
};

std::vector<Slot> SlotsOf(const LadderModel& designed, const OptimiseRequest& request)
{
    std::vector<Slot> slots;
    std::set<std::string> named;
    for (std::size_t b = 0; b < designed.branches.size(); ++b)
        for (std::size_t i = 0; i < designed.branches[b].parts.size(); ++i) {
            const ModelPart& part = designed.branches[b].parts[i];
            named.insert(part.designator);
            Mode mode = request.keep.count(part.designator) ? Mode::Keep : Mode::Free;
            if (request.tune.count(part.designator)) mode = Mode::Tune;
            Slot slot{b, FieldOf(part, i), &part, mode, {}};
            if (mode == Mode::Free) {
                if (request.stock.Of(part.kind).empty())
                    throw std::invalid_argument(std::string("The parts offer no ") + NounOf(part.kind) + " for " +
                                                part.designator + ".");
                slot.candidates = CandidatesNear(request.stock, part.kind, part.value, request.allowPairs);
            }
            slots.push_back(std::move(slot));
        }
    for (const std::set<std::string>* names : {&request.keep, &request.tune})
        for (const std::string& name : *names)
            if (!named.count(name)) throw std::invalid_argument("The ladder has no part " + name + ".");
    return slots;
}

// The choice of each free slot by its index into its candidates.
using Picks = std::vector<std::size_t>;

class Search {
public:
    Search(std::vector<Slot>& slots, Meter& meter, Assignment start, const LadderModel& designed)
        : slots_(slots), meter_(meter), state_(start), designed_(designed)
    {
    }

    void Apply(std::size_t s, const Candidate& c)
    {
        state_.value[s] = c.choice.value;
        state_.Q[s] = c.Q;
        state_.model[s] = ModelOfChoice(BaseModel(designed_, *slots_[s].part), c.choice, slots_[s].part->kind);
        state_.measured[s] = MeasuredOfChoice(c.choice);
    }

    double Margin() { return meter_.Margin(state_); }
    const Assignment& State() const { return state_; }

    // Every combination of the given options per free slot; the best is applied. False when the
    // combinations are too many.
    bool Exhaustive(const std::vector<std::vector<std::size_t>>& options, double& best)
    {
        long long combinations = 1;
        std::vector<std::size_t> free;
        for (std::size_t s = 0; s < slots_.size(); ++s)
            if (slots_[s].mode == Mode::Free) {
                free.push_back(s);
                combinations *= static_cast<long long>(options[s].size());
                if (combinations > kExhaustiveCombinations) return false;
            }
        std::vector<std::size_t> at(free.size(), 0);
        Assignment bestState = state_;
        best = -INFINITY;
        for (;;) {
            for (std::size_t k = 0; k < free.size(); ++k)
                Apply(free[k], slots_[free[k]].candidates[options[free[k]][at[k]]]);
            const double margin = Margin();
            if (margin > best + kBetterDb) best = margin, bestState = state_;
            std::size_t k = 0;
            while (k < free.size() && ++at[k] == options[free[k]].size()) at[k++] = 0;
            if (k == free.size()) break;
        }
        state_ = bestState;
        return true;
    }

    // Part after part, every candidate; until a round changes nothing. score(assignment, best)
    // is told the best so far (null at first) and may give up on a candidate that cannot beat it.
    template <typename Score>
    void Descend(Score score)
    {
        auto best = score(state_, nullptr);
        for (int round = 0; round < kMaxDescentRounds; ++round) {
            bool changed = false;
            for (std::size_t s = 0; s < slots_.size(); ++s) {
                if (slots_[s].mode != Mode::Free) continue;
                const Assignment before = state_;
                Assignment bestState = state_;
                for (const Candidate& c : slots_[s].candidates) {
                    Apply(s, c);
                    if (state_.value == before.value) continue;
                    const auto value = score(state_, &best);
                    if (value > best) best = value, bestState = state_, changed = true;
                }
                state_ = bestState;
            }
            if (!changed) return;
        }
    }

    // Golden-section search of each tuned slot's value for the best margin, on a log scale, for a
    // few rounds.
    void Tune(double designedOf(const Slot&))
    {
        for (int round = 0; round < kTuneRounds; ++round)
            for (std::size_t s = 0; s < slots_.size(); ++s) {
                if (slots_[s].mode != Mode::Tune) continue;
                const auto lessMargin = [&](double x) {
                    state_.value[s] = std::exp(x);
                    return -Margin();
                };
                const double best = GoldenSectionMinimum(lessMargin, std::log(designedOf(slots_[s]) / kTuneRange),
                                                         std::log(designedOf(slots_[s]) * kTuneRange), kTuneTolerance)
                                        .x;
                state_.value[s] = std::exp(best);
            }
    }

private:
    std::vector<Slot>& slots_;
    Meter& meter_;
    Assignment state_;
    const LadderModel& designed_;
};

double DesignedValue(const Slot& slot)
{
    return slot.part->value;
}

// Plain rounding: every free part at its nearest stock value; kept and tuned parts at their designed values.
Assignment Rounded(const LadderModel& designed, const std::vector<Slot>& slots, const OptimiseRequest& request)
{
    Assignment a;
    for (const Slot& slot : slots) {
        if (slot.mode != Mode::Free) {
            a.value.push_back(slot.part->value);
            a.Q.push_back(0.0);
            a.model.emplace_back();
            a.measured.emplace_back();
            continue;
        }
        const Candidate c = NearestCandidate(request.stock, slot.part->kind, slot.part->value);
        a.value.push_back(c.choice.value);
        a.Q.push_back(c.Q);
        a.model.push_back(ModelOfChoice(BaseModel(designed, *slot.part), c.choice, slot.part->kind));
        a.measured.push_back(MeasuredOfChoice(c.choice));
    }
    return a;
}

// The nearest candidate below the designed value and the nearest above (one where one matches).
std::vector<std::size_t> Bracket(const Slot& slot)
{
    std::vector<std::size_t> out;
    const double x = slot.part->value;
    for (std::size_t i = 0; i < slot.candidates.size(); ++i) {
        const double v = slot.candidates[i].choice.value;
        const bool below = v <= x && (i + 1 == slot.candidates.size() || slot.candidates[i + 1].choice.value > x);
        const bool above = v >= x && (i == 0 || slot.candidates[i - 1].choice.value < x);
        if (below || above) out.push_back(i);
    }
    return out;
}

// The candidate each free slot holds in an assignment.
const Candidate* Held(const Slot& slot, const Assignment& a, std::size_t s)
{
    for (const Candidate& c : slot.candidates)
        if (c.choice.value == a.value[s] && c.Q == a.Q[s]) return &c;
    return nullptr;
}

// Tolerances per branch and kind from the parts held, for the yield's trials.
ToleranceSettings YieldSettings(const std::vector<Slot>& slots, const Assignment& a, const OptimiseRequest& request,
                                std::size_t branches)
{
    ToleranceSettings settings = request.yield;
    settings.perBranch.assign(branches, PartTolerance{});
    for (std::size_t s = 0; s < slots.size(); ++s) {
        const Candidate* held = slots[s].mode == Mode::Free ? Held(slots[s], a, s) : nullptr;
        if (!held) continue;
        double percent = -1.0;
        for (const CataloguePart& m : held->choice.members)
            if (!std::isnan(m.tolerancePercent)) percent = std::max(percent, m.tolerancePercent);
        PartTolerance& t = settings.perBranch[slots[s].branch];
        double& kind = slots[s].part->kind == PartKind::Inductor ? t.inductorPercent : t.capacitorPercent;
        if (kind < 0.0) kind = percent;
    }
    return settings;
}

// The share of the trials that meet the mask. Where fewer than toBeat's share could still pass,
// the count stops there: the value returned is then below toBeat, and not the yield.
double Yield(Meter& meter, const std::vector<Slot>& slots, const Assignment& a, const OptimiseRequest& request,
             double toBeat = 0.0)
{
    Ladder nominal = meter.Compact();
    const ToleranceSettings settings = YieldSettings(slots, a, request, nominal.branches.size());
    const std::vector<Part> parts = PartsOf(nominal, settings);
    std::vector<double> factors(parts.size());
    const std::unique_ptr<ModelTrial> models = meter.TrialsOf(a, parts);
    const long long needed = std::llround(toBeat * settings.trials);
    long long passed = 0;
    for (long long t = 0; t < settings.trials && passed + (settings.trials - t) >= needed; ++t) {
        DrawTrialFactors(parts, settings, t, factors.data());
        const double margin =
            models ? meter.TrialMargin(*models, a, parts, factors.data()) : meter.Margin(a, &parts, factors.data());
        passed += margin >= 0.0 ? 1 : 0;
    }
    return static_cast<double>(passed) / settings.trials;
}

OptimiseResult ResultOf(const LadderModel& designed, const std::vector<Slot>& slots, const Assignment& a)
{
    OptimiseResult result;
    result.ladder = designed;
    for (std::size_t s = 0; s < slots.size(); ++s) {
        ModelPart& part =
            result.ladder.branches[slots[s].branch]
                .parts[static_cast<std::size_t>(slots[s].part - designed.branches[slots[s].branch].parts.data())];
        Build(part, a, s);
        const Candidate* held = slots[s].mode == Mode::Free ? Held(slots[s], a, s) : nullptr;
        PartChoice choice = held ? held->choice : PartChoice{"", ChoiceForm::Own, {}, a.value[s], false};
        choice.designator = part.designator;
        choice.tuned = slots[s].mode == Mode::Tune;
        result.choices.push_back(choice);
    }
    return result;
}

} // namespace

OptimiseResult OptimiseParts(const LadderModel& designed, const PartQuality& quality, const Mask& mask,
                             const OptimiseRequest& request)
{
    std::vector<Slot> slots = SlotsOf(designed, request);
    Meter meter(designed, slots, quality, mask, request);
    const Assignment rounded = Rounded(designed, slots, request);
    Search search(slots, meter, rounded, designed);
    const double before = search.Margin();
    std::vector<std::vector<std::size_t>> all(slots.size()), brackets(slots.size());
    for (std::size_t s = 0; s < slots.size(); ++s) {
        for (std::size_t i = 0; i < slots[s].candidates.size(); ++i) all[s].push_back(i);
        brackets[s] = Bracket(slots[s]);
    }
    double best = before;
    if (!search.Exhaustive(all, best)) search.Exhaustive(brackets, best);
    search.Descend([&meter](const Assignment& a, const double*) { return meter.Margin(a); });
    search.Tune(DesignedValue);
    std::optional<double> yieldBefore, yieldAfter;
    if (request.goal == OptimiseGoal::Yield) {
        yieldBefore = Yield(meter, slots, rounded, request);
        // Ties go to the larger margin: a candidate of lower yield needs none measured.
        search.Descend([&](const Assignment& a, const std::pair<double, double>* best) {
            const double yield = Yield(meter, slots, a, request, best ? best->first : 0.0);
            return std::make_pair(yield, best && yield < best->first ? -INFINITY : meter.Margin(a));
        });
        yieldAfter = Yield(meter, slots, search.State(), request);
    }
    OptimiseResult result = ResultOf(designed, slots, search.State());
    result.marginBeforeDb = before;
    result.marginAfterDb = meter.Margin(search.State());
    result.yieldBefore = yieldBefore;
    result.yieldAfter = yieldAfter;
    result.evaluations = meter.Count();
    const MaskVerdict worst = MeasureMask(result.ladder, quality, mask);
    result.worstBand = worst.band;
    result.worstHz = worst.hz;
    return result;
}

} // namespace corvane
