// SPDX-License-Identifier: Apache-2.0
#include "analysis/Percentiles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int kBucketBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kBucketBits;
// Counts go to four tables in turn: values that share a bucket then do not wait on each
// other's increment, which otherwise serialises the pass on the busiest bucket.
constexpr std::size_t kTables = 4;

std::uint64_t Bits(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Reused by every call on a thread.
struct Workspace {
    std::vector<std::uint32_t> counts = std::vector<std::uint32_t>(kTables * kBuckets);
    std::vector<std::uint32_t> start = std::vector<std::uint32_t>(kBuckets + 1);
    std::vector<int> slot = std::vector<int>(kBuckets, -1);
    std::vector<std::vector<double>> gathered;
};

} // namespace

void SelectRanks(const double* values, std::size_t count, const std::size_t* ranks, std::size_t rankCount, double* out)
{
    if (count == 0 || rankCount == 0) return;
    thread_local Workspace ws;
    // The values are non-negative, so the least and greatest value have the least and greatest
    // bit pattern.
    double lo[4] = {values[0], values[0], values[0], values[0]};
    double hi[4] = {values[0], values[0], values[0], values[0]};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4)
        for (int k = 0; k < 4; ++k) lo[k] = std::min(lo[k], values[i + k]), hi[k] = std::max(hi[k], values[i + k]);
    for (; i < count; ++i) lo[0] = std::min(lo[0], values[i]), hi[0] = std::max(hi[0], values[i]);
    const std::uint64_t least = Bits(std::min(std::min(lo[0], lo[1]), std::min(lo[2], lo[3])));
    const std::uint64_t greatest = Bits(std::max(std::max(hi[0], hi[1]), std::max(hi[2], hi[3])));
    const std::uint64_t span = greatest - least;
    int shift = 0;
    while ((span >> shift) >= kBuckets) ++shift;
    const auto bucket = [least, shift](double v) { return static_cast<std::size_t>((Bits(v) - least) >> shift); };

    std::fill(ws.counts.begin(), ws.counts.end(), 0u);
    std::uint32_t* counts = ws.counts.data();
    i = 0;
    for (; i + kTables <= count; i += kTables)
        for (std::size_t t = 0; t < kTables; ++t) ++counts[t * kBuckets + bucket(values[i + t])];
    for (; i < count; ++i) ++counts[bucket(values[i])];
    std::vector<std::uint32_t>& start = ws.start;
    start[0] = 0;
    for (std::size_t b = 0; b < kBuckets; ++b) {
        std::uint32_t n = 0;
        for (std::size_t t = 0; t < kTables; ++t) n += counts[t * kBuckets + b];
        start[b + 1] = start[b] + n;
    }

    // The bucket of each rank; the values of those buckets, gathered once per distinct bucket.
    std::vector<std::size_t> bucketOf(rankCount);
    for (std::size_t r = 0; r < rankCount; ++r)
        bucketOf[r] =
            static_cast<std::size_t>(std::upper_bound(start.begin(), start.end(), ranks[r]) - start.begin()) - 1;
    std::vector<std::size_t> wanted(bucketOf);
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    if (ws.gathered.size() < wanted.size()) ws.gathered.resize(wanted.size());
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        ws.slot[wanted[w]] = static_cast<int>(w);
        ws.gathered[w].clear();
        ws.gathered[w].reserve(start[wanted[w] + 1] - start[wanted[w]]);
    }
    for (i = 0; i < count; ++i) {
        const int s = ws.slot[bucket(values[i])];
        if (s >= 0) ws.gathered[static_cast<std::size_t>(s)].push_back(values[i]);
    }
    for (std::size_t r = 0; r < rankCount; ++r) {
        std::vector<double>& b = ws.gathered[static_cast<std::size_t>(ws.slot[bucketOf[r]])];
        const std::size_t within = ranks[r] - start[bucketOf[r]];
        std::nth_element(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(within), b.end());
        out[r] = b[within];
    }
    for (std::size_t w : wanted) ws.slot[w] = -1;
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
