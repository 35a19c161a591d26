#pragma once
// The statistics always cover one calendar period: a whole year, one of its quarters or one of its
// months. This holds the rules behind the two selection boxes of the statistics window (the year
// list, the 17 period items, the enabling and colour rule, the auto-run guard) and turns a
// selection into the date part of the orders filter, the range text and the month rows.
#include "base/Dates.h"

#include <array>
#include <string>
#include <vector>

namespace gs {

// The items of the period box; the index decides the period (0 year, 1-4 quarters, 5-16 months).
extern const std::array<const char*, 17> PeriodItems;
inline constexpr int PeriodWholeYear = 0;

// Colours of the period box (0x00BBGGRR; 0x80000005 is the system window colour).
inline constexpr unsigned PeriodBoxEnabledColor = 0x80000005u;
inline constexpr unsigned PeriodBoxDisabledColor = 14739951u; // 0xE0E9EF

// One item per year from 2000 up to and including the given current year, ascending, as decimal
// text; empty when the current year is before 2000.
std::vector<std::string> YearItems(int currentYear);

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
};

// Builds the range for the year text and the period index. Raises ConvertError when the year text
// is not an integer (for example with an empty year list) or the date is impossible.
PeriodRange BuildPeriodFilter(const std::string& yearText, int periodIndex);

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
