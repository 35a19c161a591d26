// The order pattern: default patterns, loading a row in both modes, its failures, the GZS
// destination, the additional info lines and the table-bound blob reads and writes.
#include "db/AdsError.h"
#include "app/ProcessObjects.h"
#include "db/ComponentStream.h"
#include "db/BlobFields.h"
#include "orders/DefaultPatterns.h"
#include "orders/OrdersTable.h"
#include "orders/Pattern.h"
#include "settings/Settings.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

using namespace gs;
using namespace gs::test;
using namespace std::string_literals;

namespace {

std::string Lines(int n)
{
    std::string s;
    for (int i = 1; i <= n; ++i)
        s += "Zeile " + std::to_string(i) + "\r\n";
    return s;
}

std::string Endtext(const std::vector<int>& orgIds)
{
    TAddInfoLines l;
    for (int id : orgIds) {
        TAddInfoLine line;
        line.ORG_ID = id;
        line._1 = "Info " + std::to_string(id);
        line._8 = "Größe";
        l.Lines.push_back(line);
    }
    l.Info1 = "Hinweis";
    l.Info2 = 70000;
    return l.SaveToStream();
}

std::string ExtbWithProfit(double profit, double commission)
{
    TAdressExInfo x;
    x.CurrentGewinn = profit;
    x.Vertreter_Provision = commission;
    x.Vertreter = "Jörg Weiß";
    std::string s;
    x.SaveToStream(s);
    return s;
}

// An orders table in a temporary database directory; columns can be left out.
class OrdersTableFixture : public ::testing::Test {
protected:
    void create(const std::vector<std::string>& without = {})
    {
        std::vector<AdsFieldDef> fields;
        for (const AdsFieldDef& f : OrdersTableFields()) {
            if (std::find(without.begin(), without.end(), f.name) == without.end())
                fields.push_back(f);
        }
        std::vector<AdsIndexDef> indexes;
        for (const AdsIndexDef& x : OrdersTableIndexes()) {
            if (std::find(without.begin(), without.end(), x.expression) == without.end())
                indexes.push_back(x);
        }
        table.CreateTable(fields, indexes);
        table.Open();
    }
    // Appends a row: a typical invoice, changed by edit.
    void add(const std::function<void(TAdsTable&)>& edit = {})
    {
        table.Append();
        auto set = [&](const char* name, auto value) {
            if (Field* f = table.FindField(name)) {
                if constexpr (std::is_same_v<decltype(value), const char*>)
                    f->SetString(value);
                else if constexpr (std::is_same_v<decltype(value), bool>)
                    f->SetBoolean(value);
                else if constexpr (std::is_same_v<decltype(value), double>)
                    f->SetFloat(value);
                else
                    f->SetInteger(value);
            }
        };
        set("ID_ORDER", 4711);
        set("POT", 1);
        set("Status", 4);
        set("Statustext", "Bezahlt");
        set("ZZL", "Zahlbar in 14 Tagen");
        set("ZZR", "2 % Skonto");
        set("PrintName", "RECHNUNG");
        set("DataGrid", true);
        set("DataGrid_DM", true);
        set("data_netto", false);
        set("Header", true);
        set("Steuer_Low_set", 7.0);
        set("Steuer_High_set", 19.0);
        set("KNR", "10042");
        set("AdressName", "Müller, Käthe");
        set("AdressID", 42);
        set("FromText", "Ihre Bestellung 17");
        set("PID", 9);
        set("Parenttype", 2);
        set("INFO1", "eins");
        set("INFO3", "drei");
        if (Field* f = table.FindField("Date"))
            f->SetDateTime(EncodeDate(2024, 3, 15));
        if (Field* f = table.FindField("ZZD"))
            f->SetDateTime(EncodeDate(2024, 3, 29));
        if (Field* f = table.FindField("FromDate"))
            f->SetDateTime(EncodeDate(2024, 3, 1));
        if (Field* f = table.FindField("Adress"))
            f->SetString("Frau\r\nKäthe Müller\r\nHauptstraße 1\r\n50667 Köln");
        if (Field* f = table.FindField("GZS"))
            f->SetString(Lines(16));
        if (table.FindField("Footertext"))
            WriteBlobField(table, "Fußtext", "Footertext");
        if (table.FindField("Headertext"))
            WriteBlobField(table, "Kopftext", "Headertext");
        if (table.FindField("Datas"))
            table.FieldByName("Datas").SetBytes("1|Schraube|100"); // plain, as some hosts store it
        if (table.FindField("ORDER2"))
            WriteBlobField(table, "ORDER2;LAGER=3", "ORDER2");
        if (Field* f = table.FindField("Endtext"))
            f->SetBytes(Endtext({3, 1, 2}));
        if (table.FindField("EXTB"))
            WriteBlobField(table, ExtbWithProfit(150.5, 20.25), "EXTB");
        if (edit)
            edit(table);
        table.Post();
    }

    TestRuntime rt;
    DbDir db;
    TAdsTable table{&db.conn, OrdersTableName};
};

using PatternLoad = OrdersTableFixture;

} // namespace

TEST(DefaultPatternsTest, OnePerDocumentType)
{
    TestRuntime rt;
    rt.runtime().startDate = EncodeDate(2006, 4, 1);
    CreateDefaultPatterns(rt.runtime());
    const DefaultPatterns& d = *rt.runtime().defaultPatterns;
    for (int type = 1; type <= 13; ++type) {
        const TMPattern& p = d[type];
        EXPECT_EQ(p.DocType, type);
        EXPECT_EQ(p.DocTypeName, DocTypeName(type));
        EXPECT_EQ(p.PrintName, DocTypeName(type));
        EXPECT_EQ(p.Date, EncodeDate(2006, 4, 1));
        EXPECT_EQ(p.ID, -1);
        EXPECT_EQ(p.ID_ORDER, -1);
        EXPECT_EQ(p.AdressID, -1);
        EXPECT_EQ(p.Adressname, "");
        EXPECT_EQ(p.Status, 3);
        EXPECT_FALSE(p.DataGrid_DM);
        EXPECT_TRUE(p.data_netto);
    }
    EXPECT_EQ(d[7].DocTypeName, "AUFTRAGSBESTÄTIGUNG");
    EXPECT_TRUE(d[1].ZZ);
    EXPECT_FALSE(d[2].ZZ);
    EXPECT_FALSE(d[4].DataGrid);
    EXPECT_FALSE(d[6].Endt);
    EXPECT_FALSE(d[9].Enabled);
    EXPECT_TRUE(d[13].Enabled);
    EXPECT_EQ(&d.ForDocType(14), &d[1]);
    EXPECT_THROW(d[0], std::out_of_range);
    // A fresh pattern has the creation defaults.
    TMPattern fresh;
    EXPECT_EQ(fresh.PrintName, "DOKUMENT");
    EXPECT_EQ(fresh.Adressname, "kein");
    EXPECT_EQ(fresh.AdressID, -1);
}

TEST_F(PatternLoad, FullModeLoadsTheDocument)
{
    create();
    add();
    TMPattern p;
    LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
    EXPECT_EQ(p.DocType, 1);
    EXPECT_EQ(p.DocTypeName, "RECHNUNG");
    EXPECT_EQ(p.POT, 1);
    EXPECT_EQ(p.ID_ORDER, 4711);
    EXPECT_EQ(p.ID, 1);
    EXPECT_EQ(p.Adressname, "Müller, Käthe");
    EXPECT_EQ(p.AdressID, 42);
    EXPECT_EQ(p.Date, EncodeDate(2024, 3, 15));
    EXPECT_EQ(p.ZZD, EncodeDate(2024, 3, 29));
    EXPECT_EQ(p.FromDate, EncodeDate(2024, 3, 1));
    EXPECT_EQ(p.Status, 4);
    EXPECT_EQ(p.PID, 9);
    EXPECT_EQ(p.ParentType, 2);
    EXPECT_EQ(p.KNR, "10042");
    EXPECT_EQ(p.FromText, "Ihre Bestellung 17");
    EXPECT_EQ(p.ZZL, "Zahlbar in 14 Tagen");
    EXPECT_EQ(p.ZZR, "2 % Skonto");
    EXPECT_TRUE(p.DataGrid_DM);
    EXPECT_FALSE(p.data_netto);
    EXPECT_FALSE(p.Summe) << "switches come from the row";
    EXPECT_EQ(p.Steuer_Low_set, 7);
    EXPECT_EQ(p.Steuer_High_set, 19);
    EXPECT_EQ(p.Adress, (std::vector<std::string>{"Frau", "Käthe Müller", "Hauptstraße 1", "50667 Köln"}));
    EXPECT_EQ(p.InfoFields.Texts, (std::array<std::string, 5>{"eins", "", "drei", "", ""}));
    EXPECT_EQ(p.StatusLine, "Bezahlt - " + Lines(16));
    EXPECT_EQ(p.Destination.Line15, "Zeile 15");
    EXPECT_EQ(p.Destination.Line16, "Zeile 16");
    EXPECT_EQ(p.Footertext.Content(), "Fußtext");
    EXPECT_EQ(p.Headertext.Content(), "Kopftext");
    EXPECT_EQ(p.Datas.Content(), "1|Schraube|100");
    EXPECT_EQ(p.ORDER2.Content(), "ORDER2;LAGER=3");
    EXPECT_TRUE(p.ColumnsFormat.Empty());
    EXPECT_EQ(p.ExtInfo.CurrentGewinn, 150.5);
    EXPECT_EQ(p.ExtInfo.Vertreter_Provision, 20.25);
    EXPECT_EQ(p.ExtInfo.Vertreter, "Jörg Weiß");
    ASSERT_EQ(p.AddInfoLines.Count(), 3u);
    EXPECT_EQ(p.AddInfoLines.Lines[0].ORG_ID, 1) << "sorted by ORG_ID";
    EXPECT_EQ(p.AddInfoLines.Lines[2]._1, "Info 3");
    EXPECT_EQ(p.AddInfoLines.Lines[2]._8, "Größe");
    EXPECT_EQ(p.AddInfoLines.Info1, "Hinweis");
    EXPECT_EQ(p.AddInfoLines.Info2, 70000);
    EXPECT_TRUE(p.ExtInfo.ProfitInfoReadable);
}

TEST_F(PatternLoad, StatisticsModeReadsWhatTheRunNeedsAndNoTexts)
{
    create();
    add();
    TMPattern p;
    LoadPatternFromOrder(p, table, LoadModeStatistics, DefaultPatternsOf(rt.runtime()));
    EXPECT_EQ(p.ID_ORDER, 4711);
    EXPECT_EQ(p.Adressname, "Müller, Käthe");
    EXPECT_EQ(p.AdressID, 42);
    EXPECT_EQ(p.Date, EncodeDate(2024, 3, 15));
    EXPECT_TRUE(p.DataGrid_DM);
    EXPECT_EQ(p.ExtInfo.CurrentGewinn, 150.5);
    EXPECT_EQ(p.ExtInfo.Vertreter_Provision, 20.25);
    EXPECT_EQ(p.ExtInfo.Vertreter, "Jörg Weiß");
    EXPECT_TRUE(p.ExtInfo.ProfitInfoReadable);
    // What the statistics do not use keeps the default pattern's values: texts and plain columns.
    const TMPattern& defaults = DefaultPatternsOf(rt.runtime()).ForDocType(1);
    EXPECT_EQ(p.ZZL, defaults.ZZL);
    EXPECT_EQ(p.KNR, defaults.KNR);
    EXPECT_EQ(p.PID, defaults.PID);
    EXPECT_EQ(p.Steuer_High_set, defaults.Steuer_High_set);
    EXPECT_EQ(p.InfoFields.Texts, defaults.InfoFields.Texts);
    EXPECT_TRUE(p.Footertext.Empty());
    EXPECT_TRUE(p.Datas.Empty());
    EXPECT_TRUE(p.Adress.empty());
    EXPECT_EQ(p.AddInfoLines.Count(), 0u);
}

TEST_F(PatternLoad, TemplateModeMakesANewDocument)
{
    rt.runtime().now = [] { return EncodeDateTime(2025, 6, 30, 14, 5, 0, 0); };
    rt.runtime().settings = std::make_shared<TSettings>();
    rt.runtime().settings->TaxRateFull = 16;
    rt.runtime().settings->TaxRateReduced = 5;
    create();
    add([](TAdsTable& t) { t.FieldByName("Info").SetString("Vorlage"); });
    TMPattern p;
    LoadPatternFromOrder(p, table, LoadModeTemplate, DefaultPatternsOf(rt.runtime()));
    EXPECT_EQ(p.Date, EncodeDate(2025, 6, 30));
    EXPECT_EQ(p.ID_ORDER, -1);
    EXPECT_EQ(p.AdressID, -1);
    EXPECT_EQ(p.POT, 0);
    EXPECT_EQ(p.AddInfoLines.Count(), 0u);
    EXPECT_EQ(p.InfoFields.Texts[0], "");
    EXPECT_EQ(p.Info, "Vorlage");
    EXPECT_EQ(p.ParentType, 2);
    EXPECT_EQ(p.Steuer_High_set, 16);
    EXPECT_EQ(p.Steuer_Low_set, 5);
    EXPECT_EQ(p.Footertext.Content(), "Fußtext");
    EXPECT_EQ(p.ExtInfo.CurrentGewinn, 150.5);
    EXPECT_EQ(p.StatusLine, "");

    // Without a settings object the row's rates stay.
    const DefaultPatterns withoutSettings(rt.runtime().startDate);
    LoadPatternFromOrder(p, table, LoadModeTemplate, withoutSettings);
    EXPECT_EQ(p.Steuer_High_set, 19);
}

TEST_F(PatternLoad, TypeOutsideOneToThirteenTakesTheDefaultsOfTypeOne)
{
    create();
    const std::pair<int, int> cases[] = {{0, 0}, {14, 14}, {-3, 253}, {5, 5}};
    for (const auto& [pot, stored] : cases)
        add([pot = pot](TAdsTable& t) { t.FieldByName("POT").SetInteger(pot); });
    TMPattern p;
    table.First();
    for (const auto& [pot, stored] : cases) {
        LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
        EXPECT_EQ(p.DocType, pot == 5 ? 5 : 1) << pot;
        EXPECT_EQ(p.DocTypeName, pot == 5 ? "GUTSCHRIFT" : "RECHNUNG") << pot;
        EXPECT_EQ(p.POT, stored) << pot;
        table.Next();
    }
}

TEST_F(PatternLoad, ClosedTableLeavesTheDefaultOfTypeOne)
{
    create();
    add();
    TMPattern p;
    LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
    table.Close();
    LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
    TMPattern expected;
    expected.CopyAll(DefaultPatternsOf(rt.runtime())[1]);
    expected.StatusLine = p.StatusLine;
    expected.Destination = p.Destination;
    EXPECT_EQ(p.StatusLine, "Bezahlt - " + Lines(16)) << "kept from the load before";
    EXPECT_EQ(p.ID_ORDER, -1);
    EXPECT_EQ(p.DocTypeName, "RECHNUNG");
    EXPECT_EQ(p.Date, expected.Date);
    EXPECT_TRUE(p.Footertext.Empty());
    EXPECT_EQ(p.AddInfoLines.Count(), 0u);
    EXPECT_EQ(p.ExtInfo.CurrentGewinn, 0);
    EXPECT_EQ(p.Adressname, "");
}

TEST_F(PatternLoad, DestinationIsLinesFifteenAndSixteenOfGzs)
{
    struct Case {
        std::string gzs;
        std::string line15, line16;
    };
    const Case cases[] = {
        {Lines(15), "", ""},
        {Lines(16), "Zeile 15", "Zeile 16"},
        {Lines(17), "Zeile 15", "Zeile 16"},
        {Lines(15) + "Zeile 16", "Zeile 15", "Zeile 16"},          // no break after the last line
        {"a\rb\nc\r\n" + Lines(13), "Zeile 12", "Zeile 13"},       // CR, LF and CR LF end lines
        {"", "", ""},
    };
    create();
    for (const Case& c : cases)
        add([&c](TAdsTable& t) { t.FieldByName("GZS").SetString(c.gzs); });
    TMPattern p;
    table.First();
    for (const Case& c : cases) {
        LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
        EXPECT_EQ(p.Destination.Line15, c.line15) << c.gzs;
        EXPECT_EQ(p.Destination.Line16, c.line16) << c.gzs;
        EXPECT_EQ(ReadDestination(table), p.Destination);
        table.Next();
    }
}

TEST_F(PatternLoad, MissingReadColumnFailsTheLoad)
{
    create({"ZZL"});
    add();
    TMPattern p;
    try {
        LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
        FAIL() << "no error";
    } catch (const PatternLoadError& e) {
        EXPECT_STREQ(e.what(), "Auftrag kann nicht geladen werden.<BR><B>Möglicher Fehler:</B><BR>"
                               "Auftrag 4711: Spalte nicht gefunden: ZZL");
        EXPECT_EQ(e.DocumentNumber(), 4711);
        EXPECT_EQ(e.Column(), "ZZL");
    }
    // What was read before the missing column stays.
    EXPECT_EQ(p.Footertext.Content(), "Fußtext");
    EXPECT_EQ(p.AddInfoLines.Count(), 3u);
    EXPECT_EQ(p.ID_ORDER, -1) << "still the default's";
}

TEST_F(PatternLoad, ValueThatDoesNotConvertFailsTheLoad)
{
    // Another program stores a text that the column's type cannot be read from. The statistics read
    // fewer blobs and keep most values at the default's, but check these columns as the full load.
    const std::pair<const char*, const char*> cases[] = {
        {"ZZD", "kein Datum"}, {"DataGrid", "vielleicht"}, {"PID", "zwölf"},
        {"steuer_high_set", "neunzehn"}, {"Parenttype", "x"}, {"FromDate", "nie"}};
    for (const auto& [column, text] : cases) {
        create();
        add();
        ExecSql(db / OrdersTableName, std::string("UPDATE Auftraege SET ") + column + " = '" + text + "'");
        for (LoadMode mode : {LoadModeFull, LoadModeStatistics}) {
            SCOPED_TRACE(std::string(column) + " mode " + std::to_string(mode));
            TMPattern p;
            try {
                LoadPatternFromOrder(p, table, mode, DefaultPatternsOf(rt.runtime()));
                ADD_FAILURE() << "no error";
            } catch (const PatternLoadError& e) {
                EXPECT_EQ(e.DocumentNumber(), 4711);
                EXPECT_EQ(e.Column(), column);
                const std::string expected =
                    std::string("Auftrag 4711: Ungültiger Wert in Spalte ") + column + ": \"" + text + "\"";
                EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
            }
        }
        table.Close();
        table.DeleteTable();
    }
}

TEST_F(PatternLoad, OptionalColumnsMayBeMissing)
{
    create({"EXTB", "ORDER2", "INFO1", "INFO2", "INFO3", "INFO4", "INFO5", "Endtext", "Footertext"});
    add();
    TMPattern p;
    p.ExtInfo.CurrentGewinn = 99;
    LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
    EXPECT_EQ(p.ID_ORDER, 4711);
    EXPECT_EQ(p.ExtInfo.CurrentGewinn, 0);
    EXPECT_FALSE(p.ExtInfo.ProfitInfoReadable) << "no EXTB column";
    EXPECT_TRUE(p.ORDER2.Empty());
    EXPECT_TRUE(p.Footertext.Empty());
    EXPECT_EQ(p.AddInfoLines.Count(), 0u);
    EXPECT_EQ(p.InfoFields.Texts, (std::array<std::string, 5>{}));
    EXPECT_EQ(p.Headertext.Content(), "Kopftext");
}

TEST_F(PatternLoad, DamagedBlobsKeepTheDefaults)
{
    const std::string extb = ExtbWithProfit(5, 1);
    const std::string z = CompressBlob(extb);
    create();
    const std::string damaged[] = {"", "kein Strom", z.substr(0, z.size() / 2), extb.substr(0, extb.size() - 4)};
    for (const std::string& d : damaged) {
        add([&d](TAdsTable& t) {
            t.FieldByName("EXTB").SetBytes(d);
            t.FieldByName("Endtext").SetBytes(d.empty() ? CompressBlob(Endtext({1})) : d);
        });
    }
    TMPattern p;
    table.First();
    for (const std::string& d : damaged) {
        LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
        EXPECT_EQ(p.ExtInfo.CurrentGewinn, 0) << d.size();
        EXPECT_EQ(p.ExtInfo.Vertreter, "") << d.size();
        EXPECT_EQ(p.AddInfoLines.Count(), 0u) << "a compressed or damaged Endtext gives no lines";
        EXPECT_EQ(p.ID_ORDER, 4711);
        table.Next();
    }
}

TEST_F(PatternLoad, ColumnsAreLookedUpAgainForAnotherTable)
{
    create();
    add();
    TMPattern p;
    LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
    // The same table object on another file without ZZL: the load must see the missing column.
    table.Close();
    db.conn.DeleteTable(OrdersTableName);
    create({"ZZL"});
    add();
    EXPECT_THROW(LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime())), Error);
}

TEST_F(PatternLoad, RowsWrittenMeanwhileAreReadAfresh)
{
    create();
    add();
    TMPattern p;
    LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
    // Another program changes the row and its EXTB.
    ExecSql(db / OrdersTableName, "UPDATE Auftraege SET ID_ORDER = 4712, EXTB = NULL");
    LoadPatternFromOrder(p, table, LoadModeFull, DefaultPatternsOf(rt.runtime()));
    EXPECT_EQ(p.ID_ORDER, 4712);
    EXPECT_EQ(p.ExtInfo.CurrentGewinn, 0);
}

TEST(PatternCopy, AssignLeavesStatusLineAndDestination)
{
    TestRuntime rt;
    TMPattern a;
    a.ID_ORDER = 5;
    a.Footertext.SetStored(CompressBlob("Fuß"));
    a.AddInfoLines.Lines.resize(2);
    a.ExtInfo.CurrentGewinn = 3;
    a.HostTexts[1] = "Wert";
    a.StatusLine = "Bezahlt - x";
    a.Destination = {"15", "16"};
    TMPattern b;
    b.StatusLine = "alt";
    b.Assign(a);
    EXPECT_EQ(b.ID_ORDER, 5);
    EXPECT_EQ(b.Footertext.Content(), "Fuß");
    EXPECT_EQ(b.AddInfoLines.Count(), 2u);
    EXPECT_EQ(b.ExtInfo.CurrentGewinn, 3);
    EXPECT_EQ(b.HostTexts[1], "Wert");
    EXPECT_EQ(b.StatusLine, "alt");
    EXPECT_EQ(b.Destination, TDestinationInfo{});
    b.CopyAll(a);
    EXPECT_EQ(b.StatusLine, "Bezahlt - x");
    EXPECT_EQ(b.Destination, a.Destination);
}

TEST(AddInfoLines, SortByOrgIdOrdersAscending)
{
    const std::vector<std::vector<int>> cases = {{}, {1}, {2, 1}, {3, 1, 2}, {5, 5, 1, 5}, {-1, 7, -3, 0, 7, 2}};
    for (const std::vector<int>& ids : cases) {
        TAddInfoLines l;
        for (int id : ids) {
            TAddInfoLine line;
            line.ORG_ID = id;
            line._1 = std::to_string(id);
            l.Lines.push_back(line);
        }
        l.SortByOrgId();
        std::vector<int> sorted = ids;
        std::sort(sorted.begin(), sorted.end());
        std::vector<int> got;
        for (const TAddInfoLine& line : l.Lines) {
            got.push_back(line.ORG_ID);
            EXPECT_EQ(line._1, std::to_string(line.ORG_ID)) << "lines move whole";
        }
        EXPECT_EQ(got, sorted);
    }
    // Long lists, all equal, ascending and descending.
    for (int shape = 0; shape < 3; ++shape) {
        TAddInfoLines l;
        l.Lines.resize(20000);
        for (size_t i = 0; i < l.Lines.size(); ++i)
            l.Lines[i].ORG_ID = shape == 0 ? 7 : shape == 1 ? static_cast<int>(i) : -static_cast<int>(i);
        l.SortByOrgId();
        EXPECT_TRUE(std::is_sorted(l.Lines.begin(), l.Lines.end(),
                                   [](const TAddInfoLine& a, const TAddInfoLine& b) { return a.ORG_ID < b.ORG_ID; }));
    }
}

TEST(AddInfoLines, StreamRoundTripAndDamage)
{
    TestRuntime rt;
    TAddInfoLines l;
    l.LoadFromStream(Endtext({9, 4}));
    ASSERT_EQ(l.Count(), 2u);
    EXPECT_EQ(l.Lines[0].ORG_ID, 4);
    EXPECT_EQ(l.Info1, "Hinweis");
    TAddInfoLines again;
    again.LoadFromStream(l.SaveToStream());
    EXPECT_EQ(again, l);
    for (const std::string& bad : {CompressBlob(Endtext({1})), "TPF0"s, Endtext({1}).substr(0, 40), ""s}) {
        TAddInfoLines x = l;
        x.LoadFromStream(bad);
        EXPECT_EQ(x, TAddInfoLines{});
    }
}

TEST_F(OrdersTableFixture, BlobColumnsReadAndWriteThroughTheTable)
{
    create();
    add();
    std::string target = "vorher";
    ReadBlobField(table, "GibtEsNicht", target);
    EXPECT_EQ(target, "vorher") << "a missing column leaves the target as it was";
    ReadBlobField(table, "Footertext", target);
    EXPECT_EQ(target, "Fußtext");
    ReadBlobField(table, "Datas", target);
    EXPECT_EQ(target, "1|Schraube|100") << "plain bytes come back as they are";
    table.Edit();
    EXPECT_THROW(WriteBlobField(table, "x", "GibtEsNicht"), AdsError);
    WriteBlobField(table, "", "InternText");
    table.Post();
    EXPECT_EQ(table.FieldByName("InternText").AsBytes(), CompressBlob("")) << "an empty source is an empty stream";
    ReadBlobField(table, "InternText", target);
    EXPECT_EQ(target, "");
}

TEST(OrdersTableLayout, ColumnsTagsAndCodes)
{
    const auto& fields = OrdersTableFields();
    EXPECT_EQ(fields.size(), 58u);
    auto has = [&](const char* name, TAdsFieldType type) {
        return std::any_of(fields.begin(), fields.end(),
                           [&](const AdsFieldDef& f) { return f.name == name && f.type == type; });
    };
    EXPECT_TRUE(has("ID", TAdsFieldType::AutoInc));
    EXPECT_TRUE(has("WW_NETTO", TAdsFieldType::Double));
    EXPECT_TRUE(has("EXTB", TAdsFieldType::Binary));
    EXPECT_TRUE(has("INFO5", TAdsFieldType::Char));
    EXPECT_EQ(OrdersTableIndexes().size(), 7u);
    EXPECT_EQ(std::string(StatusTexts[4]), "Bezahlt");
    EXPECT_EQ(std::string(PaymentKindTexts[8]), "Vorkasse/Überweisung");
    EXPECT_EQ(std::string(PaymentConditionTexts[11]), "Zahlbar sofort nach Erhalt.");
    EXPECT_EQ(std::string(CommissionModeTexts[3]), "Provision in % auf Gewinn.");
}
