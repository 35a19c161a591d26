// The settings object itself: construction values, the database name, parent types, the number
// template, the value text table and the stored collections.
#include "app/Runtime.h"
#include "app/ProcessObjects.h"
#include "settings/AdressExtraGrid.h"
#include "settings/AutoActions.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gs;
using namespace gs::test;

TEST(SettingsObject, ConstructionValues)
{
    const TSettings st;
    EXPECT_EQ(st.DocumentTexts[12][2], "+Steuer: [ST1]%");
    EXPECT_EQ(st.DocumentTexts[0][6], "enthaltene Steuer [ST1]%:");
    EXPECT_EQ(st.HeaderCaptions[2], "Kundennummer ");
    EXPECT_EQ(st.DocumentTitleChoices.size(), 3u);
    EXPECT_EQ(st.FreeTypeNames[0], "");
    EXPECT_EQ(st.NumberMask, "0"); // normalised at construction
    EXPECT_EQ(st.HtmlMail.Param6, 2);
    EXPECT_EQ(st.Value51004, -1);
    EXPECT_EQ(st.Value15001, "000000");
    EXPECT_EQ(st.AdressFieldRoles[9].PrimarySlot, 9);
    EXPECT_EQ(st.AdressFieldRoles[9].SecondarySlot, 19);
    EXPECT_TRUE(st.AutoActions.Items.empty());
    EXPECT_FALSE(st.SecondCurrency.Enabled);
    EXPECT_EQ(SecondCurrencySymbol(st.SecondCurrency), " 2.W.");
    EXPECT_EQ(st.TextBlockLayout.Groups[0].FontSize, 24);
    EXPECT_EQ(st.TextBlockLayout.Groups[1].Color, 8421504u);
}

TEST(SettingsObject, CreateSettingsMakesTheProcessObject)
{
    TestRuntime rt;
    EXPECT_FALSE(rt.runtime().settings);
    CreateSettings(rt.runtime());
    ASSERT_TRUE(rt.runtime().settings);
    rt.runtime().settings->SecondCurrency.Enabled = true;
    rt.runtime().settings->SecondCurrency.Rate = 1.95583;
    EXPECT_DOUBLE_EQ(rt.runtime().secondCurrency().rate, 1.95583);
    rt.runtime().settings.reset();
    EXPECT_DOUBLE_EQ(rt.runtime().secondCurrency().rate, 1.5); // no settings: disabled
}

TEST(SettingsObject, DatabaseNameOfPath)
{
    struct Case {
        const char* path;
        const char* name;
    };
    const std::string forty = "Abcdefghij" "Klmnopqrst" "Uvwxyz0123" "456789.xyz";
    const Case cases[] = {
        {"C:\\Daten\\Firma 1\\", "Firma_1"},
        {"C:\\Daten\\Firma 1", "Firma_1"},
        {"\\\\server\\freigabe\\Müller & Söhne (alt)", "M_ller___S_hne__alt_"},
        {"C:\\Daten\\a?b#c+d*e~f!g§h$i", "a_b_c_d_e_f_g_h_i"},
        {"C:\\x\\[a]{b}:c;d,e=f<g>h|i\"j.k", "_a__b__c_d_e_f_g_h_i_j_k"},
        {"/srv/daten/Firma 2/", "Firma_2"},
        {"/srv/daten/Firma 2", "Firma_2"},
        {"Daten", "Daten"},
        {"C:", "C"},
        {"C", "C_"},
        {"", ""},
        {"C:\\Großhandel\\ÄÖÜ", "ÄÖÜ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DatabaseNameOfPath(c.path), c.name) << c.path;

    // A last directory name of 40 characters keeps its first 30, then the replacements apply.
    EXPECT_EQ(DatabaseNameOfPath("D:\\Mandanten\\" + forty + "\\"), "AbcdefghijKlmnopqrstUvwxyz0123");
    EXPECT_EQ(DatabaseNameOfPath("D:\\" + std::string(29, 'x') + ".ADT-Daten"), std::string(29, 'x') + "_");
    std::string umlauts;
    for (int i = 0; i < 25; ++i)
        umlauts += "ä";
    EXPECT_EQ(DatabaseNameOfPath("D:\\" + umlauts + "0123456789"), std::string(25, '_') + "01234");

    TSettings st;
    SetDatabasePath(st, "C:\\Daten\\Firma 1\\");
    EXPECT_EQ(st.DatabasePath, "C:\\Daten\\Firma 1\\");
    EXPECT_EQ(st.DatabaseName, "Firma_1");
}

TEST(SettingsObject, LookupParentType)
{
    const std::vector<TKonto> none;
    EXPECT_EQ(LookupParentType(none, "7", false), "7");
    EXPECT_EQ(LookupParentType(none, "7", true), "");
    EXPECT_EQ(LookupParentType(none, "abc", false), "");
    EXPECT_EQ(LookupParentType(none, "0", false), "");
    const std::vector<TKonto> types{{7, "Kunde"}, {0, "Ohne"}, {7, "Zweiter"}, {-1, "Minus eins"}};
    EXPECT_EQ(LookupParentType(types, "7", true), "Kunde");
    EXPECT_EQ(LookupParentType(types, "abc", false), "Ohne");
    EXPECT_EQ(LookupParentType(types, "65535", false), "Minus eins"); // compared as 16-bit codes
    EXPECT_EQ(LookupParentType(types, "8", false), "8");
    TSettings st;
    st.ParentTypes = types;
    EXPECT_EQ(LookupParentType(st, "0", false), "Ohne");
}

TEST(SettingsObject, NumberTemplateNormalisation)
{
    struct Case {
        const char *prefix, *mask, *suffix, *current;
        const char *nPrefix, *nMask, *nSuffix, *nCurrent;
    };
    const Case cases[] = {
        {"", "", "", "", "", "0", "", ""},
        {"", "0000", "", "123456", "", "0000", "", "1234"},
        {"ABCDEFGH", "000000", "0123456789", "", "ABCDEFGH", "000000", "012345", ""},
        {"  RE-  ", "0x0y0", " /2024 ", "007", "RE-", "000", "/2024", "7"},
        {"PRÄFIX-ÜBERLANG", "000000000000", "", "0", "PRÄFIX-ÜBE", "0000000000", "", ""},
        {"", "00", "", "abc", "", "00", "", ""},
        {"", "000", "", "1000", "", "000", "", "100"},
        {"", "0", "", "90", "", "0", "", "9"},
    };
    for (const Case& c : cases) {
        std::string p = c.prefix, m = c.mask, s = c.suffix, n = c.current;
        NormalizeNumberTemplate(p, m, s, n);
        EXPECT_EQ(p, c.nPrefix) << c.prefix;
        EXPECT_EQ(m, c.nMask) << c.mask;
        EXPECT_EQ(s, c.nSuffix) << c.suffix;
        EXPECT_EQ(n, c.nCurrent) << c.current;
    }
}

TEST(SettingsObject, ValueTextTableCsv)
{
    TestRuntime rt;
    TVSOBJ t;
    t.Rows = {{"Porto; Verpackung", "Zeile \"2\"", "mehr\r\nzeilig", "", 2, 1234.5},
              {"Nachnahme", "", "", "x", -1, 0.1}};
    const std::string csv = t.SaveToCsv();
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), "Text;Text2;Text1Netto;Text2Netto;Steuer;Value");
    EXPECT_NE(csv.find(";1234,5\r\n"), std::string::npos) << csv; // the process number format
    TVSOBJ back;
    back.LoadFromCsv(csv);
    EXPECT_EQ(back.Rows, t.Rows);

    // Columns by header name in any order; no header: the field order; texts cut to 50.
    back.LoadFromCsv("Value;Text\nx;A\n2,5;B\n\n");
    ASSERT_EQ(back.Rows.size(), 2u);
    EXPECT_EQ(back.Rows[0].Text, "A");
    EXPECT_EQ(back.Rows[0].Value, 0);
    EXPECT_EQ(back.Rows[1].Value, 2.5);
    back.LoadFromCsv("\"" + std::string(60, 'y') + "\";b;c;d;7;1,5");
    ASSERT_EQ(back.Rows.size(), 1u);
    EXPECT_EQ(back.Rows[0].Text, std::string(50, 'y'));
    EXPECT_EQ(back.Rows[0].Steuer, 7);
    EXPECT_EQ(back.Rows[0].Value, 1.5);
    back.LoadFromCsv("\"nie geschlossen;;\r\n");
    EXPECT_EQ(back.Rows.size(), 1u);
    back.LoadFromCsv("");
    EXPECT_TRUE(back.Rows.empty());
}

TEST(SettingsObject, StoredCollectionsRoundTripAndRejectDamage)
{
    std::vector<TAutoActionItem> items(3);
    items[0].PDFFileAfterClose = TAutoActionMode::aa_manual;
    items[0].WVLAfterClose = TAutoActionMode::aa_auto;
    items[1].SendAfterPrintClose = items[1].SLayout = items[1].NextDocByClose = true;
    items[2].DefaultMailType = TAutoActionMailType::aa_text;
    items[2].BCC = "chef@example.org\r\nbuero@example.org";
    EXPECT_EQ(ReadAutoActionItems(WriteAutoActionItems(items)), items);
    EXPECT_TRUE(ReadAutoActionItems("").empty());

    // An item that carries only some properties keeps the defaults of the others.
    StreamItem partial;
    partial.Add("PrintAfterSendClose", StreamValue::Identifier("AA_AUTO"));
    const auto read = ReadAutoActionItems(WriteCollectionComponent("TAutoActionItemsWrapper", "AutoActionItems", {partial}));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].PrintAfterSendClose, TAutoActionMode::aa_auto);
    EXPECT_EQ(read[0].DefaultMailType, TAutoActionMailType::aa_html);

    StreamItem unknown;
    unknown.Add("DefaultMailType", StreamValue::Identifier("aa_fax"));
    EXPECT_THROW(ReadAutoActionItems(WriteCollectionComponent("TAutoActionItemsWrapper", "AutoActionItems", {unknown})),
                 StreamError);
    EXPECT_THROW(ReadAutoActionItems("TPF0\x01"), StreamError);

    const TAdressExCellInfos cells{{1, 2, "Fax", false}, {0, 0, "", true}};
    EXPECT_EQ(ReadAdressExCellInfos(WriteAdressExCellInfos(cells)), cells);
}
