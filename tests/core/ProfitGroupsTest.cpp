// The period's documents in groups, from a run over a seeded orders table: every grouping's sums
// against sums the test adds itself from the seeded documents (a document in the second currency,
// a credit note, documents without EXTB or without a representative, a customer whose name changed
// during the year), the names of the latest documents, the order, margins and shares, and the
// filter that restricts the tables to one group.
#include "app/ProfitGroups.h"
#include "app/StatisticsRun.h"
#include "base/Dates.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "orders/AdressExInfo.h"
#include "orders/OrdersTable.h"
#include "support/DbBackends.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace gs;

namespace {

constexpr double kRate = 1.95583;

struct Doc {
    int id;
    int pot;
    int adressId;
    const char* name;
    int month, day;
    double net;             // as stored (in the second currency when dm)
    double profit;          // CurrentGewinn
    double commission;      // Vertreter_Provision
    int vertreterId = 0;
    const char* vertreter = "";
    bool extb = true;       // false: the row has no EXTB at all
    bool dm = false;
    int status = 4;
};

// The seeded year 2024. Documents 8 and 9 are not selected (an offer, an unpaid invoice).
const std::vector<Doc> kDocs = {
    {1, 1, 10, "Müller KG", 1, 10, 1000.00, 350.00, 50.00, 7, "Anna Schmidt"},
    {2, 1, 10, "Müller GmbH", 6, 5, 500.10, 120.00, 20.00, 7, "Anna Schmidt-Berg"},
    {3, 5, 20, "Weber", 3, 3, -200.00, -70.00, -10.00, 8, "Bernd Kurz"},
    {4, 1, 20, "Weber & Söhne", 3, 18, 391.17, 80.00, 0.00, 0, "", true, true}, // second currency, no representative
    {5, 1, 30, "Schulz", 3, 20, 250.00, 0, 0, 0, "", false},              // no EXTB
    {6, 1, 40, "Nullmann", 12, 31, 0.00, -15.00, 5.00, 8, "Bernd Kurz"}, // net 0: no margin
    {7, 1, 30, "Schulz", 1, 10, 99.99, 30.00, 0.00, 9, "Carla Ohne"},
    {8, 2, 10, "Müller GmbH", 5, 5, 9999.00, 999.00, 99.00, 7, "Anna Schmidt"},
    {9, 1, 10, "Müller GmbH", 5, 6, 8888.00, 888.00, 88.00, 7, "Anna Schmidt", true, false, 2},
};

bool Selected(const Doc& d) { return (d.pot == 1 || d.pot == 5) && (d.status == 4 || d.status == 1); }

long long Cents(double v) { return std::llround(v * 100); }
double Round2(double v) { return std::round(v * 100) / 100; }
double ListNet(const Doc& d) { return d.dm ? Round2(Round2(d.net) / kRate) : Round2(d.net); }

struct Sums {
    int documents = 0;
    long long net = 0, commission = 0, profit = 0;
    bool operator==(const Sums&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Sums& s)
{
    return os << s.documents << " docs, net " << s.net << ", commission " << s.commission << ", profit " << s.profit;
}

// The test's own key of a seeded document.
GroupKey KeyOf(const Doc& d, GroupBy by)
{
    switch (by) {
    case GroupBy::Kunde: return d.adressId;
    case GroupBy::Vertreter: return d.extb ? d.vertreterId : 0;
    case GroupBy::Dokumentart: return d.pot;
    case GroupBy::Monat: break;
    }
    return 202400 + d.month;
}

class ProfitGroupsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        orders.CreateTable(OrdersTableFields(), OrdersTableIndexes());
        orders.Open();
        rt.runtime().secondCurrency = [] { return SecondCurrencyTerms{kRate, false}; };
        for (const Doc& d : kDocs)
            add(d);
        RunFeedback feedback;
        outcome = RunStatistics(orders, "2024", 0, tables, &feedback);
        ASSERT_FALSE(outcome.error) << *outcome.error;
    }

    void add(const Doc& d)
    {
        orders.Append();
        orders.FieldByName("ID_ORDER").SetInteger(d.id);
        orders.FieldByName("POT").SetInteger(d.pot);
        orders.FieldByName("Status").SetInteger(d.status);
        orders.FieldByName("Date").SetDateTime(EncodeDate(2024, d.month, d.day));
        orders.FieldByName("WW_NETTO").SetFloat(d.net);
        orders.FieldByName("DataGrid_DM").SetBoolean(d.dm);
        orders.FieldByName("AdressName").SetString(d.name);
        orders.FieldByName("AdressID").SetInteger(d.adressId);
        if (d.extb) {
            TAdressExInfo info;
            info.CurrentGewinn = d.profit + d.commission;
            info.Vertreter_Provision = d.commission;
            info.VertreterID = d.vertreterId;
            info.Vertreter = d.vertreter;
            std::string extb;
            info.SaveToStream(extb);
            orders.FieldByName("EXTB").SetBytes(extb);
        }
        orders.Post();
    }

    // The expected sums per key, added from the seeded documents.
    static std::map<GroupKey, Sums> Expected(GroupBy by)
    {
        std::map<GroupKey, Sums> out;
        for (const Doc& d : kDocs) {
            if (!Selected(d))
                continue;
            Sums& s = out[KeyOf(d, by)];
            s.documents += 1;
            s.net += Cents(ListNet(d));
            s.commission += d.extb ? Cents(d.commission) : 0;
            s.profit += d.extb ? Cents(d.profit) : 0;
        }
        return out;
    }

    test::TestRuntime rt;
    test::BackendDb db{test::Backend::Files};
    TAdsTable orders{&db.conn, "Auftraege.ADT"};
    ResultTables tables;
    RunOutcome outcome;
};

} // namespace

TEST_F(ProfitGroupsTest, EveryGroupingAddsUpAsTheSeededDocumentsAndToThePeriodTotals)
{
    for (GroupBy by : AllGroupings) {
        SCOPED_TRACE(GroupByWord(by));
        const std::vector<ProfitGroup> groups = BuildProfitGroups(tables, by);
        std::map<GroupKey, Sums> got;
        Sums all;
        for (const ProfitGroup& g : groups) {
            EXPECT_TRUE(got.emplace(g.key, Sums{g.documents, Cents(g.net), Cents(g.commission), Cents(g.profit)})
                            .second)
                << "one group per key";
            all.documents += g.documents;
            all.net += Cents(g.net);
            all.commission += Cents(g.commission);
            all.profit += Cents(g.profit);
        }
        EXPECT_EQ(got, Expected(by));
        const RunTotals& t = outcome.totals;
        EXPECT_EQ(all, (Sums{t.documents, Cents(t.net), Cents(t.commission), Cents(t.profit)}));
        EXPECT_EQ(t.documents, 7);
    }
}

TEST_F(ProfitGroupsTest, NamesComeFromTheLatestDocumentOfTheGroup)
{
    std::map<GroupKey, std::string> customers, representatives, types, months;
    for (const ProfitGroup& g : BuildProfitGroups(tables, GroupBy::Kunde))
        customers[g.key] = g.name;
    for (const ProfitGroup& g : BuildProfitGroups(tables, GroupBy::Vertreter))
        representatives[g.key] = g.name;
    for (const ProfitGroup& g : BuildProfitGroups(tables, GroupBy::Dokumentart))
        types[g.key] = g.name;
    for (const ProfitGroup& g : BuildProfitGroups(tables, GroupBy::Monat))
        months[g.key] = g.name;
    // The unselected documents 8 and 9 of May name Müller GmbH too, but the name of June counts.
    EXPECT_EQ(customers, (std::map<GroupKey, std::string>{
                             {10, "Müller GmbH"}, {20, "Weber & Söhne"}, {30, "Schulz"}, {40, "Nullmann"}}));
    EXPECT_EQ(representatives, (std::map<GroupKey, std::string>{
                                   {0, "ohne Vertreter"}, {7, "Anna Schmidt-Berg"}, {8, "Bernd Kurz"}, {9, "Carla Ohne"}}));
    EXPECT_EQ(types, (std::map<GroupKey, std::string>{{1, "Rechnung"}, {5, "Gutschrift"}}));
    EXPECT_EQ(months, (std::map<GroupKey, std::string>{
                          {202401, "Januar 2024"}, {202403, "März 2024"}, {202406, "Juni 2024"}, {202412, "Dezember 2024"}}));
}

TEST_F(ProfitGroupsTest, MonthsStandByDateAndAMonthTheRangeCoversInPartIsNamedByItsDays)
{
    std::vector<GroupKey> keys;
    for (const ProfitGroup& g : BuildProfitGroups(tables, GroupBy::Monat))
        keys.push_back(g.key);
    // March holds the largest profit, January the next: by date all the same.
    EXPECT_EQ(keys, (std::vector<GroupKey>{202401, 202403, 202406, 202412}));

    // The same documents over 10 January to 5 June: January and June only in part, as the chart
    // labels them; a document without a date last.
    ResultTables partly = tables;
    partly.RangeFirst = EncodeDate(2024, 1, 10);
    partly.RangeLast = EncodeDate(2024, 6, 5);
    partly.KM.push_back(partly.KM.front());
    partly.KM.back().date.reset();
    std::vector<std::string> names;
    for (const ProfitGroup& g : BuildProfitGroups(partly, GroupBy::Monat))
        names.push_back(g.name);
    EXPECT_EQ(names, (std::vector<std::string>{"10.-31.01.2024", "März 2024", "01.-05.06.2024", "Dezember 2024",
                                               "ohne Datum"}));
}

TEST_F(ProfitGroupsTest, GroupsStandByProfitLargestFirstWithMarginAndShare)
{
    const std::vector<ProfitGroup> groups = BuildProfitGroups(tables, GroupBy::Kunde);
    std::vector<GroupKey> order;
    for (const ProfitGroup& g : groups)
        order.push_back(g.key);
    // Profits: 10 -> 470, 20 -> 10 (-70 + 80), 30 -> 30, 40 -> -15.
    EXPECT_EQ(order, (std::vector<GroupKey>{10, 30, 20, 40}));
    const double totalNet = outcome.totals.net;
    const ProfitGroup& mueller = groups[0];
    ASSERT_TRUE(mueller.margin && mueller.share);
    EXPECT_NEAR(*mueller.margin, 470.0 / 1500.10 * 100, 1e-9);
    EXPECT_NEAR(*mueller.share, 1500.10 / totalNet * 100, 1e-9);
    EXPECT_FALSE(groups[3].margin) << "no margin where the net is 0";
    EXPECT_NEAR(*groups[3].share, 0, 1e-12);
    // Equal profits: the smaller key first.
    ResultTables two;
    two.KM = {tables.KM[0], tables.KM[0]};
    two.KM[1].adressId = 5;
    const std::vector<ProfitGroup> tied = BuildProfitGroups(two, GroupBy::Kunde);
    EXPECT_EQ(tied[0].key, 5);
}

TEST_F(ProfitGroupsTest, AFilterKeepsOneGroupWithItsMonthsAndTotals)
{
    const GroupFilter filter{GroupBy::Kunde, 20};
    const ResultTables only = FilterTables(tables, filter);
    std::vector<int> ids;
    for (const KmRow& r : only.KM)
        ids.push_back(r.idOrder);
    std::vector<int> expectedIds;
    for (const KmRow& r : tables.KM)
        if (r.adressId == 20)
            expectedIds.push_back(r.idOrder);
    EXPECT_EQ(ids, expectedIds);
    EXPECT_EQ(only.RangeText, tables.RangeText);
    ASSERT_EQ(only.KMC.size(), tables.KMC.size()) << "the period's months stay";
    // March holds both documents of the customer, the other months nothing.
    const Doc& credit = kDocs[2];
    const Doc& converted = kDocs[3];
    for (const KmcRow& m : only.KMC) {
        int y = 0, mo = 0, d = 0;
        DecodeDate(*m.DATE, y, mo, d);
        if (mo != 3) {
            EXPECT_EQ(m.documents, 0);
            EXPECT_FALSE(m.GEWINN_INT);
            continue;
        }
        EXPECT_EQ(m.documents, 2);
        EXPECT_EQ(Cents(m.net), Cents(ListNet(credit)) + Cents(ListNet(converted)));
        EXPECT_EQ(m.GEWINN_INT, std::optional<int>(-70 + 80));
        EXPECT_EQ(m.WW_NETTO_INT, std::optional<int>(-200 + 200)); // 391.17 / 1.95583 = 200.00
    }
    const RunOutcome filtered = FilterOutcome(outcome, only);
    EXPECT_EQ(filtered.totals.documents, 2);
    EXPECT_EQ(Cents(filtered.totals.profit), 1000);
    EXPECT_EQ(GroupFilterText(tables, filter), "Kunde Weber & Söhne");
    EXPECT_EQ(GroupFilterText(tables, {GroupBy::Vertreter, 0}), "ohne Vertreter");
    EXPECT_EQ(GroupFilterText(tables, {GroupBy::Monat, 202403}), "Monat März 2024");
    EXPECT_EQ(GroupFilterText(tables, {GroupBy::Dokumentart, 5}), "Dokumentart Gutschrift");
}

TEST_F(ProfitGroupsTest, AFilterOfADocumentWithoutReadableProfitKeepsItsWarning)
{
    const ResultTables schulz = FilterTables(tables, {GroupBy::Kunde, 30});
    const RunOutcome filtered = FilterOutcome(outcome, schulz);
    EXPECT_EQ(filtered.unreadableProfit, std::vector<int>{5});
    ASSERT_EQ(filtered.warnings.size(), 1u);
    const RunOutcome none = FilterOutcome(outcome, FilterTables(tables, {GroupBy::Kunde, 10}));
    EXPECT_TRUE(none.warnings.empty());
}

TEST(GroupFilterParse, GoodAndBadFilters)
{
    struct Case {
        const char* text;
        std::optional<GroupFilter> expected;
    };
    const Case cases[] = {
        {"kunde=10", GroupFilter{GroupBy::Kunde, 10}},
        {"Vertreter=0", GroupFilter{GroupBy::Vertreter, 0}},
        {"dokumentart=5", GroupFilter{GroupBy::Dokumentart, 5}},
        {"monat=2024-03", GroupFilter{GroupBy::Monat, 202403}},
        {"dokumentart=2", std::nullopt},
        {"monat=2024-13", std::nullopt},
        {"monat=2024-3", std::nullopt},
        {"monat=24-03", std::nullopt},
        {"kunde=-1", std::nullopt},
        {"kunde=", std::nullopt},
        {"kunde=12x", std::nullopt},
        {"kunde=99999999999", std::nullopt},
        {"kunde", std::nullopt},
        {"land=DE", std::nullopt},
    };
    for (const Case& c : cases) {
        std::string problem;
        const std::optional<GroupFilter> got = ParseGroupFilter(c.text, problem);
        EXPECT_EQ(got, c.expected) << c.text;
        EXPECT_EQ(problem.empty(), got.has_value()) << c.text << ": " << problem;
    }
}

TEST(ProfitGroupsRow, TheListRowStaysSmall)
{
    // The list holds one row per document of the period; the representative and the document type
    // fit into what the row had room for.
    EXPECT_LE(sizeof(KmRow), 96u);
}
