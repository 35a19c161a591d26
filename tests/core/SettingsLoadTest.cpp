// Filling the settings object from setup.ADT: load values of an empty table, the item rules, the
// guards, the database message and the closing step.
#include "DemoSetup.h"
#include "app/Runtime.h"
#include "db/BlobFields.h"
#include "settings/AutoActions.h"
#include "settings/Settings.h"
#include "settings/SettingsLoad.h"
#include "settings/SettingsTable.h"
#include "support/SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <new>

using namespace gs;
using namespace gs::test;

namespace {

using Lines = std::vector<std::string>;

const char* const kDbMessagePrefix = "<B>Möglicher Fehler in der Datenbank:<BR></B>";
const char* const kDbMessageSuffix = "<BR>Führen Sie das Datenbankdienstprogramm aus.";

Lines WithEmptyLines(Lines lines, size_t count)
{
    lines.resize(count);
    return lines;
}

} // namespace

TEST(SettingsLoad, AnEmptyTableGivesEveryLoadValue)
{
    SettingsDb s;
    s.rt.runtime().formats.threeDecimals = 1;
    TSettings st;
    LoadSettings(st, s.table);
    EXPECT_TRUE(s.dialogs().messages.empty());
    EXPECT_EQ(s.rt.runtime().formats.threeDecimals, 1); // restored

    const TSettings constructed;
    EXPECT_EQ(st.DocumentTexts, LoadDocumentTexts());
    EXPECT_EQ(st.DocumentTexts[0][2], "+Steuer [ST1]%:");
    EXPECT_EQ(constructed.DocumentTexts[0][2], "+Steuer: [ST1]%");
    EXPECT_EQ(st.HeaderCaptions, (THeaderCaptions{"Nr:", "Datum ", "Kundennummer ", "Auftrag ", "vom "}));
    EXPECT_EQ(st.DocumentTitleChoices, (Lines{"Nicht ändern", "LIEFERSCHEIN", "AUFTRAGSBESTÄTIGUNG"}));
    EXPECT_EQ(st.FreeTypeNames,
              (std::array<std::string, 5>{"FREIER TYP 1", "FREIER TYP 2", "FREIER TYP 3", "FREIER TYP 4", "FREIER TYP 5"}));
    EXPECT_EQ(st.ContactGroups, (Lines{"Interessenten", "Kunden"}));
    EXPECT_EQ(st.Salutations, (Lines{"Sehr geehrte Frau,", "Sehr geehrter Herr,"}));
    EXPECT_EQ(st.DiscountTermTexts, (Lines{"bei Zahlung bis zum ", " erhalten Sie 3% Skonto, das entspricht: ",
                                           "bei Zahlung bis zum ", " erhalten Sie 3% Skonto, das entspricht: ", "5"}));
    EXPECT_EQ(st.PaymentDueTexts, WithEmptyLines({"Der Betrag ist bis zum ", " zu bezahlen.", "Der Betrag ist bis zum ",
                                                  " zu bezahlen.", "14"},
                                                 69));
    EXPECT_EQ(st.AvailabilityTexts, (Lines{"lieferbar", "nicht lieferbar"}));
    EXPECT_EQ(st.NumberChoices, (Lines{"5", "10", "15", "20", "25", "30"}));
    EXPECT_EQ(st.PriorityNames, (Lines{"Normal", "Wichtig", "Sehr Wichtig"}));
    EXPECT_EQ(st.List1510, Lines(81));
    EXPECT_TRUE(st.List1500.empty() && st.List1502.empty() && st.List1505.empty() && st.List1509.empty());
    ASSERT_EQ(st.AutoActions.Items.size(), 14u);
    EXPECT_EQ(st.AutoActions.Items[13], TAutoActionItem{});
    EXPECT_EQ(st.NumberPrefix, "");
    EXPECT_EQ(st.NumberMask, "0");
    EXPECT_EQ(st.NumberSuffix, "");
    EXPECT_EQ(st.NumberCurrent, "");
    EXPECT_EQ(st.ArticleCaptions.Captions, (std::array<std::string, 3>{"Bezeichnung1", "Bezeichnung2", "Bestellnummer"}));
    EXPECT_EQ(st.ArticleCaptions.InfoCaptions[4], "INFO5");
    EXPECT_EQ(st.TextBlockLayout, TTextBlockLayout{});
    EXPECT_EQ(st.TextBlockLayout.Groups[1].FontSize, 8);
    EXPECT_EQ(st.HtmlMail.Param6, 0); // all six parameters 0 when item 14501 is missing
    EXPECT_TRUE(st.ValueTexts.Rows.empty());
    ASSERT_EQ(st.PartsGroups.Groups.size(), 1u);
    EXPECT_EQ(st.PartsGroups.Groups[0].Name, "Alle");

    // Values with a load value.
    EXPECT_EQ(st.Flags1530, (std::array<bool, 6>{}));
    EXPECT_EQ(std::make_tuple(st.Value23001, st.Value23002, st.Value23003), std::make_tuple(1, 0, 0));
    EXPECT_EQ(st.Value76, 1);
    EXPECT_TRUE(st.Flag951);
    EXPECT_FALSE(st.Flag4000);
    EXPECT_EQ(st.Value12000, 2);
    EXPECT_EQ(st.Value12011, Item12011Bit1 | Item12011Bit2);
    EXPECT_EQ(st.Value12013, 2);
    EXPECT_EQ(st.Value12014, 2);
    EXPECT_EQ(st.Value51004, -1);
    EXPECT_EQ(st.Value214, 1);
    EXPECT_EQ(st.Value9214, 1);
    EXPECT_EQ(st.Value16003, 1);
    EXPECT_EQ(st.Value15001, "000000");
    EXPECT_EQ(st.TaxRateFull, 0);
    // Values the load leaves unchanged keep their construction values.
    EXPECT_EQ(st.Value4998, 30);
    EXPECT_EQ(st.Value5000, 10);
    EXPECT_EQ(st.Value5001, 30);
    EXPECT_EQ(st.Value5002, 50);
    EXPECT_EQ(st.Value5021, 20.0);
    EXPECT_EQ(st.Value5023, 1);
    EXPECT_EQ(st.Value13031, 1);
    EXPECT_EQ(st.Value960, 10.0);
    // The second currency is off.
    EXPECT_FALSE(st.SecondCurrency.Enabled);
    EXPECT_EQ(SecondCurrencyRate(st.SecondCurrency), 1.5);
    EXPECT_EQ(st.SecondCurrency.DocumentTexts, st.DocumentTexts);
    // TOVIK.INI is missing: the defaults.
    EXPECT_TRUE(st.PrinterDef.LayoutDataGridCanChange);
    EXPECT_EQ(st.PrinterDef.UserFontSizeDatagrid, 1);
}

TEST(SettingsLoad, ItemRules)
{
    SettingsDb s;
    s.put(21003, "", Lines{"A", "B"});
    s.put(21009, "");
    s.put(21010, "Vom:");
    s.put(202, "", Lines{"LIEFERSCHEIN"});
    s.put(201, "", Lines{"", "Typ 3"});
    s.put(12011, "0");
    s.put(15001, "950000");
    s.put(13030, "7");
    s.put(1530, "", Lines{"1", "0", "1"});
    s.put(5000, "viel");   // no integer: fallback 0
    s.put(4998, "viel");   // fallback 30
    s.put(16011, "", Lines{"7", "Sieben", "-3", "Minus", "9"});
    s.put(1501, "", Lines{"sehr geehrter Herr", "Liebe"});
    s.put(1510, "", Lines{"x"});
    s.put(920, "", Lines{"AText eins", "", "Bx"});
    s.put(949, "19.0");
    s.put(950, " 7,5 ");
    s.put(1512, "", Lines{"", "Name 2", "", "Farbe=rot=blau", "=leer", "ohne Gleich", "Gewicht="});
    s.put(652, "", Lines{"5", "x", "", "", "", "255", "", "", "", "Courier", "12", "clRed"});
    s.put(14501, "", Lines{"0", "2,5", "3", "", "300"});
    s.put(16045, "", Lines{"Niedrig", "Hoch"});
    s.put(12019, "", Lines{});
    s.put(1508, "", Lines{"a", "b"});
    s.put(5024, "01.04.2006");
    s.put(3001, "2");
    s.put(3002, "x");
    s.put(2003, "E-Mail");
    s.put(16009, " PRE ", Lines{"0a00", "SUF"});

    TSettings st;
    LoadSettings(st, s.table);
    EXPECT_TRUE(s.dialogs().messages.empty());

    EXPECT_EQ(st.DocumentTexts[0][2], "+Steuer [ST1]%:");
    EXPECT_EQ(st.DocumentTexts[1][2], "A");
    EXPECT_EQ(st.DocumentTexts[2][2], "B");
    EXPECT_EQ(st.DocumentTexts[3][2], "+Steuer [ST1]%:");
    EXPECT_EQ(st.DocumentTexts[12][2], "+Steuer [ST1]%:");
    EXPECT_EQ(st.HeaderCaptions[0], "Nr:");
    EXPECT_EQ(st.HeaderCaptions[1], "Vom:");
    EXPECT_EQ(st.DocumentTitleChoices, (Lines{"Nicht ändern", "LIEFERSCHEIN"}));
    EXPECT_EQ(st.FreeTypeNames[0], "FREIER TYP 1");
    EXPECT_EQ(st.FreeTypeNames[1], "FREIER TYP 2");
    EXPECT_EQ(st.FreeTypeNames[2], "Typ 3");
    EXPECT_EQ(st.Value12011, Item12011Bit2);
    EXPECT_EQ(st.Value15001, "900000");
    EXPECT_EQ(st.Value13030Digit1, 7);
    EXPECT_EQ(st.Value13030Digit2, 0);
    EXPECT_EQ(st.Flags1530, (std::array<bool, 6>{true, false, true, false, false, false}));
    EXPECT_EQ(st.Value5000, 0);
    EXPECT_EQ(st.Value4998, 30);
    EXPECT_EQ(st.ParentTypes, (std::vector<TKonto>{{7, "Sieben"}, {-3, "Minus"}}));
    EXPECT_EQ(st.Salutations, (Lines{"Liebe", "sehr geehrter Herr"}));
    EXPECT_EQ(st.List1510.size(), 81u);
    EXPECT_EQ(st.List1510[0], "x");
    EXPECT_EQ(st.CodedTextCodes, (Lines{"A", "", "B"}));
    EXPECT_EQ(st.CodedTexts, (Lines{"Text eins", "", "x"}));
    EXPECT_DOUBLE_EQ(st.TaxRateFull, 19.0);
    EXPECT_DOUBLE_EQ(st.TaxRateFullCurrent, 19.0);
    EXPECT_DOUBLE_EQ(st.TaxRateReduced, 7.5);
    EXPECT_DOUBLE_EQ(st.TaxRateReducedCurrent, 7.5);
    EXPECT_EQ(st.ArticleCaptions.Captions, (std::array<std::string, 3>{"Bezeichnung1", "Name 2", "Bestellnummer"}));
    EXPECT_EQ(st.ArticleCaptions.InfoCaptions, (std::array<std::string, 5>{"Farbe", "INFO2", "INFO3", "Gewicht", "INFO5"}));
    EXPECT_EQ(st.ArticleCaptions.InfoValues, (std::array<std::string, 5>{"rot=blau", "", "", "", ""}));
    EXPECT_EQ(st.TextBlockLayout.Groups[0].Values, (std::array<int, 3>{5, 20, 150}));
    EXPECT_EQ(st.TextBlockLayout.Groups[0].FontName, "ARIAL");
    EXPECT_EQ(st.TextBlockLayout.Groups[0].FontSize, 24);
    EXPECT_EQ(st.TextBlockLayout.Groups[0].Color, 255u);
    EXPECT_EQ(st.TextBlockLayout.Groups[1].FontName, "Courier");
    EXPECT_EQ(st.TextBlockLayout.Groups[1].FontSize, 12);
    EXPECT_EQ(st.TextBlockLayout.Groups[1].Color, clRed);
    EXPECT_DOUBLE_EQ(st.HtmlMail.Param1, 1.0);
    EXPECT_DOUBLE_EQ(st.HtmlMail.Param2, 2.5);
    EXPECT_EQ(st.HtmlMail.Param3, 3);
    EXPECT_EQ(st.HtmlMail.Param4, 0);
    EXPECT_EQ(st.HtmlMail.Param5, 44);
    EXPECT_EQ(st.HtmlMail.Param6, 2); // missing line: fallback 2
    EXPECT_EQ(st.PriorityNames, (Lines{"Niedrig", "Hoch"}));
    EXPECT_EQ(st.NumberChoices, (Lines{"5", "10", "15", "20", "25", "30"}));
    EXPECT_EQ(st.PaymentDueTexts, WithEmptyLines({"a", "b"}, 69));
    EXPECT_DOUBLE_EQ(st.Value5024, EncodeDate(2006, 4, 1));
    EXPECT_EQ(st.AdressFieldRoles[0].Kind, 2);
    EXPECT_EQ(st.AdressFieldRoles[1].Kind, 0);
    EXPECT_EQ(st.AdressFieldRoles[2].Caption, "E-Mail");
    EXPECT_EQ(st.AdressFieldRoles[2].PrimarySlot, 2);
    EXPECT_EQ(st.AdressFieldRoles[2].SecondarySlot, 12);
    EXPECT_EQ(st.NumberPrefix, "PRE");
    EXPECT_EQ(st.NumberMask, "000");
    EXPECT_EQ(st.NumberSuffix, "SUF");
}

TEST(SettingsLoad, TwoBitAndSixDigitItems)
{
    struct Case {
        const char* text;
        std::uint8_t bits;
    };
    SettingsDb s;
    for (const Case c : {Case{"", 3}, Case{"0", 2}, Case{"10", 1}, Case{"00", 0}, Case{"11", 3}, Case{"x1", 2}}) {
        s.clear();
        s.put(12011, c.text);
        TSettings st;
        LoadSettings(st, s.table);
        EXPECT_EQ(st.Value12011, c.bits) << '"' << c.text << '"';
    }
    EXPECT_EQ(SixDigitNumberText("900001"), "900000");
    EXPECT_EQ(SixDigitNumberText("900000"), "900000");
    EXPECT_EQ(SixDigitNumberText(""), "000000");
    EXPECT_EQ(SixDigitNumberText("12"), "120000"); // zeros at the end
    EXPECT_EQ(SixDigitNumberText("0123456"), "123456"); // loses its first character
    EXPECT_EQ(SixDigitNumberText("abcdefghijkl"), "fghijk");
}

TEST(SettingsLoad, StreamsListsAndCollections)
{
    SettingsDb s;
    s.putMemoBytes(8101, CompressBlob("komprimiert"));
    s.putMemoBytes(8102, "plain bytes");
    TVSOBJ vt;
    vt.Rows = {{"Porto", "", "Porto netto", "", 1, 4.5}};
    s.put(20, "", SettingLines(vt.SaveToCsv()));
    std::vector<TAutoActionItem> actions(2);
    actions[1].PDFFileAfterSave = TAutoActionMode::aa_auto;
    actions[1].DefaultMailType = TAutoActionMailType::aa_pdf;
    actions[1].BCC = "a@example.org\r\nb@example.org";
    s.putMemoBytes(1511, WriteAutoActionItems(actions));
    s.putMemoBytes(754, CompressBlob(WriteAdressExCellInfos({{2, 3, "E-Mail", true}})));
    s.put(751, "", Lines{"L1"});

    TSettings st;
    st.Stream8103 = "vorher";
    LoadSettings(st, s.table);
    EXPECT_EQ(st.Stream8101, "komprimiert");
    EXPECT_EQ(st.Stream8102, "plain bytes");
    EXPECT_EQ(st.Stream8103, "vorher"); // missing: unchanged
    EXPECT_EQ(st.ValueTexts.Rows, vt.Rows);
    ASSERT_EQ(st.AutoActions.Items.size(), 14u);
    EXPECT_EQ(st.AutoActions.Items[1], actions[1]);
    EXPECT_EQ(st.AutoActions.Items[2], TAutoActionItem{});
    EXPECT_EQ(st.AdressExtraGrid.Cells, (TAdressExCellInfos{{2, 3, "E-Mail", true}}));
    EXPECT_EQ(st.AdressExtraGrid.List751, Lines{"L1"});
}

TEST(SettingsLoad, GarbageInEveryItemEndsInDefaults)
{
    SettingsDb s;
    // Component streams of garbage, a table stream of garbage, non-numeric texts in numeric items.
    s.putMemoBytes(1511, "TPF0\x05garbage\xff\xff");
    s.putMemoBytes(754, "kein Strom");
    s.putMemoBytes(20, std::string("\"offen;\r\n;;x\0y", 14));
    for (int ident : {20010, 20012, 200030, 949, 950, 960, 5021, 5024, 76, 9215, 15000, 51004, 12000, 4999, 1401})
        s.put(ident, "abc");
    s.put(13030, "xy");
    s.put(14501, "", Lines{"a", "b", "c", "d", "e", "f"});
    s.put(16011, "", Lines{"x", "y"});
    s.put(652, "", Lines{"a", "b", "c", "", "d", "e"});

    TSettings st;
    LoadSettings(st, s.table);
    EXPECT_TRUE(s.dialogs().messages.empty());
    ASSERT_EQ(st.AutoActions.Items.size(), 14u);
    EXPECT_EQ(st.AutoActions.Items[0], TAutoActionItem{});
    EXPECT_TRUE(st.AdressExtraGrid.Cells.empty());
    EXPECT_FALSE(st.SecondCurrency.Enabled);
    EXPECT_EQ(st.TaxRateFull, 0);
    EXPECT_EQ(st.Value960, 0);  // plain decimal: 0
    EXPECT_EQ(st.Value5021, 0);
    EXPECT_EQ(st.Value5024, 0);
    EXPECT_EQ(st.Value76, 1);
    EXPECT_EQ(st.Value9215, 0);
    EXPECT_EQ(st.Value51004, -1);
    EXPECT_EQ(st.Value12000, 2);
    EXPECT_EQ(st.Value1401, 1);
    EXPECT_EQ(st.Value13030Digit1, 0);
    EXPECT_DOUBLE_EQ(st.HtmlMail.Param1, 1.0);
    EXPECT_EQ(st.HtmlMail.Param6, 2);
    EXPECT_EQ(st.ParentTypes, (std::vector<TKonto>{{0, "y"}}));
    EXPECT_EQ(st.TextBlockLayout, TTextBlockLayout{});
    // The swallowed errors stay readable for a developer, each with the item its guard read.
    const std::string trace = st.LoadTrace.Text();
    EXPECT_NE(trace.find("setup.ADT item 1511: "), std::string::npos) << trace;
    EXPECT_NE(trace.find("setup.ADT item 754: "), std::string::npos) << trace;
}

TEST(SettingsLoad, AnUnguardedFailureShowsTheDatabaseMessageAndStillCloses)
{
    SettingsDb s;
    // A table whose stringItem column is missing: the guarded texts fail silently, the first
    // single value (8201) ends the load.
    TAdsTable t(&s.db.conn, "setup2.ADT");
    t.CreateTable({{"Ident", TAdsFieldType::Integer}, {"MemoItem", TAdsFieldType::Memo}}, {{"IDENT", "Ident", 0}});
    t.Open();
    auto add = [&](int ident, const std::string& memo) {
        t.Append();
        t.FieldByName("Ident").SetInteger(ident);
        t.FieldByName("MemoItem").SetString(memo);
        t.Post();
    };
    add(1530, "1\r\n1\r\n");
    add(21002, "x\r\n");
    add(14500, "<html>\r\n");
    add(8201, "");
    add(1506, "Zuletzt\r\n");
    s.rt.runtime().formats.threeDecimals = 1;

    TSettings st;
    st.Value23001 = 9;
    LoadSettings(st, t);

    ASSERT_EQ(s.dialogs().messages.size(), 1u);
    const std::string& text = s.dialogs().messages[0].text;
    EXPECT_EQ(text.rfind(kDbMessagePrefix, 0), 0u) << text;
    EXPECT_NE(text.find("Spalte nicht gefunden: StringItem"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - std::string(kDbMessageSuffix).size()), kDbMessageSuffix);
    // Read before the failure.
    EXPECT_TRUE(st.Flags1530[0] && st.Flags1530[1]);
    EXPECT_EQ(st.HtmlMail.Body, Lines{"<html>"});
    EXPECT_EQ(st.Value23001, 1); // reset to its load value before the failure
    // Closing step.
    EXPECT_EQ(s.rt.runtime().formats.threeDecimals, 1);
    EXPECT_EQ(st.ContactGroups, (Lines{"Interessenten", "Kunden"}));
    EXPECT_EQ(st.PaymentDueTexts, Lines(69));
    EXPECT_EQ(st.DiscountTermTexts, Lines(5));
    // The guarded texts failed silently, but not without a trace; a second load starts a new one.
    ASSERT_FALSE(st.LoadTrace.Entries().empty());
    EXPECT_EQ(st.LoadTrace.Entries()[0].where, "setup.ADT item 21002");
    EXPECT_NE(st.LoadTrace.Entries()[0].what.find("StringItem"), std::string::npos);
    SettingsDb clean;
    LoadSettings(st, clean.table);
    EXPECT_TRUE(st.LoadTrace.Empty()) << st.LoadTrace.Text();
}

namespace {
// Dialogs whose message box runs out of memory.
class ExhaustedDialogs : public RecordingDialogs {
public:
    void showMessage(const std::string&, const std::string&, const std::string&) override { throw std::bad_alloc(); }
};
} // namespace

TEST(SettingsLoad, ErrorsThatAreNotOrdinaryPassAfterTheClosingStep)
{
    SettingsDb s;
    TAdsTable t(&s.db.conn, "setup3.ADT");
    t.CreateTable({{"Ident", TAdsFieldType::Integer}}, {{"IDENT", "Ident", 0}});
    t.Open();
    t.Append();
    t.FieldByName("Ident").SetInteger(8201);
    t.Post();
    s.rt.runtime().setDialogs(std::make_shared<ExhaustedDialogs>());
    s.rt.runtime().formats.threeDecimals = 1;
    TSettings st;
    EXPECT_THROW(LoadSettings(st, t), std::bad_alloc);
    EXPECT_EQ(s.rt.runtime().formats.threeDecimals, 1);
    EXPECT_EQ(st.ContactGroups, (Lines{"Interessenten", "Kunden"}));
}

TEST(SettingsLoad, AnUnpreparableTableLeavesTheConstructionValues)
{
    SettingsDb s;
    WriteFile(s.db / "kaputt.ADT", std::string(2048, '\x01'));
    TAdsTable broken(&s.db.conn, "kaputt.ADT");
    TSettings st;
    LoadSettings(st, broken);
    ASSERT_EQ(s.dialogs().messages.size(), 1u);
    EXPECT_EQ(s.dialogs().messages[0].text.rfind("<B>Einstellungen Zugriffsfehler.</B><BR>", 0), 0u);
    EXPECT_EQ(st.DocumentTexts, ConstructionDocumentTexts());
    EXPECT_TRUE(st.ContactGroups.empty()); // not even the closing step ran
    EXPECT_TRUE(st.AutoActions.Items.empty());
}

TEST(SettingsLoad, WrongColumnTypesLoadWhatConverts)
{
    SettingsDb s;
    TAdsTable t(&s.db.conn, "setup4.ADT");
    t.CreateTable({{"Ident", TAdsFieldType::Char, 10},
                   {"MemoItem", TAdsFieldType::Binary},
                   {"stringItem", TAdsFieldType::Double},
                   {"logo", TAdsFieldType::Integer}},
                  {{"IDENT", "Ident", 0}});
    t.Open();
    auto add = [&](const std::string& ident, const std::string& text, const std::string& memo) {
        t.Append();
        t.FieldByName("Ident").SetString(ident);
        if (!text.empty())
            t.FieldByName("stringItem").SetString(text);
        t.FieldByName("MemoItem").SetBytes(memo);
        t.Post();
    };
    add("949", "19", "");
    add("1506", "", "B\r\nA\r\n");
    add("1511", "", "kein Strom");
    TSettings st;
    LoadSettings(st, t);
    EXPECT_TRUE(s.dialogs().messages.empty());
    EXPECT_DOUBLE_EQ(st.TaxRateFull, 19);
    EXPECT_EQ(st.ContactGroups, (Lines{"A", "B"}));
    EXPECT_EQ(st.AutoActions.Items.size(), 14u);
    std::vector<std::string> lines;
    EXPECT_FALSE(ReadLogo(t, 31, lines));
}

TEST(SettingsLoad, TheDemoInstallationLoadsCleanly)
{
    SettingsDb s;
    WriteFile(s.rt.dir() / "TOVIK.INI", demo::DemoPrinterIni());
    std::filesystem::create_directory(s.db.dir.path() / "demo");
    demo::WriteDemoSetup(s.db.dir.path() / "demo");
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath((s.db.dir.path() / "demo").string());
    conn.Connect();
    TAdsTable table(&conn, demo::SetupTableName);
    table.SetIndexName("IDENT");
    table.Open();
    TSettings st;
    LoadSettings(st, table);
    SetDatabasePath(st, (s.db.dir.path() / "Beispiel Handel").string());
    EXPECT_TRUE(s.dialogs().messages.empty());
    EXPECT_TRUE(st.LoadTrace.Empty()) << st.LoadTrace.Text();
    EXPECT_EQ(st.DatabaseName, "Beispiel_Handel");
    EXPECT_TRUE(st.SecondCurrency.Enabled);
    EXPECT_DOUBLE_EQ(SecondCurrencyRate(st.SecondCurrency), 1.95583);
    EXPECT_EQ(SecondCurrencySymbol(st.SecondCurrency), " DM");
    EXPECT_EQ(st.SecondCurrency.DocumentTexts[0][4], "Rechnungsbetrag DM:");
    EXPECT_EQ(st.SecondCurrency.DocumentTexts[0][1], "Zwischensumme DM:");
    EXPECT_EQ(st.DocumentTexts[5][2], "+MwSt. [ST1]%:");
    EXPECT_DOUBLE_EQ(st.TaxRateFull, 19);
    EXPECT_DOUBLE_EQ(st.TaxRateReduced, 7);
    EXPECT_EQ(st.NumberPrefix, "RE-");
    EXPECT_EQ(st.NumberSuffix, "/2024");
    EXPECT_EQ(st.NumberCurrent, "1042");
    EXPECT_EQ(st.Value15001, "100042");
    EXPECT_EQ(st.Value212, "Lager 1");
    EXPECT_EQ(st.FreeTypeNames[0], "Kostenvoranschlag");
    EXPECT_EQ(st.DocumentTitleChoices.size(), 4u);
    EXPECT_EQ(LookupParentType(st, "2", false), "Lieferant");
    EXPECT_EQ(st.Salutations.front(), "Sehr geehrte Damen und Herren,");
    EXPECT_EQ(st.ContactGroups, (Lines{"Interessenten", "Kunden", "Lieferanten", "Partner"}));
    EXPECT_EQ(st.AutoActions.Items.size(), 14u);
    EXPECT_EQ(st.AutoActions.Items[1].PDFFileAfterClose, TAutoActionMode::aa_auto);
    EXPECT_EQ(st.AdressExtraGrid.Cells.size(), 3u);
    EXPECT_EQ(st.AdressFieldRoles[2].Kind, 2);
    EXPECT_EQ(st.AdressFieldRoles[2].Caption, "E-Mail");
    ASSERT_EQ(st.ValueTexts.Rows.size(), 4u);
    EXPECT_EQ(st.ValueTexts.Rows[1].Text, "Nachnahmegebühr");
    EXPECT_DOUBLE_EQ(st.ValueTexts.Rows[0].Value, 5.9);
    EXPECT_EQ(st.PartsGroups.Groups.size(), 6u);
    EXPECT_EQ(PartGroupName(st.PartsGroups, 0), "Werkzeug");
    EXPECT_EQ(PartGroupName(st.PartsGroups, 3), "Sanitär & Heizung");
    EXPECT_EQ(st.PartsGroups.Groups.front().Name, "Zubehör"); // key 000005 sorts first
    EXPECT_EQ(st.PartsGroups.Value661, "*5");
    EXPECT_EQ(st.PrinterDef.DEFAULT, "Büro-Laser");
    EXPECT_EQ(st.PrinterDef.Copies_Caption_op[1], "Original\r\nKopie");
    EXPECT_EQ(st.PrinterDef.Copies_Count_op[1], 2);
    EXPECT_TRUE(st.PrinterDef.PRIVATCONTACTMANDANTUSE);
    EXPECT_EQ(st.TextBlockLayout.Groups[1].FontName, "Tahoma");
    EXPECT_EQ(st.HtmlMail.Body.size(), 5u);
    EXPECT_EQ(st.Stream8102.substr(0, 5), "{\\rtf");
    std::vector<std::string> layout;
    EXPECT_TRUE(ReadLogo(table, 32, layout));
    EXPECT_EQ(layout.front(), "[GRID]");
}
