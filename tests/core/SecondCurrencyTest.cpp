// The second currency: loading and validating its items, the accessors, and the conversions of the
// number formatting that take their rate and rounding from the settings object.
#include "base/Numbers.h"
#include "app/ProcessObjects.h"
#include "settings/Settings.h"
#include "settings/SettingsLoad.h"
#include "support/SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gs;
using namespace gs::test;

namespace {

struct Item {
    int ident;
    std::string text;
};

TSettings LoadWith(SettingsDb& s, const std::vector<Item>& items)
{
    for (const Item& i : items)
        s.put(i.ident, i.text);
    TSettings st;
    LoadSettings(st, s.table);
    return st;
}

} // namespace

TEST(SecondCurrencySettings, Cases)
{
    struct Case {
        const char* name;
        std::vector<Item> items;
        bool enabled;
        double rate;
        std::string symbol;
        bool rounding;
    };
    const Case cases[] = {
        {"no items", {}, false, 1.5, " 2.W.", false},
        {"comma rate", {{20012, "1"}, {20010, "2,5"}}, true, 2.5, " 2.W.", false},
        {"point rate", {{20012, "1"}, {20010, "2.5"}}, true, 2.5, " 2.W.", false},
        {"rate above 100", {{20012, "1"}, {20010, "250"}}, true, 1.5, " 2.W.", false},
        {"rate below 0.01", {{20012, "1"}, {20010, "0,005"}}, true, 1.5, " 2.W.", false},
        {"negative rate", {{20012, "1"}, {20010, "-2"}}, true, 1.5, " 2.W.", false},
        {"rate 100", {{20012, "1"}, {20010, "100"}}, true, 100, " 2.W.", false},
        {"empty symbol", {{20012, "1"}, {200011, ""}}, true, 1.5, " 2.W.", false},
        {"symbol", {{20012, "1"}, {200011, " DM"}, {200030, "1"}}, true, 1.5, " DM", true},
        {"symbol of a disabled currency", {{20012, "0"}, {200011, " DM"}, {20010, "2"}}, false, 1.5, " 2.W.", false},
        {"rounding needs the currency", {{20012, "0"}, {200030, "1"}}, false, 1.5, " 2.W.", false},
        {"256 is the byte 0", {{20012, "256"}, {20010, "2"}}, false, 1.5, " 2.W.", false},
        {"any non-zero byte", {{20012, "7"}, {20010, "2"}, {20030, "1"}}, true, 2, " 2.W.", false},
    };
    SettingsDb s;
    for (const Case& c : cases) {
        s.clear();
        const TSettings st = LoadWith(s, c.items);
        const TAlterCurrencyInfo& sc = st.SecondCurrency;
        EXPECT_EQ(sc.Enabled, c.enabled) << c.name;
        EXPECT_DOUBLE_EQ(SecondCurrencyRate(sc), c.rate) << c.name;
        EXPECT_EQ(SecondCurrencySymbol(sc), c.symbol) << c.name;
        EXPECT_EQ(sc.RoundToFiveHundredths, c.rounding) << c.name;
        if (!c.enabled) {
            EXPECT_EQ(sc.DocumentTexts, st.DocumentTexts) << c.name;
            EXPECT_EQ(sc.HeaderCaptions, st.HeaderCaptions) << c.name;
        }
    }
}

TEST(SecondCurrencySettings, TextsFollowThePrimaryTextsWhereTheirItemsAreEmpty)
{
    SettingsDb s;
    s.put(20012, "1");
    s.put(200031, "3");
    s.put(21002, "Summe:", std::vector<std::string>{"S2"});
    s.put(20004, "", std::vector<std::string>{"DM 2", "", "DM 4"});
    s.put(29004, "Zwischen DM:");
    s.put(21009, "Nummer:");
    s.put(31009, "");
    s.put(31010, "Datum DM ");
    TSettings st;
    LoadSettings(st, s.table);
    const TAlterCurrencyInfo& sc = st.SecondCurrency;
    EXPECT_EQ(sc.SecondFlag, 3);
    EXPECT_EQ(sc.DocumentTexts[0][0], "Summe:");   // empty stringItem: the primary type-1 text
    EXPECT_EQ(sc.DocumentTexts[1][0], "DM 2");
    EXPECT_EQ(sc.DocumentTexts[2][0], "");         // empty lines are taken
    EXPECT_EQ(sc.DocumentTexts[3][0], "DM 4");
    EXPECT_EQ(sc.DocumentTexts[4][0], "Warenwert:");
    EXPECT_EQ(sc.DocumentTexts[0][1], "Zwischen DM:");
    EXPECT_EQ(sc.HeaderCaptions[0], "Nummer:");
    EXPECT_EQ(sc.HeaderCaptions[1], "Datum DM ");
    EXPECT_EQ(sc.HeaderCaptions[4], "vom ");
}

TEST(SecondCurrencySettings, ConversionsTakeRateAndRoundingFromTheSettings)
{
    TestRuntime rt;
    EXPECT_DOUBLE_EQ(ToSecondCurrency(100), 150); // before the settings exist: disabled, 1.5
    CreateSettings(rt.runtime());
    ASSERT_TRUE(rt.runtime().settings);
    TAlterCurrencyInfo& sc = rt.runtime().settings->SecondCurrency;
    EXPECT_DOUBLE_EQ(ToSecondCurrency(100), 150);
    sc.Enabled = true;
    sc.Rate = 2;
    EXPECT_DOUBLE_EQ(ToSecondCurrency(100), 200);
    EXPECT_DOUBLE_EQ(FromSecondCurrency(200), 100);

    double a = 1.03;
    ApplyFiveHundredthsRounding(a, false);
    EXPECT_DOUBLE_EQ(a, 1.03);
    sc.RoundToFiveHundredths = true;
    ApplyFiveHundredthsRounding(a, false);
    EXPECT_DOUBLE_EQ(a, 1.05);
    double b = 1.02;
    ApplyFiveHundredthsRounding(b, true);
    EXPECT_DOUBLE_EQ(b, 1.02);
}

TEST(SecondCurrencySettings, ValidRates)
{
    EXPECT_EQ(ValidSecondCurrencyRate(0), 1.5);
    EXPECT_EQ(ValidSecondCurrencyRate(0.01), 0.01);
    EXPECT_EQ(ValidSecondCurrencyRate(100.0001), 1.5);
    EXPECT_EQ(ValidSecondCurrencyRate(std::nan("")), 1.5);
}
