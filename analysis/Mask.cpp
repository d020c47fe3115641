// SPDX-License-Identifier: Apache-2.0
#include "analysis/Mask.h"

#include <algorithm>
#include <cmath>

#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"

namespace corvane {

namespace {

const char* const kOutside = "The stop frequency must lie outside the passband.";

std::string BandName(std::size_t index, const MaskBand& band)
{
    return "band " + std::to_string(index + 1) + " (" + MaskKindWord(band.kind) + ")";
}

// Closed bands meet when they share a frequency; bands that only touch count for a pass and a stop
// band, whose limits cannot both hold at one frequency.
bool Meet(const MaskBand& a, const MaskBand& b)
{
    return a.lowHz <= b.highHz && b.lowHz <= a.highHz;
}

bool Overlap(const MaskBand& a, const MaskBand& b)
{
    return a.lowHz < b.highHz && b.lowHz < a.highHz;
}

void CheckBand(const MaskBand& band, const std::string& where)
{
    if (!std::isfinite(band.lowHz) || band.lowHz < 0.0)
        throw Failure(where + ": the lower edge must be a frequency of zero or above.");
    if (!std::isfinite(band.highHz) || band.highHz <= 0.0)
        throw Failure(where + ": the upper edge must be a finite frequency above zero.");
    if (!(band.highHz > band.lowHz))
        throw Failure(where + " has no width: its upper edge must lie above its lower edge.");
    if (!std::isfinite(band.value) || band.value < 0.0)
        throw Failure(where + (band.kind == MaskKind::Delay ? ": the spread must be a time of 0 s or above."
                                                            : ": the limit must be a number of dB, 0 or above."));
}

void Add(Mask& mask, MaskKind kind, double low, double high, double value)
{
    if (high > low) mask.bands.push_back({kind, low, high, value});
}

void AddStopbands(Mask& mask, const DesignBand& edges, double fs, double att)
{
    const double mirror = edges.lowHz * edges.highHz / fs;
    switch (edges.shape) {
    case BandShape::LowPass:
        if (fs <= edges.highHz) throw Failure(kOutside);
        Add(mask, MaskKind::Stop, fs, kStopbandUpperRatio * fs, att);
        break;
    case BandShape::HighPass:
        if (fs >= edges.lowHz) throw Failure(kOutside);
        Add(mask, MaskKind::Stop, 0.0, fs, att);
        break;
    case BandShape::BandPass: {
        if (fs >= edges.lowHz && fs <= edges.highHz) throw Failure(kOutside);
        const double below = std::min(fs, mirror), above = std::max(fs, mirror);
        Add(mask, MaskKind::Stop, 0.0, below, att);
        Add(mask, MaskKind::Stop, above, kStopbandUpperRatio * above, att);
        break;
    }
    case BandShape::BandStop:
        if (fs <= edges.lowHz || fs >= edges.highHz)
            throw Failure("The stop frequency must lie between the band edges of a band-stop design.");
        Add(mask, MaskKind::Stop, std::min(fs, mirror), std::max(fs, mirror), att);
        break;
    }
}

void AddPassbands(Mask& mask, const DesignBand& edges, double loss)
{
    switch (edges.shape) {
    case BandShape::LowPass: Add(mask, MaskKind::Pass, 0.0, edges.highHz, loss); break;
    case BandShape::HighPass: Add(mask, MaskKind::Pass, edges.lowHz, kStopbandUpperRatio * edges.lowHz, loss); break;
    case BandShape::BandPass: Add(mask, MaskKind::Pass, edges.lowHz, edges.highHz, loss); break;
    case BandShape::BandStop:
        Add(mask, MaskKind::Pass, 0.0, edges.lowHz, loss);
        Add(mask, MaskKind::Pass, edges.highHz, kStopbandUpperRatio * edges.highHz, loss);
        break;
    }
}

} // namespace

bool Mask::Has(MaskKind kind) const
{
    return std::any_of(bands.begin(), bands.end(), [kind](const MaskBand& b) { return b.kind == kind; });
}

const char* MaskKindWord(MaskKind kind)
{
    switch (kind) {
    case MaskKind::Pass: return "pass";
    case MaskKind::Stop: return "stop";
    case MaskKind::ReturnLoss: return "rl";
    case MaskKind::Delay: break;
    }
    return "delay";
}

const char* MaskKindNoun(MaskKind kind)
{
    switch (kind) {
    case MaskKind::Pass: return "passband";
    case MaskKind::Stop: return "stopband";
    case MaskKind::ReturnLoss: return "return-loss band";
    case MaskKind::Delay: break;
    }
    return "delay band";
}

void CheckMask(const Mask& mask, const std::string& field)
{
    const std::vector<MaskBand>& bands = mask.bands;
    for (std::size_t i = 0; i < bands.size(); ++i) CheckBand(bands[i], field + ", " + BandName(i, bands[i]));
    for (std::size_t i = 0; i < bands.size(); ++i)
        for (std::size_t j = 0; j < bands.size(); ++j) {
            if (bands[i].kind != MaskKind::Pass || bands[j].kind != MaskKind::Stop || !Meet(bands[i], bands[j]))
                continue;
            const double hz = std::max(bands[i].lowHz, bands[j].lowHz);
            throw Failure(field + ": " + BandName(i, bands[i]) + " and " + BandName(j, bands[j]) + " both hold " +
                          EngineeringText(hz, "Hz") + "; a passband and a stopband need a transition between them.");
        }
}

Mask CombinedMask(Mask shorthands, const Mask& bands, const std::string& field)
{
    shorthands.bands.insert(shorthands.bands.end(), bands.bands.begin(), bands.bands.end());
    CheckMask(shorthands, field);
    return shorthands;
}

std::vector<std::string> MaskWarnings(const Mask& mask, const std::string& field)
{
    std::vector<std::string> warnings;
    const std::vector<MaskBand>& bands = mask.bands;
    for (std::size_t i = 0; i < bands.size(); ++i)
        for (std::size_t j = 0; j < bands.size(); ++j)
            if (bands[i].kind == MaskKind::ReturnLoss && bands[j].kind == MaskKind::Stop && Overlap(bands[i], bands[j]))
                warnings.push_back("Warning: " + field + ", " + BandName(i, bands[i]) + " overlaps " +
                                   BandName(j, bands[j]) +
                                   ": a ladder of reactive parts reflects what it stops, so it cannot match there.");
    return warnings;
}

Mask MaskOfEdges(const DesignBand& edges, std::optional<double> maxPassLossDb, std::optional<double> stopHz,
                 std::optional<double> stopAttDb)
{
    Mask mask;
    if (maxPassLossDb) AddPassbands(mask, edges, *maxPassLossDb);
    if (stopHz && stopAttDb) AddStopbands(mask, edges, *stopHz, *stopAttDb);
    return mask;
}

} // namespace corvane
