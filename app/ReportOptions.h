#pragma once
// The command line of the report command:
//     gewinnstatistik-report DBPATH (--year YYYY [--period P] [--fiscal-start N] | --from YYYY-MM-DD --to YYYY-MM-DD)
//                            [--compare vorjahr] [--server local|remote] [--format text|csv|json]
//                            [--pdf FILE | --spool pdf|print] [--xlsx FILE] [--chart FILE [--lines] [--size WxH]]
//                            [--output DIR] [--today YYYY-MM-DD]
//                            [--group-by kunde|vertreter|dokumentart|monat]
//                            [--filter kunde=ID|vertreter=ID|dokumentart=POT|monat=YYYY-MM]
#include "app/PeriodSelection.h"
#include "app/RelativePeriod.h"
#include "app/ProfitGroups.h"
#include "app/ReportSpool.h"

#include <optional>
#include <string>
#include <vector>

namespace gs {

enum class ReportFormat { Text, Csv, Json };

struct ReportOptions {
    std::string databasePath;
    std::string yearText;
    int periodIndex = 0;          // "Ganzes Jahr"; PeriodFreeRange with --from and --to
    TDateTime firstDay = 0;       // --from and --to
    TDateTime lastDay = 0;
    std::optional<int> fiscalStartMonth; // --fiscal-start; otherwise the window's setting
    bool comparePreviousYear = false;    // --compare vorjahr
    bool localServer = true;
    ReportFormat format = ReportFormat::Text;
    std::string pdfFile;          // non-empty: the list goes as a PDF into this file instead
    std::optional<SpoolTarget> spool; // write the list as one job into the spool instead of printing it
    // The period named relative to today (--period "Vormonat", ...); the year and period index are
    // set from it by ApplyRelativePeriod once today is known. --year, when given, stands for today's year.
    std::optional<RelativePeriod> relativePeriod;
    std::optional<CalendarDay> today; // --today: the day relative periods count from instead of the clock
    std::string xlsxFile;             // non-empty: the list as an Excel workbook into this file
    std::string chartFile;            // non-empty: the chart as a picture (PNG or SVG by the extension)
    bool chartLines = false;          // the chart as lines instead of bars
    int chartWidth = 0, chartHeight = 0; // the picture's size in pixels; 0: the window's chart at 2x
    // --output DIR: every asked output goes into DIR under a name made from the period; --pdf and
    // --xlsx then take no file name, --chart optionally "png" or "svg", and an explicit --format
    // writes its text into a file too.
    std::string outputDir;
    bool outputPdf = false, outputXlsx = false, outputFormat = false;
    std::string outputChart; // "png" or "svg"; empty: no chart
    // Any output that goes into a file instead of standard output.
    bool writesFiles() const { return !pdfFile.empty() || !xlsxFile.empty() || !chartFile.empty() || !outputDir.empty(); }
    std::optional<GroupBy> groupBy;   // the group table instead of the document list
    std::optional<GroupFilter> filter; // only the documents of one group
};

// The options, or the reason they are not usable (the caller prints it with the usage text).
struct ReportOptionsResult {
    std::optional<ReportOptions> options;
    std::string problem;
};

ReportOptionsResult ParseReportOptions(const std::vector<std::string>& args);

// Sets the year and the period index from a relative period and today (the --today day when given,
// else the day passed, normally the clock's); with --year that year stands for today's. Returns the
// problem (a year before 1), or an empty text.
std::string ApplyRelativePeriod(ReportOptions& options, int todayYear, int todayMonth);

// The period the options ask for, with the fiscal year beginning in the month given unless
// --fiscal-start said another.
PeriodChoice ReportPeriodChoice(const ReportOptions& options, int settingFiscalStartMonth);

std::string ReportUsage(const std::string& programName);

} // namespace gs
