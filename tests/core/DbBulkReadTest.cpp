// Database layer helpers for reading and writing many rows: read scopes, blob prefetch, the bulk
// load of a new table, the opening id, and walks in index order whose filter names other indexed
// columns; on table files and on the database server.
#include "db/AdsError.h"
#include "support/DbBackends.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

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
    Field& m = t.FieldByName("M");
    Field& b = t.FieldByName("B");
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
    Field& m = t.FieldByName("M");
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

TEST_P(DbBulkRead, RowsOfABulkLoadReadBackAsRowsInsertedOneByOne)
{
    // Every field type with the values that need care on the way to the server: tabs, line breaks,
    // backslashes and "\N" in texts, every byte in a blob, extreme numbers and dates, empty fields;
    // written once in a bulk load and once row by row.
    const std::vector<AdsFieldDef> fields = {{"ID", TAdsFieldType::AutoInc},   {"C", TAdsFieldType::Char, 40},
                                              {"M", TAdsFieldType::Memo},       {"B", TAdsFieldType::Binary},
                                              {"S", TAdsFieldType::ShortInt},   {"I", TAdsFieldType::Integer},
                                              {"D", TAdsFieldType::Double},     {"L", TAdsFieldType::Logical},
                                              {"T", TAdsFieldType::Date},       {"TS", TAdsFieldType::Timestamp}};
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes += static_cast<char>(b);
    struct Row {
        std::string c, m, b;
        std::optional<std::int64_t> s, i;
        std::optional<double> d;
        std::optional<bool> l;
        double t = 0, ts = 0;
    };
    const std::vector<Row> rows = {
        {"a\tb\nc\rd\\e \\N ä", "Zeile 1\r\nZeile\t2 \\ \\N", allBytes, -32768, 2147483647, -0.0, true,
         EncodeDate(2024, 2, 29), EncodeDateTime(2024, 12, 31, 23, 59, 58, 125)},
        {"", "", "", std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0, 0},
        {"\\", std::string("\x80\x9f\xff", 3), std::string(1, '\0'), 0, -2147483647 - 1,
         0.1, false, EncodeDate(1, 1, 1), EncodeDate(9999, 12, 31)},
        {"ende", "x", "\\x41", 7, 7, 1e308, true, EncodeDate(1899, 12, 30), 0},
        {"klein", "y", "z", 1, 1, -1e-300, false, 0, 0},
        {"genau", "u", "v", 2, 2, 123456789.125, true, 0, 0}};
    auto write = [&](TAdsTable& table) {
        for (const Row& r : rows) {
            table.Append();
            if (!r.c.empty())
                table.FieldByName("C").SetString(r.c);
            if (!r.m.empty())
                table.FieldByName("M").SetBytes(r.m);
            if (!r.b.empty())
                table.FieldByName("B").SetBytes(r.b);
            if (r.s)
                table.FieldByName("S").SetInteger(*r.s);
            if (r.i)
                table.FieldByName("I").SetInteger(*r.i);
            if (r.d)
                table.FieldByName("D").SetFloat(*r.d);
            if (r.l)
                table.FieldByName("L").SetBoolean(*r.l);
            if (r.t != 0)
                table.FieldByName("T").SetDateTime(r.t);
            if (r.ts != 0)
                table.FieldByName("TS").SetDateTime(r.ts);
            table.Post();
        }
    };
    auto dump = [&](TAdsTable& table) {
        std::vector<std::string> out;
        for (table.First(); !table.Eof(); table.Next()) {
            std::string line;
            for (const AdsFieldDef& f : fields) {
                const Field& field = table.FieldByName(f.name);
                line += field.IsNull() ? "<null>" : field.AsBytes();
                line += '|';
            }
            out.push_back(line);
        }
        return out;
    };

    TAdsTable bulk(&db.conn, "BULK.ADT"), single(&db.conn, "SINGLE.ADT");
    bulk.CreateTable(fields, {{"ID", "ID", ADS_UNIQUE}});
    single.CreateTable(fields, {{"ID", "ID", ADS_UNIQUE}});
    bulk.Open();
    single.Open();
    bulk.BeginBulkLoad();
    db.conn.BeginTransaction();
    write(bulk);
    db.conn.Commit();
    bulk.EndBulkLoad();
    write(single);
    bulk.SetIndexName("ID");
    single.SetIndexName("ID");
    const std::vector<std::string> got = dump(bulk);
    EXPECT_EQ(got, dump(single));
    ASSERT_EQ(got.size(), rows.size());
    EXPECT_EQ(bulk.FieldByName("ID").AsInteger(), static_cast<int>(rows.size())) << "the last row's number";
    // The bytes come back as they went.
    bulk.First();
    EXPECT_EQ(bulk.FieldByName("B").AsBytes(), allBytes);
    EXPECT_EQ(bulk.FieldByName("C").AsString(), rows[0].c);
}

TEST_P(DbBulkRead, ABulkLoadWithARefusedRowFailsAndSaysWhy)
{
    TAdsTable u(&db.conn, "U.ADT");
    u.CreateTable({{"ID", TAdsFieldType::AutoInc}, {"K", TAdsFieldType::Integer}}, {{"K", "K", ADS_UNIQUE}});
    u.Open();
    u.BeginBulkLoad();
    db.conn.BeginTransaction();
    std::string failure;
    try {
        // The second 2 is refused; the rows after it draw new number blocks before the commit.
        std::vector<int> keys = {1, 2, 2};
        for (int k = 3; k <= 60; ++k)
            keys.push_back(k);
        for (int k : keys) {
            u.Append();
            u.FieldByName("K").SetInteger(k);
            u.Post();
        }
        db.conn.Commit();
    } catch (const AdsError& e) {
        failure = e.what();
        db.conn.Rollback();
    }
    // The server answers for the rows when the stream ends: the commit fails and names the cause.
    EXPECT_NE(failure.find(server() ? "ads_u_k" : "UNIQUE"), std::string::npos) << failure;
    if (server()) {
        EXPECT_EQ(db.Value("U.ADT", R"(SELECT count(*) FROM "U")"), "0");
    }
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
