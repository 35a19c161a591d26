#pragma once
// The report command's outputs into files: the list as a PDF (--pdf) and as an Excel workbook
// (--xlsx), the chart as a picture (--chart), each into its own file or, with --output DIR, all of
// them (and an explicit --format's text) into DIR under the period's names (app/OutputFiles.h).
//
// Nothing of a failed run is written. Before anything is written every target is checked to be a
// regular file or absent; then the files are written one after the other, each atomically.
// Returns the exit status: 0 when every file is written, 1 otherwise (the reason on err).
#include "app/ReportOptions.h"
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"
#include "base/Dates.h"

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

namespace gs {

// What a caller draws itself instead of the plain document list.
struct ReportFileSources {
    // Writes the PDF into the file given (the group table, one group's list); empty: the list.
    std::function<void(const std::filesystem::path&)> pdf;
};

// previous: the run of the year before (--compare vorjahr), or null.
int WriteReportFiles(const ReportOptions& options, const ResultTables& tables, const RunOutcome& outcome,
                     const PreviousYearRun* previous, TDateTime now, const std::string& secondCurrencySymbol,
                     std::ostream& err, const ReportFileSources& sources = {});

} // namespace gs
