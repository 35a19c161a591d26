#pragma once
// Dates are day numbers with a fraction: days since 30 December 1899, the fraction being the time
// of day (as the host's database client reports them). Texts are day.month.year with two-digit day
// and month and a four-digit year ("01.04.2006").
#include <string>
#include <string_view>

namespace gs {

using TDateTime = double;

// Raise ConvertError for an impossible calendar date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);

struct DateParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};
// Splits a day number (the time rounded to the millisecond).
DateParts DecodeDateTime(TDateTime value);
void DecodeDate(TDateTime value, int& year, int& month, int& day);

bool IsValidDate(int year, int month, int day);
int DaysInMonth(int year, int month);
// Divisible by 4 and (not by 100 or by 400).
bool IsLeapYear(unsigned short year);

// "DD.MM.YYYY" (the process's short date form).
std::string DateToText(TDateTime value);
// "HH:MM:SS" (the process's long time form).
std::string TimeToText(TDateTime value);
// "DD.MM.YYYY HH:MM:SS".
std::string DateTimeToText(TDateTime value);
// Reads day.month.year (one- or two-digit day and month, two- or four-digit year, optional time
// "HH:MM[:SS]"); raises ConvertError on anything else.
TDateTime TextToDate(std::string_view text);
bool TryTextToDate(std::string_view text, TDateTime& result);
// Reads a time of day "H:MM" or "H:MM:SS" (the process's time form) into its day fraction; false on
// anything else.
bool TryTextToTime(std::string_view text, TDateTime& result);

// Storage forms of the database layer: "YYYY-MM-DD" and "YYYY-MM-DD HH:MM:SS.SSS".
std::string DateToIso(TDateTime value);
std::string TimestampToIso(TDateTime value);
// Reads either storage form (and a bare date); false on anything else.
bool IsoToDateTime(std::string_view text, TDateTime& result);

// Timestamps in the compact form "YYYYMMDD HHMMSSmmm".
// Reads "YYYYMMDD?HHMMSSmmm" by position (year 1-4, month 5-6, day 7-8, any separator at 9, hour
// 10-11, minute 12-13, second 14-15, milliseconds 16-18); missing or non-numeric pieces count as
// 0; an invalid date or time gives 0.
TDateTime ParseTimestamp(std::string_view text);
// DateTimeToText of ParseTimestamp(text), or the fallback when that is 0.
std::string TimestampText(std::string_view text, std::string_view fallback);

} // namespace gs
