#include "spool/GridLayoutTable.h"

#include "base/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gs;
using namespace gs::test;

namespace {

// Every byte value once, as a binary column set would hold them.
std::string AllBytes()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes;
}

std::vector<std::string> Names(const GridLayoutTable& table, const std::string& key)
{
    std::vector<std::string> names;
    for (const GridLayoutRow& r : table.rowsOf(key))
        names.push_back(r.user);
    return names;
}

} // namespace

TEST(GridLayoutTable, Base64RoundTripsEveryLength)
{
    const std::string bytes = AllBytes();
    for (size_t n = 0; n <= 7; ++n)
        EXPECT_EQ(DecodeBase64(EncodeBase64(bytes.substr(250 - n, n))), bytes.substr(250 - n, n)) << n;
    EXPECT_EQ(EncodeBase64("Man"), "TWFu");
    EXPECT_EQ(EncodeBase64("Ma"), "TWE=");
    EXPECT_EQ(DecodeBase64(EncodeBase64(bytes)), bytes);
}

TEST(GridLayoutTable, FileRoundTripKeepsBinaryColumnsQuotesBreaksAndUmlauts)
{
    TempDir dir;
    GridLayoutTable table;
    table.append("DBGrid_CURRGW1", "Nur Beträge \"kurz\", breit", AllBytes());
    table.append("OtherGrid", "Ältere", "");
    const int third = table.append("DBGrid_CURRGW1", "zwei", "GSCOLUMNS 1\r\nID_ORDER;86;1\r\n");
    table.save(dir / GridLayoutFileName);

    const std::string onDisk = ReadFile(dir / GridLayoutFileName);
    EXPECT_EQ(onDisk.substr(0, 35), "\"Grid\",\"User\",\"ID\",\"Colums\",\"Lines\"");
    EXPECT_NE(onDisk.find("Betr\xE4ge \"\"kurz\"\", breit"), std::string::npos) << "Windows-1252 with doubled quotes";

    GridLayoutTable loaded;
    loaded.load(dir / GridLayoutFileName);
    ASSERT_EQ(loaded.allRows().size(), 3u);
    EXPECT_EQ(Names(loaded, "DBGrid_CURRGW1"), (std::vector<std::string>{"Nur Beträge \"kurz\", breit", "zwei"}));
    EXPECT_EQ(loaded.rowsOf("DBGrid_CURRGW1")[0].colums, AllBytes());
    EXPECT_EQ(loaded.find(third)->colums, "GSCOLUMNS 1\r\nID_ORDER;86;1\r\n");
    EXPECT_TRUE(loaded.rowsOf("dbgrid_currgw1").empty()) << "the layout key compares exactly";
    // IDs continue after the highest loaded one.
    EXPECT_EQ(loaded.append("OtherGrid", "neu", ""), third + 1);
}

TEST(GridLayoutTable, MovingUpAndDownExchangesContentsAndKeepsIds)
{
    GridLayoutTable table;
    const int a = table.append("G", "a", "A");
    table.append("H", "other grid", "X");
    const int b = table.append("G", "b", "B");
    const int c = table.append("G", "c", "C");

    EXPECT_EQ(table.moveUp(a), a) << "the first layout has no upper neighbour";
    EXPECT_EQ(Names(table, "G"), (std::vector<std::string>{"a", "b", "c"}));

    EXPECT_EQ(table.moveUp(c), b);
    EXPECT_EQ(Names(table, "G"), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(table.find(b)->colums, "C");
    EXPECT_EQ(table.moveDown(a), b) << "the neighbour skips rows of other grids";
    EXPECT_EQ(Names(table, "G"), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(table.moveDown(c), c) << "the last layout has no lower neighbour";
    EXPECT_EQ(Names(table, "H"), (std::vector<std::string>{"other grid"}));

    EXPECT_TRUE(table.remove(b)); // the row that holds "a" now
    EXPECT_FALSE(table.remove(b));
    EXPECT_TRUE(table.edit(a, "renamed", "Z"));
    EXPECT_EQ(Names(table, "G"), (std::vector<std::string>{"renamed", "b"}));
}

TEST(GridLayoutTable, ReadsForeignOrderSkipsEmptyKeysAndRenumbersDuplicates)
{
    const auto rows = GridLayoutTable::parseText("\"ID\",\"User\",\"Grid\"\r\n"
                                                  "\"5\",\"x\",\"G\"\r\n"
                                                  "\"5\",\"y\",\"G\"\r\n"
                                                  "\"7\",\"no key\",\"\"\r\n"
                                                  "\r\n"
                                                  "\"\",\"z\",\"G\"\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].user, "x");
    EXPECT_EQ(rows[0].id, 5);
    EXPECT_EQ(rows[1].id, 6);
    EXPECT_EQ(rows[2].id, 7);
    EXPECT_THROW(GridLayoutTable::parseText("\"Name\",\"Width\"\r\n\"a\",\"1\"\r\n"), Error);
}

TEST(GridLayoutTable, MissingFileIsEmptyAndAFailedSaveKeepsTheOldFile)
{
    TempDir dir;
    GridLayoutTable table;
    table.load(dir / "none.txt");
    EXPECT_TRUE(table.allRows().empty());

    table.append("G", "kept", "");
    table.save(dir / GridLayoutFileName);
    const std::string before = ReadFile(dir / GridLayoutFileName);
    WriteFile(dir / "blocker", "a file where a directory should be");
    table.append("G", "lost", "");
    EXPECT_THROW(table.save(dir / "blocker" / GridLayoutFileName), Error);
    EXPECT_EQ(ReadFile(dir / GridLayoutFileName), before);

    WriteFile(dir / "garbage.txt", "\"Name\"\r\n\"x\"\r\n");
    GridLayoutTable other;
    other.append("G", "in memory", "");
    EXPECT_THROW(other.load(dir / "garbage.txt"), Error);
    EXPECT_EQ(other.allRows().size(), 1u) << "a failed load leaves the table as it was";
}
