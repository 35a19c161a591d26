// Values of any size in the columns the statistics run reads: a customer name or an EXTB of 0 bytes
// to 1 MB, around each block size of the row reader (16 KB, 64 KB, 128 KB, 1 MB), in one document
// among others of the period. The run completes with that document's values, and the rows read
// through the table give the stored bytes exactly, walking on the index and in storage order
// (on a table file also without the SQL index behind DATE), on table files and on the server.
#include "app/StatisticsRun.h"
#include "db/AdsTable.h"
#include "db/BlobFields.h"
#include "orders/OrdersTable.h"
#include "support/DbBackends.h"
#include "support/OrdersTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace gs;
using namespace gs::test;

namespace {

constexpr int kLarge = 500; // the document with the large value
constexpr size_t KB = 1024;

enum class Column { Name, Extb };

// Letters in a pattern that does not repeat within a block: a byte out of place shows.
std::string Letters(size_t size)
{
    std::string s(size, ' ');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>('a' + (i * 7 + i / 26 + i / 4093) % 26);
    return s;
}

class RunValueSize : public ::testing::TestWithParam<Backend> {
protected:
    bool server() const { return db.Kind() == Backend::Server; }

    // 40 documents of March 2025 and the one with the large value in the middle of the file.
    void Write(Column column)
    {
        orders.Close();
        {
            TAdsTable w(&db.conn, "Auftraege.ADT");
            if (w.TableExists())
                w.DeleteTable();
            w.CreateTable(OrdersTableFields(), OrdersTableIndexes());
        }
        if (server()) // a name longer than the host's 50 characters needs a wider column there
            db.Exec("Auftraege.ADT", R"(ALTER TABLE "Auftraege" ALTER COLUMN "AdressName" TYPE varchar(10485760) COLLATE "C")");
        orders.SetReadOnly(false);
        orders.Open();
        for (int i = 1; i <= 40; ++i) {
            AppendOrder(orders, {.id = i, .date = EncodeDate(2025, 3, 1 + i % 28), .profit = 30, .commission = 10});
            if (i == 20) {
                OrderDoc large{.id = kLarge, .date = EncodeDate(2025, 3, 15), .profit = 7, .commission = 2};
                large.extb = expectedExtb;
                AppendOrder(orders, large);
            }
        }
        if (column == Column::Name)
            db.Exec("Auftraege.ADT", (server() ? R"(UPDATE "Auftraege" SET "AdressName" = ')"
                                               : "UPDATE Auftraege SET AdressName = '") +
                                         expectedName + (server() ? R"(' WHERE "ID_ORDER" = )" : "' WHERE ID_ORDER = ") +
                                         std::to_string(kLarge));
        orders.Close();
        orders.Open();
    }

    void DropSqlIndex()
    {
        orders.Close();
        db.Exec("Auftraege.ADT", "DROP INDEX ads_idx_date");
        orders.SetReadOnly(true); // as the module opens the host's tables
        orders.Open();
    }

    // The large document's name and EXTB as a walk over the period reads them (with EXTB kept
    // inflated beside the rows, as the run asks for it).
    void ExpectStoredBytes(const std::string& label)
    {
        TAdsTable::ReadScope snapshot(orders);
        orders.SetIndexName("DATE");
        orders.SetFilter("DATE >= \"01.03.2025\" AND DATE <= \"31.03.2025\"");
        orders.SetFiltered(true);
        orders.SetRowColumns({orders.FindField("ID_ORDER"), orders.FindField("AdressName"), orders.FindField("EXTB")});
        orders.SetInflatedColumns({orders.FindField("EXTB")});
        orders.SetStorageOrderWalk(true);
        EXPECT_EQ(orders.RecordCount(), 41) << label;
        int seen = 0;
        for (orders.First(); !orders.Eof(); orders.Next()) {
            ++seen;
            if (orders.FieldByName("ID_ORDER").AsInteger() != kLarge)
                continue;
            EXPECT_TRUE(orders.FieldByName("AdressName").AsString() == expectedName) << label;
            EXPECT_TRUE(orders.FieldByName("EXTB").AsBytes() == expectedExtb) << label;
            std::string inflated;
            ReadBlobField(orders.FieldByName("EXTB"), inflated);
            EXPECT_TRUE(inflated == DecompressOrCopy(expectedExtb)) << label; // plain bytes, but one byte may begin a zlib stream
        }
        EXPECT_EQ(seen, 41) << label;
        orders.SetFiltered(false);
        orders.SetRowColumns({});
        orders.SetInflatedColumns({});
        orders.SetStorageOrderWalk(false);
    }

    void ExpectRun(Column column, size_t size, const std::string& label)
    {
        ResultTables tables;
        const RunOutcome o = RunStatistics(orders, "2025", 7, tables); // March
        ASSERT_FALSE(o.error) << label << ": " << *o.error;
        ASSERT_EQ(tables.KM.size(), 41u) << label;
        const KmRow* large = nullptr;
        for (const KmRow& r : tables.KM)
            if (r.idOrder == kLarge)
                large = &r;
        ASSERT_NE(large, nullptr) << label;
        EXPECT_EQ(large->adressName, expectedName.substr(0, 100)) << label; // the list keeps 100 characters
        const bool readable = column == Column::Name || size >= ProfitStream(7, 2).size();
        EXPECT_DOUBLE_EQ(large->profit, readable ? 5 : 0) << label;
        EXPECT_DOUBLE_EQ(o.totals.profit, 40 * 20 + (readable ? 5 : 0)) << label;
        EXPECT_EQ(o.unreadableProfit, readable ? std::vector<int>{} : std::vector<int>{kLarge}) << label;
    }

    BackendDb db{GetParam()};
    TestRuntime rt;
    TAdsTable orders{&db.conn, "Auftraege.ADT"};
    std::string expectedName = "Kunde";
    std::string expectedExtb;
};

} // namespace

TEST_P(RunValueSize, ValuesOfEverySizeAroundTheBlockBoundariesAreReadWhole)
{
    GS_REQUIRE_BACKEND(db);
    const size_t sizes[] = {0,           1,           16 * KB - 1, 16 * KB,      16 * KB + 1,
                            64 * KB - 1, 64 * KB,     64 * KB + 1, 128 * KB - 1, 128 * KB,
                            128 * KB + 1, 200000,     1024 * KB - 1, 1024 * KB,  1024 * KB + 1};
    for (Column column : {Column::Name, Column::Extb}) {
        for (size_t size : sizes) {
            expectedName = column == Column::Name ? Letters(size) : "Kunde";
            expectedExtb = column == Column::Extb ? ProfitStreamOfSize(7, 2, size) : ProfitStream(7, 2);
            ASSERT_EQ(column == Column::Name ? expectedName.size() : expectedExtb.size(), size);
            Write(column);
            for (int mode = 0; mode < (server() ? 2 : 3); ++mode) {
                if (mode == 2)
                    DropSqlIndex(); // a table file without the SQL index: one scan in storage order
                const RunWalk walk = mode == 0 ? RunWalk::Index : RunWalk::Storage;
                const std::string label = std::string(column == Column::Name ? "AdressName" : "EXTB") + " of " +
                                          std::to_string(size) + " bytes, " + RunWalkName(walk) +
                                          (mode == 2 ? " without the SQL index" : "");
                WalkChoice choice(walk);
                ExpectRun(column, size, label);
                ExpectStoredBytes(label);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, RunValueSize, kBackends, BackendName);
