#pragma once
// The report's Excel workbook: over the table the title ("Gewinne", with a filter ", Kunde Müller
// GmbH"), the range and the filter line as the CSV has them; then the document list with the CSV
// export's rows and columns (same captions, same order), the order number as a number, the date as
// a date, the amounts as euros to the cent, the other columns with the list's texts; under the rows
// the totals of the run ("Summe", the number of documents, the three sums). Title and range also go
// into the document properties.
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"
#include "spool/XlsxWorkbook.h"

#include <string>
#include <string_view>

namespace gs {

// filterText: the group the tables are filtered to ("" for none).
XlsxSheet ReportXlsxSheet(const ResultTables& tables, const RunOutcome& outcome, std::string_view secondCurrencySymbol,
                          const std::string& filterText = {});

} // namespace gs
