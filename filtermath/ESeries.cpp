// SPDX-License-Identifier: Apache-2.0
#include "filtermath/ESeries.h"

#include <cmath>

#include "filtermath/Failure.h"

namespace corvane {

namespace {

using Real = long double;

// Each decade as integer digits: two digits up to E24 (historical values), three from E48.
const std::vector<int> kE6 = {10, 15, 22, 33, 47, 68};
const std::vector<int> kE12 = {10, 12, 15, 18, 22, 27, 33, 39, 47, 56, 68, 82};
const std::vector<int> kE24 = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30,
                               33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};
const std::vector<int> kE48 = {100, 105, 110, 115, 121, 127, 133, 140, 147, 154, 162, 169, 178, 187, 196, 205,
                               215, 226, 237, 249, 261, 274, 287, 301, 316, 332, 348, 365, 383, 402, 422, 442,
                               464, 487, 511, 536, 562, 590, 619, 649, 681, 715, 750, 787, 825, 866, 909, 953};
const std::vector<int> kE96 = {100, 102, 105, 107, 110, 113, 115, 118, 121, 124, 127, 130, 133, 137, 140, 143,
                               147, 150, 154, 158, 162, 165, 169, 174, 178, 182, 187, 191, 196, 200, 205, 210,
                               215, 221, 226, 232, 237, 243, 249, 255, 261, 267, 274, 280, 287, 294, 301, 309,
                               316, 324, 332, 340, 348, 357, 365, 374, 383, 392, 402, 412, 422, 432, 442, 453,
                               464, 475, 487, 499, 511, 523, 536, 549, 562, 576, 590, 604, 619, 634, 649, 665,
                               681, 698, 715, 732, 750, 768, 787, 806, 825, 845, 866, 887, 909, 931, 953, 976};
const std::vector<int> kE192 = {
    100, 101, 102, 104, 105, 106, 107, 109, 110, 111, 113, 114, 115, 117, 118, 120, 121, 123, 124, 126, 127, 129,
    130, 132, 133, 135, 137, 138, 140, 142, 143, 145, 147, 149, 150, 152, 154, 156, 158, 160, 162, 164, 165, 167,
    169, 172, 174, 176, 178, 180, 182, 184, 187, 189, 191, 193, 196, 198, 200, 203, 205, 208, 210, 213, 215, 218,
    221, 223, 226, 229, 232, 234, 237, 240, 243, 246, 249, 252, 255, 258, 261, 264, 267, 271, 274, 277, 280, 284,
    287, 291, 294, 298, 301, 305, 309, 312, 316, 320, 324, 328, 332, 336, 340, 344, 348, 352, 357, 361, 365, 370,
    374, 379, 383, 388, 392, 397, 402, 407, 412, 417, 422, 427, 432, 437, 442, 448, 453, 459, 464, 470, 475, 481,
    487, 493, 499, 505, 511, 517, 523, 530, 536, 542, 549, 556, 562, 569, 576, 583, 590, 597, 604, 612, 619, 626,
    634, 642, 649, 657, 665, 673, 681, 690, 698, 706, 715, 723, 732, 741, 750, 759, 768, 777, 787, 796, 806, 816,
    825, 835, 845, 856, 866, 876, 887, 898, 909, 920, 931, 942, 953, 965, 976, 988};

struct Table {
    const std::vector<int>& digits;
    int scale; // 10 for two-digit tables, 100 for three-digit ones
};

Table TableOf(ESeries series)
{
    switch (series) {
    case ESeries::E6: return {kE6, 10};
    case ESeries::E12: return {kE12, 10};
    case ESeries::E24: return {kE24, 10};
    case ESeries::E48: return {kE48, 100};
    case ESeries::E96: return {kE96, 100};
    case ESeries::E192: break;
    }
    return {kE192, 100};
}

// |value| = mantissa * 10^exponent with 1 <= mantissa < 10.
void SplitDecade(Real magnitude, Real& mantissa, int& exponent)
{
    exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    mantissa = magnitude / std::pow(10.0L, exponent);
    // log10 may land one ulp off at an exact power of ten.
    while (mantissa >= 10.0L) {
        mantissa /= 10.0L;
        ++exponent;
    }
    while (mantissa < 1.0L) {
        mantissa *= 10.0L;
        --exponent;
    }
}

// The nearest table value on a log scale, as digits; the next decade's 1.0 is a candidate.
int NearestDigits(const Table& table, Real mantissa)
{
    const Real target = std::log(mantissa * table.scale);
    int best = table.digits.front();
    Real bestDistance = std::fabs(target - std::log(static_cast<Real>(best)));
    for (int digits : table.digits) {
        const Real distance = std::fabs(target - std::log(static_cast<Real>(digits)));
        if (distance < bestDistance) {
            best = digits;
            bestDistance = distance;
        }
    }
    const int nextDecade = 10 * table.scale;
    if (std::fabs(target - std::log(static_cast<Real>(nextDecade))) < bestDistance) best = nextDecade;
    return best;
}

} // namespace

double RoundToESeries(double value, ESeries series)
{
    if (std::isnan(value)) RaiseInvalidOperation();
    if (std::isinf(value)) RaiseOverflow();
    if (value == 0.0) return 0.0;
    const Table table = TableOf(series);
    Real mantissa = 0.0L;
    int exponent = 0;
    SplitDecade(std::fabs(static_cast<Real>(value)), mantissa, exponent);
    const Real digits = NearestDigits(table, mantissa);
    const Real rounded = digits * std::pow(10.0L, exponent) / table.scale;
    return static_cast<double>(value < 0.0 ? -rounded : rounded);
}

std::vector<double> ESeriesValues(ESeries series, double low, double high)
{
    if (!(low > 0.0) || !(high >= low) || !std::isfinite(high)) RaiseInvalidOperation();
    const Table table = TableOf(series);
    Real mantissa = 0.0L;
    int first = 0, last = 0;
    SplitDecade(low, mantissa, first);
    SplitDecade(high, mantissa, last);
    std::vector<double> values;
    for (int exponent = first - 1; exponent <= last + 1; ++exponent)
        for (int digits : table.digits)
            values.push_back(static_cast<double>(digits * std::pow(10.0L, exponent) / table.scale));
    return values;
}

double PercentChange(double value, double rounded)
{
    if (value == 0.0) return 0.0;
    const Real change = (static_cast<Real>(rounded) - value) / value * 100.0L;
    return static_cast<double>(change);
}

namespace {

void RoundPositions(int N, ESeries series, std::vector<double>& values, std::vector<double>& change)
{
    for (int i = 0; i <= N + 1; ++i) {
        if (i == 0 || i == N + 1) {
            change.at(i) = 0.0;
            continue;
        }
        const double rounded = RoundToESeries(values.at(i), series);
        change.at(i) = PercentChange(values[i], rounded);
        values[i] = rounded;
    }
}

} // namespace

void RoundElementValues(int N, ESeries series, std::vector<double>& ElementValues, std::vector<double>& Change)
{
    RoundPositions(N, series, ElementValues, Change);
}

void RoundBandValues(int N, ESeries series, std::vector<double>& BandL, std::vector<double>& BandC,
                     std::vector<double>& ChangeL, std::vector<double>& ChangeC)
{
    RoundPositions(N, series, BandL, ChangeL);
    RoundPositions(N, series, BandC, ChangeC);
}

} // namespace corvane
