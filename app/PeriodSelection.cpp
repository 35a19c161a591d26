#include "app/PeriodSelection.h"

#include "base/DateLibrary.h"
#include "base/Dates.h"
#include "base/Error.h"
#include "base/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gs {

const std::array<const char*, 17> PeriodItems = {
    "Ganzes Jahr", "1. Quartal", "2. Quartal", "3. Quartal", "4. Quartal", "Januar",
    "Februar",     "März",       "April",      "Mai",        "Juni",       "Juli",
    "August",      "September",  "Oktober",    "November",   "Dezember"};

std::string YearItemText(int year, int fiscalStartMonth)
{
    char text[24];
    if (fiscalStartMonth <= 1)
        std::snprintf(text, sizeof text, "%04d", year);
    else
        std::snprintf(text, sizeof text, "%04d/%02d", year, (year + 1) % 100);
    return text;
}

std::vector<std::string> YearItems(int currentYear, int fiscalStartMonth, int currentMonth)
{
    // Before the fiscal year's first month the current month lies in the fiscal year begun the year before.
    const int last = fiscalStartMonth > 1 && currentMonth < fiscalStartMonth ? currentYear - 1 : currentYear;
    std::vector<std::string> items;
    for (int y = 2000; y <= last; ++y)
        items.push_back(YearItemText(y, fiscalStartMonth));
    return items;
}

std::vector<PeriodBoxItem> PeriodBoxItems(int fiscalStartMonth)
{
    static constexpr const char* Short[] = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                            "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    const int fs = fiscalStartMonth >= 1 && fiscalStartMonth <= 12 ? fiscalStartMonth : 1;
    std::vector<PeriodBoxItem> items{{PeriodItems[PeriodWholeYear], PeriodWholeYear}};
    for (int q = 1; q <= 4; ++q) {
        std::string text = PeriodItems[q];
        if (fs > 1) {
            const int first = (fs - 1 + 3 * (q - 1)) % 12, last = (first + 2) % 12;
            text += std::string(" (") + Short[first] + "–" + Short[last] + ")";
        }
        items.push_back({text, q});
    }
    for (int i = 0; i < 12; ++i) {
        const int month = (fs - 1 + i) % 12 + 1;
        items.push_back({PeriodItems[4 + month], 4 + month});
    }
    items.push_back({FreeRangeItem, PeriodFreeRange});
    return items;
}

int PeriodIndexFromText(const std::string& text)
{
    for (size_t i = 0; i < PeriodItems.size(); ++i)
        if (text == PeriodItems[i])
            return static_cast<int>(i);
    int index = -1;
    if (TryParseInt32(text, index) && text.find_first_not_of("0123456789") == std::string::npos && index >= 0 &&
        index < static_cast<int>(PeriodItems.size()))
        return index;
    return -1;
}

namespace {

// The first day of the month count months after year/month (count may be negative).
TDateTime MonthStart(int year, int month, int count)
{
    const int index = year * 12 + (month - 1) + count;
    return EncodeDate(index / 12, index % 12 + 1, 1);
}

// Fills the filter, the range text and the month rows from start and end.
void Complete(PeriodRange& r)
{
    const std::string s = DateToText(r.start);
    const std::string e = DateToText(r.end);
    const std::string q = "\"";
    r.filterPart = std::string(" AND (") + "(DATE<=" + q + e + q + ") and (" + "DATE" + ">=" + q + s + q + ")" + ")";
    r.rangeText = "Bereich: " + s + "-" + e;
    // Month by month by year and month number: the last month of year 9999 needs no later date.
    int y = 0, m = 0, d = 0;
    DecodeDate(r.start, y, m, d);
    TDateTime month = 0;
    while (TryEncodeDate(y, m, 1, month) && month <= r.end) {
        r.monthStarts.push_back(month);
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
}

} // namespace

PeriodRange BuildPeriodFilter(const std::string& yearText, int periodIndex, int fiscalStartMonth)
{
    // "2024/25" names the fiscal year by the calendar year it begins in.
    const std::string yearPart = yearText.substr(0, yearText.find('/'));
    int year = 0;
    if (!TryParseInt32(yearPart, year) || yearPart.find_first_of("$xX") != std::string::npos)
        throw ConvertError("'" + yearText + "' ist kein gültiger Integerwert");
    const int fs = fiscalStartMonth >= 1 && fiscalStartMonth <= 12 ? fiscalStartMonth : 1;
    PeriodRange r;
    if (periodIndex >= 1 && periodIndex <= 4 && fs == 1) {
        r.start = QuarterStart(periodIndex, year);
        r.end = QuarterEnd(periodIndex, year);
    } else if (periodIndex >= 1 && periodIndex <= 4) {
        r.start = MonthStart(year, fs, 3 * (periodIndex - 1));
        r.end = EndOfMonth(MonthStart(year, fs, 3 * (periodIndex - 1) + 2));
    } else if (periodIndex >= 5 && periodIndex <= 16) {
        // A calendar month; of a fiscal year, the one that lies in it.
        const int month = periodIndex - 4;
        const TDateTime d = EncodeDate(month < fs ? year + 1 : year, month, 1);
        r.start = StartOfMonth(d);
        r.end = EndOfMonth(d);
    } else if (fs == 1) {
        r.start = YearStart(year);
        r.end = YearEnd(year);
    } else {
        r.start = EncodeDate(year, fs, 1);
        r.end = EndOfMonth(MonthStart(year, fs, 11));
    }
    Complete(r);
    return r;
}

PeriodRange BuildDayRange(TDateTime first, TDateTime last)
{
    PeriodRange r;
    r.start = std::floor(first);
    r.end = std::floor(last);
    if (r.end < r.start)
        throw ConvertError("Der letzte Tag (" + DateToText(r.end) + ") liegt vor dem ersten (" + DateToText(r.start) +
                           ").");
    r.wholeMonths = false;
    Complete(r);
    return r;
}

PeriodRange BuildChoiceRange(const PeriodChoice& choice)
{
    if (choice.periodIndex == PeriodFreeRange)
        return BuildDayRange(choice.first, choice.last);
    return BuildPeriodFilter(choice.yearText, choice.periodIndex, choice.fiscalStartMonth);
}

PeriodRange PreviousYearRange(const PeriodRange& range)
{
    const auto back = [](TDateTime date) {
        int y = 0, m = 0, d = 0;
        DecodeDate(date, y, m, d);
        if (y <= 1)
            throw ConvertError("Vor dem Jahr 1 gibt es kein Vorjahr.");
        return EncodeDate(y - 1, m, std::min(d, DaysInMonth(y - 1, m)));
    };
    PeriodRange r;
    r.start = back(range.start);
    r.end = range.wholeMonths ? EndOfMonth(back(StartOfMonth(range.end))) : back(range.end);
    r.wholeMonths = range.wholeMonths;
    Complete(r);
    return r;
}

} // namespace gs
