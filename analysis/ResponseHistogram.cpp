// SPDX-License-Identifier: Apache-2.0
#include "analysis/ResponseHistogram.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace corvane {

namespace {

constexpr int kMantissaBits = 12;

// Buckets of a signed distance from zero: each distance below 2^linearBits has its own; further
// out, 2^subBits buckets share each doubling, up to 2^(linearBits + levels); the last buckets on
// either side take the rest.
struct BucketScheme {
    int linearBits, subBits, levels;

    std::int64_t Half() const { return (std::int64_t{1} << linearBits) + (std::int64_t{levels} << subBits); }
    std::size_t Count() const { return static_cast<std::size_t>(2 * Half() + 1); }

    std::size_t BucketOf(std::int64_t distance) const
    {
        const std::int64_t magnitude = distance < 0 ? -distance : distance;
        const std::int64_t linear = std::int64_t{1} << linearBits;
        std::int64_t index = Half();
        if (magnitude < linear) {
            index = magnitude;
        } else {
            const int level = 63 - __builtin_clzll(static_cast<unsigned long long>(magnitude)) - linearBits;
            if (level < levels) {
                const std::int64_t sub = (magnitude >> (level + linearBits - subBits)) - (std::int64_t{1} << subBits);
                index = linear + (std::int64_t{level} << subBits) + sub;
            }
        }
        return static_cast<std::size_t>(Half() + (distance < 0 ? -index : index));
    }

    // The distances a bucket holds, [low, high).
    void RangeOf(std::size_t bucket, double& low, double& high) const
    {
        const std::int64_t index = static_cast<std::int64_t>(bucket) - Half();
        const std::int64_t magnitude = index < 0 ? -index : index;
        const std::int64_t linear = std::int64_t{1} << linearBits;
        double from, to;
        if (magnitude < linear) {
            from = static_cast<double>(magnitude);
            to = from + 1.0;
        } else if (magnitude >= Half()) {
            from = to = std::ldexp(1.0, linearBits + levels);
        } else {
            const int level = static_cast<int>((magnitude - linear) >> subBits);
            const std::int64_t sub = (magnitude - linear) & ((std::int64_t{1} << subBits) - 1);
            const double step = std::ldexp(1.0, level + linearBits - subBits);
            from = std::ldexp(1.0, level + linearBits) + static_cast<double>(sub) * step;
            to = from + step;
        }
        // A negative distance -d lies in (-to, -from]: the lower end is the one further out.
        low = index < 0 ? -to + 1.0 : from;
        high = index < 0 ? -from + 1.0 : to;
    }
};

// Keys: 1024 of their own each side, then 512 buckets per doubling up to 2^20 keys.
constexpr BucketScheme kKeys{10, 9, 10};
// Margins in steps of 1e-4 dB: 4096 of their own each side, then 4096 buckets per doubling up
// to 1677 dB.
constexpr BucketScheme kMargins{12, 12, 12};
constexpr double kMarginStepDb = 1e-4;

std::int64_t KeyOf(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return static_cast<std::int64_t>(bits >> (52 - kMantissaBits));
}

double ValueOfKey(double key)
{
    const std::uint64_t bits = static_cast<std::uint64_t>(key * static_cast<double>(1ULL << (52 - kMantissaBits)));
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The index of the bucket holding rank, and the rank's place within it in (0, 1).
std::size_t BucketOfRank(const std::vector<std::uint32_t>& counts, std::size_t rank, double& place)
{
    std::size_t below = 0;
    for (std::size_t b = 0; b < counts.size(); ++b) {
        if (rank < below + counts[b]) {
            place = (static_cast<double>(rank - below) + 0.5) / counts[b];
            return b;
        }
        below += counts[b];
    }
    place = 1.0;
    return counts.size() - 1;
}

} // namespace

KeyHistogram::KeyHistogram() : counts_(kKeys.Count()) {}

void KeyHistogram::Reset(double anchor)
{
    anchorKey_ = KeyOf(anchor);
    count_ = 0;
    least_ = INFINITY;
    greatest_ = -INFINITY;
    std::fill(counts_.begin(), counts_.end(), 0u);
}

void KeyHistogram::Add(double value)
{
    ++counts_[kKeys.BucketOf(KeyOf(value) - anchorKey_)];
    ++count_;
    least_ = std::min(least_, value);
    greatest_ = std::max(greatest_, value);
}

double KeyHistogram::ValueOfRank(std::size_t rank) const
{
    if (rank == 0) return least_;
    if (rank + 1 >= count_) return greatest_;
    double place = 0.0;
    const std::size_t bucket = BucketOfRank(counts_, rank, place);
    double low, high;
    kKeys.RangeOf(bucket, low, high);
    const double key = static_cast<double>(anchorKey_) + low + (high - low) * place;
    return std::clamp(ValueOfKey(std::max(key, 0.0)), least_, greatest_);
}

MarginTally::MarginTally() : counts_(kMargins.Count()) {}

void MarginTally::Add(double marginDb)
{
    const double steps = std::clamp(std::floor(marginDb / kMarginStepDb), -4e18, 4e18);
    ++counts_[kMargins.BucketOf(static_cast<std::int64_t>(steps))];
    worst_ = count_ == 0 ? marginDb : std::min(worst_, marginDb);
    best_ = count_ == 0 ? marginDb : std::max(best_, marginDb);
    ++count_;
    if (marginDb >= 0.0) ++passed_;
}

void MarginTally::Merge(const MarginTally& other)
{
    if (other.count_ == 0) return;
    worst_ = count_ == 0 ? other.worst_ : std::min(worst_, other.worst_);
    best_ = count_ == 0 ? other.best_ : std::max(best_, other.best_);
    count_ += other.count_;
    passed_ += other.passed_;
    for (std::size_t b = 0; b < counts_.size(); ++b) counts_[b] += other.counts_[b];
}

std::vector<int> MarginTally::Binned(int bins) const
{
    if (!(best_ > worst_)) return {static_cast<int>(count_)};
    std::vector<int> out(static_cast<std::size_t>(bins), 0);
    const double width = (best_ - worst_) / bins;
    for (std::size_t b = 0; b < counts_.size(); ++b) {
        if (counts_[b] == 0) continue;
        double low, high;
        kMargins.RangeOf(b, low, high);
        const double middle = std::clamp(0.5 * (low + high) * kMarginStepDb, worst_, best_);
        const int bin = std::clamp(static_cast<int>((middle - worst_) / width), 0, bins - 1);
        out[static_cast<std::size_t>(bin)] += static_cast<int>(counts_[b]);
    }
    return out;
}

QuantilePosition PositionOfQuantile(double p, std::size_t count)
{
    const double h = static_cast<double>(count - 1) * p;
    const double lower = std::floor(h);
    QuantilePosition q;
    q.lower = static_cast<std::size_t>(lower);
    q.upper = std::min(q.lower + 1, count - 1);
    q.fraction = h - lower;
    return q;
}

} // namespace corvane
