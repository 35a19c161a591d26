#include "base/CountryFormats.h"
#include "base/Numbers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace gs;

TEST(CountryFormats, StartUpFromAltEuroIni)
{
    const struct {
        const char* name;
        const char* file; // nullptr: no ALTEURO.INI
        char decimal;
        char thousands;
        const char* suffix;
        bool swiss;
        int three;
        const char* money; // -1234.5 in the money display format
    } cases[] = {
        {"no file", nullptr, ',', '.', " \xE2\x82\xAC", false, 0, "-1.234,50 \xE2\x82\xAC"},
        {"euro", "[COUNTRY]\r\nEURO=1\r\n", ',', '.', " \xE2\x82\xAC", false, 0, "-1.234,50 \xE2\x82\xAC"},
        {"franc default text", "[COUNTRY]\r\nEURO=0\r\n", '.', '\'', " SFr\".\"", true, 0, "-1'234.50 SFr."},
        {"franc own text", "[COUNTRY]\r\nEURO=0\r\n[CH-CHAR]\r\nVALUE=CHF\r\n", '.', '\'', " CHF", true, 0,
         "-1'234.50 CHF"},
        {"franc text with blank", "[country]\r\neuro=0\r\n[ch-char]\r\nvalue= Fr.\r\n", '.', '\'', " Fr.", true, 0,
         "-1'234.50 Fr."},
        {"euro ignores the franc text", "[COUNTRY]\r\nEURO=1\r\n[CH-CHAR]\r\nVALUE=CHF\r\n", ',', '.',
         " \xE2\x82\xAC", false, 0, "-1.234,50 \xE2\x82\xAC"},
        {"EURO not a number", "[COUNTRY]\r\nEURO=nein\r\n", ',', '.', " \xE2\x82\xAC", false, 0,
         "-1.234,50 \xE2\x82\xAC"},
        {"three decimals", "[COUNTRY]\r\nNACHKOMMA3=1\r\n", ',', '.', " \xE2\x82\xAC", false, 1,
         "-1.234,50 \xE2\x82\xAC"},
        {"NACHKOMMA3 2 counts as 0", "[COUNTRY]\r\nNACHKOMMA3=2\r\n", ',', '.', " \xE2\x82\xAC", false, 0,
         "-1.234,50 \xE2\x82\xAC"},
        {"NACHKOMMA3 -1 counts as 0", "[COUNTRY]\r\nNACHKOMMA3=-1\r\n", ',', '.', " \xE2\x82\xAC", false, 0,
         "-1.234,50 \xE2\x82\xAC"},
        {"euro sign in the file", "[COUNTRY]\r\nEURO=0\r\n[CH-CHAR]\r\nVALUE=\x80\r\n", '.', '\'', " \xE2\x82\xAC",
         true, 0, "-1'234.50 \xE2\x82\xAC"},
    };
    for (const auto& c : cases) {
        test::TestRuntime rt;
        if (c.file)
            test::WriteFile(rt.dir() / "alteuro.ini", c.file); // found without regard to case
        // Whatever the locale said before is overwritten.
        rt.runtime().formats.decimalSeparator = 'x';
        rt.runtime().formats.thousandSeparator = 'y';
        InitNumberFormats(rt.runtime());
        const NumberFormats& f = rt.runtime().formats;
        EXPECT_EQ(f.decimalSeparator, c.decimal) << c.name;
        EXPECT_EQ(f.thousandSeparator, c.thousands) << c.name;
        EXPECT_EQ(f.moneySuffix, c.suffix) << c.name;
        EXPECT_EQ(f.swissMode, c.swiss) << c.name;
        EXPECT_EQ(f.threeDecimals, c.three) << c.name;
        EXPECT_EQ(f.dateSeparator, '.') << c.name;
        EXPECT_EQ(f.currencyText, " \xE2\x82\xAC") << c.name;
        EXPECT_EQ(f.currencyFormat, 1) << c.name;
        EXPECT_EQ(f.negCurrencyFormat, 5) << c.name;
        EXPECT_EQ(f.currencyDecimals, 2) << c.name;
        EXPECT_EQ(FormatMoney(-1234.5), c.money) << c.name;
        EXPECT_EQ(PriceFormat(), c.three ? "#############0.000" : "#############0.00") << c.name;
        EXPECT_EQ(MoneyFormat(), "#############0.00") << c.name;
    }
}

TEST(CountryFormats, UnreadableFileKeepsTheEuroDefaults)
{
    test::TestRuntime rt;
    std::filesystem::create_directory(rt.dir() / "ALTEURO.INI"); // exists, cannot be read as a file
    rt.runtime().formats.moneySuffix.assign(1, 'x');
    EXPECT_NO_THROW(InitNumberFormats(rt.runtime()));
    const NumberFormats& f = rt.runtime().formats;
    EXPECT_EQ(f.moneySuffix, " \xE2\x82\xAC");
    EXPECT_EQ(f.decimalSeparator, ',');
    EXPECT_EQ(f.thousandSeparator, '.');
    EXPECT_FALSE(f.swissMode);
    EXPECT_EQ(f.threeDecimals, 0);
}

TEST(CountryFormats, StartUpNeverWritesTheFile)
{
    test::TestRuntime rt;
    InitNumberFormats(rt.runtime());
    EXPECT_FALSE(std::filesystem::exists(rt.dir() / "ALTEURO.INI"));
}
