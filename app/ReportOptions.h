#pragma once
// The command line of the report command:
//     gewinnstatistik-report DATENBANK (--year JJJJ [--period ZEITRAUM] [--fiscal-start MONAT]
//                                       | --from JJJJ-MM-TT --to JJJJ-MM-TT)
//                            [--compare vorjahr] [--server local|remote] [--format text|csv|json]
//                            [--pdf DATEI | --spool pdf|print] [--xlsx DATEI] [--chart DATEI [--lines] [--size BxH]]
//                            [--output ORDNER] [--today JJJJ-MM-TT]
//                            [--group-by kunde|vertreter|dokumentart|monat]
//                            [--filter kunde=NR|vertreter=NR|dokumentart=NR|monat=JJJJ-MM]
//     gewinnstatistik-report --hilfe (or --help, -h)
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
    // --output ORDNER: every asked output goes into that folder under a name made from the period; --pdf and
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

// The options, or the reason they are not usable (the caller prints it and ReportHelpHint).
struct ReportOptionsResult {
    std::optional<ReportOptions> options;
    std::string problem;
};

ReportOptionsResult ParseReportOptions(const std::vector<std::string>& args);

// Sets the year, the period index and the fiscal start from a relative period and today (the
// --today day when given, else the clock's day), in the fiscal year beginning in the month of
// --fiscal-start or else in settingFiscalStartMonth; the year text names a fiscal year as the year
// box does ("2026/27"). With --year that (fiscal) year stands for today's. Returns the problem (a
// year before 1), or an empty text.
std::string ApplyRelativePeriod(ReportOptions& options, CalendarDay clockDay, int settingFiscalStartMonth);

// After ApplyRelativePeriod: the message when the relative period begins after today (the --today
// day or the clock's), as it can with --year; empty when it does not.
std::string RelativePeriodInFuture(const ReportOptions& options, CalendarDay clockDay);

// The period the options ask for, with the fiscal year beginning in the month given unless
// --fiscal-start said another.
PeriodChoice ReportPeriodChoice(const ReportOptions& options, int settingFiscalStartMonth);

// The usage text with every option, for --hilfe.
std::string ReportUsage(const std::string& programName);
// The one line under a command-line error: where the usage is.
std::string ReportHelpHint(const std::string& programName);
// Whether the line asks for the usage (--hilfe, --help or -h anywhere).
bool AsksForHelp(const std::vector<std::string>& args);

} // namespace gs
