// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "design/DesignBand.h"

namespace corvane {

// What a ladder must do, as bands of frequency, each a kind, two edges in hertz and a value:
//   Pass        insertion loss -20 log10 |S21| at most value dB;
//   Stop        insertion loss at least value dB;
//   ReturnLoss  return loss at the input -20 log10 |S11| at least value dB;
//   Delay       group delay within value seconds of its mean over the band.
// A band's lower edge may be 0 (from DC); its upper edge is finite and above the lower one.
enum class MaskKind { Pass, Stop, ReturnLoss, Delay };

struct MaskBand {
    MaskKind kind = MaskKind::Pass;
    double lowHz = 0.0;
    double highHz = 0.0;
    double value = 0.0; // dB, or seconds for Delay
};

struct Mask {
    std::vector<MaskBand> bands;

    bool Empty() const { return bands.empty(); }
    bool Has(MaskKind kind) const;
};

// The word of a kind in the mask's text ("pass", "stop", "rl", "delay"), and its noun in messages
// and output ("passband", "stopband", "return-loss band", "delay band").
const char* MaskKindWord(MaskKind kind);
const char* MaskKindNoun(MaskKind kind);

// Refuses a mask that contradicts itself, with a Failure whose text starts with field and names
// the band (numbered from 1): edges or values that are not finite, negative edges or values, a band
// without width, a frequency in both a passband and a stopband.
void CheckMask(const Mask& mask, const std::string& field);

// The mask of the shorthands (MaskOfEdges) with the bands given as such after it, checked whole
// (CheckMask, as field).
Mask CombinedMask(Mask shorthands, const Mask& bands, const std::string& field);

// What the front ends show beside a usable mask: a return-loss band that overlaps a stopband, where a
// ladder of reactive parts reflects what it does not pass and so cannot match.
std::vector<std::string> MaskWarnings(const Mask& mask, const std::string& field);

// The upper edge a shorthand stopband above its stop frequency gets: this many times that frequency.
// Beyond it the lumped models of real parts no longer describe them, and it covers the harmonics of
// the passband that an engineer filters out. The lower open end of a high-pass's stopband is DC.
constexpr double kStopbandUpperRatio = 30.0;

// The mask of the shorthands: the design's passband held to at most maxPassLossDb, and at least
// stopAttDb at and beyond the stop frequency. Either part may be absent.
// The stopband lies from a low-pass's stop frequency up to kStopbandUpperRatio times it, and from DC to
// a high-pass's, whose passband reaches kStopbandUpperRatio times its edge. On a band-pass it lies
// beyond the stop frequency on its side and beyond its geometric mirror F0^2 / stopHz on the other;
// on a band-stop, between the stop frequency and its mirror, which lie within the band edges, and
// its upper passband reaches kStopbandUpperRatio times the upper edge. A stop frequency on the
// wrong side of an edge raises Failure.
Mask MaskOfEdges(const DesignBand& edges, std::optional<double> maxPassLossDb, std::optional<double> stopHz,
                 std::optional<double> stopAttDb);

} // namespace corvane
