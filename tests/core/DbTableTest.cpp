// Navigation, editing, blobs, seek, refresh and transactions of the tables, on table files and on
// the database server alike.
#include "db/AdsError.h"
#include "db/BlobFields.h"
#include "support/DbBackends.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

using namespace gs;
using namespace gs::test;

namespace {

using Ids = std::vector<std::string>;

class DbTable : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        GS_REQUIRE_BACKEND(db);
        t.SetAdsConnection(&db.conn);
        t.SetTableName("T.ADT");
        t.CreateTable({{"ID", TAdsFieldType::AutoInc},
                       {"K", TAdsFieldType::Integer},
                       {"NAME", TAdsFieldType::Char, 20},
                       {"M", TAdsFieldType::Memo},
                       {"B", TAdsFieldType::Binary}},
                      {{"ID", "ID", ADS_UNIQUE}, {"K", "K", 0}, {"KD", "K", ADS_DESCENDING}});
        t.Open();
    }

    void add(std::optional<int> k, const std::string& name = {}, const std::string& memo = {})
    {
        t.Append();
        if (k)
            t.FieldByName("K").SetInteger(*k);
        if (!name.empty())
            t.FieldByName("NAME").SetString(name);
        if (!memo.empty())
            t.FieldByName("M").SetString(memo);
        t.Post();
    }

    int id() { return t.FieldByName("ID").AsInteger(); }

    bool server() const { return db.Kind() == Backend::Server; }

    BackendDb db{GetParam()};
    TAdsTable t;
};

} // namespace

TEST_P(DbTable, WalksFollowTheIndexWithEqualKeysInRowOrder)
{
    // Enough rows for several batches; equal keys and empty keys throughout.
    struct Row {
        std::optional<int> k;
        int id;
    };
    std::vector<Row> rows;
    db.conn.BeginTransaction();
    for (int i = 1; i <= 700; ++i) {
        const std::optional<int> k = i % 13 == 0 ? std::nullopt : std::optional<int>((i * 37) % 11);
        add(k);
        rows.push_back({k, i});
    }
    db.conn.Commit();

    auto ids = [](const std::vector<Row>& r) {
        Ids out;
        for (const Row& x : r)
            out.push_back(std::to_string(x.id));
        return out;
    };
    std::vector<Row> asc = rows;
    std::stable_sort(asc.begin(), asc.end(), [](const Row& a, const Row& b) {
        return a.k.value_or(-1) < b.k.value_or(-1); // empty keys first, then by key, equal keys by row
    });
    std::vector<Row> desc(asc.rbegin(), asc.rend());

    const struct {
        const char* index;
        Ids expected;
    } orders[] = {{"", ids(rows)}, {"k", ids(asc)}, {"KD", ids(desc)}};
    for (const auto& o : orders) {
        SCOPED_TRACE(o.index);
        t.SetIndexName(o.index);
        EXPECT_EQ(WalkColumn(t, "ID"), o.expected);
        Ids backward = WalkColumnBackward(t, "ID");
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(backward, o.expected);

        // Turning round in the middle, across batch borders.
        t.First();
        for (int i = 0; i < 300; ++i)
            t.Next();
        for (int i = 0; i < 120; ++i)
            t.Prior();
        EXPECT_EQ(t.FieldByName("ID").AsString(), o.expected[180]);
        t.Last();
        for (int i = 0; i < 450; ++i)
            t.Prior();
        for (int i = 0; i < 50; ++i)
            t.Next();
        EXPECT_EQ(t.FieldByName("ID").AsString(), o.expected[699 - 400]);

        // The same inside one snapshot (the server streams the forward walk), turning round and
        // going on forward after a stretch backwards.
        TAdsTable::ReadScope scope(t);
        EXPECT_EQ(t.RecordCount(), 700);
        EXPECT_EQ(WalkColumn(t, "ID"), o.expected);
        t.First();
        for (int i = 0; i < 650; ++i)
            t.Next();
        for (int i = 0; i < 640; ++i)
            t.Prior();
        for (int i = 0; i < 689; ++i)
            t.Next();
        EXPECT_EQ(t.FieldByName("ID").AsString(), o.expected[699]);
        t.Next();
        EXPECT_TRUE(t.Eof());
    }
}

TEST_P(DbTable, AWalkThatReadsOtherColumnsOnTheWayGetsEveryRowOnceInOrder)
{
    // More rows than the first batches, so that the server's walk reads ahead; a memo read on the way
    // is a statement of its own, which the connection serves between two batches.
    constexpr int kRows = 5000;
    db.conn.BeginTransaction();
    for (int i = 1; i <= kRows; ++i)
        add(kRows - i, {}, i % 250 == 0 ? "memo " + std::to_string(i) : std::string());
    db.conn.Commit();
    t.SetIndexName("K"); // the walk goes from the last row written to the first
    TAdsTable::ReadScope scope(t);
    ASSERT_EQ(t.RecordCount(), kRows);
    int expected = kRows, memos = 0;
    for (t.First(); !t.Eof(); t.Next()) {
        ASSERT_EQ(id(), expected);
        if (expected % 250 == 0) {
            EXPECT_EQ(t.FieldByName("M").AsString(), "memo " + std::to_string(expected));
            ++memos;
        }
        --expected;
    }
    EXPECT_EQ(expected, 0);
    EXPECT_EQ(memos, kRows / 250);
}

TEST_P(DbTable, AWalkLeftWhileReadingAheadLeavesTheConnectionToTheNextReads)
{
    // The walk stops in the middle, while the server's next batch is on its way; a new order then
    // ends its stream and the next statements must find the connection free (the stream gone is
    // no longer waited for).
    constexpr int kRows = 5000;
    db.conn.BeginTransaction();
    for (int i = 1; i <= kRows; ++i)
        add(kRows - i, {}, i == 1 ? "erster" : std::string());
    db.conn.Commit();
    for (int leaveAt : {1500, 2600, 4100}) {
        SCOPED_TRACE(leaveAt);
        TAdsTable::ReadScope scope(t);
        t.SetIndexName("K");
        int seen = 0;
        for (t.First(); !t.Eof() && seen < leaveAt; t.Next())
            ++seen;
        ASSERT_EQ(seen, leaveAt);
        EXPECT_EQ(id(), kRows - leaveAt);
        t.SetIndexName("ID");
        EXPECT_EQ(id(), 1);
        EXPECT_EQ(t.FieldByName("M").AsString(), "erster");
        int rest = 1;
        while (t.Next(), !t.Eof())
            ++rest;
        EXPECT_EQ(rest, kRows);
    }
    EXPECT_EQ(db.Value("T.ADT", R"(SELECT count(*) FROM "T")"), std::to_string(kRows));
}

TEST_P(DbTable, ANewOrderOrFilterGoesToTheFirstRowWhenTheTableIsNextUsed)
{
    add(5, "a");
    add(3, "b");
    add(9, "c");
    add(3, "d"); // by K: b d a c
    // Each case changes order and filter several times without moving, then uses the table once.
    const struct {
        const char* index;
        const char* filter;
        const char* use;
        const char* expected;
    } cases[] = {
        {"K", "K > 3", "field", "a"},
        {"KD", "K < 9", "field", "a"},
        {"K", "K = 3", "next", "d"},
        {"K", "K = 3", "bookmark", "b"},
        {"K", "K > 100", "empty", "yes"},
        {"K", "K > 100", "eof", "yes"},
        {"KD", "", "edit", "c!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.index) + " / " + c.filter + " / " + c.use);
        t.SetFiltered(false);
        t.SetIndexName("ID");
        t.Last();
        t.SetIndexName(c.index);
        t.SetFilter(c.filter);
        t.SetFiltered(*c.filter != 0);
        const std::string use = c.use;
        std::string got;
        if (use == "field") {
            got = t.FieldByName("NAME").AsString();
        } else if (use == "next") {
            t.Next(); // from the first row to the second
            got = t.FieldByName("NAME").AsString();
        } else if (use == "bookmark") {
            const Bookmark b = t.GetBookmark();
            t.Last();
            t.GotoBookmark(b);
            got = t.FieldByName("NAME").AsString();
        } else if (use == "empty") {
            got = t.IsEmpty() ? "yes" : "no";
        } else if (use == "eof") {
            got = t.Eof() && t.Bof() ? "yes" : "no";
        } else if (use == "edit") {
            t.Edit();
            t.FieldByName("NAME").SetString(t.FieldByName("NAME").AsString() + "!");
            t.Post();
            t.SetIndexName("KD");
            got = t.FieldByName("NAME").AsString();
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST_P(DbTable, ACountBesideTheWalkCountsTheWalksSnapshot)
{
    for (int i = 1; i <= 30; ++i)
        add(i % 4);
    TAdsConnection other;
    db.Connect(other);
    TAdsTable writer;
    writer.SetAdsConnection(&other);
    writer.SetTableName("T.ADT");
    writer.Open();
    t.SetFilter("K > 0");
    t.SetFiltered(true);
    {
        TAdsTable::ReadScope scope(t);
        t.First(); // the snapshot begins with the first read
        for (int i = 0; i < 5; ++i) { // committed by another workstation after the snapshot began
            writer.Append();
            writer.FieldByName("K").SetInteger(1);
            writer.Post();
        }
        { TAdsTable::RecordCounting dropped = t.StartRecordCount(); } // cancelled, not waited for
        TAdsTable::RecordCounting counting = t.StartRecordCount();
        int walked = 0;
        for (t.First(); !t.Eof(); t.Next())
            ++walked;
        EXPECT_EQ(walked, 23);
        EXPECT_EQ(counting.Count(), walked);
        EXPECT_TRUE(counting.Ready());
    }
    TAdsTable::ReadScope next(t);
    EXPECT_EQ(t.StartRecordCount().Count(), 28);
}

TEST_P(DbTable, BlobsInflatedAsTheRowsComeInReadAsInflatedOnDemand)
{
    // Enough rows for the server's reader thread and for several batches inflated ahead on a second
    // core; compressed, plain, damaged and empty blobs, stored in falling key order so that the
    // walk in storage order and the walk on the index differ.
    std::vector<std::string> contents(3000), stored(3000);
    db.conn.BeginTransaction();
    for (int k = 3000; k >= 1; --k) {
        const size_t i = static_cast<size_t>(k - 1);
        contents[i] = k % 3 == 0 ? std::string() : "Inhalt " + std::to_string(k) + std::string(k % 50, 'x');
        stored[i] = k % 2 ? CompressBlob(contents[i]) : contents[i];
        if (k % 97 == 0 && !stored[i].empty()) // a cut stream inflates as far as it goes
            contents[i] = DecompressOrCopy(stored[i] = stored[i].substr(0, stored[i].size() / 2));
        t.Append();
        t.FieldByName("K").SetInteger(k);
        if (!stored[i].empty())
            t.FieldByName("B").SetBytes(stored[i]);
        t.Post();
    }
    db.conn.Commit();
    for (const bool storageOrder : {false, true}) {
        SCOPED_TRACE(storageOrder ? "storage order" : "index order");
        t.SetIndexName("K");
        t.SetRowColumns({t.FindField("K"), t.FindField("B")});
        t.SetInflatedColumns({t.FindField("B")});
        t.SetStorageOrderWalk(storageOrder);
        TAdsTable::ReadScope scope(t);
        size_t rows = 0;
        std::string content;
        t.First();
        EXPECT_EQ(t.InStorageOrder(), storageOrder && !t.Remote()); // a table file: the rows as stored
        for (; !t.Eof(); t.Next(), ++rows) {
            const size_t i = static_cast<size_t>(t.FieldByName("K").AsInteger() - 1);
            ReadBlobField(t.FieldByName("B"), content);
            ASSERT_EQ(content, contents[i]) << "K " << i + 1;
            EXPECT_EQ(t.FieldByName("B").AsBytes(), stored[i]); // the stored bytes stay
        }
        EXPECT_EQ(rows, contents.size());
    }
    // A blob being edited reads as edited.
    t.SetStorageOrderWalk(false);
    t.Last();
    t.Edit();
    t.FieldByName("B").SetBytes(CompressBlob("neu"));
    std::string content;
    ReadBlobField(t.FieldByName("B"), content);
    EXPECT_EQ(content, "neu");
    t.Cancel();
}

TEST_P(DbTable, EofAndBofFollowTheHostsClient)
{
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.Bof());
    EXPECT_TRUE(t.IsEmpty());
    t.Next();
    t.Prior();
    EXPECT_TRUE(t.Eof() && t.Bof());
    t.Last();
    EXPECT_TRUE(t.Eof() && t.Bof());

    add(1);
    add(2);
    add(3);
    t.First();
    EXPECT_TRUE(t.Bof());
    EXPECT_FALSE(t.Eof());
    t.Next();
    EXPECT_FALSE(t.Bof());
    t.Next();
    EXPECT_EQ(id(), 3);
    EXPECT_FALSE(t.Eof());
    t.Next(); // past the last row: Eof, still on the last row
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(id(), 3);
    t.Next();
    EXPECT_EQ(id(), 3);
    t.Prior();
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(id(), 2);
    t.Prior();
    t.Prior(); // before the first row: Bof, on the first row
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(id(), 1);
    t.Last();
    EXPECT_TRUE(t.Eof());
    EXPECT_FALSE(t.Bof());
    EXPECT_EQ(id(), 3);
    EXPECT_EQ(t.RecordCount(), 3);
}

TEST_P(DbTable, EditInsertAppendCancelAndDelete)
{
    add(10, "a");
    add(20, "b");
    add(30, "c");
    EXPECT_THROW(t.FieldByName("NAME").SetString("x"), AdsError); // not in edit state

    t.First();
    t.Edit();
    EXPECT_EQ(t.State(), TDataSetState::Edit);
    EXPECT_FALSE(t.Modified());
    t.FieldByName("NAME").SetString("neu");
    EXPECT_TRUE(t.Modified());
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "neu");
    t.Cancel();
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "a");

    t.Edit();
    t.FieldByName("NAME").SetString("eine viel zu lange Bezeichnung");
    t.Next(); // moving posts the pending edit
    EXPECT_EQ(t.State(), TDataSetState::Browse);
    EXPECT_EQ(db.Value("T.ADT", R"(SELECT "NAME" FROM "T" WHERE "ID"=1)"), "eine viel zu lange B");

    t.Edit();
    t.Post(); // nothing changed: nothing written
    t.Post(); // browse state: nothing
    EXPECT_EQ(id(), 2);

    t.Insert();
    EXPECT_EQ(t.State(), TDataSetState::Insert);
    EXPECT_TRUE(t.FieldByName("NAME").IsNull());
    t.FieldByName("K").SetInteger(15);
    t.Cancel(); // back on the row before
    EXPECT_EQ(id(), 2);
    EXPECT_EQ(t.RecordCount(), 3);

    t.SetIndexName("K");
    t.Last();
    t.Insert();
    t.FieldByName("K").SetString("25");
    t.Post(); // on the new row, wherever the index puts it
    EXPECT_EQ(id(), 4);
    EXPECT_FALSE(t.Eof());
    t.Next();
    EXPECT_EQ(t.FieldByName("K").AsInteger(), 30);

    t.Prior(); // on 25
    t.Delete(); // moves to the next row
    EXPECT_EQ(t.FieldByName("K").AsInteger(), 30);
    t.Delete(); // the last row: moves to the previous one
    EXPECT_EQ(t.FieldByName("K").AsInteger(), 20);
    EXPECT_FALSE(t.Eof());
    t.Delete();
    t.Delete();
    EXPECT_TRUE(t.Eof() && t.Bof());
    EXPECT_THROW(t.Delete(), AdsError);
    EXPECT_EQ(db.Value("T.ADT", R"(SELECT count(*) FROM "T")"), "0");

    t.Edit(); // on an empty table: insert
    EXPECT_EQ(t.State(), TDataSetState::Insert);
    t.FieldByName("K").SetInteger(1);
    t.Close(); // closing discards the pending row
    t.Open();
    EXPECT_TRUE(t.IsEmpty());
}

TEST_P(DbTable, DeletingWhileWalkingVisitsEveryRowOnce)
{
    db.conn.BeginTransaction();
    for (int i = 0; i < 200; ++i)
        add(i % 7);
    db.conn.Commit();
    t.SetIndexName("KD");
    const Ids all = WalkColumn(t, "ID");
    Ids visited;
    for (t.First(); !t.Eof();) {
        visited.push_back(t.FieldByName("ID").AsString());
        if (id() % 2 == 0) {
            const int before = id();
            t.Delete();
            if (t.Eof() || id() == before)
                break;
            if (std::find(visited.begin(), visited.end(), t.FieldByName("ID").AsString()) != visited.end())
                break; // Delete fell back to the previous row: the walk is complete
        } else {
            t.Next();
        }
    }
    EXPECT_EQ(visited, all);
    EXPECT_EQ(t.RecordCount(), 100);
}

TEST_P(DbTable, WritesThroughAnotherTableObjectRepositionTheWalkByKey)
{
    for (int i = 1; i <= 5; ++i)
        add(i);
    TAdsTable other(&db.conn, "t.adt");
    other.Open();
    t.First();
    EXPECT_EQ(id(), 1);
    other.Next(); // on row 2
    other.Delete();
    other.Edit(); // row 3
    other.FieldByName("NAME").SetString("geändert");
    other.Post();
    t.Next();
    EXPECT_EQ(id(), 3);
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "geändert");
}

TEST_P(DbTable, BlobsAreStoredWithPostAndReadPerRow)
{
    add(1, "a", "Grüße aus Köln");
    add(2, "b");
    add(3, "c", "drei");
    Field& m = t.FieldByName("M");
    Field& b = t.FieldByName("B");
    EXPECT_EQ(WalkColumn(t, "M"), (Ids{"Grüße aus Köln", "-", "drei"}));

    t.First();
    t.Next();
    t.Edit();
    const std::string bytes("\x78\x9C\0\1\2\xFF", 6);
    b.SetBytes(bytes);
    m.SetBytes("");
    EXPECT_EQ(b.AsBytes(), bytes); // the pending value
    t.Cancel();
    EXPECT_TRUE(b.IsNull());

    t.Edit();
    b.SetBytes(bytes);
    m.SetBytes("");
    t.Post();
    EXPECT_EQ(b.AsBytes(), bytes);
    EXPECT_FALSE(m.IsNull()); // an empty blob is no NULL
    if (server())
        EXPECT_EQ(db.Value("T.ADT", R"(SELECT upper(encode("B", 'hex')) || '/' || pg_typeof("M") FROM "T" WHERE "ID"=2)"),
                  "789C000102FF/bytea");
    else
        EXPECT_EQ(db.Value("T.ADT", "SELECT hex(B) || '/' || typeof(M) FROM T WHERE ID=2"), "789C000102FF/blob");
    t.Next();
    EXPECT_EQ(m.AsString(), "drei");
    EXPECT_TRUE(b.IsNull());
    t.Prior();
    t.Prior();
    EXPECT_EQ(m.AsBytes(), "Gr\xFC\xDF" "e aus K\xF6ln");

    // A blob written by another tool shows on the next read of the row.
    t.Next();
    db.Exec("T.ADT", server() ? R"(UPDATE "T" SET "M" = '\x6e6575'::bytea WHERE "ID" = 2)"
                              : "UPDATE T SET M = X'6E6575' WHERE ID = 2");
    t.RefreshRecord();
    EXPECT_EQ(m.AsString(), "neu");
}

TEST_P(DbTable, SeekKeyComparesKeysAsTheIndexedType)
{
    add(3, "drei");
    add(20010, "zwanzigtausendzehn");
    add(200011, "zweihunderttausendelf");
    add(9, "neun");
    EXPECT_THROW(t.SeekKey("9"), AdsError); // no index

    t.SetIndexName("K");
    EXPECT_TRUE(t.SeekKey("20010"));
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "zwanzigtausendzehn");
    EXPECT_TRUE(t.SeekKey(" 020010")); // numerically equal
    EXPECT_EQ(t.FieldByName("K").AsInteger(), 20010);
    t.Next();
    EXPECT_EQ(t.FieldByName("K").AsInteger(), 200011); // the walk goes on from the key

    EXPECT_FALSE(t.SeekKey("20011"));
    EXPECT_TRUE(t.Eof());
    EXPECT_FALSE(t.SeekKey("10", false)); // soft: the next key
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(t.FieldByName("K").AsInteger(), 20010);
    EXPECT_THROW(t.SeekKey("zwölf"), AdsError);

    t.SetIndexName("KD");
    EXPECT_FALSE(t.SeekKey("100", false)); // descending: the next key downwards
    EXPECT_EQ(t.FieldByName("K").AsInteger(), 9);
    EXPECT_TRUE(t.SeekKey("3"));

    t.Edit(); // a pending edit is posted first
    t.FieldByName("NAME").SetString("Drei");
    EXPECT_TRUE(t.SeekKey("9"));
    EXPECT_EQ(db.Value("T.ADT", R"(SELECT "NAME" FROM "T" WHERE "K"=3)"), "Drei");

    t.SetFilter("K>10");
    t.SetFiltered(true);
    EXPECT_FALSE(t.SeekKey("9")); // the filter hides it
}

TEST_P(DbTable, SeeksInRowsReadAtOnceFindWhatSeeksInTheTableFind)
{
    for (std::optional<int> k : {std::optional<int>(5), std::optional<int>(3), std::optional<int>(), std::optional<int>(9),
                                 std::optional<int>(3), std::optional<int>(), std::optional<int>(7)})
        add(k);
    // A seek and one step on: what was found, where the table stands, and the row after it.
    auto seekAndStep = [&](const std::string& key, bool exact) {
        const bool found = t.SeekKey(key, exact);
        std::string r = std::string(found ? "found " : "missed ") + (t.Eof() ? "eof " : "") + std::to_string(id());
        t.Next();
        return r + " then " + (t.Eof() ? "eof" : std::to_string(id()));
    };
    for (const char* index : {"K", "KD"}) {
        t.SetIndexName(index);
        for (const char* key : {"1", "3", "4", "5", "8", "9", "10"}) {
            for (bool exact : {true, false}) {
                SCOPED_TRACE(std::string(index) + " " + key + (exact ? " exact" : " nearest"));
                const std::string inTable = seekAndStep(key, exact);
                TAdsTable::ReadScope scope(t);
                t.ReadAllRows();
                EXPECT_EQ(seekAndStep(key, exact), inTable);
            }
        }
    }
}

TEST_P(DbTable, AWalkFromASoughtRowReachesEveryRowOnBothSides)
{
    // More rows than several read batches hold, with equal keys, so that the walk on from the row a
    // seek found has to fetch again in both directions.
    for (int k = 0; k < 120; ++k)
        add(k / 2);
    for (const char* index : {"K", "KD"}) {
        SCOPED_TRACE(index);
        t.SetIndexName(index);
        const bool descending = index == std::string("KD");
        ASSERT_TRUE(t.SeekKey("30"));
        std::vector<int> keys{t.FieldByName("K").AsInteger()};
        for (t.Next(); !t.Eof(); t.Next())
            keys.push_back(t.FieldByName("K").AsInteger());
        EXPECT_EQ(keys.size(), descending ? 62u : 60u);
        EXPECT_EQ(keys.back(), descending ? 0 : 59);
        EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end(), [&](int a, int b) { return descending ? a > b : a < b; }));

        ASSERT_TRUE(t.SeekKey("30"));
        int before = 0;
        for (t.Prior(); !t.Bof(); t.Prior())
            ++before;
        EXPECT_EQ(before, descending ? 58 : 60);
    }
}

TEST_P(DbTable, RefreshRecordShowsWhatAnotherConnectionCommitted)
{
    add(1, "alt", "alter Text");
    add(2, "zwei");
    TAdsConnection second;
    db.Connect(second);
    TAdsTable other(&second, "T.ADT");
    other.Open();

    t.First();
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "alt");
    EXPECT_EQ(t.FieldByName("M").AsString(), "alter Text");
    other.Edit();
    other.FieldByName("NAME").SetString("neu");
    other.FieldByName("M").SetString("neuer Text");
    other.Post();
    t.RefreshRecord();
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "neu");
    EXPECT_EQ(t.FieldByName("M").AsString(), "neuer Text");

    t.Edit(); // a pending edit is posted first
    t.FieldByName("K").SetInteger(7);
    t.RefreshRecord();
    EXPECT_EQ(t.State(), TDataSetState::Browse);
    other.RefreshRecord();
    EXPECT_EQ(other.FieldByName("K").AsInteger(), 7);

    other.Delete();
    EXPECT_THROW(t.RefreshRecord(), AdsError);
    t.First();
    EXPECT_EQ(t.FieldByName("NAME").AsString(), "zwei");
}

TEST_P(DbTable, TransactionsCommitOrRollBackAndReadersAreNotBlocked)
{
    add(1);
    db.conn.BeginTransaction();
    EXPECT_THROW(db.conn.BeginTransaction(), AdsError);
    for (int i = 0; i < 50; ++i)
        add(i);
    EXPECT_EQ(t.RecordCount(), 51);
    // Another reader sees the committed state meanwhile and is not blocked.
    EXPECT_EQ(db.Value("T.ADT", R"(SELECT count(*) FROM "T")"), "1");
    db.conn.Rollback();
    t.First();
    EXPECT_EQ(t.RecordCount(), 1);

    db.conn.BeginTransaction();
    add(2);
    add(3);
    db.conn.Commit();
    // AUTOINC numbers are never handed out twice; the server's sequence does not take back the
    // numbers of a rolled-back transaction either (other workstations may have drawn after them).
    if (server())
        EXPECT_EQ(db.Value("T.ADT", R"(SELECT string_agg("ID"::text, ',' ORDER BY "ID") FROM "T")"), "1,52,53");
    else
        EXPECT_EQ(db.Value("T.ADT", "SELECT group_concat(ID) FROM T"), "1,2,3");
    EXPECT_THROW(db.conn.Commit(), AdsError);
}

TEST_P(DbTable, BookmarksReturnToTheirRow)
{
    add(5);
    add(6);
    add(7);
    t.SetIndexName("KD");
    t.Next();
    const Bookmark mark = t.GetBookmark();
    EXPECT_EQ(id(), 2);
    t.Last();
    t.GotoBookmark(mark);
    EXPECT_EQ(id(), 2);
    t.Next(); // the walk continues in index order from there
    EXPECT_EQ(id(), 1);
    t.GotoBookmark(mark);
    t.Delete();
    EXPECT_FALSE(t.BookmarkValid(mark));
    EXPECT_THROW(t.GotoBookmark(mark), AdsError);
}

TEST_P(DbTable, UnknownIndexRaisesAndKeepsTheTableUsable)
{
    add(1);
    try {
        t.SetIndexName("GIBTSNICHT");
        FAIL() << "accepted";
    } catch (const AdsError& e) {
        EXPECT_NE(std::string(e.what()).find("GIBTSNICHT"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("T.ADT"), std::string::npos);
    }
    EXPECT_EQ(t.IndexName(), "");
    EXPECT_EQ(WalkColumn(t, "ID"), (Ids{"1"}));
    t.Close();
    t.SetIndexName("GIBTSNICHT");
    EXPECT_THROW(t.Open(), AdsError);
    EXPECT_FALSE(t.Active());
}

TEST_P(DbTable, AReadIsKnownNotToFailOnlyWhereNoStoredValueCanFailIt)
{
    // The widest values each store lets another program put into the columns: on the server the
    // ends of the column types (a 64-bit column among them, a date past the host's range); in the
    // files, which keep whatever they are given, texts in number, date and logical columns.
    TAdsTable r;
    r.SetAdsConnection(&db.conn);
    r.SetTableName("R.ADT");
    r.CreateTable({{"C", TAdsFieldType::Char, 10},
                   {"S", TAdsFieldType::ShortInt},
                   {"I", TAdsFieldType::Integer},
                   {"A", TAdsFieldType::AutoInc},
                   {"D", TAdsFieldType::Double},
                   {"L", TAdsFieldType::Logical},
                   {"T", TAdsFieldType::Date},
                   {"TS", TAdsFieldType::Timestamp}});
    if (server()) {
        db.Exec("R.ADT", R"(ALTER TABLE "R" ADD COLUMN "W" bigint;
            INSERT INTO "R" ("C", "S", "I", "D", "L", "T", "TS", "W") VALUES
              ('ä', -32768, 2147483647, 1e308, true, '10000-01-01', '10000-01-01 00:00:00', 9000000000000000000),
              ('', 32767, -2147483648, 'NaN', false, '0001-01-01', '1900-01-01 00:00:00', -9000000000000000000),
              (NULL, NULL, NULL, '-Infinity', NULL, NULL, NULL, NULL))");
    } else {
        db.Exec("R.ADT", R"(ALTER TABLE R ADD COLUMN W INTEGER;
            INSERT INTO R (C, S, I, D, L, T, TS, W) VALUES
              ('ä', 'zwölf', 'x', 'y', 'vielleicht', 'kein Datum', 'nie', 'z'),
              (x'ff', 1e300, 99999999999, 'NaN', 2, '10000-01-01', 3.5, 9000000000000000000),
              (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL))");
    }
    r.Open();

    using R = FieldRead;
    const R reads[] = {R::Text, R::Integer, R::LargeInt, R::Float, R::DateTime, R::Boolean};
    // Per column, the reads no value can fail, in the order of reads; the files know it of texts only.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"C", "T....."}, {"S", "TILF.B"}, {"I", "TILF.B"}, {"A", "TILF.B"}, {"D", "T..F.B"},
        {"L", "TILF.B"}, {"T", "T....."}, {"TS", "T....."}, {"W", "T.LF.B"}};
    const char* letters = "TILFDB";
    for (const auto& [column, known] : expected) {
        SCOPED_TRACE(column);
        const Field& f = r.FieldByName(column);
        std::string got;
        for (size_t i = 0; i < std::size(reads); ++i)
            got += f.ReadsWithoutFail(reads[i]) ? letters[i] : '.';
        EXPECT_EQ(got, server() ? known : "T.....");
    }

    // What is known not to fail does not fail on any of those values.
    int rows = 0;
    for (r.First(); !r.Eof(); r.Next(), ++rows) {
        for (const auto& [column, known] : expected) {
            const Field& f = r.FieldByName(column);
            const std::function<void()> read[] = {[&] { f.AsString(); },   [&] { f.AsInteger(); },
                                                  [&] { f.AsLargeInt(); }, [&] { f.AsFloat(); },
                                                  [&] { f.AsDateTime(); }, [&] { f.AsBoolean(); }};
            for (size_t i = 0; i < std::size(reads); ++i) {
                if (f.ReadsWithoutFail(reads[i])) {
                    EXPECT_NO_THROW(read[i]()) << column << " " << letters[i] << " row " << rows;
                }
            }
        }
    }
    EXPECT_EQ(rows, 3);
    // The reads the server does not vouch for do fail on some value it keeps.
    if (server()) {
        r.First();
        EXPECT_THROW(r.FieldByName("W").AsInteger(), ConvertError);
        EXPECT_THROW(r.FieldByName("T").AsDateTime(), ConvertError);
        EXPECT_THROW(r.FieldByName("D").AsLargeInt(), ConvertError);
        EXPECT_THROW(r.FieldByName("C").AsFloat(), ConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, DbTable, kBackends, BackendName);
