#include "base/Dates.h"
#include "base/Error.h"
#include "app/PeriodSelection.h"

#include <gtest/gtest.h>

using namespace gs;

TEST(PeriodSelection, RangesFilterTextAndMonthRows)
{
    struct Case {
        const char* year;
        int index;
        const char* range;
        size_t months;
        const char* firstMonth;
    };
    const Case cases[] = {
        {"2006", 0, "01.01.2006-31.12.2006", 12, "01.01.2006"},
        {"2006", 2, "01.04.2006-30.06.2006", 3, "01.04.2006"},
        {"2006", 3, "01.07.2006-30.09.2006", 3, "01.07.2006"},
        {"2006", 4, "01.10.2006-31.12.2006", 3, "01.10.2006"},
        {"2024", 6, "01.02.2024-29.02.2024", 1, "01.02.2024"},
        {"2023", 6, "01.02.2023-28.02.2023", 1, "01.02.2023"},
        {"2023", 16, "01.12.2023-31.12.2023", 1, "01.12.2023"},
        // The ends of the calendar the dates hold.
        {"9999", 0, "01.01.9999-31.12.9999", 12, "01.01.9999"},
        {"9999", 4, "01.10.9999-31.12.9999", 3, "01.10.9999"},
        {"9999", 16, "01.12.9999-31.12.9999", 1, "01.12.9999"},
        {"0001", 0, "01.01.0001-31.12.0001", 12, "01.01.0001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.year) + "/" + PeriodItems[c.index]);
        const PeriodRange r = BuildPeriodFilter(c.year, c.index);
        EXPECT_EQ(r.rangeText, std::string("Bereich: ") + c.range);
        ASSERT_EQ(r.monthStarts.size(), c.months);
        EXPECT_EQ(DateToText(r.monthStarts.front()), c.firstMonth);
        for (size_t i = 1; i < r.monthStarts.size(); ++i)
            EXPECT_LT(r.monthStarts[i - 1], r.monthStarts[i]);
    }
    EXPECT_EQ(BuildPeriodFilter("2006", 2).filterPart, " AND ((DATE<=\"30.06.2006\") and (DATE>=\"01.04.2006\"))");
}

TEST(PeriodSelection, YearTextThatIsNoIntegerRaises)
{
    EXPECT_THROW(BuildPeriodFilter("", 0), ConvertError);
    EXPECT_THROW(BuildPeriodFilter("20x6", 0), ConvertError);
    EXPECT_THROW(BuildPeriodFilter("0", 0), ConvertError); // no year 0 in the calendar
}

TEST(PeriodSelection, BoxRules)
{
    EXPECT_EQ(YearItems(1999).size(), 0u);
    const auto years = YearItems(2026);
    ASSERT_EQ(years.size(), 27u);
    EXPECT_EQ(years.front(), "2000");
    EXPECT_EQ(years.back(), "2026");
    EXPECT_FALSE(PeriodBoxEnabled(0));
    EXPECT_TRUE(PeriodBoxEnabled(1));
    EXPECT_EQ(PeriodIndexFromText("März"), 7);
    EXPECT_EQ(PeriodIndexFromText("16"), 16);
    EXPECT_EQ(PeriodIndexFromText("17"), -1);
    EXPECT_EQ(PeriodIndexFromText("märz"), -1);
}
