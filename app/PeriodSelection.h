#pragma once
// The statistics cover one period: a whole year, one of its quarters or one of its months, or a
// free range of days. The year is the calendar year or a fiscal year that begins in another month
// ("2024/25"); its quarters follow it, its months stay calendar months. This holds the rules behind
// the two selection boxes of the statistics window (the year list, the period items, the enabling
// and colour rule, the auto-run guard) and turns a selection into the date part of the orders
// filter, the range text and the month rows, and a range into the same range one year earlier.
#include "base/Dates.h"

#include <array>
#include <string>
#include <vector>

namespace gs {

// The items of the period box; the index decides the period (0 year, 1-4 quarters, 5-16 months).
extern const std::array<const char*, 17> PeriodItems;
inline constexpr int PeriodWholeYear = 0;
// The item after "Dezember" that asks for a first and a last day, and its index.
inline constexpr const char* FreeRangeItem = "Zeitraum…";
inline constexpr int PeriodFreeRange = 17;

// Colours of the period box (0x00BBGGRR; 0x80000005 is the system window colour).
inline constexpr unsigned PeriodBoxEnabledColor = 0x80000005u;
inline constexpr unsigned PeriodBoxDisabledColor = 14739951u; // 0xE0E9EF

// One item per year from 2000 up to and including the given current year, ascending, as decimal
// text; empty when the current year is before 2000. With a fiscal year that begins after January
// the items name both calendar years ("2024/25"), up to the fiscal year the current month lies in.
std::vector<std::string> YearItems(int currentYear, int fiscalStartMonth = 1, int currentMonth = 1);
// The year box's text for the fiscal year beginning in year: "2024", or "2024/25".
std::string YearItemText(int year, int fiscalStartMonth);

// An item of the period box as the window lists it: its text and the period index it stands for.
struct PeriodBoxItem {
    std::string text;
    int periodIndex = PeriodWholeYear;
};
// The period box's items for the fiscal year beginning in the month given, then "Zeitraum…". With a
// calendar year the host's items in the host's order (the index of an item is its period index).
// With a fiscal year that begins in another month, as the fiscal year runs: the quarters name
// their months ("1. Quartal (Jul–Sep)"), the months follow from the fiscal year's first ("Juli" ...
// "Juni").
std::vector<PeriodBoxItem> PeriodBoxItems(int fiscalStartMonth);

// The period box is enabled only when the selected year's index is greater than 0; with the first
// year of the list selected it is disabled but keeps (and still applies) its selection.
inline bool PeriodBoxEnabled(int yearIndex) { return yearIndex > 0; }

// The period index for an item text ("Ganzes Jahr", "2. Quartal", "März", ...) or a decimal index
// 0..16; -1 when the text is neither.
int PeriodIndexFromText(const std::string& text);

struct PeriodRange {
    TDateTime start = 0;
    TDateTime end = 0;
    std::string filterPart;              // " AND ((DATE<=\"E\") and (DATE>=\"S\"))"
    std::string rangeText;               // "Bereich: S-E"
    std::vector<TDateTime> monthStarts;  // first day of every month of the range, ascending
    bool wholeMonths = true;             // a year, quarter or month; false for a free range
};

// What a run covers: a period of the two boxes, or a free range of days (periodIndex
// PeriodFreeRange with its first and last day).
struct PeriodChoice {
    std::string yearText;     // "2024", or "2024/25" (the number before the slash counts)
    int periodIndex = PeriodWholeYear;
    int fiscalStartMonth = 1; // the month the fiscal year begins in, 1-12
    TDateTime first = 0;      // a free range's first and last day
    TDateTime last = 0;
};

// Builds the range for the year text and the period index of a fiscal year beginning in the
// month given. Raises ConvertError when the year text is not an integer (for example with an empty
// year list) or the date is impossible.
PeriodRange BuildPeriodFilter(const std::string& yearText, int periodIndex, int fiscalStartMonth = 1);
// The range of the days from first to last, both included. Raises ConvertError when last is
// before first.
PeriodRange BuildDayRange(TDateTime first, TDateTime last);
// The range of a choice (BuildPeriodFilter or BuildDayRange).
PeriodRange BuildChoiceRange(const PeriodChoice& choice);
// The same range one year earlier. A period keeps whole months (February 2025 becomes all of
// February 2024); a free range moves day by day, 29 February becoming 28 February. Raises
// ConvertError before year 1.
PeriodRange PreviousYearRange(const PeriodRange& range);

// The auto-run guard of the "Finden" button: 1 while the window is being built and started, 0 once
// it is shown; only at 0 does a change of the selection start a run by itself.
class AutoRunGuard {
public:
    void arm() { tag_ = 1; }
    void release() { tag_ = 0; }
    int tag() const { return tag_; }
    bool allowsAutoRun() const { return tag_ == 0; }

private:
    int tag_ = 1;
};

} // namespace gs
