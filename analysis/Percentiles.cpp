#include "analysis/Percentiles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int kBucketBits = 12;
constexpr std::size_t kBuckets = std::size_t{1} << kBucketBits;

std::uint64_t Bits(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

void SelectRanks(const double* values, std::size_t count, const std::size_t* ranks, std::size_t rankCount, double* out)
{
    if (count == 0 || rankCount == 0) return;
    std::uint64_t least = Bits(values[0]);
    std::uint64_t greatest = least;
    for (std::size_t i = 1; i < count; ++i) {
        const std::uint64_t b = Bits(values[i]);
        least = std::min(least, b);
        greatest = std::max(greatest, b);
    }
    const std::uint64_t span = greatest - least;
    int shift = 0;
    while ((span >> shift) >= kBuckets) ++shift;

    std::vector<std::uint32_t> start(kBuckets + 1, 0);
    for (std::size_t i = 0; i < count; ++i) ++start[((Bits(values[i]) - least) >> shift) + 1];
    for (std::size_t b = 1; b <= kBuckets; ++b) start[b] += start[b - 1];

    // The bucket of each rank; the values of those buckets, gathered once per distinct bucket.
    std::vector<std::size_t> bucketOf(rankCount);
    for (std::size_t r = 0; r < rankCount; ++r)
        bucketOf[r] =
            static_cast<std::size_t>(std::upper_bound(start.begin(), start.end(), ranks[r]) - start.begin()) - 1;
    std::vector<std::size_t> wanted(bucketOf);
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    std::vector<std::vector<double>> gathered(wanted.size());
    std::vector<int> slot(kBuckets, -1);
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        slot[wanted[w]] = static_cast<int>(w);
        gathered[w].reserve(start[wanted[w] + 1] - start[wanted[w]]);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const int s = slot[(Bits(values[i]) - least) >> shift];
        if (s >= 0) gathered[static_cast<std::size_t>(s)].push_back(values[i]);
    }
    for (std::size_t r = 0; r < rankCount; ++r) {
        std::vector<double>& bucket = gathered[static_cast<std::size_t>(slot[bucketOf[r]])];
        const std::size_t within = ranks[r] - start[bucketOf[r]];
        std::nth_element(bucket.begin(), bucket.begin() + static_cast<std::ptrdiff_t>(within), bucket.end());
        out[r] = bucket[within];
    }
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
