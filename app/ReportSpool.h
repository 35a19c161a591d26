#pragma once
// The report command's list print: the period's document list as one job in the output spool,
// exactly as the list print of the window writes it (the statistics list's description,
// app/ProfitListRows.h; printer and copies from TOVIK.INI), with no dialog.
//
// Returns the job or why there is none; never shows a message and never raises for ordinary
// errors.
#include "app/ResultTables.h"

#include <cstdint>
#include <string>

namespace gs {

class Runtime;

enum class SpoolTarget { Print, Pdf };

struct ReportSpoolResult {
    std::int64_t jobId = 0;   // 0: no job written
    std::string pdfPath;      // for PDF jobs: the file the PDF processor will write
    std::string error;        // why no job was written
};

// now: the date and time for the title and the file stem (a day number with fraction).
// filterText: the group the tables hold (GroupFilterText), named in the title; empty for the whole list.
ReportSpoolResult SpoolReportList(Runtime& runtime, const ResultTables& tables, const std::string& totalsLine,
                                  SpoolTarget target, double now, const std::string& filterText = {});

} // namespace gs
