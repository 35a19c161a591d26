// Periods named relative to a day follow the fiscal year: the months, quarters and years they
// resolve to, and the names of the files --output gives them, for every fiscal start the window
// offers and the days around quarter and year ends.
#include "app/OutputFiles.h"
#include "app/PeriodSelection.h"
#include "app/RelativePeriod.h"
#include "app/ReportOptions.h"
#include "base/Dates.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <string>

using namespace gs;

namespace {

constexpr const char* PeriodNames[] = {"Vormonat", "Vorquartal", "Vorjahr", "laufender Monat", "laufendes Quartal",
                                       "laufendes Jahr"};

struct Resolved {
    std::string stem;
    PeriodRange range;
    std::string problem;
};

// The period as the report command resolves it: the options parsed, the relative period applied on
// the day given (--today) with the fiscal start given (--fiscal-start).
Resolved Resolve(const std::string& name, const std::string& today, int fiscalStart,
                 const std::vector<std::string>& more = {})
{
    std::vector<std::string> args{"/db", "--period", name, "--today", today, "--fiscal-start",
                                  std::to_string(fiscalStart)};
    args.insert(args.end(), more.begin(), more.end());
    const ReportOptionsResult parsed = ParseReportOptions(args);
    EXPECT_TRUE(parsed.options) << parsed.problem;
    if (!parsed.options)
        return {};
    ReportOptions o = *parsed.options;
    Resolved r;
    r.problem = ApplyRelativePeriod(o, CalendarDay{1999, 6, 15}, 1);
    if (!r.problem.empty())
        return r;
    const PeriodChoice choice = ReportPeriodChoice(o, 1);
    r.stem = PeriodFileStem(choice);
    r.range = BuildChoiceRange(choice);
    r.problem = RelativePeriodInFuture(o, CalendarDay{1999, 6, 15});
    return r;
}

// "GEWINN-2026-27-Q1-Jul-Sep 2026-07..2026-09": the stem and the months from the first to the last.
std::string Described(const Resolved& r)
{
    int y1 = 0, m1 = 0, d1 = 0, y2 = 0, m2 = 0, d2 = 0;
    DecodeDate(r.range.start, y1, m1, d1);
    DecodeDate(r.range.end, y2, m2, d2);
    char text[64];
    std::snprintf(text, sizeof text, " %04d-%02d..%04d-%02d", y1, m1, y2, m2);
    // Whole months only: from the first day of the first to the last day of the last.
    if (d1 != 1 || d2 != DaysInMonth(y2, m2))
        return "not whole months: " + r.range.rangeText;
    return r.stem + text;
}

} // namespace

// Relative periods x fiscal starts x days at the ends of quarters and years: the range and the
// file name of each. With a fiscal start in July, on 11.12.2026 the quarter before is July to
// September 2026, the fiscal year's first quarter (not January to March 2027), and its files are
// named "GEWINN-2026-27-Q1-Jul-Sep", never like a calendar quarter's or another fiscal start's.
TEST(FiscalPeriods, RelativePeriodsFollowTheFiscalYearInRangeAndFileName)
{
    struct Case {
        const char* today;
        int fiscalStart;
        // Vormonat, Vorquartal, Vorjahr, laufender Monat, laufendes Quartal, laufendes Jahr
        std::array<const char*, 6> expected;
    };
    const Case cases[] = {
        {"2026-03-31", 1, {"GEWINN-2026-02 2026-02..2026-02", "GEWINN-2025-Q4 2025-10..2025-12", "GEWINN-2025 2025-01..2025-12",
                          "GEWINN-2026-03 2026-03..2026-03", "GEWINN-2026-Q1 2026-01..2026-03", "GEWINN-2026 2026-01..2026-12"}},
        {"2026-04-01", 1, {"GEWINN-2026-03 2026-03..2026-03", "GEWINN-2026-Q1 2026-01..2026-03", "GEWINN-2025 2025-01..2025-12",
                          "GEWINN-2026-04 2026-04..2026-04", "GEWINN-2026-Q2 2026-04..2026-06", "GEWINN-2026 2026-01..2026-12"}},
        {"2026-06-30", 1, {"GEWINN-2026-05 2026-05..2026-05", "GEWINN-2026-Q1 2026-01..2026-03", "GEWINN-2025 2025-01..2025-12",
                          "GEWINN-2026-06 2026-06..2026-06", "GEWINN-2026-Q2 2026-04..2026-06", "GEWINN-2026 2026-01..2026-12"}},
        {"2026-07-01", 1, {"GEWINN-2026-06 2026-06..2026-06", "GEWINN-2026-Q2 2026-04..2026-06", "GEWINN-2025 2025-01..2025-12",
                          "GEWINN-2026-07 2026-07..2026-07", "GEWINN-2026-Q3 2026-07..2026-09", "GEWINN-2026 2026-01..2026-12"}},
        {"2026-11-30", 1, {"GEWINN-2026-10 2026-10..2026-10", "GEWINN-2026-Q3 2026-07..2026-09", "GEWINN-2025 2025-01..2025-12",
                          "GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-Q4 2026-10..2026-12", "GEWINN-2026 2026-01..2026-12"}},
        {"2026-12-01", 1, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-Q3 2026-07..2026-09", "GEWINN-2025 2025-01..2025-12",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-Q4 2026-10..2026-12", "GEWINN-2026 2026-01..2026-12"}},
        {"2026-12-11", 1, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-Q3 2026-07..2026-09", "GEWINN-2025 2025-01..2025-12",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-Q4 2026-10..2026-12", "GEWINN-2026 2026-01..2026-12"}},
        {"2026-12-31", 1, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-Q3 2026-07..2026-09", "GEWINN-2025 2025-01..2025-12",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-Q4 2026-10..2026-12", "GEWINN-2026 2026-01..2026-12"}},
        {"2027-01-01", 1, {"GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-Q4 2026-10..2026-12", "GEWINN-2026 2026-01..2026-12",
                          "GEWINN-2027-01 2027-01..2027-01", "GEWINN-2027-Q1 2027-01..2027-03", "GEWINN-2027 2027-01..2027-12"}},
        {"2026-03-31", 4, {"GEWINN-2026-02 2026-02..2026-02", "GEWINN-2025-26-Q3-Okt-Dez 2025-10..2025-12", "GEWINN-2024-25-Apr-Mrz 2024-04..2025-03",
                          "GEWINN-2026-03 2026-03..2026-03", "GEWINN-2025-26-Q4-Jan-Mrz 2026-01..2026-03", "GEWINN-2025-26-Apr-Mrz 2025-04..2026-03"}},
        {"2026-04-01", 4, {"GEWINN-2026-03 2026-03..2026-03", "GEWINN-2025-26-Q4-Jan-Mrz 2026-01..2026-03", "GEWINN-2025-26-Apr-Mrz 2025-04..2026-03",
                          "GEWINN-2026-04 2026-04..2026-04", "GEWINN-2026-27-Q1-Apr-Jun 2026-04..2026-06", "GEWINN-2026-27-Apr-Mrz 2026-04..2027-03"}},
        {"2026-06-30", 4, {"GEWINN-2026-05 2026-05..2026-05", "GEWINN-2025-26-Q4-Jan-Mrz 2026-01..2026-03", "GEWINN-2025-26-Apr-Mrz 2025-04..2026-03",
                          "GEWINN-2026-06 2026-06..2026-06", "GEWINN-2026-27-Q1-Apr-Jun 2026-04..2026-06", "GEWINN-2026-27-Apr-Mrz 2026-04..2027-03"}},
        {"2026-07-01", 4, {"GEWINN-2026-06 2026-06..2026-06", "GEWINN-2026-27-Q1-Apr-Jun 2026-04..2026-06", "GEWINN-2025-26-Apr-Mrz 2025-04..2026-03",
                          "GEWINN-2026-07 2026-07..2026-07", "GEWINN-2026-27-Q2-Jul-Sep 2026-07..2026-09", "GEWINN-2026-27-Apr-Mrz 2026-04..2027-03"}},
        {"2026-11-30", 4, {"GEWINN-2026-10 2026-10..2026-10", "GEWINN-2026-27-Q2-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Apr-Mrz 2025-04..2026-03",
                          "GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-27-Q3-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Apr-Mrz 2026-04..2027-03"}},
        {"2026-12-01", 4, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-27-Q2-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Apr-Mrz 2025-04..2026-03",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q3-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Apr-Mrz 2026-04..2027-03"}},
        {"2026-12-11", 4, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-27-Q2-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Apr-Mrz 2025-04..2026-03",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q3-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Apr-Mrz 2026-04..2027-03"}},
        {"2026-12-31", 4, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-27-Q2-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Apr-Mrz 2025-04..2026-03",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q3-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Apr-Mrz 2026-04..2027-03"}},
        {"2027-01-01", 4, {"GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q3-Okt-Dez 2026-10..2026-12", "GEWINN-2025-26-Apr-Mrz 2025-04..2026-03",
                          "GEWINN-2027-01 2027-01..2027-01", "GEWINN-2026-27-Q4-Jan-Mrz 2027-01..2027-03", "GEWINN-2026-27-Apr-Mrz 2026-04..2027-03"}},
        {"2026-03-31", 7, {"GEWINN-2026-02 2026-02..2026-02", "GEWINN-2025-26-Q2-Okt-Dez 2025-10..2025-12", "GEWINN-2024-25-Jul-Jun 2024-07..2025-06",
                          "GEWINN-2026-03 2026-03..2026-03", "GEWINN-2025-26-Q3-Jan-Mrz 2026-01..2026-03", "GEWINN-2025-26-Jul-Jun 2025-07..2026-06"}},
        {"2026-04-01", 7, {"GEWINN-2026-03 2026-03..2026-03", "GEWINN-2025-26-Q3-Jan-Mrz 2026-01..2026-03", "GEWINN-2024-25-Jul-Jun 2024-07..2025-06",
                          "GEWINN-2026-04 2026-04..2026-04", "GEWINN-2025-26-Q4-Apr-Jun 2026-04..2026-06", "GEWINN-2025-26-Jul-Jun 2025-07..2026-06"}},
        {"2026-06-30", 7, {"GEWINN-2026-05 2026-05..2026-05", "GEWINN-2025-26-Q3-Jan-Mrz 2026-01..2026-03", "GEWINN-2024-25-Jul-Jun 2024-07..2025-06",
                          "GEWINN-2026-06 2026-06..2026-06", "GEWINN-2025-26-Q4-Apr-Jun 2026-04..2026-06", "GEWINN-2025-26-Jul-Jun 2025-07..2026-06"}},
        {"2026-07-01", 7, {"GEWINN-2026-06 2026-06..2026-06", "GEWINN-2025-26-Q4-Apr-Jun 2026-04..2026-06", "GEWINN-2025-26-Jul-Jun 2025-07..2026-06",
                          "GEWINN-2026-07 2026-07..2026-07", "GEWINN-2026-27-Q1-Jul-Sep 2026-07..2026-09", "GEWINN-2026-27-Jul-Jun 2026-07..2027-06"}},
        {"2026-11-30", 7, {"GEWINN-2026-10 2026-10..2026-10", "GEWINN-2026-27-Q1-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Jul-Jun 2025-07..2026-06",
                          "GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-27-Q2-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Jul-Jun 2026-07..2027-06"}},
        {"2026-12-01", 7, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-27-Q1-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Jul-Jun 2025-07..2026-06",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q2-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Jul-Jun 2026-07..2027-06"}},
        {"2026-12-11", 7, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-27-Q1-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Jul-Jun 2025-07..2026-06",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q2-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Jul-Jun 2026-07..2027-06"}},
        {"2026-12-31", 7, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-27-Q1-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Jul-Jun 2025-07..2026-06",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q2-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Jul-Jun 2026-07..2027-06"}},
        {"2027-01-01", 7, {"GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q2-Okt-Dez 2026-10..2026-12", "GEWINN-2025-26-Jul-Jun 2025-07..2026-06",
                          "GEWINN-2027-01 2027-01..2027-01", "GEWINN-2026-27-Q3-Jan-Mrz 2027-01..2027-03", "GEWINN-2026-27-Jul-Jun 2026-07..2027-06"}},
        {"2026-03-31", 10, {"GEWINN-2026-02 2026-02..2026-02", "GEWINN-2025-26-Q1-Okt-Dez 2025-10..2025-12", "GEWINN-2024-25-Okt-Sep 2024-10..2025-09",
                          "GEWINN-2026-03 2026-03..2026-03", "GEWINN-2025-26-Q2-Jan-Mrz 2026-01..2026-03", "GEWINN-2025-26-Okt-Sep 2025-10..2026-09"}},
        {"2026-04-01", 10, {"GEWINN-2026-03 2026-03..2026-03", "GEWINN-2025-26-Q2-Jan-Mrz 2026-01..2026-03", "GEWINN-2024-25-Okt-Sep 2024-10..2025-09",
                          "GEWINN-2026-04 2026-04..2026-04", "GEWINN-2025-26-Q3-Apr-Jun 2026-04..2026-06", "GEWINN-2025-26-Okt-Sep 2025-10..2026-09"}},
        {"2026-06-30", 10, {"GEWINN-2026-05 2026-05..2026-05", "GEWINN-2025-26-Q2-Jan-Mrz 2026-01..2026-03", "GEWINN-2024-25-Okt-Sep 2024-10..2025-09",
                          "GEWINN-2026-06 2026-06..2026-06", "GEWINN-2025-26-Q3-Apr-Jun 2026-04..2026-06", "GEWINN-2025-26-Okt-Sep 2025-10..2026-09"}},
        {"2026-07-01", 10, {"GEWINN-2026-06 2026-06..2026-06", "GEWINN-2025-26-Q3-Apr-Jun 2026-04..2026-06", "GEWINN-2024-25-Okt-Sep 2024-10..2025-09",
                          "GEWINN-2026-07 2026-07..2026-07", "GEWINN-2025-26-Q4-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Okt-Sep 2025-10..2026-09"}},
        {"2026-11-30", 10, {"GEWINN-2026-10 2026-10..2026-10", "GEWINN-2025-26-Q4-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Okt-Sep 2025-10..2026-09",
                          "GEWINN-2026-11 2026-11..2026-11", "GEWINN-2026-27-Q1-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Okt-Sep 2026-10..2027-09"}},
        {"2026-12-01", 10, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2025-26-Q4-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Okt-Sep 2025-10..2026-09",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q1-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Okt-Sep 2026-10..2027-09"}},
        {"2026-12-11", 10, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2025-26-Q4-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Okt-Sep 2025-10..2026-09",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q1-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Okt-Sep 2026-10..2027-09"}},
        {"2026-12-31", 10, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2025-26-Q4-Jul-Sep 2026-07..2026-09", "GEWINN-2025-26-Okt-Sep 2025-10..2026-09",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q1-Okt-Dez 2026-10..2026-12", "GEWINN-2026-27-Okt-Sep 2026-10..2027-09"}},
        {"2027-01-01", 10, {"GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q1-Okt-Dez 2026-10..2026-12", "GEWINN-2025-26-Okt-Sep 2025-10..2026-09",
                          "GEWINN-2027-01 2027-01..2027-01", "GEWINN-2026-27-Q2-Jan-Mrz 2027-01..2027-03", "GEWINN-2026-27-Okt-Sep 2026-10..2027-09"}},
        {"2026-03-31", 12, {"GEWINN-2026-02 2026-02..2026-02", "GEWINN-2025-26-Q1-Dez-Feb 2025-12..2026-02", "GEWINN-2024-25-Dez-Nov 2024-12..2025-11",
                          "GEWINN-2026-03 2026-03..2026-03", "GEWINN-2025-26-Q2-Mrz-Mai 2026-03..2026-05", "GEWINN-2025-26-Dez-Nov 2025-12..2026-11"}},
        {"2026-04-01", 12, {"GEWINN-2026-03 2026-03..2026-03", "GEWINN-2025-26-Q1-Dez-Feb 2025-12..2026-02", "GEWINN-2024-25-Dez-Nov 2024-12..2025-11",
                          "GEWINN-2026-04 2026-04..2026-04", "GEWINN-2025-26-Q2-Mrz-Mai 2026-03..2026-05", "GEWINN-2025-26-Dez-Nov 2025-12..2026-11"}},
        {"2026-06-30", 12, {"GEWINN-2026-05 2026-05..2026-05", "GEWINN-2025-26-Q2-Mrz-Mai 2026-03..2026-05", "GEWINN-2024-25-Dez-Nov 2024-12..2025-11",
                          "GEWINN-2026-06 2026-06..2026-06", "GEWINN-2025-26-Q3-Jun-Aug 2026-06..2026-08", "GEWINN-2025-26-Dez-Nov 2025-12..2026-11"}},
        {"2026-07-01", 12, {"GEWINN-2026-06 2026-06..2026-06", "GEWINN-2025-26-Q2-Mrz-Mai 2026-03..2026-05", "GEWINN-2024-25-Dez-Nov 2024-12..2025-11",
                          "GEWINN-2026-07 2026-07..2026-07", "GEWINN-2025-26-Q3-Jun-Aug 2026-06..2026-08", "GEWINN-2025-26-Dez-Nov 2025-12..2026-11"}},
        {"2026-11-30", 12, {"GEWINN-2026-10 2026-10..2026-10", "GEWINN-2025-26-Q3-Jun-Aug 2026-06..2026-08", "GEWINN-2024-25-Dez-Nov 2024-12..2025-11",
                          "GEWINN-2026-11 2026-11..2026-11", "GEWINN-2025-26-Q4-Sep-Nov 2026-09..2026-11", "GEWINN-2025-26-Dez-Nov 2025-12..2026-11"}},
        {"2026-12-01", 12, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2025-26-Q4-Sep-Nov 2026-09..2026-11", "GEWINN-2025-26-Dez-Nov 2025-12..2026-11",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q1-Dez-Feb 2026-12..2027-02", "GEWINN-2026-27-Dez-Nov 2026-12..2027-11"}},
        {"2026-12-11", 12, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2025-26-Q4-Sep-Nov 2026-09..2026-11", "GEWINN-2025-26-Dez-Nov 2025-12..2026-11",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q1-Dez-Feb 2026-12..2027-02", "GEWINN-2026-27-Dez-Nov 2026-12..2027-11"}},
        {"2026-12-31", 12, {"GEWINN-2026-11 2026-11..2026-11", "GEWINN-2025-26-Q4-Sep-Nov 2026-09..2026-11", "GEWINN-2025-26-Dez-Nov 2025-12..2026-11",
                          "GEWINN-2026-12 2026-12..2026-12", "GEWINN-2026-27-Q1-Dez-Feb 2026-12..2027-02", "GEWINN-2026-27-Dez-Nov 2026-12..2027-11"}},
        {"2027-01-01", 12, {"GEWINN-2026-12 2026-12..2026-12", "GEWINN-2025-26-Q4-Sep-Nov 2026-09..2026-11", "GEWINN-2025-26-Dez-Nov 2025-12..2026-11",
                          "GEWINN-2027-01 2027-01..2027-01", "GEWINN-2026-27-Q1-Dez-Feb 2026-12..2027-02", "GEWINN-2026-27-Dez-Nov 2026-12..2027-11"}},
    };
    for (const Case& c : cases)
        for (size_t p = 0; p < std::size(PeriodNames); ++p) {
            const Resolved r = Resolve(PeriodNames[p], c.today, c.fiscalStart);
            EXPECT_EQ(r.problem, "") << PeriodNames[p] << " on " << c.today;
            EXPECT_EQ(Described(r), c.expected[p]) << PeriodNames[p] << " on " << c.today << ", fiscal start "
                                                   << c.fiscalStart;
        }
}

// Over every day of two years and every fiscal start: today lies in each current period, each
// previous period ends the day before its current one begins, and one file name never names two
// ranges, whatever the fiscal start (so a run with another fiscal start never replaces a file).
TEST(FiscalPeriods, CurrentPeriodsHoldTodayPreviousOnesEndBeforeAndNamesNeverCollide)
{
    std::map<std::string, std::string> rangeOfStem;
    for (TDateTime day = EncodeDate(2026, 1, 1); day <= EncodeDate(2027, 12, 31); day += 1) {
        const std::string iso = DateToIso(day);
        for (int fs = 1; fs <= 12; ++fs) {
            Resolved r[6];
            for (size_t p = 0; p < 6; ++p) {
                r[p] = Resolve(PeriodNames[p], iso, fs);
                ASSERT_EQ(r[p].problem, "") << PeriodNames[p] << " " << iso << " " << fs;
                const auto [at, added] = rangeOfStem.emplace(r[p].stem, r[p].range.rangeText);
                ASSERT_EQ(at->second, r[p].range.rangeText) << r[p].stem << " names two ranges (" << iso << ", " << fs << ")";
            }
            for (size_t p = 0; p < 3; ++p) {
                const PeriodRange& before = r[p].range;
                const PeriodRange& now = r[p + 3].range;
                ASSERT_LE(now.start, day) << PeriodNames[p + 3] << " " << iso << " " << fs;
                ASSERT_GE(now.end, day) << PeriodNames[p + 3] << " " << iso << " " << fs;
                ASSERT_EQ(before.end + 1, now.start) << PeriodNames[p] << " " << iso << " " << fs;
            }
            // The quarter lies in its year.
            ASSERT_GE(r[4].range.start, r[5].range.start);
            ASSERT_LE(r[4].range.end, r[5].range.end);
        }
    }
}

TEST(FiscalPeriods, APeriodWhollyAfterTodayIsRefusedWithItsRange)
{
    // --year names the fiscal year that stands for today's: 2030 lies after 11.12.2026.
    Resolved r = Resolve("Vorjahr", "2026-12-11", 7, {"--year", "2030"});
    EXPECT_EQ(r.problem, "Der Zeitraum \"Vorjahr\" (01.07.2029-30.06.2030) liegt ganz nach dem 11.12.2026; "
                         "für die Zukunft gibt es keine Auswertung.");
    // A period that has begun is not in the future, even when most of it is still to come.
    r = Resolve("laufendes Jahr", "2026-07-01", 7);
    EXPECT_EQ(r.problem, "");
    EXPECT_EQ(r.range.rangeText, "Bereich: 01.07.2026-30.06.2027");
    r = Resolve("laufendes Quartal", "2026-12-11", 1, {"--year", "2026"});
    EXPECT_EQ(r.problem, "");
    r = Resolve("laufender Monat", "2026-12-11", 1, {"--year", "2027"});
    EXPECT_NE(r.problem, "");
}

// The period box names the months of a fiscal quarter and lists the months in the fiscal year's
// order; every item stands for the period it names.
TEST(FiscalPeriods, ThePeriodBoxFollowsTheFiscalYear)
{
    const std::vector<PeriodBoxItem> calendar = PeriodBoxItems(1);
    ASSERT_EQ(calendar.size(), 18u);
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(calendar[static_cast<size_t>(i)].text, PeriodItems[static_cast<size_t>(i)]);
        EXPECT_EQ(calendar[static_cast<size_t>(i)].periodIndex, i);
    }
    EXPECT_EQ(calendar[17].text, FreeRangeItem);

    const std::vector<PeriodBoxItem> july = PeriodBoxItems(7);
    ASSERT_EQ(july.size(), 18u);
    EXPECT_EQ(july[1].text, "1. Quartal (Jul–Sep)");
    EXPECT_EQ(july[4].text, "4. Quartal (Apr–Jun)");
    EXPECT_EQ(july[5].text, "Juli");
    EXPECT_EQ(july[16].text, "Juni");
    EXPECT_EQ(PeriodBoxItems(12)[2].text, "2. Quartal (Mär–Mai)");
    // Each item's range is the one its text names: in the fiscal year 2026/27 "Juli" is July 2026,
    // "Juni" June 2027, "2. Quartal (Okt–Dez)" October to December 2026.
    for (const PeriodBoxItem& item : july) {
        if (item.periodIndex == PeriodFreeRange)
            continue;
        const PeriodRange r = BuildPeriodFilter("2026/27", item.periodIndex, 7);
        if (item.text == "Juli") {
            EXPECT_EQ(r.rangeText, "Bereich: 01.07.2026-31.07.2026");
        } else if (item.text == "Juni") {
            EXPECT_EQ(r.rangeText, "Bereich: 01.06.2027-30.06.2027");
        } else if (item.periodIndex == 2) {
            EXPECT_EQ(r.rangeText, "Bereich: 01.10.2026-31.12.2026") << item.text;
        }
    }
    // The months in the box's order follow one another.
    TDateTime previousEnd = 0;
    for (size_t i = 5; i < 17; ++i) {
        const PeriodRange r = BuildPeriodFilter("2026/27", july[i].periodIndex, 7);
        if (previousEnd != 0) {
            EXPECT_EQ(r.start, previousEnd + 1) << july[i].text;
        }
        previousEnd = r.end;
    }
}

TEST(FiscalPeriods, FileNamesOfPeriodsChosenByHand)
{
    struct Case {
        const char* year;
        int period, fiscalStart;
        const char* stem;
    };
    const Case cases[] = {
        {"2026", 0, 1, "GEWINN-2026"},
        {"2026", 4, 1, "GEWINN-2026-Q4"},
        {"2026", 15, 1, "GEWINN-2026-11"},
        {"2026", 0, 7, "GEWINN-2026-27-Jul-Jun"},
        {"2026/27", 2, 7, "GEWINN-2026-27-Q2-Okt-Dez"},
        {"2026", 2, 7, "GEWINN-2026-27-Q2-Okt-Dez"},
        {"2026", 2, 4, "GEWINN-2026-27-Q2-Jul-Sep"},
        // A month by its calendar year: January of the fiscal year 2026/27 is January 2027.
        {"2026/27", 5, 7, "GEWINN-2027-01"},
        {"2026", 11, 7, "GEWINN-2026-07"},
        {"2099", 0, 12, "GEWINN-2099-00-Dez-Nov"},
        {"0999", 4, 2, "GEWINN-0999-00-Q4-Nov-Jan"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PeriodFileStem(c.year, c.period, c.fiscalStart), c.stem) << c.year << " " << c.period;
}
