// Walks that visit the selected rows in the order the table file stores them: sorted by their walk
// positions the rows come exactly as the walk on the index gives them (ties on a key by row id,
// empty keys first going up and last going down), however the rows lie in the file and whether or
// not the SQL index behind the tag exists; a program committing meanwhile changes nothing in a walk
// inside one snapshot; the count comes from the walk. On the server the walk asks for the rows in
// the server's own order (no ORDER BY) and the positions put them into the index walk's order, also
// where the server stores rows apart from their row ids' order.
#include "base/Dates.h"
#include "support/DbBackends.h"
#include "db/AdsError.h"
#include "db/StorageWalk.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

using namespace gs;
using namespace gs::test;

namespace {

enum class Layout { DateOrder, Reversed, Shuffled };

struct Doc {
    int n;     // the document's own number
    int day;   // 0: no date
    int s;     // status
};

// 600 documents on 25 days (many on the same day), every tenth without a date, statuses 0-2.
std::vector<Doc> Documents()
{
    std::vector<Doc> docs;
    for (int n = 1; n <= 600; ++n)
        docs.push_back({n, n % 10 == 0 ? 0 : 1 + (n * 7) % 25, n % 3});
    return docs;
}

class DbStorageWalk : public ::testing::TestWithParam<Backend> {
protected:
    bool server() const { return db.Kind() == Backend::Server; }

    // Writes the documents in the layout's storage order, the tags D (ascending or descending) and
    // N; without sqlIndex the SQL index behind D is dropped and the table opened read-only, as the
    // module opens the host's tables.
    void Write(Layout layout, bool descending, bool sqlIndex)
    {
        t.Close();
        std::vector<Doc> docs = Documents();
        std::stable_sort(docs.begin(), docs.end(), [](const Doc& a, const Doc& b) { return a.day < b.day; });
        if (layout == Layout::Reversed)
            std::reverse(docs.begin(), docs.end());
        if (layout == Layout::Shuffled)
            std::shuffle(docs.begin(), docs.end(), std::mt19937(4711));
        {
            TAdsTable w(&db.conn, "T.ADT");
            if (w.TableExists())
                w.DeleteTable();
            w.CreateTable({{"N", TAdsFieldType::Integer}, {"D", TAdsFieldType::Date}, {"S", TAdsFieldType::Integer},
                           {"M", TAdsFieldType::Memo}},
                          {{"D", "D", descending ? ADS_DESCENDING : 0}, {"N", "N", 0}});
            w.Open();
            db.conn.BeginTransaction();
            for (const Doc& d : docs) {
                w.Append();
                w.FieldByName("N").SetInteger(d.n);
                if (d.day)
                    w.FieldByName("D").SetDateTime(EncodeDate(2024, 1, d.day));
                w.FieldByName("S").SetInteger(d.s);
                w.FieldByName("M").SetBytes("Text " + std::to_string(d.n));
                w.Post();
            }
            db.conn.Commit();
        }
        // A server keeps a changed row's new version where it finds room: a third of the rows now
        // lie apart from their row ids' order, also among the rows of one date.
        if (server())
            db.Exec("T.ADT", R"(UPDATE "T" SET "S" = "S" WHERE "N" % 3 = 0)");
        if (!sqlIndex)
            db.Exec("T.ADT", "DROP INDEX ads_idx_d");
        t.Close();
        t.SetReadOnly(!sqlIndex);
        t.SetStorageOrderWalk(false);
        t.Open();
        t.SetIndexName("D");
    }

    // The document numbers of a walk from First in visiting order, with their walk positions.
    std::vector<std::pair<long long, int>> Walk(bool storageOrder, bool* inStorage = nullptr)
    {
        t.SetStorageOrderWalk(storageOrder);
        std::vector<std::pair<long long, int>> rows;
        for (t.First(); !t.Eof(); t.Next()) {
            if (inStorage && t.InStorageOrder())
                *inStorage = true;
            rows.emplace_back(t.WalkPosition(), static_cast<int>(t.FieldByName("N").AsInteger()));
        }
        return rows;
    }
    static std::vector<int> ByPosition(std::vector<std::pair<long long, int>> rows)
    {
        std::sort(rows.begin(), rows.end());
        std::vector<int> numbers;
        for (const auto& r : rows)
            numbers.push_back(r.second);
        return numbers;
    }
    static std::vector<int> Numbers(const std::vector<std::pair<long long, int>>& rows)
    {
        std::vector<int> numbers;
        for (const auto& r : rows)
            numbers.push_back(r.second);
        return numbers;
    }

    BackendDb db{GetParam()};
    TAdsTable t{&db.conn, "T.ADT"};
};

} // namespace

TEST_P(DbStorageWalk, PositionsGiveTheIndexWalksOrderInEveryLayout)
{
    GS_REQUIRE_BACKEND(db);
    struct Case {
        Layout layout;
        bool descending;
        bool sqlIndex;
        const char* filter;
    };
    const char* const keyOnly = "D >= \"03.01.2024\" AND D <= \"20.01.2024\"";
    const char* const mixed = "(S = 0 OR S = 2) AND D <= \"20.01.2024\"";
    const char* const withEmpty = "S <> 1 AND D < \"10.01.2024\""; // empty dates pass: they lie before every date
    std::vector<Case> cases;
    for (Layout layout : {Layout::DateOrder, Layout::Reversed, Layout::Shuffled})
        for (bool sqlIndex : {true, false})
            for (bool descending : {false, true})
                for (const char* filter : {keyOnly, mixed, withEmpty, ""})
                    cases.push_back({layout, descending, sqlIndex, filter});
    // Every selection is walked in storage order, however few rows it holds.
    struct AllInStorage {
        AllInStorage() { ads::StorageWalk::minRows = 0; }
        ~AllInStorage() { ads::StorageWalk::minRows = ads::StorageWalk::kMinRows; }
    } allInStorage;
    Layout written = Layout::DateOrder;
    bool writtenDescending = false, writtenIndex = true, first = true;
    for (const Case& c : cases) {
        if (server() && !c.sqlIndex)
            continue; // a server's table keeps its indexes
        const std::string label = "layout " + std::to_string(static_cast<int>(c.layout)) +
                                  (c.descending ? " descending" : " ascending") +
                                  (c.sqlIndex ? " with index" : " without index") + " filter " + c.filter;
        if (first || written != c.layout || writtenDescending != c.descending || writtenIndex != c.sqlIndex) {
            Write(c.layout, c.descending, c.sqlIndex);
            written = c.layout;
            writtenDescending = c.descending;
            writtenIndex = c.sqlIndex;
            first = false;
        }
        t.SetFilter(c.filter);
        t.SetFiltered(*c.filter != 0);
        TAdsTable::ReadScope snapshot(t);
        const std::vector<int> indexWalk = Numbers(Walk(false));
        ASSERT_GT(indexWalk.size(), 100u) << label;
        bool inStorage = false;
        const auto visited = Walk(true, &inStorage);
        EXPECT_EQ(ByPosition(visited), indexWalk) << label;
        EXPECT_TRUE(inStorage) << label;
        // Each row's position is its own: no two rows share one.
        std::vector<long long> positions;
        for (const auto& v : visited)
            positions.push_back(v.first);
        std::sort(positions.begin(), positions.end());
        EXPECT_EQ(std::adjacent_find(positions.begin(), positions.end()), positions.end()) << label;
    }
}

TEST_P(DbStorageWalk, RowsFarBehindTheFirstBatchAreFoundWhenTheFirstRowsAllFail)
{
    GS_REQUIRE_BACKEND(db);
    // The date part finds most rows of the table; the rest of the filter passes only a few, none
    // of them among the first rows read, as with a year of offers and one paid invoice.
    struct AllInStorage {
        AllInStorage() { ads::StorageWalk::minRows = 0; }
        ~AllInStorage() { ads::StorageWalk::minRows = ads::StorageWalk::kMinRows; }
    } allInStorage;
    for (Layout layout : {Layout::DateOrder, Layout::Reversed, Layout::Shuffled}) {
        Write(layout, false, true);
        for (const char* filter : {"N = 599 AND D <= \"31.01.2024\"", "N >= 590 AND D >= \"01.01.2024\""}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(layout)) + " " + filter);
            t.SetFilter(filter);
            t.SetFiltered(true);
            TAdsTable::ReadScope snapshot(t);
            const std::vector<int> indexWalk = Numbers(Walk(false));
            ASSERT_FALSE(indexWalk.empty());
            EXPECT_EQ(ByPosition(Walk(true)), indexWalk);
        }
    }
}

TEST_P(DbStorageWalk, TheIndexWalkKeepsItsOwnOrderWithEmptyDatesAndTies)
{
    // The oracle above is the walk on the index; here that walk itself, in one layout: empty dates
    // first going up, equal dates in storage order.
    GS_REQUIRE_BACKEND(db);
    Write(Layout::Shuffled, false, true);
    TAdsTable::ReadScope snapshot(t);
    const auto rows = Walk(true);
    std::map<int, long long> storage; // per document number: its place in the file
    {
        long long i = 0;
        t.SetStorageOrderWalk(false);
        t.SetIndexName("");
        for (t.First(); !t.Eof(); t.Next())
            storage[static_cast<int>(t.FieldByName("N").AsInteger())] = i++;
        t.SetIndexName("D");
    }
    std::vector<Doc> docs = Documents();
    std::sort(docs.begin(), docs.end(), [&](const Doc& a, const Doc& b) {
        return a.day != b.day ? a.day < b.day : storage[a.n] < storage[b.n];
    });
    std::vector<int> want;
    for (const Doc& d : docs)
        want.push_back(d.n);
    EXPECT_EQ(ByPosition(rows), want);
}

TEST_P(DbStorageWalk, ACommitDuringTheWalkChangesNothingInsideTheSnapshot)
{
    GS_REQUIRE_BACKEND(db);
    for (bool sqlIndex : {true, false}) {
        if (server() && !sqlIndex)
            continue;
        Write(Layout::Shuffled, false, sqlIndex);
        t.SetFilter("S <> 1 AND D >= \"01.01.2024\"");
        t.SetFiltered(true);
        TAdsTable::ReadScope snapshot(t);
        const std::vector<int> before = Numbers(Walk(false));
        t.SetStorageOrderWalk(true);
        std::vector<std::pair<long long, int>> rows;
        int k = 0;
        for (t.First(); !t.Eof(); t.Next()) {
            rows.emplace_back(t.WalkPosition(), static_cast<int>(t.FieldByName("N").AsInteger()));
            if (++k % 50 == 0) // another program moves dates, deletes and adds documents
                db.Exec("T.ADT", server() ? R"(UPDATE "T" SET "D" = NULL WHERE "N" % 7 = 0;)"
                                            R"( DELETE FROM "T" WHERE "N" % 11 = 0;)"
                                            R"( INSERT INTO "T" ("N", "D", "S") VALUES (9999, '2024-01-05', 0))"
                                          : "UPDATE T SET D = NULL WHERE N % 7 = 0; DELETE FROM T WHERE N % 11 = 0;"
                                            " INSERT INTO T (N, D, S) VALUES (9999, '2024-01-05', 0)");
        }
        EXPECT_GT(k, 100);
        EXPECT_EQ(ByPosition(rows), before) << (sqlIndex ? "with index" : "without index");
    }
}

TEST_P(DbStorageWalk, TheCountIsTheNumberOfRowsTheWalkVisits)
{
    GS_REQUIRE_BACKEND(db);
    for (bool sqlIndex : {true, false}) {
        if (server() && !sqlIndex)
            continue;
        Write(Layout::Shuffled, false, sqlIndex);
        for (const char* filter : {"D >= \"03.01.2024\"", "S = 2 AND D >= \"03.01.2024\""}) {
            t.SetFilter(filter);
            t.SetFiltered(true);
            t.SetStorageOrderWalk(true);
            TAdsTable::ReadScope snapshot(t);
            TAdsTable::RecordCounting counting = t.StartRecordCount();
            int visited = 0;
            for (t.First(); !t.Eof(); t.Next())
                ++visited;
            // On a table file the count is known once the walk has passed the last row; a server
            // counts beside the walk on its own connection and may answer later.
            if (!server()) {
                EXPECT_TRUE(counting.Ready()) << filter;
            }
            EXPECT_EQ(counting.Count(), visited) << filter;
            EXPECT_EQ(t.RecordCount(), visited) << filter;
        }
    }
}

TEST_P(DbStorageWalk, AFewRowsOfTheIndexAreWalkedOnIt)
{
    GS_REQUIRE_BACKEND(db);
    Write(Layout::Shuffled, false, true);
    t.SetFilter("D = \"05.01.2024\"");
    t.SetFiltered(true);
    TAdsTable::ReadScope snapshot(t);
    const std::vector<int> indexWalk = Numbers(Walk(false));
    bool inStorage = false;
    EXPECT_EQ(ByPosition(Walk(true, &inStorage)), indexWalk);
    // The server's planner itself takes the index for a few rows; the walk asks it for its own order.
    EXPECT_EQ(inStorage, server());
}

TEST_P(DbStorageWalk, AKeyOtherThanADateIsPlacedByItsPlan)
{
    // The tag N is a whole number: its positions come from the plan (without the SQL index one scan
    // ordered in memory); the server keeps the walk on the index.
    GS_REQUIRE_BACKEND(db);
    for (bool sqlIndex : {true, false}) {
        if (server() && !sqlIndex)
            continue;
        Write(Layout::Shuffled, false, true);
        if (!sqlIndex) {
            db.Exec("T.ADT", "DROP INDEX ads_idx_n");
            t.Close();
            t.SetReadOnly(true);
            t.Open();
        }
        t.SetIndexName("N");
        t.SetFilter("S <> 1");
        t.SetFiltered(true);
        TAdsTable::ReadScope snapshot(t);
        const std::vector<int> indexWalk = Numbers(Walk(false));
        ASSERT_EQ(indexWalk.size(), 400u);
        bool inStorage = false;
        EXPECT_EQ(ByPosition(Walk(true, &inStorage)), indexWalk) << sqlIndex;
        EXPECT_EQ(inStorage, !server()) << sqlIndex;
    }
}

TEST_P(DbStorageWalk, ADateKeyThatIsNoDateHasNoPosition)
{
    // A table file keeps whatever a writer stored; such a row is read, and asking for its position
    // in the walk on the index names the value.
    GS_REQUIRE_BACKEND(db);
    if (server())
        GTEST_SKIP() << "a date column of the server holds only dates";
    Write(Layout::Shuffled, false, false);
    t.Close();
    db.Exec("T.ADT", "UPDATE T SET D = '2024-01-3x' WHERE N = 5");
    t.Open();
    t.SetIndexName("D");
    t.SetFilter("D >= \"03.01.2024\"");
    t.SetFiltered(true);
    TAdsTable::ReadScope snapshot(t);
    t.SetStorageOrderWalk(true);
    int rows = 0;
    bool raised = false;
    for (t.First(); !t.Eof(); t.Next()) {
        ++rows;
        if (t.FieldByName("N").AsInteger() != 5) {
            t.WalkPosition();
            continue;
        }
        try {
            t.WalkPosition();
        } catch (const AdsError& e) {
            raised = std::string(e.what()).find("2024-01-3x") != std::string::npos;
        }
    }
    EXPECT_TRUE(raised);
    EXPECT_GT(rows, 400);
}

TEST_P(DbStorageWalk, OnTheServerRowIdsBeyondThePositionsKeepTheWalkOnTheIndex)
{
    GS_REQUIRE_BACKEND(db);
    if (!server())
        GTEST_SKIP() << "the server's own order only";
    struct Case {
        const char* rowid;
        bool inServerOrder;
    };
    const Case cases[] = {{"2199023255551", true}, {"2199023255552", false}, {"-1", false}, {"0", true}};
    for (const Case& c : cases) {
        Write(Layout::Shuffled, false, true);
        db.Exec("T.ADT", std::string(R"(INSERT INTO "T" (ads_rowid, "N", "D", "S") VALUES ()") + c.rowid +
                             ", 700, '2024-01-05', 0)");
        t.SetFilter("D >= \"03.01.2024\"");
        t.SetFiltered(true);
        TAdsTable::ReadScope snapshot(t);
        const std::vector<int> indexWalk = Numbers(Walk(false));
        bool inStorage = false;
        const auto visited = Walk(true, &inStorage);
        EXPECT_EQ(inStorage, c.inServerOrder) << c.rowid;
        EXPECT_EQ(ByPosition(visited), indexWalk) << c.rowid;
    }
}

TEST_P(DbStorageWalk, AnyOtherMoveGoesOnInIndexOrderFromTheCurrentRow)
{
    GS_REQUIRE_BACKEND(db);
    Write(Layout::Shuffled, false, true);
    TAdsTable::ReadScope snapshot(t);
    const std::vector<int> indexWalk = Numbers(Walk(false));
    t.SetStorageOrderWalk(true);
    t.First();
    t.Next();
    const int current = static_cast<int>(t.FieldByName("N").AsInteger());
    const size_t at = static_cast<size_t>(std::find(indexWalk.begin(), indexWalk.end(), current) - indexWalk.begin());
    ASSERT_LT(at, indexWalk.size());
    t.Prior();
    EXPECT_FALSE(t.InStorageOrder());
    if (at == 0) {
        EXPECT_TRUE(t.Bof());
    } else {
        EXPECT_EQ(t.FieldByName("N").AsInteger(), indexWalk[at - 1]);
    }
    t.Last();
    EXPECT_EQ(t.FieldByName("N").AsInteger(), indexWalk.back());
}

INSTANTIATE_TEST_SUITE_P(Backends, DbStorageWalk, kBackends, BackendName);
