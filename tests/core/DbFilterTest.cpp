// Filter expressions: which rows a filter visits, which filters are refused, and that values stay
// values (bound, never pasted into SQL).
#include "db/AdsError.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace gs;
using namespace gs::test;

namespace {

class DbFilter : public ::testing::Test {
protected:
    void SetUp() override
    {
        ExecSql(db / "Auftraege.ADT",
                "CREATE TABLE Auftraege(ID AUTOINC, POT SHORTINT, STATUS SHORTINT, \"Date\" DATE, NAME CHAR(40),"
                " ISMAIL LOGICAL, NETTO DOUBLE, TS TIMESTAMP, M MEMO);"
                "INSERT INTO Auftraege VALUES"
                "(1, 1, 4, '2006-04-01', 'Meier', 1, 10.5, '2006-04-01 00:00:00.000', NULL),"
                "(2, 5, 1, '2006-06-30', 'Müller', 0, -3, '2006-06-30 23:59:59.999', NULL),"
                "(3, 1, 2, '2006-05-15', 'Schulz', NULL, 0, NULL, NULL),"
                "(4, 2, 4, '2006-05-15', 'x\" OR 1=1 --', 1, 100, NULL, NULL),"
                "(5, 1, 1, '2006-03-31', '', 0, 7, NULL, NULL),"
                "(6, 5, 4, '2006-07-01', NULL, NULL, NULL, NULL, NULL),"
                "(7, NULL, NULL, NULL, 'Meier', 1, 2.5, NULL, NULL);"
                "CREATE TABLE ads_index(tag TEXT, expression TEXT, options INTEGER);"
                "INSERT INTO ads_index VALUES('DATE', 'Date', 2), ('POT', 'POT', 0);");
        t.SetAdsConnection(&db.conn);
        t.SetTableName("Auftraege.ADT");
        t.Open();
    }

    std::vector<std::string> visit(const std::string& filter)
    {
        t.SetFilter(filter);
        t.SetFiltered(true);
        return WalkColumn(t, "ID");
    }

    DbDir db;
    TAdsTable t;
};

using Ids = std::vector<std::string>;

} // namespace

TEST_F(DbFilter, GoodFiltersVisitTheMatchingRows)
{
    const struct {
        const char* filter;
        Ids ids;
    } cases[] = {
        {"(POT=1 OR POT=5 ) AND (STATUS=4 OR STATUS=1) AND ((DATE<=\"30.06.2006\") and (DATE>=\"01.04.2006\"))",
         {"1", "2"}},
        {"pot = 1", {"1", "3", "5"}},
        {"POT<>1", {"2", "4", "6", "7"}},         // an empty POT counts as 0, which is not 1
        {"POT<2", {"1", "3", "5", "7"}},
        {"NOT (POT=1)", {"2", "4", "6", "7"}},
        {"NOT (DATE<=\"30.06.2006\" AND DATE>=\"01.04.2006\")", {"5", "6", "7"}},
        {"DATE<=\"30.06.2006\" AND NOT (DATE>=\"01.04.2006\")", {"5", "7"}},
        {"NOT (POT<2 AND POT>0) AND NOT (STATUS=4)", {"2", "7"}},
        {"ISMAIL=1", {"1", "4", "7"}},
        {"ismail=0", {"2", "3", "5", "6"}},       // empty logical = false
        {"Date=\"15.05.2006\"", {"3", "4"}},
        {"DATE<\"1.4.2006\"", {"5", "7"}},        // the empty date lies before every date
        {"DATE>='2006-05-15'", {"2", "3", "4", "6"}},
        {"TS>=\"30.06.2006\"", {"2"}},
        {"TS=\"01.04.2006\"", {"1"}},
        {"NETTO>=7", {"1", "4", "5"}},
        {"NETTO<0.5 AND NETTO>-3.5", {"2", "3", "6"}},
        {"NAME=\"Meier\"", {"1", "7"}},
        {"NAME=\"\"", {"5", "6"}},                // empty text and NULL alike
        {"NAME>\"M\" and NAME<\"N\"", {"1", "2", "7"}},
        {"POT=1 OR POT=5 AND STATUS=4", {"1", "3", "5", "6"}}, // AND binds tighter
        {"(POT=1 OR POT=5) AND STATUS=4", {"1", "6"}},
        {"POT=\"5\"", {"2", "6"}},
        {"", {"1", "2", "3", "4", "5", "6", "7"}},
        {"   ", {"1", "2", "3", "4", "5", "6", "7"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        t.SetIndexName("");
        EXPECT_EQ(visit(c.filter), c.ids);
        EXPECT_EQ(t.RecordCount(), static_cast<int>(c.ids.size()));
        // Along an index on a filtered column (empty keys walk separately): the same rows.
        for (const char* index : {"DATE", "POT"}) {
            t.SetIndexName(index);
            Ids along = WalkColumn(t, "ID");
            std::sort(along.begin(), along.end());
            EXPECT_EQ(along, c.ids) << "index " << index;
        }
    }
    t.SetFiltered(false);
    EXPECT_EQ(t.RecordCount(), 7);
}

TEST_F(DbFilter, MalformedFiltersRaiseAndQuoteTheFilter)
{
    // column: the table column the refusal is about (as stored), empty where it names none.
    const struct {
        const char* filter;
        const char* column;
    } cases[] = {
        {"POT=", "POT"},           {"POT 1", "POT"},       {"(POT=1", ""},
        {"POT=1)", ""},            {"POT=1 AND", ""},      {"AND POT=1", ""},
        {"POT=1 OR OR POT=2", ""}, {"1=POT", ""},          {"\"x\"=NAME", ""},
        {"NAME=\"offen", ""},      {"POT=1; DROP TABLE Auftraege", ""},
        {"POT=abc", "POT"},        {"POT=\"abc\"", "POT"}, {"DATE>=\"31.02.2006\"", "Date"},
        {"DATE>=5", "Date"},       {"M=\"x\"", "M"},       {"POT=1.2.3", "POT"},
        {"POT=!1", ""},            {"POT=1 --", ""},       {"ZZL=1", "ZZL"},
        {"()", ""},
    };
    t.SetFilter("POT=1");
    t.SetFiltered(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        try {
            t.SetFilter(c.filter);
            ADD_FAILURE() << "accepted";
        } catch (const AdsError& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + std::string(c.filter) + "\""), std::string::npos) << e.what();
            EXPECT_EQ(e.Table(), "Auftraege.ADT");
            EXPECT_EQ(e.Column(), c.column);
        }
        // The table keeps its previous, working filter.
        EXPECT_EQ(t.Filter(), "POT=1");
        EXPECT_EQ(WalkColumn(t, "ID"), (Ids{"1", "3", "5"}));
    }
}

TEST_F(DbFilter, MissingColumnIsNamedAndFilterIsCheckedWhenSwitchedOn)
{
    t.SetFilter("ZZL=1"); // not checked while filtering is off
    try {
        t.SetFiltered(true);
        FAIL() << "accepted";
    } catch (const AdsError& e) {
        EXPECT_EQ(e.Column(), "ZZL");
        EXPECT_NE(std::string(e.what()).find("Spalte nicht gefunden: ZZL"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(t.Filtered());
    EXPECT_EQ(t.RecordCount(), 7);
}

TEST_F(DbFilter, QuotedTextStaysALiteral)
{
    EXPECT_EQ(visit("NAME=\"x\"\" OR 1=1 --\""), (Ids{"4"}));
    EXPECT_EQ(visit("NAME='x'' OR ''1''=''1'"), (Ids{}));
    EXPECT_EQ(QueryValue(db / "Auftraege.ADT", "SELECT count(*) FROM Auftraege"), "7");
}

TEST_F(DbFilter, ChangingFilterOrFilteredGoesToTheFirstRow)
{
    t.SetIndexName("");
    t.Last();
    t.SetFilter("POT=5"); // filtering off: nothing changes yet
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 7);
    t.SetFiltered(true);
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 2);
    t.Next();
    t.SetFilter("POT=1");
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 1);
    t.Next();
    t.SetFiltered(false);
    EXPECT_EQ(t.FieldByName("ID").AsInteger(), 1);
    t.SetFilter("POT=99");
    t.SetFiltered(true);
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.Bof());
}
