#pragma once
// The command line of the report command:
//     gewinnstatistik-report DBPATH (--year YYYY [--period P] [--fiscal-start N] | --from YYYY-MM-DD --to YYYY-MM-DD)
//                            [--compare vorjahr] [--server local|remote] [--format text|csv|json]
//                            [--pdf FILE | --spool pdf|print]
#include "app/PeriodSelection.h"
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
};

// The options, or the reason they are not usable (the caller prints it with the usage text).
struct ReportOptionsResult {
    std::optional<ReportOptions> options;
    std::string problem;
};

ReportOptionsResult ParseReportOptions(const std::vector<std::string>& args);

// The period the options ask for, with the fiscal year beginning in the month given unless
// --fiscal-start said another.
PeriodChoice ReportPeriodChoice(const ReportOptions& options, int settingFiscalStartMonth);

std::string ReportUsage(const std::string& programName);

} // namespace gs
