// Amounts as people and spreadsheets write them: grouped or not, with a currency text, in euro and
// franc mode; every text that is no amount says why, so nothing is read as 0 by mistake.
#include "base/AmountText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace gs;

namespace {

NumberFormats Euro() { return NumberFormats{}; }

NumberFormats Franc()
{
    NumberFormats f;
    f.decimalSeparator = '.';
    f.thousandSeparator = '\'';
    f.moneySuffix = " SFr\".\"";
    return f;
}

} // namespace

TEST(AmountText, ReadsGroupedAndPlainAmounts)
{
    struct Case {
        const char* text;
        bool franc;
        std::optional<double> value;
        const char* cause; // the start of the cause where no value is read
    };
    const Case cases[] = {
        {"1.234,56", false, 1234.56, ""},
        {"1234,56", false, 1234.56, ""},
        {"1.234.567,8", false, 1234567.8, ""},
        {"-1.315,47", false, -1315.47, ""},
        {"+3", false, 3, ""},
        {" 12,5 ", false, 12.5, ""},
        {"120.000,00 €", false, 120000, ""},
        {"120.000,00€", false, 120000, ""},
        {"99 EUR", false, 99, ""},
        {",5", false, 0.5, ""},
        {"5,", false, 5, ""},
        {"-0,00", false, 0, ""},
        {"999.999.999.999,99", false, 999999999999.99, ""},
        {"1'234.56", true, 1234.56, ""},
        {"1'234.56 SFr.", true, 1234.56, ""},
        {"1234.5", true, 1234.5, ""},
        {"", false, std::nullopt, "ist leer"},
        {"   ", false, std::nullopt, "ist leer"},
        {"abc", false, std::nullopt, "ist keine Zahl"},
        {"12a", false, std::nullopt, "ist keine Zahl"},
        {"-", false, std::nullopt, "ist keine Zahl"},
        {"€", false, std::nullopt, "ist keine Zahl"},
        {"--3", false, std::nullopt, "ist keine Zahl"},
        {"1.23", false, std::nullopt, "hat das Trennzeichen „.“ an falscher Stelle (Tausender"},   // a decimal point
        {"1.2345,00", false, std::nullopt, "hat das Trennzeichen „.“ an falscher Stelle (Tausender"},
        {"12.34.567", false, std::nullopt, "hat das Trennzeichen „.“ an falscher Stelle (Tausender"},
        {".123", false, std::nullopt, "hat das Trennzeichen „.“ an falscher Stelle (Tausender"},
        {"1,2,3", false, std::nullopt, "hat das Trennzeichen „,“ an falscher Stelle (Dezimal"},
        {"1'234,5", false, std::nullopt, "hat das Trennzeichen „'“ an falscher Stelle"},
        {"1.234,5", true, std::nullopt, "hat das Trennzeichen „,“ an falscher Stelle"},
        {"12,345", false, std::nullopt, "hat mehr als 2 Nachkommastellen"},
        {"1000000000000", false, std::nullopt, "ist zu groß"},
        {"1.000.000.000.000,00", false, std::nullopt, "ist zu groß"},
        {"1e5", false, std::nullopt, "ist keine Zahl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const AmountReading r = ReadAmount(c.text, c.franc ? Franc() : Euro());
        ASSERT_EQ(r.value.has_value(), c.value.has_value()) << r.cause;
        if (c.value) {
            EXPECT_EQ(*r.value, *c.value); // the double nearest to the decimal, to the bit
            EXPECT_FALSE(std::signbit(*r.value) && *r.value == 0);
            EXPECT_TRUE(r.cause.empty());
        } else {
            EXPECT_EQ(r.cause.rfind(c.cause, 0), 0u) << r.cause;
        }
    }
}

TEST(AmountText, DecimalsAndGroupingFollowTheCaller)
{
    NumberFormats file; // the plan file: a decimal point, no grouping
    file.decimalSeparator = '.';
    file.thousandSeparator = '\0';
    EXPECT_EQ(*ReadAmount("120000.50", file).value, 120000.5);
    EXPECT_FALSE(ReadAmount("120,000.50", file).value);
    EXPECT_FALSE(ReadAmount("120'000.50", file).value);
    EXPECT_EQ(*ReadAmount("1,2345", Euro(), 4).value, 1.2345);
    EXPECT_FALSE(ReadAmount("1,23", Euro(), 0).value);
}
