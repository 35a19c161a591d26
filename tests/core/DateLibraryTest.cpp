#include "base/DateLibrary.h"
#include "base/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace gs;

TEST(DateLibrary, YearsAndQuarters)
{
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2004));
    EXPECT_FALSE(IsLeapYear(2006));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_EQ(YearStart(2006), EncodeDate(2006, 1, 1));
    EXPECT_EQ(YearEnd(2006), EncodeDate(2006, 12, 31));
    const int ends[][2] = {{3, 31}, {6, 30}, {9, 30}, {12, 31}};
    for (int q = 1; q <= 4; ++q) {
        EXPECT_EQ(QuarterStart(q, 2006), EncodeDate(2006, (q - 1) * 3 + 1, 1)) << q;
        EXPECT_EQ(QuarterEnd(q, 2006), EncodeDate(2006, ends[q - 1][0], ends[q - 1][1])) << q;
    }
    for (int q : {0, 5, -1})
        EXPECT_THROW(QuarterEnd(q, 2006), ConvertError) << q;
    EXPECT_THROW(QuarterStart(5, 2006), ConvertError);
    EXPECT_THROW(YearStart(0), ConvertError);
    // The calendar day counts, not the time rounded to the next day.
    EXPECT_EQ(YearOfDate(EncodeDate(2006, 12, 31) + 0.9999999), 2006);
    EXPECT_EQ(YearOfDate(EncodeDate(2007, 1, 1)), 2007);
    EXPECT_THROW(YearOfDate(std::nan("")), ConvertError);
    EXPECT_THROW(YearOfDate(1e300), ConvertError);
}

TEST(DateLibrary, MonthsKeepTheTimeOfDay)
{
    const double evening = 0.75;
    EXPECT_EQ(StartOfMonth(EncodeDate(2008, 2, 15) + evening), EncodeDate(2008, 2, 1) + evening);
    EXPECT_EQ(EndOfMonth(EncodeDate(2008, 2, 15) + evening), EncodeDate(2008, 2, 29) + evening);
    EXPECT_EQ(EndOfMonth(EncodeDate(2006, 2, 1)), EncodeDate(2006, 2, 28));
    EXPECT_EQ(EndOfMonth(EncodeDate(2006, 4, 30)), EncodeDate(2006, 4, 30));
    EXPECT_EQ(EndOfMonth(EncodeDate(2006, 12, 2)), EncodeDate(2006, 12, 31));
    EXPECT_EQ(AddDays(EncodeDate(2006, 12, 31), 1.5), EncodeDate(2007, 1, 1) + 0.5);
}

TEST(DateLibrary, AddMonths)
{
    const struct {
        int y, m, d;
        double count;
        int ey, em, ed;
    } cases[] = {
        {2008, 1, 31, 1, 2008, 2, 29},
        {2006, 1, 31, 1, 2006, 2, 28},
        {2006, 3, 31, 1, 2006, 4, 30},
        {2006, 1, 15, -1, 2005, 12, 15},
        {2006, 1, 1, 12, 2007, 1, 1},
        {2006, 3, 15, 1.5, 2006, 4, 30},   // one month, then half of 30 days
        {2006, 3, 15, -1.5, 2006, 1, 31},  // back one month, then 15 days
        {2006, 3, 15, 0, 2006, 3, 15},
        {2006, 3, 15, 0.5, 2006, 3, 30},
        {2006, 1, 15, 11, 2006, 12, 15},
        {2006, 12, 31, 12, 2007, 12, 31},  // c = 24
        {2006, 12, 15, 1, 2007, 1, 15},
        {2006, 5, 15, -5, 2005, 12, 15},   // c = 0
        {2006, 5, 15, -4, 2006, 1, 15},
        {2006, 3, 15, -12, 2005, 3, 15},
        {2006, 12, 15, -12, 2005, 12, 15}, // c = 0
        {2006, 1, 15, -12, 2005, 1, 15},   // c = -11
        {2006, 1, 15, -13, 2004, 12, 15},  // c = -12
        {2006, 1, 15, -14, 2004, 11, 15},  // c = -13
        {2006, 3, 31, -14, 2005, 1, 31},
        {2008, 2, 29, -24, 2006, 2, 28},
        {2006, 3, 31, -25, 2004, 2, 29},
        {2006, 6, 30, -30, 2003, 12, 30},
        {2006, 1, 10, -120, 1996, 1, 10},
        {2006, 1, 10, 120, 2016, 1, 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddMonths(EncodeDate(c.y, c.m, c.d), c.count), EncodeDate(c.ey, c.em, c.ed))
            << c.d << "." << c.m << "." << c.y << " + " << c.count;
    }
    // Whole months against a plain month count, for every start month and counts around the years.
    for (int m = 1; m <= 12; ++m) {
        for (int n = -40; n <= 40; ++n) {
            const int total = 2006 * 12 + (m - 1) + n;
            EXPECT_EQ(AddMonths(EncodeDate(2006, m, 1), n), EncodeDate(total / 12, total % 12 + 1, 1))
                << m << " " << n;
        }
    }
    EXPECT_EQ(AddMonths(EncodeDate(2008, 1, 31) + 0.5, 1), EncodeDate(2008, 2, 29) + 0.5);
    EXPECT_THROW(AddMonths(EncodeDate(9999, 12, 31), 1), ConvertError);
    EXPECT_THROW(AddMonths(EncodeDate(1, 1, 1), -1), ConvertError);
    EXPECT_THROW(AddMonths(EncodeDate(2006, 1, 1), std::nan("")), ConvertError);
    EXPECT_THROW(AddMonths(EncodeDate(2006, 1, 1), 1e18), ConvertError);
}

TEST(DateLibrary, MonthRowsOfAYear)
{
    int rows = 0;
    for (double cur = YearStart(2006); cur < YearEnd(2006); cur = AddMonths(cur, 1)) {
        EXPECT_EQ(StartOfMonth(cur), EncodeDate(2006, rows + 1, 1));
        ++rows;
    }
    EXPECT_EQ(rows, 12);
}
