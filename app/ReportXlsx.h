#pragma once
// The report's Excel workbook: the document list with the CSV export's rows and columns (same
// captions, same order), the order number as a number, the date as a date, the amounts as euros to
// the cent, the other columns with the list's texts; under the rows the totals of the run ("Summe",
// the number of documents, the three sums). Title and range go into the document properties.
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"
#include "spool/XlsxWorkbook.h"

#include <string_view>

namespace gs {

XlsxSheet ReportXlsxSheet(const ResultTables& tables, const RunOutcome& outcome, std::string_view secondCurrencySymbol);

} // namespace gs
