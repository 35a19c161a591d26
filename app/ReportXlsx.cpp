#include "app/ReportXlsx.h"

#include "app/ProfitListRows.h"
#include "app/ReportOutput.h"

namespace gs {

XlsxSheet ReportXlsxSheet(const ResultTables& tables, const RunOutcome& outcome, std::string_view secondCurrencySymbol,
                          const std::string& filterText)
{
    KmGridDataSet rows(tables);
    const ListDescription list = ProfitListDescription(rows, {}, 0, outcome.rangeText);
    CsvExportOptions options;
    options.SecondCurrencySymbol = std::string(secondCurrencySymbol);
    XlsxSheet sheet = GridXlsxSheet(list, options);
    sheet.sheetName = "Gewinne";
    sheet.title = filterText.empty() ? std::string(ReportListTitle) : std::string(ReportListTitle) + ", " + filterText;
    sheet.heading = ReportHeadingLines(ReportListTitle, outcome.rangeText, filterText);
    return sheet;
}

} // namespace gs
