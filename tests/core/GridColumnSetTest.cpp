#include "display/GridColumnSet.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gs;

namespace {
const GridColumnSet Present = {{"ID_ORDER", 86, true}, {"ADRESSNAME", 81, true}, {"DATE", 103, true},
                               {"printp", 77, true}};
}

TEST(GridColumnSet, TextFormRoundTrips)
{
    const GridColumnSet set = {{"DATE", 120, true}, {"ID_ORDER", 0, false}};
    EXPECT_EQ(FormatColumnSet(set), "GSCOLUMNS 1\r\nDATE;120;1\r\nID_ORDER;0;0\r\n");
    EXPECT_EQ(ParseColumnSet(FormatColumnSet(set)), set);
}

TEST(GridColumnSet, UnfitLinesAreSkippedAndAForeignTextGivesNothing)
{
    EXPECT_EQ(ParseColumnSet("GSCOLUMNS 1\nDATE;x;1\n;5;1\nGEWINN;54\nPROVISION;70;1\n"),
              (GridColumnSet{{"PROVISION", 70, true}}));
    EXPECT_TRUE(ParseColumnSet("TPF0\x0bTColumns").empty());
    EXPECT_TRUE(ParseColumnSet("").empty());
}

TEST(GridColumnSet, ArrangeTakesTheSavedOrderThenTheRest)
{
    const GridColumnSet saved = {{"printp", 90, true}, {"GONE", 10, true}, {"id_order", 0, false}};
    EXPECT_EQ(ArrangeColumns(Present, saved), (GridColumnSet{{"printp", 90, true},
                                                             {"ID_ORDER", 86, false},
                                                             {"ADRESSNAME", 81, true},
                                                             {"DATE", 103, true}}));
    EXPECT_EQ(ArrangeColumns(Present, {}), Present);
}

TEST(GridColumnSet, LayoutFileIsNamedAfterProgramGridAndSuffix)
{
    EXPECT_EQ(GridLayoutFile("/opt/gs/gewinnstatistik", "DBGrid_CURRGW1", ""),
              std::filesystem::path("/opt/gs/gewinnstatistikDBGrid_CURRGW1.COL"));
    EXPECT_EQ(GridLayoutFile("/opt/gs/gewinnstatistik", "DBGrid_CURRGW1", "TMP"),
              std::filesystem::path("/opt/gs/gewinnstatistikDBGrid_CURRGW1TMP.COL"));
}

TEST(GridColumnSet, FileRoundTripAndMissingFile)
{
    test::TempDir dir;
    const GridColumnSet set = {{"GEWINN", 60, true}};
    SaveColumnSetFile(dir / "a.COL", set);
    EXPECT_EQ(LoadColumnSetFile(dir / "a.COL"), set);
    EXPECT_TRUE(LoadColumnSetFile(dir / "missing.COL").empty());
}
