#include "base/FormatFloat.h"
#include "base/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace gs;

namespace {

NumberFormats Euro() { return NumberFormats{}; }

NumberFormats Franc()
{
    NumberFormats f;
    f.decimalSeparator = '.';
    f.thousandSeparator = '\'';
    f.moneySuffix = " SFr\".\"";
    f.swissMode = true;
    return f;
}

struct FormatCase {
    const char* format;
    double value;
    const char* expected;
};

const std::string kMoney = "#############0.00";
const std::string kDisplay = ",#############0.00 \xE2\x82\xAC"; // "," + MoneyFormat + " €"

} // namespace

TEST(FormatFloat, EuroFormatTexts)
{
    const FormatCase cases[] = {
        {kMoney.c_str(), 1234.5, "1234,50"},
        {kDisplay.c_str(), 1234.5, "1.234,50 \xE2\x82\xAC"},
        {kDisplay.c_str(), -3, "-3,00 \xE2\x82\xAC"},
        {kDisplay.c_str(), 0, "0,00 \xE2\x82\xAC"},
        {kDisplay.c_str(), 999, "999,00 \xE2\x82\xAC"},
        {kDisplay.c_str(), 1000, "1.000,00 \xE2\x82\xAC"},
        {kDisplay.c_str(), -1234567.891, "-1.234.567,89 \xE2\x82\xAC"},
        {kDisplay.c_str(), 999999.995, "1.000.000,00 \xE2\x82\xAC"},
        // negative zero after rounding has no minus sign
        {kMoney.c_str(), -0.004, "0,00"},
        {kMoney.c_str(), -0.0, "0,00"},
        {kMoney.c_str(), -0.005, "-0,01"},
        // halves away from zero as the number reads, not as its binary expansion lies
        {kMoney.c_str(), 2.675, "2,68"},
        {kMoney.c_str(), 1.005, "1,01"},
        {kMoney.c_str(), -2.675, "-2,68"},
        {kMoney.c_str(), 0.125, "0,13"},
        {kMoney.c_str(), 8.345, "8,35"},
        {kMoney.c_str(), 0.045, "0,05"},
        {kMoney.c_str(), 9.995, "10,00"},
        {kMoney.c_str(), 2.674999, "2,67"},
        {kMoney.c_str(), 0.001, "0,00"},
        {kMoney.c_str(), 1e-20, "0,00"},
        {"#############0.000", 1.0005, "1,001"},
        {"#############0.000", 2.5, "2,500"},
        {"0", 0.5, "1"},
        {"0", 2.5, "3"},
        {"0", -1.5, "-2"},
        {"0", 0.49, "0"},
        // big values keep every digit
        {kMoney.c_str(), 1e15, "1000000000000000,00"},
        {kMoney.c_str(), 1e20, "100000000000000000000,00"},
        {kDisplay.c_str(), 123456789012345678.0, "123.456.789.012.345.680,00 \xE2\x82\xAC"},
        {kMoney.c_str(), -2251799813685248.5, "-2251799813685248,50"},
        // optional and mandatory places
        {"#.##", 0, ""},
        {"0.##", 1, "1"},
        {"0.0#", 1.5, "1,5"},
        {"0.0#", 1.256, "1,26"},
        {"000", 7, "007"},
        {"#,##0", 1234567, "1.234.567"},
        {"0,000", 12, "0.012"},
        {".00", 1.5, "1,50"},
        // literals
        {"\"Nr. \"0", 5, "Nr. 5"},
        {"'x.y'0", 5, "x.y5"},
        {"00-00", 1234, "12-34"},
        {"0 kg", 3, "3 kg"},
        {"\"EUR \"0.00", -3, "-EUR 3,00"},
        {"0.00 \"", 3, "3,00 "},          // unterminated quote: the rest is literal
        {"0.00.", 3, "3,00."},            // only the first point is the decimal point
        {"abc", 5, "abc5"},               // a format without places still shows the number
    };
    const NumberFormats euro = Euro();
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.format, c.value, euro), c.expected) << "format " << c.format << " value " << c.value;
}

TEST(FormatFloat, FrancModePrintsTheQuotedFullStopLiterally)
{
    const NumberFormats franc = Franc();
    const std::string display = "," + kMoney + franc.moneySuffix;
    EXPECT_EQ(FormatFloat(display, 1234.5, franc), "1'234.50 SFr.");
    EXPECT_EQ(FormatFloat(display, -1234567.5, franc), "-1'234'567.50 SFr.");
    EXPECT_EQ(FormatFloat(kMoney, 2.675, franc), "2.68");
}

TEST(FormatFloat, HugeAndNonFiniteValuesDoNotBreak)
{
    const NumberFormats euro = Euro();
    const std::string max = FormatFloat(kMoney, std::numeric_limits<double>::max(), euro);
    EXPECT_EQ(max.size(), 309u + 3u);
    EXPECT_EQ(max.substr(0, 17), "17976931348623157");
    EXPECT_EQ(max.substr(max.size() - 3), ",00");
    EXPECT_EQ(FormatFloat(kMoney, std::numeric_limits<double>::denorm_min(), euro), "0,00");
    EXPECT_EQ(FormatFloat(kMoney, std::nan(""), euro), "NAN");
    EXPECT_EQ(FormatFloat(kMoney, std::numeric_limits<double>::infinity(), euro), "INF");
    EXPECT_EQ(FormatFloat(kDisplay, -std::numeric_limits<double>::infinity(), euro), "-INF");
    EXPECT_EQ(FormatFloat("", 1234.5, euro), "1234,5");
}

TEST(FloatToText, ShortestFormWithFifteenDigits)
{
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {1234.5, "1234,5"},
        {0.1 + 0.2, "0,3"},
        {1e20, "1E20"},
        {1.0 / 3, "0,333333333333333"},
        {2.0 / 3, "0,666666666666667"},
        {-2.5, "-2,5"},
        {0, "0"},
        {-0.0, "0"},
        {100, "100"},
        {999999999999999, "999999999999999"},
        {1e15, "1E15"},
        {12345678901234567.0, "1,23456789012346E16"},
        {0.0001, "0,0001"},
        {0.00001, "1E-5"},
        {1.5e-7, "1,5E-7"},
        {-1e-10, "-1E-10"},
        {1e100, "1E100"},
        {19.99, "19,99"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToText(c.value, ','), c.expected) << c.value;
    EXPECT_EQ(FloatToText(1234.5, '.'), "1234.5");
    EXPECT_EQ(FloatToText(std::nan(""), ','), "NAN");
    EXPECT_EQ(FloatToText(-std::numeric_limits<double>::infinity(), ','), "-INF");
}

TEST(FloatToText, ReadsBackThroughParseNumber)
{
    const double values[] = {0.1, 19.99, 1234.5, -0.07, 1e20, 1.5e-7, 123456789.125, 99.95, 1e-5, 7e15};
    for (double v : values) {
        EXPECT_EQ(ParseNumber(FloatToText(v, ','), ','), v) << v;
        EXPECT_EQ(ParseNumber(FloatToText(v, '.'), '.'), v) << v;
    }
}
