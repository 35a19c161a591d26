#include "base/Dates.h"

#include "base/Error.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace gs {

namespace {

constexpr long long kMsPerDay = 86400000LL;

// Days from 0001-01-01 style civil calendar (proleptic Gregorian), after H. Hinnant's algorithm.
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468; // days since 1970-01-01
}

void CivilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

const long long kEpochOffset = DaysFromCivil(1899, 12, 30); // day 0 of the day numbers

bool ParseInt(std::string_view s, int& out)
{
    if (s.empty() || s.size() > 9)
        return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

} // namespace

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && year >= 0 && year <= 0xFFFF && IsLeapYear(static_cast<unsigned short>(year))
               ? 29
               : days[month - 1];
}

bool IsLeapYear(unsigned short year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool TryEncodeDate(int year, int month, int day, TDateTime& result)
{
    if (!IsValidDate(year, month, day))
        return false;
    result = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochOffset);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime r = 0;
    if (!TryEncodeDate(year, month, day, r))
        throw ConvertError("Ungültiges Argument für Datumskodierung");
    return r;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        throw ConvertError("Ungültiges Argument für Zeitkodierung");
    return static_cast<double>(((hour * 60LL + minute) * 60 + second) * 1000 + millisecond) / kMsPerDay;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    const double date = EncodeDate(year, month, day);
    const double time = EncodeTime(hour, minute, second, millisecond);
    return date >= 0 ? date + time : date - time; // negative day numbers carry the time as a positive fraction
}

DateParts DecodeDateTime(TDateTime value)
{
    DateParts p;
    // Work in whole milliseconds so that 0.999999 of a day does not print as 24:00.
    const double dayPart = value >= 0 ? std::floor(value) : std::ceil(value);
    long long ms = std::llround(std::fabs(value - dayPart) * kMsPerDay);
    long long day = static_cast<long long>(dayPart);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        day += value >= 0 ? 1 : -1;
    }
    CivilFromDays(day + kEpochOffset, p.year, p.month, p.day);
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    return p;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    const DateParts p = DecodeDateTime(value);
    year = p.year;
    month = p.month;
    day = p.day;
}

std::string DateToText(TDateTime value)
{
    const DateParts p = DecodeDateTime(value);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", p.day, p.month, p.year);
    return buf;
}

std::string TimeToText(TDateTime value)
{
    const DateParts p = DecodeDateTime(value);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.hour, p.minute, p.second);
    return buf;
}

std::string DateTimeToText(TDateTime value) { return DateToText(value) + " " + TimeToText(value); }

namespace {
// "H:MM" or "H:MM:SS" into a day fraction.
bool ParseTimePart(std::string_view timePart, double& time)
{
    int h = 0, mi = 0, s = 0;
    const auto c1 = timePart.find(':');
    if (c1 == std::string_view::npos)
        return false;
    const auto c2 = timePart.find(':', c1 + 1);
    if (!ParseInt(timePart.substr(0, c1), h))
        return false;
    if (c2 == std::string_view::npos) {
        if (!ParseInt(timePart.substr(c1 + 1), mi))
            return false;
    } else if (!ParseInt(timePart.substr(c1 + 1, c2 - c1 - 1), mi) || !ParseInt(timePart.substr(c2 + 1), s)) {
        return false;
    }
    if (h > 23 || mi > 59 || s > 59)
        return false;
    time = EncodeTime(h, mi, s, 0);
    return true;
}
} // namespace

bool TryTextToDate(std::string_view text, TDateTime& result)
{
    // trim blanks
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    std::string_view datePart = text, timePart;
    if (auto sp = text.find(' '); sp != std::string_view::npos) {
        datePart = text.substr(0, sp);
        timePart = text.substr(sp + 1);
        while (!timePart.empty() && timePart.front() == ' ')
            timePart.remove_prefix(1);
    }
    const auto d1 = datePart.find('.');
    if (d1 == std::string_view::npos)
        return false;
    const auto d2 = datePart.find('.', d1 + 1);
    if (d2 == std::string_view::npos)
        return false;
    int day = 0, month = 0, year = 0;
    std::string_view ys = datePart.substr(d2 + 1);
    if (d1 > 2 || d2 - d1 - 1 > 2 || !ParseInt(datePart.substr(0, d1), day) ||
        !ParseInt(datePart.substr(d1 + 1, d2 - d1 - 1), month) || !ParseInt(ys, year))
        return false;
    if (ys.size() <= 2)
        year += year < 50 ? 2000 : 1900; // two-digit years as the host's runtime reads them
    else if (ys.size() != 4)
        return false;
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date))
        return false;
    double time = 0;
    if (!timePart.empty() && !ParseTimePart(timePart, time))
        return false;
    result = date >= 0 ? date + time : date - time;
    return true;
}

bool TryTextToTime(std::string_view text, TDateTime& result)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    double time = 0;
    if (text.empty() || !ParseTimePart(text, time))
        return false;
    result = time;
    return true;
}

TDateTime TextToDate(std::string_view text)
{
    TDateTime r = 0;
    if (!TryTextToDate(text, r))
        throw ConvertError("'" + std::string(text) + "' ist kein gültiges Datum");
    return r;
}

std::string DateToIso(TDateTime value)
{
    const DateParts p = DecodeDateTime(value);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
    return buf;
}

std::string TimestampToIso(TDateTime value)
{
    const DateParts p = DecodeDateTime(value);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second, p.millisecond);
    return buf;
}

bool IsoToDateTime(std::string_view text, TDateTime& result)
{
    if (text.size() < 10 || text[4] != '-' || text[7] != '-')
        return false;
    int y = 0, m = 0, d = 0;
    if (!ParseInt(text.substr(0, 4), y) || !ParseInt(text.substr(5, 2), m) || !ParseInt(text.substr(8, 2), d))
        return false;
    TDateTime date = 0;
    if (!TryEncodeDate(y, m, d, date))
        return false;
    double time = 0;
    if (text.size() > 10) {
        if (text.size() < 19 || (text[10] != ' ' && text[10] != 'T') || text[13] != ':' || text[16] != ':')
            return false;
        int h = 0, mi = 0, s = 0, ms = 0;
        if (!ParseInt(text.substr(11, 2), h) || !ParseInt(text.substr(14, 2), mi) || !ParseInt(text.substr(17, 2), s))
            return false;
        if (text.size() > 19) {
            if (text[19] != '.' || text.size() > 23 || !ParseInt(text.substr(20), ms))
                return false;
            for (size_t i = text.size() - 20; i < 3; ++i)
                ms *= 10;
        }
        if (h > 23 || mi > 59 || s > 59)
            return false;
        time = EncodeTime(h, mi, s, ms);
    }
    result = date >= 0 ? date + time : date - time;
    return true;
}

namespace {
// A piece of the timestamp as a number; 0 when missing or not all digits.
int Piece(std::string_view text, size_t pos, size_t len)
{
    if (pos >= text.size())
        return 0;
    const std::string_view s = text.substr(pos, len);
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return 0;
        v = v * 10 + (c - '0');
    }
    return v;
}
} // namespace

TDateTime ParseTimestamp(std::string_view text)
{
    const int year = Piece(text, 0, 4), month = Piece(text, 4, 2), day = Piece(text, 6, 2);
    const int hour = Piece(text, 9, 2), minute = Piece(text, 11, 2), second = Piece(text, 13, 2);
    const int ms = Piece(text, 15, 3);
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date) || hour > 23 || minute > 59 || second > 59 || ms > 999)
        return 0;
    return EncodeDateTime(year, month, day, hour, minute, second, ms);
}

std::string TimestampText(std::string_view text, std::string_view fallback)
{
    const TDateTime t = ParseTimestamp(text);
    return t == 0 ? std::string(fallback) : DateTimeToText(t);
}

} // namespace gs
