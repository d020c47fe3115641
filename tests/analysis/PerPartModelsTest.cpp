// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "analysis/InputRules.h"
#include "analysis/NetworkResponse.h"
#include "analysis/PerPartModels.h"
#include "tests/support/Designs.h"

using namespace corvane;

namespace {

OwnPartModel Own(double Q, double QHz, double srfHz, double seriesR, double esl, std::optional<double> lead = {})
{
    OwnPartModel own;
    own.model.Q = Q;
    own.model.growth = QHz > 0.0 ? QGrowth::SqrtF : QGrowth::Constant;
    own.model.QHz = QHz;
    own.model.srfHz = srfHz;
    own.model.seriesR = seriesR;
    own.model.esl = esl;
    own.leadL = lead;
    return own;
}

// Texts as an engineer writes them beside a part, in a design whose unit is MHz.
TEST(PerPartModels, ReadsTheTextsEngineersWrite)
{
    const struct {
        const char* text;
        PartKind kind;
        OwnPartModel expected;
    } cases[] = {
        {"", PartKind::Inductor, Own(0, 0, 0, 0, 0)},
        {"Q 80", PartKind::Inductor, Own(80, 0, 0, 0, 0)},
        {"q=120 @ 100, rdc 0.1", PartKind::Inductor, Own(120, 100e6, 0, 0.1, 0)},
        {"SRF 40, Q: 60 @ 2.5 GHz", PartKind::Inductor, Own(60, 2.5e9, 40e6, 0, 0)},
        {"SRF 1.2 GHz, lead 1n", PartKind::Inductor, Own(0, 0, 1.2e9, 0, 0, 1e-9)},
        {"ESR 50 m\u03a9, ESL 0.4n", PartKind::Capacitor, Own(0, 0, 0, 0.05, 0.4e-9)},
        {" R 2 , lead 0 ", PartKind::Capacitor, Own(0, 0, 0, 2, 0, 0.0)},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadPartModelText(c.text, "Model of L2", c.kind, 1e6), c.expected) << c.text;
}

TEST(PerPartModels, RefusalsNameTheFieldAndTheItem)
{
    const struct {
        const char* text;
        PartKind kind;
        const char* message;
    } cases[] = {
        {"Q -3", PartKind::Inductor, "Model of L2: Q must be 0 (ideal) or a positive number."},
        {"Q 80 @ 0", PartKind::Inductor, "Model of L2: Q must grow from a frequency above zero (80 @ 100 MHz)."},
        {"Q @ 10", PartKind::Inductor, "Model of L2: Q must be a number, or a number @ a frequency (80 @ 100 MHz)."},
        {"Q 80 @", PartKind::Inductor, "Model of L2: Q must be a number, or a number @ a frequency (80 @ 100 MHz)."},
        {"Q 0 @ 10", PartKind::Inductor,
         "Model of L2: Q must be above zero to grow with the frequency (80 @ 100 MHz)."},
        {"SRF fast", PartKind::Inductor, "Model of L2: SRF must be 0 (none) or a frequency above zero."},
        {"Q 3, Q 4", PartKind::Inductor, "Model of L2: Q is given twice."},
        {"Rdc 1, ESR 2", PartKind::Inductor, "Model of L2: ESR is given twice."},
        {"SRF", PartKind::Inductor, "Model of L2: SRF has no value."},
        {"ESL 1n", PartKind::Inductor, "Model of L2: ESL is a capacitor's; give an inductor's self-resonance as SRF."},
        {"ESL 1n, SRF 90", PartKind::Capacitor, "Model of L2: give a capacitor's ESL or its SRF, not both."},
        {"Z 50", PartKind::Capacitor,
         "Model of L2: \"Z 50\" names no item of a part model; give Q, SRF, Rdc or ESR, ESL or lead."},
    };
    for (const auto& c : cases) {
        try {
            ReadPartModelText(c.text, "Model of L2", c.kind, 1e6);
            ADD_FAILURE() << c.text << " was read";
        } catch (const InputError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

// A part's own Q and its kind's Q are one rule: every text gets the same verdict and the same
// model from both (a growing Q of zero was once taken by the part and refused by the kind).
TEST(PerPartModels, AnOwnQReadsAsTheKindsQ)
{
    for (const char* text : {"80", "0", "80 @ 100", "120@1.2 GHz", " 60 @ 2.5G ", "0 @ 10", "80 @ 0", "80 @", "@ 10",
                             "x @ 10", "80 @ 10 @ 20", "-3", "80 @ -5"}) {
        std::optional<KindQ> kind;
        try {
            kind = ReadKindQ(text, "Q of inductors", 1e6);
        } catch (const InputError&) {
        }
        std::optional<PartModel> own;
        try {
            own = ReadPartModelText(std::string("Q ") + text, "Model of L2", PartKind::Inductor, 1e6).model;
        } catch (const InputError&) {
        }
        ASSERT_EQ(kind.has_value(), own.has_value()) << text;
        if (!kind) continue;
        EXPECT_EQ(own->Q, kind->Q) << text;
        EXPECT_EQ(own->QHz, kind->QHz) << text;
        EXPECT_EQ(own->growth, kind->QHz > 0.0 ? QGrowth::SqrtF : QGrowth::Constant) << text;
    }
}

// The dialog's fields and the design file meet in the text: splitting a joined text gives the
// items back, and joining writes the key of the kind's loss.
TEST(PerPartModels, JoinedTextsSplitBackToTheirItems)
{
    PartModelItems items;
    items.q = "80";
    items.qAt = "100 MHz";
    items.srf = "1.2 GHz";
    items.seriesR = "50m";
    items.esl = "0.4n";
    items.lead = "1n";
    EXPECT_EQ(JoinPartModelText(items, PartKind::Capacitor), "Q 80 @ 100 MHz, SRF 1.2 GHz, ESR 50m, ESL 0.4n, lead 1n");
    EXPECT_NE(JoinPartModelText(items, PartKind::Inductor).find(", Rdc 50m, "), std::string::npos);
    EXPECT_EQ(SplitPartModelText(JoinPartModelText(items, PartKind::Inductor), "L1"), items);
    EXPECT_EQ(JoinPartModelText({}, PartKind::Inductor), "");
}

// A model given to every inductor by name is the same circuit as the same model given to the
// kind through its fields: both routes must give the same response to the last digit.
TEST(PerPartModels, OwnModelsOnEveryPartEqualTheKindsModel)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 5, 0, 10, 0, 0, 50, 1e6});
    const OwnPartModel own = ReadPartModelText("Q 60 @ 10, SRF 90, Rdc 0.2", "L", PartKind::Inductor, 1e6);
    AnalysisOptions byKind; // the kinds' fields: --q-l "60 @ 10", --srf-l 90, --rdc-l 0.2
    byKind.inductorModel.emplace().srfHz = 90e6;
    byKind.inductorModel->seriesR = 0.2;
    ApplyKindQ(byKind, PartKind::Inductor, 60, 10e6);
    AnalysisOptions byPart;
    for (const char* part : {"L1", "L3", "L5"}) byPart.ownModels[part] = own;
    const std::vector<double> mhz = {1, 5, 9.5, 10, 14, 40, 88};
    const NetworkCurves kind = AnalyseDesign(ladder, byKind, mhz, 1e6).curves;
    const NetworkCurves part = AnalyseDesign(ladder, byPart, mhz, 1e6).curves;
    EXPECT_EQ(kind.NetS21, part.NetS21);
    EXPECT_EQ(kind.NetGroupDelay, part.NetGroupDelay);
    EXPECT_LT(kind.NetS21[3], -3.2); // the losses are there: an ideal ladder loses 3.01 dB at its corner

    byPart.ownModels.erase("L3");
    EXPECT_NE(AnalyseDesign(ladder, byPart, mhz, 1e6).curves.NetS21, kind.NetS21);
    byPart.ownModels["L9"] = own;
    try {
        AnalyseDesign(ladder, byPart, mhz, 1e6);
        ADD_FAILURE() << "L9 was taken";
    } catch (const InputError& error) {
        EXPECT_STREQ(error.what(), "The ladder has no part L9 for its model; its parts are L1, C2, L3, C4, L5.");
    }
}

} // namespace
