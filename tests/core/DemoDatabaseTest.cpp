// The demo database program's generator: both tables with their layout, the settings items, the
// spread of the documents, the same tables for the same seed, and documents that load.
#include "DemoDatabase.h"
#include "app/ProcessObjects.h"
#include "DemoSetup.h"
#include "base/Error.h"
#include "orders/DefaultPatterns.h"
#include "orders/OrdersTable.h"
#include "orders/Pattern.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace gs;
using namespace gs::test;

namespace {

constexpr long long kDocuments = 300;

class DemoDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        demo::DemoOptions o;
        o.dir = dir_->path() / "db";
        o.orders.documents = kDocuments;
        o.orders.seed = 11;
        o.orders.firstYear = 2022;
        o.orders.lastYear = 2026;
        demo::WriteDemoDatabase(o);
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    static std::filesystem::path dbDir() { return dir_->path() / "db"; }

    TestRuntime rt;
    static TempDir* dir_;
};

TempDir* DemoDatabase::dir_ = nullptr;

} // namespace

TEST_F(DemoDatabase, TablesHaveTheHostsLayout)
{
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(dbDir().string());
    conn.Connect();
    TAdsTable orders(&conn, OrdersTableName);
    orders.Open();
    for (const AdsFieldDef& f : OrdersTableFields()) {
        const Field* field = orders.FindField(f.name);
        ASSERT_NE(field, nullptr) << f.name;
        EXPECT_EQ(field->DataType(), f.type) << f.name;
        if (f.type == TAdsFieldType::Char) {
            EXPECT_EQ(field->Size(), f.size) << f.name;
        }
    }
    EXPECT_EQ(orders.FieldCount(), static_cast<int>(OrdersTableFields().size()));
    const std::vector<AdsIndexDef> tags = orders.IndexDefs();
    ASSERT_EQ(tags.size(), OrdersTableIndexes().size());
    for (size_t i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(tags[i].tag, OrdersTableIndexes()[i].tag);
        EXPECT_EQ(tags[i].options, OrdersTableIndexes()[i].options) << tags[i].tag;
    }
    EXPECT_EQ(orders.RecordCount(), kDocuments);
    EXPECT_EQ(QueryValue(dbDir() / OrdersTableName, "PRAGMA journal_mode"), "wal");

    TAdsTable setup(&conn, demo::SetupTableName);
    setup.SetIndexName("IDENT");
    setup.Open();
    ASSERT_EQ(setup.FieldCount(), 5);
    EXPECT_EQ(setup.FieldByName("ID").DataType(), TAdsFieldType::AutoInc);
    EXPECT_EQ(setup.FieldByName("MemoItem").DataType(), TAdsFieldType::Memo);
    EXPECT_EQ(setup.FieldByName("stringItem").Size(), 100);
    EXPECT_EQ(setup.FieldByName("logo").DataType(), TAdsFieldType::Binary);
    const std::pair<const char*, const char*> items[] = {
        {"20012", "1"}, {"20010", "1,95583"}, {"200011", " DM"}, {"949", "19"}, {"950", "7"}, {"21002", "Warenwert:"}};
    for (const auto& [ident, value] : items) {
        ASSERT_TRUE(setup.SeekKey(ident)) << ident;
        EXPECT_EQ(setup.FieldByName("stringItem").AsString(), value) << ident;
    }
    for (const char* ident : {"650", "651", "660", "663", "21002"}) {
        ASSERT_TRUE(setup.SeekKey(ident)) << ident;
        EXPECT_FALSE(setup.FieldByName("MemoItem").AsString().empty()) << ident;
    }
    ASSERT_TRUE(setup.SeekKey("650"));
    EXPECT_NE(setup.FieldByName("MemoItem").AsString().find("Sanitär"), std::string::npos);
}

TEST_F(DemoDatabase, SameSeedSameTables)
{
    TempDir other;
    demo::DemoOptions o;
    o.dir = other.path();
    o.orders.documents = kDocuments;
    o.orders.seed = 11;
    demo::WriteDemoDatabase(o);
    EXPECT_TRUE(ReadFile(other / OrdersTableName) == ReadFile(dbDir() / OrdersTableName));
    EXPECT_TRUE(ReadFile(other / demo::SetupTableName) == ReadFile(dbDir() / demo::SetupTableName));

    // A directory with tables is refused, unless they are to be replaced.
    o.orders.seed = 12;
    EXPECT_THROW(demo::WriteDemoDatabase(o), Error);
    EXPECT_TRUE(ReadFile(other / OrdersTableName) == ReadFile(dbDir() / OrdersTableName)) << "left alone";
    o.force = true;
    demo::WriteDemoDatabase(o);
    EXPECT_FALSE(ReadFile(other / OrdersTableName) == ReadFile(dbDir() / OrdersTableName));
    EXPECT_EQ(QueryValue(other / OrdersTableName, "SELECT count(*) FROM Auftraege"), std::to_string(kDocuments));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(other.path()))
        ++entries;
    EXPECT_EQ(entries, 2) << "no work files left behind";
}

TEST_F(DemoDatabase, DocumentsSpreadAndLoad)
{
    CreateDefaultPatterns(rt.runtime());
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(dbDir().string());
    conn.Connect();
    TAdsTable t(&conn, OrdersTableName);
    t.SetIndexName("DATE");
    t.Open();
    std::set<int> types, statuses, years;
    int runRows = 0, losses = 0, profits = 0, secondCurrency = 0, withLines = 0, withDestination = 0;
    int compressed = 0, plain = 0, missing = 0, longGzs = 0;
    TMPattern p;
    Field& extb = t.FieldByName("EXTB");
    for (t.First(); !t.Eof(); t.Next()) {
        ASSERT_NO_THROW(LoadPatternFromOrder(p, t, LoadModeFull, DefaultPatternsOf(rt.runtime()))) << t.FieldByName("ID").AsInteger();
        types.insert(t.FieldByName("POT").AsInteger());
        statuses.insert(p.Status);
        years.insert(DecodeDateTime(p.Date).year);
        const bool run = (p.POT == 1 || p.POT == 5) && (p.Status == 1 || p.Status == 4);
        runRows += run;
        const std::string stored = extb.AsBytes();
        compressed += !stored.empty() && static_cast<unsigned char>(stored[0]) == 0x78;
        plain += stored.rfind("TPF0", 0) == 0;
        missing += stored.empty();
        if (!stored.empty()) {
            profits += p.ExtInfo.CurrentGewinn > 0;
            losses += p.POT == 1 && p.ExtInfo.CurrentGewinn < 0;
        }
        secondCurrency += p.DataGrid_DM;
        withLines += p.AddInfoLines.Count() > 0;
        withDestination += !p.Destination.Line16.empty();
        longGzs += std::count(p.StatusLine.begin(), p.StatusLine.end(), '\n') >= 16;
        EXPECT_FALSE(p.Adressname.empty());
        EXPECT_FALSE(p.Headertext.Empty());
    }
    EXPECT_EQ(types.size(), 13u);
    EXPECT_EQ(statuses.size(), 8u);
    EXPECT_EQ(years, (std::set<int>{2022, 2023, 2024, 2025, 2026}));
    EXPECT_GT(runRows, kDocuments * 3 / 10) << "most documents are paid or completed invoices and credit notes";
    EXPECT_GT(compressed, plain);
    EXPECT_GT(plain, 0);
    EXPECT_GT(missing, 0);
    EXPECT_GT(profits, kDocuments / 2);
    EXPECT_GT(losses, 0);
    EXPECT_GT(secondCurrency, 0);
    EXPECT_GT(withLines, 0);
    EXPECT_GT(withDestination, 0);
    EXPECT_EQ(withDestination, longGzs);
}

TEST(DemoDatabaseMix, TheMixSetsTheShareTheStatisticsSelect)
{
    TempDir dir;
    const struct {
        demo::DemoMix mix;
        double share;
    } cases[] = {{demo::DemoMix::Standard, 0.47}, {demo::DemoMix::Realistic, 0.26}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.share);
        demo::DemoOptions o;
        o.dir = dir / (c.mix == demo::DemoMix::Realistic ? "realistic" : "standard");
        o.orders.documents = 2000;
        o.orders.seed = 3;
        o.orders.firstYear = o.orders.lastYear = 2024;
        o.orders.mix = c.mix;
        demo::WriteDemoDatabase(o);
        const double selected = std::stod(QueryValue(
            o.dir / "Auftraege.ADT", "SELECT avg(POT IN (1, 5) AND Status IN (1, 4)) FROM Auftraege"));
        EXPECT_NEAR(selected, c.share, 0.04);
    }
}
