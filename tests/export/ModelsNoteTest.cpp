// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/BillOfMaterials.h"
#include "export/KicadSchematic.h"
#include "export/ModelsNote.h"
#include "export/SpiceNetlist.h"
#include "export/Touchstone.h"
#include "tests/support/Designs.h"

using namespace corvane;

namespace {

// A Pi low-pass C1 L2 C3 L4 C5 with the models of each case.
struct NoteCase {
    const char* name;
    PartQuality quality;
    void (*apply)(LadderModel&);
    const char* says;
};

const NoteCase kNoteCases[] = {
    {"Ideal", {}, [](LadderModel&) {}, "Models: inductors ideal; capacitors ideal; no node strays"},
    {"QualityOfTheRun", {80, 500}, [](LadderModel&) {}, "Models: inductors Q 80; capacitors Q 500; no node strays"},
    {"KindDefaults",
     {},
     [](LadderModel& m) {
         m.inductorModel = {80, QGrowth::Constant, 0, 0.05, 1.2e9, 0};
         m.capacitorModel.esl = 0.7e-9;
         m.strays.leadL = 1e-9;
     },
     "Models: inductors Q 80, Rdc 50 mOhm, SRF 1.2 GHz, lead 1 nH; capacitors ESL 700 pH, lead 1 nH; no node strays"},
    // A catalogue's choice gives each part a model of its own: each is named.
    {"EachPartItsOwn",
     {},
     [](LadderModel& m) {
         m.branches[1].parts[0].model = PartModel{60, QGrowth::Constant, 0, 0.1, 900e6, 0};
         m.branches[3].parts[0].model = PartModel{45, QGrowth::SqrtF, 100e6, 0, 0, 0};
     },
     "Models: inductors L2 (Q 60, Rdc 100 mOhm, SRF 900 MHz), L4 (Q 45 @ 100 MHz); capacitors ideal; no node "
     "strays"},
    {"NodeStrays",
     {},
     [](LadderModel& m) {
         m.strays.nodeC = 2e-12;
         m.strays.nodeCAt[3] = 5e-12;
     },
     "Models: inductors ideal; capacitors ideal; node strays 2 pF at every node, node 3 5 pF"},
};

LadderModel PiLowPass()
{
    return DesignModel({0, LadderTopology::Pi, 5, 0, 10, 0, 0, 50, 1e6});
}

TEST(ModelsNote, SaysEveryModelAndStray)
{
    for (const NoteCase& c : kNoteCases) {
        SCOPED_TRACE(c.name);
        LadderModel ladder = PiLowPass();
        c.apply(ladder);
        EXPECT_EQ(ModelsNote(ladder, c.quality), c.says);
    }
}

// Every file that carries the ladder's response or parts says which models it holds.
TEST(ModelsNote, EveryExportsHeaderStatesIt)
{
    LadderModel ladder = PiLowPass();
    kNoteCases[3].apply(ladder);
    const PartQuality quality{0, 300};
    const std::string note = ModelsNote(ladder, quality);
    const std::pair<const char*, std::string> files[] = {
        {"netlist", SpiceNetlist(ladder, {1e6}, quality, "t")},
        {"subcircuit", SpiceSubcircuit(ladder, quality, "t")},
        {"Touchstone", TouchstoneText(ladder, {1.0}, 1e6, quality, {"t"})},
        {"KiCad", KicadSchematic(ladder, {}, "t", {BandShape::LowPass, 0, 10e6}, quality)},
    };
    for (const auto& [name, given] : files) {
        // The sheet's note breaks its lines where a blank was.
        std::string text = given;
        for (size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at)) text.replace(at, 2, " ");
        EXPECT_NE(text.find(note), std::string::npos) << name;
    }
    // The bill of materials says each part's model in a column of its own.
    const std::string bom = BomCsv(BillOfMaterials(ladder, {}, quality));
    EXPECT_NE(bom.find(",Model\r\n"), std::string::npos);
    EXPECT_NE(bom.find("\"Q 60, Rdc 100 mOhm, SRF 900 MHz\""), std::string::npos) << bom;
    EXPECT_NE(bom.find(",Q 300\r\n"), std::string::npos) << bom;
}

} // namespace
