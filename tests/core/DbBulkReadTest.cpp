// Database layer helpers for reading and writing many rows: read scopes, blob prefetch, the bulk
// load of a new table, the opening id, and walks in index order whose filter names other indexed
// columns; on table files and on the database server.
#include "db/AdsError.h"
#include "support/DbBackends.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>

using namespace gs;
using namespace gs::test;

namespace {

class DbBulkRead : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        GS_REQUIRE_BACKEND(db);
        t.CreateTable({{"ID", TAdsFieldType::AutoInc},
                       {"K", TAdsFieldType::Integer},
                       {"S", TAdsFieldType::ShortInt},
                       {"M", TAdsFieldType::Memo},
                       {"B", TAdsFieldType::Binary}},
                      {{"ID", "ID", ADS_UNIQUE}, {"K", "K", ADS_DESCENDING}, {"S", "S", 0}});
        t.Open();
    }
    void add(int k, int s, const std::string& m, const std::string& b)
    {
        t.Append();
        t.FieldByName("K").SetInteger(k);
        t.FieldByName("S").SetInteger(s);
        t.FieldByName("M").SetBytes(m);
        t.FieldByName("B").SetBytes(b);
        t.Post();
    }
    std::filesystem::path file() const { return std::filesystem::path(db.Path()) / "T.ADT"; }
    bool server() const { return db.Kind() == Backend::Server; }

    BackendDb db{GetParam()};
    TAdsTable t{&db.conn, "T.ADT"};
};

} // namespace

TEST_P(DbBulkRead, PrefetchedBlobsAreTheRowsBlobs)
{
    add(1, 1, "m1", "b1");
    add(2, 1, "", "b2");
    TField& m = t.FieldByName("M");
    TField& b = t.FieldByName("B");
    std::vector<std::string> got;
    for (t.First(); !t.Eof(); t.Next()) {
        t.PrefetchBlobs({&m, nullptr, &b, &t.FieldByName("K")});
        got.push_back(m.AsBytes() + "/" + b.AsBytes() + "/" + (m.IsNull() ? "null" : "set"));
    }
    EXPECT_EQ(got, (std::vector<std::string>{"m1/b1/set", "/b2/set"}));
    // An edited value wins over the prefetched one until it is posted.
    t.First();
    t.Edit();
    b.SetBytes("neu");
    t.PrefetchBlobs({&m, &b});
    EXPECT_EQ(b.AsBytes(), "neu");
    t.Post();
    t.PrefetchBlobs({&m, &b});
    EXPECT_EQ(b.AsBytes(), "neu");
}

TEST_P(DbBulkRead, ReadScopeReadsOneSnapshot)
{
    add(1, 1, "alt", "x");
    t.First();
    TField& m = t.FieldByName("M");
    {
        TAdsTable::ReadScope scope(t);
        t.RefreshRecord();
        // Another program commits while the scope lasts: the scope's reads stay on their snapshot.
        db.Exec("T.ADT", server() ? R"(UPDATE "T" SET "M" = 'neu'::bytea)" : "UPDATE T SET M = CAST('neu' AS BLOB)");
        EXPECT_EQ(m.AsBytes(), "alt");
    }
    t.RefreshRecord();
    EXPECT_EQ(m.AsBytes(), "neu");

    // A write inside a scope ends its snapshot first and is stored.
    {
        TAdsTable::ReadScope scope(t);
        t.RefreshRecord();
        t.Edit();
        m.SetBytes("geschrieben");
        t.Post();
        TAdsTable::ReadScope nested(t);
    }
    EXPECT_EQ(db.Value("T.ADT", server() ? R"(SELECT encode("M", 'escape') FROM "T")" : "SELECT M FROM T"),
              "geschrieben");
    // Other connections can write once the scope has ended.
    db.Exec("T.ADT", server() ? R"(UPDATE "T" SET "K" = 5)" : "UPDATE T SET K = 5");
    t.RefreshRecord();
    EXPECT_EQ(t.FieldByName("K").AsInteger(), 5);
}

TEST_P(DbBulkRead, RowColumnsComeWithTheRowAndTheRestIsReadOnDemand)
{
    add(1, 10, "m1", "b1");
    add(2, 20, "m2", "b2");
    add(3, 30, "m3", "b3");
    t.SetIndexName("K");
    t.SetRowColumns({&t.FieldByName("B"), nullptr}); // K comes too, as the key of the walk
    auto walk = [this] {
        std::vector<std::string> rows;
        for (t.First(); !t.Eof(); t.Next())
            rows.push_back(t.FieldByName("K").AsString() + "/" + t.FieldByName("S").AsString() + "/" +
                           t.FieldByName("M").AsBytes() + "/" + t.FieldByName("B").AsBytes());
        return rows;
    };
    const std::vector<std::string> all{"3/30/m3/b3", "2/20/m2/b2", "1/10/m1/b1"};
    EXPECT_EQ(walk(), all);
    {
        // Inside one snapshot the count reads the rows for the walk; a write ends that.
        TAdsTable::ReadScope snapshot(t);
        EXPECT_EQ(t.RecordCount(), 3);
        EXPECT_EQ(walk(), all);
        t.First();
        t.Edit();
        t.FieldByName("S").SetInteger(31);
        t.FieldByName("B").SetBytes("neu");
        t.Post();
        EXPECT_EQ(walk().front(), "3/31/m3/neu");
    }
    t.SetRowColumns({});
    EXPECT_EQ(walk().back(), "1/10/m1/b1");
}

TEST_P(DbBulkRead, BulkLoadFillsANewTable)
{
    t.BeginBulkLoad();
    db.conn.BeginTransaction();
    for (int i = 0; i < 100; ++i)
        add(i, i % 3, std::to_string(i), "b");
    db.conn.Commit();
    t.EndBulkLoad();
    EXPECT_EQ(db.Value("T.ADT", R"(SELECT count(*) FROM "T")"), "100");
    if (!server()) {
        EXPECT_EQ(QueryValue(file(), "PRAGMA journal_mode"), "wal");
        EXPECT_EQ(QueryValue(file(), "PRAGMA integrity_check"), "ok");
    }
    // The index order and the automatic numbers work as before.
    t.SetIndexName("K");
    EXPECT_EQ(t.FieldByName("K").AsInteger(), 99);
    add(100, 0, "", "");
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 101);
    // A table with rows is no longer new.
    EXPECT_THROW(t.BeginBulkLoad(), AdsError);
}

TEST_P(DbBulkRead, BulkLoadNeedsTheOnlyConnection)
{
    if (server())
        GTEST_SKIP() << "the server needs no exclusive mode for a bulk load";
    TAdsConnection other;
    other.SetAdsServerTypes({stADS_LOCAL});
    other.SetConnectPath(db.Path());
    other.Connect();
    TAdsTable reader(&other, "T.ADT");
    reader.Open();
    reader.RecordCount();
    EXPECT_THROW(t.BeginBulkLoad(), AdsError);
    add(1, 1, "", "");
    EXPECT_EQ(reader.RecordCount(), 1) << "the file stays usable";
}

TEST_P(DbBulkRead, OpeningIdChangesWithEveryOpening)
{
    const std::uint64_t first = t.OpenId();
    EXPECT_NE(first, 0u);
    t.Close();
    EXPECT_EQ(t.OpenId(), 0u);
    t.Open();
    EXPECT_NE(t.OpenId(), first);
}

TEST_P(DbBulkRead, IndexWalkWithFilterOnAnotherIndexedColumn)
{
    // S has an index of its own; walking on K with a filter on S must still follow K.
    const int ks[] = {5, 3, 9, 1, 7, 3};
    const int ss[] = {4, 1, 2, 4, 1, 4};
    for (int i = 0; i < 6; ++i)
        add(ks[i], ss[i], "", "");
    db.Exec("T.ADT", server() ? R"(UPDATE "T" SET "S" = NULL WHERE "K" = 1)" : "UPDATE T SET S = NULL WHERE K = 1");
    t.SetIndexName("K");
    t.SetFilter("(S=4 OR S=1) AND K>=3");
    t.SetFiltered(true);
    EXPECT_EQ(WalkColumn(t, "K"), (std::vector<std::string>{"7", "5", "3", "3"}));
    EXPECT_EQ(WalkColumnBackward(t, "K"), (std::vector<std::string>{"3", "3", "5", "7"}));
    EXPECT_EQ(t.RecordCount(), 4);
    t.SetFilter("NOT (S=4) AND S<>2");
    EXPECT_EQ(WalkColumn(t, "K"), (std::vector<std::string>{"7", "3", "1"})) << "an empty S counts as 0";
}

INSTANTIATE_TEST_SUITE_P(Backends, DbBulkRead, kBackends, BackendName);
