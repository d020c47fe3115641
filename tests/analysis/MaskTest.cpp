// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/Mask.h"
#include "analysis/MaskText.h"
#include "filtermath/Failure.h"

using namespace corvane;

namespace {

// Bands with their edges in MHz.
DesignBand LowPass(double edge)
{
    return {BandShape::LowPass, 0.0, edge * 1e6};
}
DesignBand HighPass(double edge)
{
    return {BandShape::HighPass, edge * 1e6, 0.0};
}
DesignBand BandPass(double low, double high)
{
    return {BandShape::BandPass, low * 1e6, high * 1e6};
}

struct Expected {
    MaskKind kind;
    double lowMHz, highMHz, value;
};

void ExpectBands(const Mask& mask, const std::vector<Expected>& expected)
{
    ASSERT_EQ(mask.bands.size(), expected.size());
    for (std::size_t b = 0; b < expected.size(); ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(mask.bands[b].kind, expected[b].kind);
        EXPECT_NEAR(mask.bands[b].lowHz, expected[b].lowMHz * 1e6, 1e-3);
        EXPECT_NEAR(mask.bands[b].highHz, expected[b].highMHz * 1e6, 1e-3);
        EXPECT_EQ(mask.bands[b].value, expected[b].value);
    }
}

// The stopband lies beyond the stop frequency on the far side from the passband, up to the stated
// multiple of its edge; a band-pass mask covers its geometric mirror about F0 = sqrt(Fmin Fmax) as well.
TEST(MaskOfEdges, StopbandSidesFollowTheKind)
{
    const double top = kStopbandUpperRatio;
    ExpectBands(MaskOfEdges(LowPass(10), 1.0, 20e6, 40.0),
                {{MaskKind::Pass, 0, 10, 1.0}, {MaskKind::Stop, 20, 20 * top, 40.0}});
    ExpectBands(MaskOfEdges(HighPass(10), 1.0, 4e6, 40.0),
                {{MaskKind::Pass, 10, 10 * top, 1.0}, {MaskKind::Stop, 0, 4, 40.0}});
    ExpectBands(
        MaskOfEdges(BandPass(9, 11), 1.0, 14e6, 40.0),
        {{MaskKind::Pass, 9, 11, 1.0}, {MaskKind::Stop, 0, 99.0 / 14, 40.0}, {MaskKind::Stop, 14, 14 * top, 40.0}});
    ExpectBands(MaskOfEdges(BandPass(9, 11), 1.0, 6e6, 40.0),
                {{MaskKind::Pass, 9, 11, 1.0}, {MaskKind::Stop, 0, 6, 40.0}, {MaskKind::Stop, 16.5, 16.5 * top, 40.0}});
    // Either part alone.
    ExpectBands(MaskOfEdges(LowPass(10), std::nullopt, 20e6, 40.0), {{MaskKind::Stop, 20, 20 * top, 40.0}});
    ExpectBands(MaskOfEdges(LowPass(10), 0.5, std::nullopt, std::nullopt), {{MaskKind::Pass, 0, 10, 0.5}});
}

// A band-stop's passbands lie outside its band edges and its stopband between the stop
// frequency and its mirror, whichever of the two is given.
TEST(MaskOfEdges, BandStopHoldsItsStopbandBetweenTheEdges)
{
    for (double fs : {9.5e6, 99e6 / 9.5})
        ExpectBands(MaskOfEdges({BandShape::BandStop, 9e6, 11e6}, 1.0, fs, 30.0),
                    {{MaskKind::Pass, 0, 9, 1.0},
                     {MaskKind::Pass, 11, 11 * kStopbandUpperRatio, 1.0},
                     {MaskKind::Stop, 9.5, 99 / 9.5, 30.0}});
}

// A stop frequency on the passband's side of an edge leaves no stopband to hold.
TEST(MaskOfEdges, StopFrequencyOnThePassbandSideIsRefused)
{
    EXPECT_THROW(MaskOfEdges(BandPass(9, 11), 1.0, 10e6, 40.0), Failure);
    EXPECT_THROW(MaskOfEdges(HighPass(10), 1.0, 20e6, 40.0), Failure);
    EXPECT_THROW(MaskOfEdges(LowPass(10), 1.0, 5e6, 40.0), Failure);
    EXPECT_THROW(MaskOfEdges({BandShape::BandStop, 9e6, 11e6}, 1.0, 12e6, 30.0), Failure);
    EXPECT_NO_THROW(MaskOfEdges(LowPass(10), 1.0, 200e6, 40.0));
}

struct ReadCase {
    const char* text;
    double unitScale;
    std::vector<Expected> bands;
};

// Texts as an engineer types them: prefixes, bare numbers in the field's unit, blanks, a closing
// semicolon, a delay in seconds with or without its unit.
TEST(MaskText, ReadsBandsAsTyped)
{
    const std::vector<ReadCase> cases = {
        {"pass 0 30M 0.5; stop 60M 300M 40; rl 0 30M 18",
         1.0,
         {{MaskKind::Pass, 0, 30, 0.5}, {MaskKind::Stop, 60, 300, 40}, {MaskKind::ReturnLoss, 0, 30, 18}}},
        {"pass 0 30 0.5;stop 60 300 40", 1e6, {{MaskKind::Pass, 0, 30, 0.5}, {MaskKind::Stop, 60, 300, 40}}},
        {"  stop   1.2G  2.4GHz 20dB ;", 1e6, {{MaskKind::Stop, 1200, 2400, 20}}},
        {"stop 100k 0.3 20", 1e6, {{MaskKind::Stop, 0.1, 0.3, 20}}},
        {"delay 1M 20M 2n", 1.0, {{MaskKind::Delay, 1, 20, 2e-9}}},
        {"delay 1 20 2ns", 1e6, {{MaskKind::Delay, 1, 20, 2e-9}}},
        {"", 1e6, {}},
        {"   ", 1e6, {}},
        // A return-loss band may lie in a passband; pass and stop may meet nowhere.
        {"pass 0 30M 1; rl 1M 29M 15; stop 31M 40M 10",
         1.0,
         {{MaskKind::Pass, 0, 30, 1}, {MaskKind::ReturnLoss, 1, 29, 15}, {MaskKind::Stop, 31, 40, 10}}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.text);
        ExpectBands(ReadMaskText(c.text, "--mask", c.unitScale), c.bands);
    }
}

struct RefusedCase {
    const char* text;
    const char* says; // part of the message, after the field's name
};

// Every problem is refused with a message that names the field and the band.
TEST(MaskText, RefusesWhatContradictsItselfOrIsNoNumber)
{
    const std::vector<RefusedCase> cases = {
        {"pass 0 30M 0.5; stop 20M 300M 40", "--mask: band 1 (pass) and band 2 (stop) both hold 20.0 MHz"},
        {"pass 0 30M 0.5; stop 30M 300M 40", "band 1 (pass) and band 2 (stop) both hold 30.0 MHz"},
        {"stop 60M 300M 40; pass 100M 200M 1", "band 2 (pass) and band 1 (stop) both hold 100 MHz"},
        {"stop 60M 60M 40", "--mask, band 1 (stop) has no width"},
        {"pass 30M 10M 1", "--mask, band 1 (pass) has no width"},
        {"pass 0 30M x", "--mask, band 1: the value \"x\" must be a number of dB, 0 or above."},
        {"pass 0 30M -1", "--mask, band 1: the value \"-1\" must be a number of dB"},
        {"pass 0 30M nan", "the value \"nan\" must be"},
        {"delay 1M 2M -1n", "--mask, band 1: the value \"-1n\" must be a time of 0 s or above."},
        {"pass -1M 30M 1", "--mask, band 1: the lower edge \"-1M\" must be a frequency of zero or above."},
        {"pass 0 inf 1", "--mask, band 1: the upper edge \"inf\" must be a frequency above zero."},
        {"pass 0 1e400 1", "the upper edge \"1e400\""},
        {"stop 60M 300M 40; pass 0 30M 0.5 1", "--mask, band 2 must be its kind, two edges and a value"},
        {"stop 60M 300M", "--mask, band 1 must be its kind, two edges and a value, as in \"stop 60M 300M 40\"."},
        {"notch 60M 300M 40", "--mask, band 1 must start with its kind: pass, stop, rl or delay."},
        {"pass 0 30M 1;; stop 60M 300M 40", "--mask, band 2 is empty"},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ReadMaskText(c.text, "--mask", 1.0);
            ADD_FAILURE() << "accepted";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.says), std::string::npos) << failure.what();
        }
    }
}

// A return-loss band that overlaps a stopband is flagged, not refused; one beside it is not.
TEST(MaskText, ReturnLossInsideAStopbandIsFlagged)
{
    const Mask flagged = ReadMaskText("stop 60M 300M 40; rl 50M 70M 10", "Mask", 1.0);
    const std::vector<std::string> warnings = MaskWarnings(flagged, "Mask");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("Mask, band 2 (rl) overlaps band 1 (stop)"), std::string::npos) << warnings[0];
    EXPECT_TRUE(MaskWarnings(ReadMaskText("stop 60M 300M 40; rl 0 60M 10", "Mask", 1.0), "Mask").empty());
}

// The writer's text reads back to the same mask, bit for bit, in any unit.
TEST(MaskText, WrittenTextReadsBackTheSameMask)
{
    Mask mask;
    mask.bands = {{MaskKind::Pass, 0.0, 30e6, 0.5},
                  {MaskKind::Stop, 60e6, 1.8e9, 40.0},
                  {MaskKind::ReturnLoss, 1234.5, 29.999999e6, 17.25},
                  {MaskKind::Delay, 1e6, 1.0 / 3.0 * 1e8, 2.5e-9},
                  {MaskKind::Stop, 2.4e9, 0.1 + 2.5e9, 1.0 / 3.0}};
    const std::string text = MaskText(mask);
    EXPECT_EQ(text.substr(0, 38), "pass 0 30M 0.5; stop 60M 1.8G 40; rl 1");
    for (double unitScale : {1.0, 1e3, 1e6}) {
        const Mask back = ReadMaskText(text, "Mask", unitScale);
        ASSERT_EQ(back.bands.size(), mask.bands.size());
        for (std::size_t b = 0; b < mask.bands.size(); ++b) {
            EXPECT_EQ(back.bands[b].kind, mask.bands[b].kind);
            EXPECT_EQ(back.bands[b].lowHz, mask.bands[b].lowHz);
            EXPECT_EQ(back.bands[b].highHz, mask.bands[b].highHz);
            EXPECT_EQ(back.bands[b].value, mask.bands[b].value);
        }
    }
}

} // namespace
