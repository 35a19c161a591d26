#include "app/YearMonths.h"

#include "app/PeriodSelection.h"
#include "base/DateLibrary.h"
#include "base/Error.h"
#include "base/Text.h"

#include <cstdio>

namespace gs {

std::string IsoMonthText(YearMonth month)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d", month.year, month.month);
    return text;
}

YearMonth YearMonthOf(TDateTime day)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(day, y, m, d);
    return {y, m};
}

YearMonth AddMonthsTo(YearMonth month, int count)
{
    // Months since year 0; floor division keeps months before year 0 in order too.
    long long index = static_cast<long long>(month.year) * 12 + (month.month - 1) + count;
    long long year = index >= 0 ? index / 12 : -((-index + 11) / 12);
    return {static_cast<int>(year), static_cast<int>(index - year * 12) + 1};
}

TDateTime FirstDayOf(YearMonth month) { return EncodeDate(month.year, month.month, 1); }

TDateTime LastDayOf(YearMonth month) { return EncodeDate(month.year, month.month, DaysInMonth(month.year, month.month)); }

YearMonth YearSpan::Month(int index) const { return AddMonthsTo({startYear, fiscalStartMonth}, index); }

std::optional<int> YearSpan::IndexOf(YearMonth month) const
{
    const long long index = (static_cast<long long>(month.year) * 12 + month.month) -
                            (static_cast<long long>(startYear) * 12 + fiscalStartMonth);
    if (index < 0 || index > 11)
        return std::nullopt;
    return static_cast<int>(index);
}

TDateTime YearSpan::FirstDay() const { return FirstDayOf(Month(0)); }

TDateTime YearSpan::LastDay() const { return LastDayOf(Month(11)); }

std::string YearSpan::Text() const { return YearItemText(startYear, fiscalStartMonth); }

YearSpan YearSpanFromText(const std::string& yearText, int fiscalStartMonth)
{
    const std::string yearPart = Trim(yearText.substr(0, yearText.find('/')));
    int year = 0;
    if (!TryParseInt32(yearPart, year) || yearPart.find_first_not_of("0123456789") != std::string::npos || year < 1 ||
        year > 9998)
        throw ConvertError("'" + yearText + "' ist kein gültiges Jahr");
    return {year, fiscalStartMonth >= 1 && fiscalStartMonth <= 12 ? fiscalStartMonth : 1};
}

YearSpan YearSpanContaining(TDateTime day, int fiscalStartMonth)
{
    const int fs = fiscalStartMonth >= 1 && fiscalStartMonth <= 12 ? fiscalStartMonth : 1;
    const YearMonth month = YearMonthOf(day);
    return {month.month < fs ? month.year - 1 : month.year, fs};
}

YearMonthSums MonthSumsOf(const std::vector<KmcRow>& months, const YearSpan& year)
{
    YearMonthSums sums{};
    for (const KmcRow& row : months) {
        if (!row.DATE)
            continue;
        if (const std::optional<int> index = year.IndexOf(YearMonthOf(*row.DATE))) {
            MonthSums& s = sums[static_cast<size_t>(*index)];
            s.documents += row.documents;
            s.net += row.net;
            s.profit += row.profit;
        }
    }
    return sums;
}

} // namespace gs
