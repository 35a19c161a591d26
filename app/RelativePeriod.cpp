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

ResolvedPeriod ResolveRelativePeriod(RelativePeriod period, int year, int month)
{
    const int quarter = (month - 1) / 3 + 1;
    switch (period) {
    case RelativePeriod::CurrentMonth: return {year, FirstMonthIndex + month - 1};
    case RelativePeriod::CurrentQuarter: return {year, FirstQuarterIndex + quarter - 1};
    case RelativePeriod::CurrentYear: return {year, 0};
    case RelativePeriod::PreviousMonth:
        return month == 1 ? ResolvedPeriod{year - 1, FirstMonthIndex + 11} : ResolvedPeriod{year, FirstMonthIndex + month - 2};
    case RelativePeriod::PreviousQuarter:
        return quarter == 1 ? ResolvedPeriod{year - 1, FirstQuarterIndex + 3}
                            : ResolvedPeriod{year, FirstQuarterIndex + quarter - 2};
    case RelativePeriod::PreviousYear: return {year - 1, 0};
    }
    return {year, 0};
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
