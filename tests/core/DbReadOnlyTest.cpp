// Read-only tables, as the module opens the host's: reading leaves the file byte for byte as it
// was, keeps its journal mode and schema, walks an index tag whose SQL index is missing, leaves no
// side file, and refuses writes. A WAL file that another program holds open is read with its
// uncheckpointed rows.
#include "db/AdsError.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

using namespace gs;
using namespace gs::test;

namespace {

std::vector<std::string> FilesIn(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Five rows whose dates are not in row order, and an index tag D (descending) without SQL index.
const char* const kTable = "CREATE TABLE T(ID INTEGER, D DATE, M MEMO);"
                           "INSERT INTO T VALUES (1, '2024-03-01', 'a'), (2, '2024-01-15', 'b'),"
                           " (3, '2024-05-30', 'c'), (4, '2023-12-31', 'd'), (5, '2024-02-29', 'e');"
                           "CREATE TABLE ads_index(tag TEXT, expression TEXT, options INTEGER);"
                           "INSERT INTO ads_index VALUES ('D', 'D', 2);";

} // namespace

TEST(DbReadOnly, ReadingLeavesTheFileAsItWas)
{
    for (const char* journal : {"DELETE", "WAL"}) {
        SCOPED_TRACE(journal);
        DbDir db;
        const auto file = db / "T.ADT";
        ExecSql(file, std::string("PRAGMA journal_mode=") + journal + ";" + kTable);
        const std::string before = ReadFile(file);
        ASSERT_EQ(FilesIn(db.dir.path()), std::vector<std::string>{"T.ADT"});
        {
            TAdsTable t(&db.conn, "T.ADT");
            t.SetReadOnly(true);
            t.Open();
            t.SetIndexName("D");
            const std::vector<std::string> newestFirst{"3", "1", "5", "2", "4"};
            EXPECT_EQ(WalkColumn(t, "ID"), newestFirst) << "sorted without the SQL index";
            {
                TAdsTable::ReadScope snapshot(t);
                EXPECT_EQ(t.RecordCount(), 5);
                EXPECT_EQ(WalkColumn(t, "ID"), newestFirst);
            }
            t.Append();
            t.FieldByName("ID").SetInteger(9);
            EXPECT_THROW(t.Post(), AdsError);
            t.Cancel();
            EXPECT_EQ(FilesIn(db.dir.path()), std::vector<std::string>{"T.ADT"}) << "no side file while open";
        }
        EXPECT_EQ(ReadFile(file), before) << "not one byte changed";
        EXPECT_EQ(FilesIn(db.dir.path()), std::vector<std::string>{"T.ADT"});
        EXPECT_EQ(QueryValue(file, "SELECT count(*) FROM sqlite_master WHERE type='index'"), "0");
        EXPECT_EQ(QueryValue(file, "PRAGMA journal_mode"), journal == std::string("WAL") ? "wal" : "delete");
    }
}

TEST(DbReadOnly, AWalFileAnotherProgramHoldsOpenIsReadWithItsNewestRows)
{
    DbDir db;
    const auto file = db / "T.ADT";
    ExecSql(file, std::string("PRAGMA journal_mode=WAL;") + kTable);
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(file.string().c_str(), &writer), SQLITE_OK);
    sqlite3_exec(writer, "PRAGMA wal_autocheckpoint=0; INSERT INTO T VALUES (6, '2025-01-01', 'f')", nullptr, nullptr,
                 nullptr);
    {
        TAdsTable t(&db.conn, "T.ADT");
        t.SetReadOnly(true);
        t.Open();
        t.SetIndexName("D");
        EXPECT_EQ(WalkColumn(t, "ID"), (std::vector<std::string>{"6", "3", "1", "5", "2", "4"}));
    }
    sqlite3_close(writer);
    EXPECT_EQ(FilesIn(db.dir.path()), std::vector<std::string>{"T.ADT"}) << "the writer, last to close, cleans up";
}
