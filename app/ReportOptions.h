#pragma once
// The command line of the report command:
//     gewinnstatistik-report DBPATH --year YYYY [--period P] [--server local|remote] [--format text|csv|json]
//                            [--pdf FILE | --spool pdf|print]
//                            [--group-by kunde|vertreter|dokumentart|monat]
//                            [--filter kunde=ID|vertreter=ID|dokumentart=POT|monat=YYYY-MM]
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
    int periodIndex = 0;          // "Ganzes Jahr"
    bool localServer = true;
    ReportFormat format = ReportFormat::Text;
    std::string pdfFile;          // non-empty: the list goes as a PDF into this file instead
    std::optional<SpoolTarget> spool; // write the list as one job into the spool instead of printing it
    std::optional<GroupBy> groupBy;   // the group table instead of the document list
    std::optional<GroupFilter> filter; // only the documents of one group
};

// The options, or the reason they are not usable (the caller prints it with the usage text).
struct ReportOptionsResult {
    std::optional<ReportOptions> options;
    std::string problem;
};

ReportOptionsResult ParseReportOptions(const std::vector<std::string>& args);

std::string ReportUsage(const std::string& programName);

} // namespace gs
