// SPDX-License-Identifier: Apache-2.0
#include "analysis/PartCandidates.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr std::size_t kSinglesEachSide = 2;
constexpr std::size_t kPairs = 4;
constexpr std::size_t kPairFirsts = 6; // the largest parts below the target that start a pair

void Unique(std::vector<CataloguePart>& parts)
{
    std::stable_sort(parts.begin(), parts.end(),
                     [](const CataloguePart& a, const CataloguePart& b) { return a.value < b.value; });
    parts.erase(std::unique(parts.begin(), parts.end(),
                            [](const CataloguePart& a, const CataloguePart& b) { return a.value == b.value; }),
                parts.end());
}

double QOf(const CataloguePart& part)
{
    return std::isnan(part.Q) ? 0.0 : part.Q;
}

Candidate Single(const CataloguePart& part)
{
    return {{"", ChoiceForm::Single, {part}, part.value, false}, QOf(part)};
}

// The parallel capacitors or series inductors whose values add.
Candidate Pair(const CataloguePart& a, const CataloguePart& b)
{
    const ChoiceForm form = a.kind == PartKind::Capacitor ? ChoiceForm::Parallel : ChoiceForm::Series;
    const double qa = QOf(a), qb = QOf(b);
    const double Q = qa > 0.0 && qb > 0.0 ? std::min(qa, qb) : 0.0;
    return {{"", form, {a, b}, PairValue(a.kind, form, a.value, b.value), false}, Q};
}

double LogDistance(double value, double target)
{
    return std::fabs(std::log(value / target));
}

// The index of the stock value nearest to value on a log scale, the lower at a tie.
std::size_t NearestIndex(const std::vector<CataloguePart>& parts, double value)
{
    const auto above = std::lower_bound(parts.begin(), parts.end(), value,
                                        [](const CataloguePart& p, double v) { return p.value < v; });
    std::size_t i = static_cast<std::size_t>(above - parts.begin());
    if (i == parts.size()) return i - 1;
    if (i > 0 && LogDistance(parts[i - 1].value, value) <= LogDistance(parts[i].value, value)) return i - 1;
    return i;
}

std::vector<Candidate> PairsNear(const std::vector<CataloguePart>& parts, double target)
{
    std::vector<Candidate> pairs;
    const auto below = std::lower_bound(parts.begin(), parts.end(), target,
                                        [](const CataloguePart& p, double v) { return p.value < v; });
    std::size_t firsts = 0;
    for (auto a = below; a != parts.begin() && firsts < kPairFirsts; ++firsts) {
        --a;
        if (a->value < target / 2) break;
        const std::size_t b = NearestIndex(parts, target - a->value);
        if (parts[b].value <= a->value) pairs.push_back(Pair(*a, parts[b]));
    }
    std::stable_sort(pairs.begin(), pairs.end(), [target](const Candidate& x, const Candidate& y) {
        return LogDistance(x.choice.value, target) < LogDistance(y.choice.value, target);
    });
    if (pairs.size() > kPairs) pairs.resize(kPairs);
    return pairs;
}

} // namespace

bool StatesFigures(const CataloguePart& part)
{
    return !std::isnan(part.Q) || !std::isnan(part.srfHz) || !std::isnan(part.seriesOhms) || part.measured;
}

bool StatesFigures(const PartStock& stock)
{
    for (const std::vector<CataloguePart>* parts : {&stock.inductors, &stock.capacitors})
        for (const CataloguePart& part : *parts)
            if (StatesFigures(part)) return true;
    return false;
}

namespace {

// The members' quality: the lower Q and where it is stated; NaN when a member states none.
void PutQ(PartModel& model, const std::vector<CataloguePart>& members, PartKind kind)
{
    const CataloguePart* lowest = nullptr;
    for (const CataloguePart& m : members) {
        if (std::isnan(m.Q)) return;
        if (!lowest || m.Q < lowest->Q) lowest = &m;
    }
    if (!lowest) return;
    model.Q = lowest->Q;
    const bool grows = kind == PartKind::Inductor && !std::isnan(lowest->qFrequencyHz) && lowest->qFrequencyHz > 0.0;
    model.growth = grows ? QGrowth::SqrtF : QGrowth::Constant;
    model.QHz = grows ? lowest->qFrequencyHz : 0.0;
}

void PutResistance(PartModel& model, const std::vector<CataloguePart>& members, ChoiceForm form)
{
    double sum = 0.0, conductance = 0.0;
    bool stated = false;
    for (const CataloguePart& m : members) {
        if (std::isnan(m.seriesOhms)) continue;
        stated = true;
        sum += m.seriesOhms;
        conductance += m.seriesOhms > 0.0 ? 1.0 / m.seriesOhms : INFINITY;
    }
    if (stated) model.seriesR = form == ChoiceForm::Parallel ? 1.0 / conductance : sum;
}

} // namespace

std::optional<PartModel> ModelOfChoice(const PartModel& base, const PartChoice& choice, PartKind kind)
{
    bool any = false;
    for (const CataloguePart& m : choice.members) any = any || StatesFigures(m);
    if (!any) return std::nullopt;
    PartModel model = base;
    PutQ(model, choice.members, kind);
    PutResistance(model, choice.members, choice.form);
    double srf = INFINITY;
    for (const CataloguePart& m : choice.members)
        if (m.srfHz > 0.0) srf = std::min(srf, m.srfHz); // false for NaN
    if (std::isfinite(srf)) {
        model.srfHz = srf;
        model.esl = 0.0; // a capacitor's series inductance follows from its self-resonance
    }
    return model;
}

std::shared_ptr<const MeasuredPart> MeasuredOfChoice(const PartChoice& choice)
{
    return choice.form == ChoiceForm::Single ? choice.members.front().measured : nullptr;
}

PartStock StockOfCatalogue(const std::vector<CataloguePart>& parts)
{
    PartStock stock;
    for (const CataloguePart& p : parts)
        (p.kind == PartKind::Inductor ? stock.inductors : stock.capacitors).push_back(p);
    Unique(stock.inductors);
    Unique(stock.capacitors);
    return stock;
}

PartStock StockOfSeries(ESeries series, double low, double high)
{
    PartStock stock;
    for (double value : ESeriesValues(series, low, high)) {
        CataloguePart part;
        part.value = value;
        part.kind = PartKind::Inductor;
        stock.inductors.push_back(part);
        part.kind = PartKind::Capacitor;
        stock.capacitors.push_back(part);
    }
    return stock;
}

Candidate NearestCandidate(const PartStock& stock, PartKind kind, double target)
{
    const std::vector<CataloguePart>& parts = stock.Of(kind);
    return Single(parts.at(NearestIndex(parts, target)));
}

std::vector<Candidate> CandidatesNear(const PartStock& stock, PartKind kind, double target, bool pairs)
{
    const std::vector<CataloguePart>& parts = stock.Of(kind);
    std::vector<Candidate> out;
    if (parts.empty()) return out;
    const auto above = std::upper_bound(parts.begin(), parts.end(), target,
                                        [](double v, const CataloguePart& p) { return v < p.value; });
    const std::size_t split = static_cast<std::size_t>(above - parts.begin());
    const std::size_t from = split >= kSinglesEachSide ? split - kSinglesEachSide : 0;
    const std::size_t to = std::min(parts.size(), split + kSinglesEachSide);
    for (std::size_t i = from; i < to; ++i) out.push_back(Single(parts[i]));
    if (pairs)
        for (Candidate& pair : PairsNear(parts, target)) out.push_back(std::move(pair));
    std::stable_sort(out.begin(), out.end(),
                     [](const Candidate& a, const Candidate& b) { return a.choice.value < b.choice.value; });
    return out;
}

} // namespace corvane
