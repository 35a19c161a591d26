#include "base/Numbers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace gs;

TEST(ParseNumber, ReadsOnlyTheProcessDecimalForm)
{
    const struct {
        const char* text;
        double euro;  // decimal ","
        double franc; // decimal "."
    } cases[] = {
        {"12,5", 12.5, 0},
        {"12.5", 0, 12.5},
        {"", 0, 0},
        {"   ", 0, 0},
        {"abc", 0, 0},
        {"12a", 0, 0},
        {"1.234,5", 0, 0},   // thousands separator
        {"1'234.5", 0, 0},
        {"1,2,3", 0, 0},
        {" 12,5 ", 12.5, 0}, // blanks around are allowed
        {"12 5", 0, 0},
        {"-3", -3, -3},
        {"+3", 3, 3},
        {"--3", 0, 0},
        {"-", 0, 0},
        {",5", 0.5, 0},
        {"5,", 5, 0},
        {",", 0, 0},
        {"1E3", 1000, 1000},
        {"1,5e-2", 0.015, 0},
        {"2.5E+1", 0, 25},
        {"1E", 0, 0},
        {"E3", 0, 0},
        {"1E3,5", 0, 0},
        {"0x10", 0, 0},
        {"1e400", 0, 0},     // overflow
        {"INF", 0, 0},
        {"NAN", 0, 0},
        {"\t5", 0, 0},
        {"007", 7, 7},
        {"-0", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumber(c.text, ','), c.euro) << '"' << c.text << '"';
        EXPECT_EQ(ParseNumber(c.text, '.'), c.franc) << '"' << c.text << '"';
    }
    EXPECT_FALSE(std::signbit(ParseNumber("-0", ',')));
}

TEST(ParseNumber, UsesTheProcessFormats)
{
    test::TestRuntime rt;
    EXPECT_EQ(ParseNumber("12,5"), 12.5);
    EXPECT_EQ(ParseNumber("12.5"), 0);
    rt.runtime().formats.decimalSeparator = '.';
    EXPECT_EQ(ParseNumber("12.5"), 12.5);
    EXPECT_EQ(ParseNumber("12,5"), 0);
}

TEST(MoneyFormats, TextsFollowTheProcessFormats)
{
    test::TestRuntime rt;
    auto& f = rt.runtime().formats;
    EXPECT_EQ(MoneyFormat(), "#############0.00");
    EXPECT_EQ(PriceFormat(), MoneyFormat());
    EXPECT_EQ(MoneyDisplayFormat(), ",#############0.00 \xE2\x82\xAC");
    EXPECT_EQ(FormatMoney(1234.5), "1.234,50 \xE2\x82\xAC");
    f.threeDecimals = 1;
    EXPECT_EQ(PriceFormat(), "#############0.000");
    EXPECT_EQ(MoneyFormat(), "#############0.00");
    f.decimalSeparator = '.';
    f.thousandSeparator = '\'';
    f.moneySuffix = " SFr\".\"";
    EXPECT_EQ(FormatMoney(-1234.5), "-1'234.50 SFr.");
}

TEST(MoneyFormats, FormattingAndReadingBackRoundsToCents)
{
    test::TestRuntime rt;
    const struct {
        double in, out;
    } cases[] = {{2.675, 2.68}, {1.005, 1.01}, {-2.675, -2.68}, {1234.5, 1234.5}, {0.004, 0}, {1e15 + 0.25, 1e15 + 0.25}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumber(FormatFloat(MoneyFormat(), c.in)), c.out) << c.in;
        rt.runtime().formats.decimalSeparator = '.';
        EXPECT_EQ(ParseNumber(FormatFloat(MoneyFormat(), c.in)), c.out) << c.in << " franc";
        rt.runtime().formats.decimalSeparator = ',';
    }
}

TEST(MoneyFormats, MoneyValueIsTheFormattedAmountReadBackToTheBit)
{
    test::TestRuntime rt;
    std::mt19937_64 random(4711);
    std::vector<double> amounts = {0.0, -0.0, 0.005, -0.005, 0.004999, 2.675, 1.005, -2.675, 1e15 + 0.25,
                                   21474836.475, 21474836.485, -21474836.47, 1e300, -1e-300,
                                   std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
    for (int i = 0; i < 200000; ++i) {
        const double cents = static_cast<double>(static_cast<std::int64_t>(random() % 4000000000ULL) - 2000000000);
        const double scale = std::pow(10.0, static_cast<double>(random() % 7) - 3.0);
        switch (i % 4) {
        case 0: amounts.push_back((cents + 0.5) / 100.0); break; // half a cent, as near as a double gets
        case 1: amounts.push_back(std::nextafter((cents + 0.5) / 100.0, (random() & 1) ? 1e300 : -1e300)); break;
        case 2: amounts.push_back(cents / 100.0 * scale); break;
        default: amounts.push_back(std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 60)));
        }
    }
    for (const double a : amounts) {
        const double expected = ParseNumber(FormatFloat(MoneyFormat(), a));
        const double got = MoneyValue(a);
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << a << ": " << got << " instead of " << expected;
    }
}

TEST(SecondCurrency, ConversionsUseTheRateAndKeepTheAmountOnErrors)
{
    test::TestRuntime rt;
    // Until the settings install their source the second currency is disabled: rate 1.5.
    EXPECT_DOUBLE_EQ(FromSecondCurrency(3), 2);
    EXPECT_DOUBLE_EQ(ToSecondCurrency(2), 3);

    double rate = 2;
    rt.runtime().secondCurrency = [&] { return SecondCurrencyTerms{rate, false}; };
    EXPECT_EQ(ToSecondCurrency(100), 200);
    EXPECT_EQ(FromSecondCurrency(200), 100);
    rate = 0;
    EXPECT_EQ(FromSecondCurrency(200), 200);
    rate = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ToSecondCurrency(5), 5);
    rate = 1e300;
    EXPECT_EQ(ToSecondCurrency(1e300), 1e300); // overflow
}

TEST(SecondCurrency, FiveHundredthsRounding)
{
    test::TestRuntime rt;
    bool round = true;
    rt.runtime().secondCurrency = [&] { return SecondCurrencyTerms{2, round}; };
    const struct {
        double in;
        bool skip;
        bool swiss;
        bool round;
        double out;
    } cases[] = {
        {1.02, false, false, true, 1.00},
        {1.03, false, false, true, 1.05},
        {2.125, false, false, true, 2.15},
        {-2.125, false, false, true, -2.15},
        {-1.02, false, false, true, -1.00},
        {1.03, true, false, true, 1.03},  // skipped
        {1.03, true, true, true, 1.05},   // franc mode rounds anyway
        {1.03, false, false, false, 1.03}, // not asked for
        {1.03, true, true, false, 1.05},
        {0, false, false, true, 0},
    };
    for (const auto& c : cases) {
        rt.runtime().formats.swissMode = c.swiss;
        round = c.round;
        double a = c.in;
        ApplyFiveHundredthsRounding(a, c.skip);
        EXPECT_DOUBLE_EQ(a, c.out) << c.in << " skip " << c.skip << " swiss " << c.swiss << " round " << c.round;
    }
    rt.runtime().formats.swissMode = false;
    round = true;
    double nan = std::nan("");
    ApplyFiveHundredthsRounding(nan, false);
    EXPECT_TRUE(std::isnan(nan));
    double inf = std::numeric_limits<double>::infinity();
    ApplyFiveHundredthsRounding(inf, false);
    EXPECT_EQ(inf, std::numeric_limits<double>::infinity());

    EXPECT_DOUBLE_EQ(ToSecondCurrencyRounded(false, 0.515), 1.05); // 1.03 in the second currency
    EXPECT_DOUBLE_EQ(ToSecondCurrencyRounded(true, 0.515), 1.03);
    EXPECT_DOUBLE_EQ(AddPercentRounded(false, 100, 19), 119);
    EXPECT_DOUBLE_EQ(AddPercentRounded(false, 10.01, 10), 11.0);  // 11.011
    EXPECT_DOUBLE_EQ(AddPercentRounded(true, 10.01, 10), 11.011);
}
