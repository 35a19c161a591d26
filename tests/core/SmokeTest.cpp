#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gs;

TEST(Cp1252, EveryByteRoundTrips)
{
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << "byte " << b;
    }
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Utf8ToCp1252("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"), "Gr\xFC\xDF" "e \x80");
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");
}

TEST(Dates, DayNumbersMatchTheHostCalendar)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2006, 4, 1), 38808.0);
    EXPECT_EQ(DateToText(38808.0), "01.04.2006");
    EXPECT_EQ(TextToDate("1.4.2006"), 38808.0);
    EXPECT_THROW(TextToDate("31.02.2006"), ConvertError);
    EXPECT_EQ(TimestampToIso(EncodeDateTime(2026, 12, 8, 23, 55, 49, 5)), "2026-12-08 23:55:49.005");
    TDateTime t = 0;
    ASSERT_TRUE(IsoToDateTime("2026-12-08 23:55:49.005", t));
    EXPECT_EQ(DateTimeToText(t), "08.12.2026 23:55:49");
}

TEST(Text, LinesSplitAtEveryBreakKind)
{
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(Utf8Left("\xC3\xA4\xC3\xB6\xC3\xBC", 2), "\xC3\xA4\xC3\xB6");
}

TEST(Runtime, FilesBesideTheProgramAreFoundWithoutRegardToCase)
{
    test::TestRuntime rt;
    test::WriteFile(rt.dir() / "TOVIK.INI", "x");
    EXPECT_EQ(rt.runtime().besideProgram("tovik.ini").filename(), "TOVIK.INI");
    ShowMessageBox("<B>Hallo</B><BR>Welt");
    ASSERT_EQ(rt.dialogs().messages.size(), 1u);
    EXPECT_EQ(StripMessageMarkup(rt.dialogs().messages[0].text), "Hallo\nWelt");
}

TEST(Dialogs, StrippingRemovesOnlyTheMessageMarkup)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"<B>Möglicher Fehler:</B><BR>Tabelle gesperrt", "Möglicher Fehler:\nTabelle gesperrt"},
        {"Filter: (DATE<=\"31.12.2006\") and (DATE>=\"01.01.2006\")",
         "Filter: (DATE<=\"31.12.2006\") and (DATE>=\"01.01.2006\")"},
        {"a < b und c > d", "a < b und c > d"},
        {"<i>kursiv</I> <u>unter</u> <s>weg</s> H<sub>2</sub>O x<SUP>2</SUP>", "kursiv unter weg H2O x2"},
        {"<FONT size=\"10\" COLOR=\"#FF0000\">rot</FONT>", "rot"},
        {"<A HREF=\"https://example.org\">Link</A>", "Link"},
        {"eins<HR>zwei<br/>drei#13#10vier", "eins\nzwei\ndrei\nvier"},
        {"<Kunde> &lt;B&gt; <BX>", "<Kunde> <B> <BX>"},
        {"offen <B ohne Ende", "offen <B ohne Ende"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StripMessageMarkup(c.in), c.out) << c.in;
}
