// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "export/PartCatalogue.h"
#include "filtermath/ESeries.h"
#include "tests/support/SeriesPartFile.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

namespace {

const char* const kHeading = "kind,value,tolerance,q,q_freq,srf,resistance,package,manufacturer,part_number\n";

// The shipped catalogue reads whole, says it is generic, and holds the E24 values of each decade.
TEST(PartCatalogue, ShippedGenericCatalogueHoldsTheE24Values)
{
    const PartCatalogue catalogue = ReadCatalogue(CORVANE_SOURCE_DIR "/data/catalogue/generic-e24.csv");
    const auto capacitors = PartsOfKind(catalogue, PartKind::Capacitor);
    const auto inductors = PartsOfKind(catalogue, PartKind::Inductor);
    EXPECT_EQ(capacitors.size(), 6u * 24u); // 1 pF to 910 nF
    EXPECT_EQ(inductors.size(), 5u * 24u); // 1 nH to 91 uH
    for (const CataloguePart& part : catalogue.parts) {
        EXPECT_EQ(part.manufacturer, "generic");
        EXPECT_NEAR(RoundToESeries(part.value, ESeries::E24), part.value, 1e-9 * part.value) << part.line;
        // A part's Q is stated below its self-resonance, where it means something.
        EXPECT_LT(part.qFrequencyHz, part.srfHz) << part.line;
    }
}

TEST(PartCatalogue, ReadsQuotedTextsAnyColumnOrderAndWindowsLines)
{
    const std::string text = "\xEF\xBB\xBF# comment\r\nPart_Number,Value,Kind,Manufacturer\r\n"
                             "\"X-1, rev \"\"B\"\"\",4.7 nH,L,\"Maker, Inc\"\r\n\r\n  , 100p ,C,\r\n";
    const PartCatalogue catalogue = ParseCatalogue(text, "parts.csv");
    ASSERT_EQ(catalogue.parts.size(), 2u);
    EXPECT_EQ(catalogue.parts[0].partNumber, "X-1, rev \"B\"");
    EXPECT_EQ(catalogue.parts[0].manufacturer, "Maker, Inc");
    EXPECT_EQ(catalogue.parts[0].kind, PartKind::Inductor);
    EXPECT_DOUBLE_EQ(catalogue.parts[0].value, 4.7e-9);
    EXPECT_EQ(catalogue.parts[0].line, 3);
    EXPECT_DOUBLE_EQ(catalogue.parts[1].value, 1e-10);
    EXPECT_TRUE(std::isnan(catalogue.parts[1].tolerancePercent));
    EXPECT_EQ(catalogue.parts[1].line, 5);
}

TEST(PartCatalogue, BadRowsAreNamedByFileLineAndColumn)
{
    struct Case {
        std::string text;
        std::string where; // the start of the message
    };
    const std::string h = kHeading;
    const Case cases[] = {
        {h + "C,10p,5%,,,,,0603,m,p\nX,10p,5%,,,,,0603,m,p\n", "cat.csv, line 3, column 1 (kind): "},
        {h + "L,ten nH,5%,,,,,0603,m,p\n", "cat.csv, line 2, column 3 (value): "},
        {h + "L,10nF,5%,,,,,0603,m,p\n", "cat.csv, line 2, column 3 (value): "},
        {h + "C,10p,150,,,,,0603,m,p\n", "cat.csv, line 2, column 7 (tolerance): "},
        {h + "C,10p,5,60,,,,0603,m,p\n", "cat.csv, line 2, column 9 (q): "},
        {h + "C,10p,5,,100M,,,0603,m,p\n", "cat.csv, line 2, column 10 (q_freq): "},
        {h + "C,10p,5,,,,-1,0603,m,p\n", "cat.csv, line 2, column 12 (resistance): "},
        {h + "C,-10p,5,,,,,0603,m,p\n", "cat.csv, line 2, column 3 (value): "},
        {h + "C,10p,5,,,,,0603,m\n", "cat.csv, line 2, column "},
        {h + "C,10p,5,,,,,\"0603,m,p\n", "cat.csv, line 2, column 13: "},
        {"kind,value,colour\n", "cat.csv, line 1, column 12 (colour): "},
        {"kind,kind,value\n", "cat.csv, line 1, column 6 (kind): "},
        {"value,package\n", "cat.csv, line 1, column 1: "},
        {"# only a comment\n", "cat.csv, line 1, column 1: "},
        {"kind,value,touchstone\nC,1p,missing.s2p\n", "cat.csv, line 2, column 6 (touchstone): "},
    };
    for (const Case& c : cases) {
        try {
            ParseCatalogue(c.text, "cat.csv");
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const CatalogueError& error) {
            EXPECT_EQ(std::string(error.what()).substr(0, c.where.size()), c.where) << error.what();
        }
    }
}

TEST(PartCatalogue, TouchstoneFilesAreFoundBesideTheCatalogue)
{
    TempFolder folder;
    const std::vector<double> f = LogFrequencies(1e6, 1e9, 61);
    std::ofstream(folder.Path("l10n.s2p")) << SeriesPartFile(f, CoilImpedances(10e-9, 0.1, 60.0, 4e9, f));
    std::ofstream(folder.Path("parts.csv")) << "kind,value,touchstone\nL,10n,l10n.s2p\nC,1p,\nL,12n,l10n.s2p\n";
    const PartCatalogue catalogue = ReadCatalogue(folder.Path("parts.csv"));
    ASSERT_EQ(catalogue.parts.size(), 3u);
    EXPECT_EQ(catalogue.parts[0].touchstoneFile, folder.Path("l10n.s2p"));
    ASSERT_TRUE(catalogue.parts[0].measured);
    EXPECT_NEAR(catalogue.parts[0].measured->equivalent.L, 10e-9, 0.1e-9);
    EXPECT_FALSE(catalogue.parts[1].measured);
    EXPECT_THROW(ReadCatalogue(folder.Path("none.csv")), CatalogueError);
    // A file with no part in it is a fault of the catalogue's line.
    std::ofstream(folder.Path("through.s2p")) << "# Hz S RI R 50\n1e6 0 0 1 0 1 0 0 0\n";
    std::ofstream(folder.Path("bad.csv")) << "kind,value,touchstone\nC,1p,\nL,10n,through.s2p\n";
    try {
        ReadCatalogue(folder.Path("bad.csv"));
        ADD_FAILURE() << "a through line read as a part";
    } catch (const CatalogueError& error) {
        EXPECT_NE(std::string(error.what()).find("bad.csv, line 3 (touchstone): "), std::string::npos) << error.what();
    }
}

} // namespace
