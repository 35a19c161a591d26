#include "app/PeriodSelection.h"

#include "base/DateLibrary.h"
#include "base/Dates.h"
#include "base/Error.h"
#include "base/Text.h"

namespace gs {

const std::array<const char*, 17> PeriodItems = {
    "Ganzes Jahr", "1. Quartal", "2. Quartal", "3. Quartal", "4. Quartal", "Januar",
    "Februar",     "März",       "April",      "Mai",        "Juni",       "Juli",
    "August",      "September",  "Oktober",    "November",   "Dezember"};

std::vector<std::string> YearItems(int currentYear)
{
    std::vector<std::string> items;
    for (int y = 2000; y <= currentYear; ++y)
        items.push_back(std::to_string(y));
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

PeriodRange BuildPeriodFilter(const std::string& yearText, int periodIndex)
{
    int year = 0;
    if (!TryParseInt32(yearText, year) || yearText.find_first_of("$xX") != std::string::npos)
        throw ConvertError("'" + yearText + "' ist kein gültiger Integerwert");
    PeriodRange r;
    if (periodIndex >= 1 && periodIndex <= 4) {
        r.start = QuarterStart(periodIndex, year);
        r.end = QuarterEnd(periodIndex, year);
    } else if (periodIndex >= 5 && periodIndex <= 16) {
        const TDateTime d = EncodeDate(year, periodIndex - 4, 1);
        r.start = StartOfMonth(d);
        r.end = EndOfMonth(d);
    } else {
        r.start = YearStart(year);
        r.end = YearEnd(year);
    }
    const std::string s = DateToText(r.start);
    const std::string e = DateToText(r.end);
    const std::string q = "\"";
    r.filterPart = std::string(" AND (") + "(DATE<=" + q + e + q + ") and (" + "DATE" + ">=" + q + s + q + ")" + ")";
    r.rangeText = "Bereich: " + s + "-" + e;
    // Month by month by year and month number: the last month of year 9999 needs no later date.
    int y = 0, m = 0, d = 0;
    DecodeDate(r.start, y, m, d);
    TDateTime month = 0;
    while (TryEncodeDate(y, m, 1, month) && month < r.end) {
        r.monthStarts.push_back(month);
        if (++m > 12) {
            m = 1;
            ++y;
        }
    }
    return r;
}

} // namespace gs
