#pragma once
// The report command's outputs into files: the list as a PDF (--pdf) and as an Excel workbook
// (--xlsx), the chart as a picture (--chart), each into its own file or, with --output DIR, all of
// them (and an explicit --format's text) into DIR under the period's names (app/OutputFiles.h).
// Every file shows what the view shows: with --group-by the PDF and the text hold the group table,
// with --filter every file one group's documents, named as such.
//
// Nothing of a failed run is written. Before anything is written every target is checked to be a
// regular file or absent; then the files are written one after the other, each atomically.
// Returns the exit status: 0 when every file is written, 1 otherwise (the reason on err).
#include "app/ReportOptions.h"
#include "app/ReportView.h"
#include "base/Dates.h"

#include <ostream>
#include <string>

namespace gs {

// fiscalStartMonth: the month the fiscal year begins in (names the files, groups the chart).
int WriteReportFiles(const ReportOptions& options, const ReportView& view, int fiscalStartMonth, TDateTime now,
                     const std::string& secondCurrencySymbol, std::ostream& err);

} // namespace gs
