// Reading the host's settings table: value kinds, seeking items, preparing the table, logos.
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "db/BlobFields.h"
#include "settings/SettingsTable.h"
#include "support/SettingsTestSupport.h"

#include <gtest/gtest.h>

using namespace gs;
using namespace gs::test;

namespace {

const char* const kAccessError = "<B>Einstellungen Zugriffsfehler.</B><BR>";

} // namespace

TEST(SettingsValueKinds, DecimalAcceptsBothSeparatorsButNoThousands)
{
    TestRuntime rt;
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"7,5", 7.5}, {"7.5", 7.5}, {"  7,5 ", 7.5}, {"19", 19},     {"1.234,50", 0},
                          {"", 0},      {"abc", 0},   {"-0.5", -0.5},  {"1,2,3", 0}};
    for (char sep : {',', '.'}) {
        rt.runtime().formats.decimalSeparator = sep;
        rt.runtime().formats.thousandSeparator = sep == ',' ? '.' : '\'';
        for (const Case& c : cases)
            EXPECT_DOUBLE_EQ(SettingDecimal(c.text), c.value) << c.text << " with separator " << sep;
    }
}

TEST(SettingsValueKinds, PlainDecimalUsesOnlyTheProcessSeparator)
{
    TestRuntime rt;
    EXPECT_DOUBLE_EQ(SettingPlainDecimal("7,5"), 7.5);
    EXPECT_DOUBLE_EQ(SettingPlainDecimal("7.5"), 0);
    rt.runtime().formats.decimalSeparator = '.';
    EXPECT_DOUBLE_EQ(SettingPlainDecimal("7.5"), 7.5);
    EXPECT_DOUBLE_EQ(SettingPlainDecimal("7,5"), 0);
}

TEST(SettingsValueKinds, IntegerByteFlagAndDate)
{
    TestRuntime rt;
    EXPECT_EQ(SettingInteger("12", 2), 12);
    EXPECT_EQ(SettingInteger("zwölf", 2), 2);
    EXPECT_EQ(SettingInteger("", -1), -1);
    EXPECT_EQ(SettingByte("256", 7), 0);    // low 8 bits
    EXPECT_EQ(SettingByte("300", 7), 44);
    EXPECT_EQ(SettingByte("-1", 7), 255);
    EXPECT_EQ(SettingByte("x", 7), 7);
    EXPECT_EQ(SettingSmallInt("65537", 0), 1); // low 16 bits
    EXPECT_TRUE(SettingFlag("1", false));
    EXPECT_FALSE(SettingFlag("2", true));   // only exactly 1 is true
    EXPECT_TRUE(SettingFlag("ja", true));   // no integer: the fallback
    EXPECT_FALSE(SettingFlag("ja", false));
    EXPECT_DOUBLE_EQ(SettingDate("31.12.2024"), EncodeDate(2024, 12, 31));
    EXPECT_DOUBLE_EQ(SettingDate("2024-12-31"), 0);
    EXPECT_EQ(SettingLines("a\r\n\r\nb\rc\nd"), (std::vector<std::string>{"a", "", "b", "c", "d"}));
    EXPECT_EQ(NormalizeDecimalText("  1.5 "), "1,5");
}

TEST(SettingsTable, ReadsFoundItemsAndDefaultsForMissingOnes)
{
    SettingsDb s;
    s.put(100, "Text", std::vector<std::string>{"eins", "", "drei"});
    s.put(101, "300");
    ASSERT_TRUE(PrepareSettingsTable(s.table));

    std::string text = "alt";
    EXPECT_TRUE(ReadSettingText(s.table, 100, text, "def"));
    EXPECT_EQ(text, "Text");
    EXPECT_FALSE(ReadSettingText(s.table, 999, text, "def"));
    EXPECT_EQ(text, "def");

    std::uint8_t b = 9;
    EXPECT_TRUE(ReadSettingByte(s.table, 101, b, 3));
    EXPECT_EQ(b, 44);
    EXPECT_TRUE(ReadSettingByte(s.table, 100, b, 3)); // "Text" is no integer
    EXPECT_EQ(b, 3);
    EXPECT_FALSE(ReadSettingByte(s.table, 999, b, 5));
    EXPECT_EQ(b, 5);

    std::vector<std::string> lines{"x"};
    EXPECT_FALSE(ReadSettingLines(s.table, 999, lines, false));
    EXPECT_EQ(lines, std::vector<std::string>{"x"});
    EXPECT_FALSE(ReadSettingLines(s.table, 999, lines, true));
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(ReadSettingLines(s.table, 100, lines, false));
    EXPECT_EQ(lines, (std::vector<std::string>{"eins", "", "drei"}));

    ASSERT_TRUE(FindSettingRow(s.table, 101));
    EXPECT_DOUBLE_EQ(ReadSettingFloat(s.table), 300);
    EXPECT_TRUE(s.dialogs().messages.empty());
}

TEST(SettingsTable, FindPostsAPendingEdit)
{
    SettingsDb s;
    s.put(1, "a");
    s.put(2, "b");
    ASSERT_TRUE(PrepareSettingsTable(s.table));
    ASSERT_TRUE(FindSettingRow(s.table, 1));
    s.table.Edit();
    s.table.FieldByName("stringItem").SetString("geändert");
    EXPECT_TRUE(FindSettingRow(s.table, 2));
    EXPECT_EQ(s.table.State(), TDataSetState::Browse);
    std::string v;
    ReadSettingText(s.table, 1, v, "");
    EXPECT_EQ(v, "geändert");
}

TEST(SettingsTable, PrepareSwitchesOffAFilterAndSelectsTheIdentIndex)
{
    SettingsDb s;
    s.put(5, "fünf");
    s.put(6, "sechs");
    s.table.SetIndexName("");
    s.table.SetFilter("Ident = 6");
    s.table.SetFiltered(true);
    ASSERT_TRUE(PrepareSettingsTable(s.table));
    EXPECT_FALSE(s.table.Filtered());
    EXPECT_EQ(s.table.IndexName(), "Ident");
    std::string v;
    EXPECT_TRUE(ReadSettingText(s.table, 5, v, ""));
    EXPECT_EQ(v, "fünf");
}

TEST(SettingsTable, PrepareOpensAClosedTable)
{
    SettingsDb s;
    s.put(5, "fünf");
    s.table.Close();
    ASSERT_TRUE(PrepareSettingsTable(s.table));
    EXPECT_TRUE(s.table.Active());
    EXPECT_TRUE(FindSettingRow(s.table, 5));
}

TEST(SettingsTable, AFileThatIsNoDatabaseGivesTheAccessMessage)
{
    SettingsDb s;
    WriteFile(s.db / "kaputt.ADT", std::string(4096, 'x'));
    TAdsTable broken(&s.db.conn, "kaputt.ADT");
    EXPECT_FALSE(PrepareSettingsTable(broken));
    ASSERT_EQ(s.dialogs().messages.size(), 1u);
    const std::string& text = s.dialogs().messages[0].text;
    EXPECT_EQ(text.rfind(kAccessError, 0), 0u) << text;
    EXPECT_GT(text.size(), std::string(kAccessError).size()); // the error text follows
}

TEST(SettingsTable, ATableWithoutTheIdentIndexGivesTheAccessMessage)
{
    SettingsDb s;
    TAdsTable other(&s.db.conn, "other.ADT");
    other.CreateTable({{"Ident", TAdsFieldType::Integer}, {"stringItem", TAdsFieldType::Char, 100}});
    other.Open();
    EXPECT_FALSE(PrepareSettingsTable(other));
    ASSERT_EQ(s.dialogs().messages.size(), 1u);
    EXPECT_EQ(s.dialogs().messages[0].text.rfind(kAccessError, 0), 0u);
}

TEST(SettingsTable, ReadLogoInflatesOrTakesThePlainBytes)
{
    SettingsDb s;
    s.putLogo(31, CompressBlob(Utf8ToCp1252("Zeile 1\r\nGröße\r\n")));
    s.putLogo(32, "plain\nbytes");
    s.put(33, "kein Logo");
    ASSERT_TRUE(PrepareSettingsTable(s.table));

    std::vector<std::string> lines{"alt"};
    EXPECT_TRUE(ReadLogo(s.table, 31, lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"Zeile 1", "Größe"}));
    EXPECT_TRUE(ReadLogo(s.table, 32, lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"plain", "bytes"}));
    EXPECT_FALSE(ReadLogo(s.table, 33, lines)); // row without a logo
    EXPECT_TRUE(lines.empty());
    lines = {"alt"};
    EXPECT_FALSE(ReadLogo(s.table, 4711, lines)); // no row
    EXPECT_TRUE(lines.empty());
}

TEST(SettingsTable, ReadLogoSwallowsErrors)
{
    SettingsDb s;
    TAdsTable noLogo(&s.db.conn, "nologo.ADT");
    noLogo.CreateTable({{"Ident", TAdsFieldType::Integer}}, {{"IDENT", "Ident", 0}});
    noLogo.Open();
    noLogo.Append();
    noLogo.FieldByName("Ident").SetInteger(31);
    noLogo.Post();
    ASSERT_TRUE(PrepareSettingsTable(noLogo));
    std::vector<std::string> lines{"alt"};
    EXPECT_FALSE(ReadLogo(noLogo, 31, lines));
    EXPECT_EQ(lines, std::vector<std::string>{"alt"});
}
