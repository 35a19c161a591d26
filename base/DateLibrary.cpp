#include "base/DateLibrary.h"

#include "base/Error.h"

#include <algorithm>
#include <cmath>

namespace gs {

namespace {

struct SplitDate {
    int year = 0, month = 0, day = 0;
    double time = 0; // time of day, 0 <= time < 1
};

// The calendar day (the day number cut toward zero, as the host does) and the time of day.
SplitDate Split(TDateTime value)
{
    static const double first = EncodeDate(1, 1, 1), last = EncodeDate(9999, 12, 31) + 1;
    if (!(value > first - 1 && value < last))
        throw ConvertError("Ungültiges Datum");
    SplitDate s;
    const double day = std::trunc(value);
    DecodeDate(day, s.year, s.month, s.day);
    s.time = std::fabs(value - day);
    return s;
}

// A day number with a time of day (negative day numbers carry the time as a positive fraction).
TDateTime WithTime(TDateTime day, double time) { return day >= 0 ? day + time : day - time; }

} // namespace

int YearOfDate(TDateTime date) { return Split(date).year; }

TDateTime YearStart(int year) { return EncodeDate(year, 1, 1); }

TDateTime YearEnd(int year) { return EncodeDate(year, 12, 31); }

TDateTime QuarterStart(int quarter, int year)
{
    if (quarter < 1 || quarter > 4)
        return EncodeDate(year, 0, 0); // raises
    return EncodeDate(year, (quarter - 1) * 3 + 1, 1);
}

TDateTime QuarterEnd(int quarter, int year)
{
    if (quarter < 1 || quarter > 4)
        return EncodeDate(year, 0, 0); // raises
    const int month = quarter * 3;
    return EncodeDate(year, month, DaysInMonth(year, month));
}

TDateTime StartOfMonth(TDateTime date)
{
    const SplitDate s = Split(date);
    return WithTime(EncodeDate(s.year, s.month, 1), s.time);
}

TDateTime EndOfMonth(TDateTime date)
{
    const SplitDate s = Split(date);
    return WithTime(EncodeDate(s.year, s.month, DaysInMonth(s.year, s.month)), s.time);
}

TDateTime AddMonths(TDateTime date, double count)
{
    if (!std::isfinite(count) || std::fabs(count) > 12.0 * 10000)
        throw ConvertError("Ungültiges Argument für Datumskodierung");
    const SplitDate s = Split(date);
    const double whole = std::trunc(count);
    long long year = s.year;
    long long month = 0;
    const long long c = static_cast<long long>(whole) + s.month;
    if (c > 12) {
        year += (c - 1) / 12;
        month = c % 12 == 0 ? 12 : c % 12;
    } else if (c < 1) {
        year += c / 12 - 1; // division cuts toward zero
        month = 12 - (-c) % 12;
    } else {
        month = c;
    }
    if (year < 1 || year > 9999)
        throw ConvertError("Ungültiges Argument für Datumskodierung");
    const int y = static_cast<int>(year), m = static_cast<int>(month);
    const int d = std::min(s.day, DaysInMonth(y, m));
    return WithTime(EncodeDate(y, m, d), s.time) + (count - whole) * 30;
}

TDateTime AddDays(TDateTime date, double count) { return date + count; }

} // namespace gs
