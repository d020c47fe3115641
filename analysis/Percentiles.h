// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>

// Order statistics of a set of non-negative doubles by a two-pass radix selection.
//
// The bit patterns of non-negative doubles sort as the values do, so one pass finds the least
// and greatest pattern and counts the values into 2048 buckets of equal pattern width between
// them; a second pass gathers the few buckets that hold the wanted ranks, and a selection within
// each finds the exact value. The result is exact (the k-th smallest value, not an estimate), it
// does not depend on the order of the values, and the work is two passes plus a selection over
// the wanted buckets; the memory is the values themselves and a 32 KB count table per thread.
//
// values is left as it is. ranks are zero-based, each below count; out[i] is the value of rank
// ranks[i].
void SelectRanks(const double* values, std::size_t count, const std::size_t* ranks, std::size_t rankCount, double* out);

// The p-quantile (0 <= p <= 1) of count values as the linear interpolation between the order
// statistics of ranks lower and lower + 1 (the common definition, h = (count - 1) p).
struct QuantilePosition {
    std::size_t lower;
    std::size_t upper; // lower + 1, or lower at the top
    double fraction; // weight of the upper statistic
};
QuantilePosition PositionOfQuantile(double p, std::size_t count);
