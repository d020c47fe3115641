// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane {

// Streaming order statistics of positive values (|den|^2 and |S11|^2 of the trials) in a fixed
// memory whatever the number of values.
//
// The top bits of a positive double's pattern (exponent and 12 bits of mantissa) sort as the
// values do and step by at most 2^-12 of the value: a "key" of about 0.001 dB. Each set of
// values counts keys relative to an anchor (the nominal response): within 1024 keys of it
// (about 0.75 dB) every key has its bucket; further out a bucket covers 2^-9 of the distance
// from the anchor, as a floating-point number covers its magnitude; beyond 2^20 keys (770 dB)
// the last buckets take the rest. A rank's value is read in its bucket, interpolated by the
// rank's place among the bucket's counts, and clamped to the exact least and greatest value
// seen. So a percentile in dB is within about 0.0011 dB plus 0.2 % of its distance from the
// anchor of the exact order statistic. Counts add, so the result does not depend on the order
// in which the values come.
class KeyHistogram {
public:
    KeyHistogram();
    // Empties the histogram and anchors it at a positive value.
    void Reset(double anchor);
    void Add(double value);
    // The value of the zero-based rank among count values.
    double ValueOfRank(std::size_t rank) const;
    double Least() const { return least_; }
    double Greatest() const { return greatest_; }

private:
    std::int64_t anchorKey_ = 0;
    double least_ = 0.0, greatest_ = 0.0;
    std::size_t count_ = 0;
    std::vector<std::uint32_t> counts_;
};

// The p-quantile (0 <= p <= 1) of count values as the linear interpolation between the order
// statistics of ranks lower and lower + 1 (the common definition, h = (count - 1) p).
struct QuantilePosition {
    std::size_t lower;
    std::size_t upper; // lower + 1, or lower at the top
    double fraction; // weight of the upper statistic
};
QuantilePosition PositionOfQuantile(double p, std::size_t count);

// Buckets of margins in dB: 1e-4 dB wide within 0.4 dB of zero, and 2^-12 (0.025 %) of the
// distance from zero beyond; counts add, so the tally does not depend on the order of the values.
class MarginTally {
public:
    MarginTally();
    void Add(double marginDb);
    void Merge(const MarginTally& other);
    std::size_t Count() const { return count_; }
    std::size_t Passed() const { return passed_; }
    double Worst() const { return worst_; }
    double Best() const { return best_; }
    // The counts in `bins` equal bins from Worst() to Best(), each bucket in the bin of its
    // middle: a margin within a bucket's width of a bin edge may be counted on the other side.
    std::vector<int> Binned(int bins) const;

private:
    std::size_t count_ = 0, passed_ = 0;
    double worst_ = 0.0, best_ = 0.0;
    std::vector<std::uint32_t> counts_;
};

} // namespace corvane
