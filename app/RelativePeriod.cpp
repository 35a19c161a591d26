#include "app/RelativePeriod.h"

#include "base/Dates.h"
#include "base/Text.h"

#include <array>

namespace gs {

namespace {

constexpr std::array<const char*, 6> Names = {"Vormonat",        "Vorquartal",        "Vorjahr",
                                              "laufender Monat", "laufendes Quartal", "laufendes Jahr"};
constexpr int FirstMonthIndex = 5; // "Januar" in the period box
constexpr int FirstQuarterIndex = 1;

} // namespace

std::optional<RelativePeriod> RelativePeriodFromText(const std::string& text)
{
    const std::string t = Trim(text);
    for (size_t i = 0; i < Names.size(); ++i)
        if (EqualsNoCase(t, Names[i]))
            return static_cast<RelativePeriod>(i);
    return std::nullopt;
}

const char* RelativePeriodText(RelativePeriod period) { return Names[static_cast<size_t>(period)]; }

int FiscalYearOf(int year, int month, int fiscalStartMonth)
{
    return fiscalStartMonth > 1 && month < fiscalStartMonth ? year - 1 : year;
}

ResolvedPeriod ResolveRelativePeriod(RelativePeriod period, int fiscalYear, int month, int fiscalStartMonth)
{
    const int fs = fiscalStartMonth >= 1 && fiscalStartMonth <= 12 ? fiscalStartMonth : 1;
    // The month's place in its fiscal year (0: the fiscal year's first month) and its fiscal quarter.
    const int place = (month - fs + 12) % 12;
    const int quarter = place / 3 + 1;
    switch (period) {
    case RelativePeriod::CurrentMonth: return {fiscalYear, FirstMonthIndex + month - 1};
    case RelativePeriod::CurrentQuarter: return {fiscalYear, FirstQuarterIndex + quarter - 1};
    case RelativePeriod::CurrentYear: return {fiscalYear, 0};
    case RelativePeriod::PreviousMonth: {
        const int before = month == 1 ? 12 : month - 1;
        return {place == 0 ? fiscalYear - 1 : fiscalYear, FirstMonthIndex + before - 1};
    }
    case RelativePeriod::PreviousQuarter:
        return quarter == 1 ? ResolvedPeriod{fiscalYear - 1, FirstQuarterIndex + 3}
                            : ResolvedPeriod{fiscalYear, FirstQuarterIndex + quarter - 2};
    case RelativePeriod::PreviousYear: return {fiscalYear - 1, 0};
    }
    return {fiscalYear, 0};
}

std::optional<CalendarDay> ParseIsoDay(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    CalendarDay d{std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2))};
    if (d.year < 1 || !IsValidDate(d.year, d.month, d.day))
        return std::nullopt;
    return d;
}

} // namespace gs
