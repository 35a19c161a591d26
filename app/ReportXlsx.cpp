#include "app/ReportXlsx.h"

#include "app/ProfitListRows.h"

namespace gs {

XlsxSheet ReportXlsxSheet(const ResultTables& tables, const RunOutcome& outcome, std::string_view secondCurrencySymbol)
{
    KmGridDataSet rows(tables);
    const ListDescription list = ProfitListDescription(rows, {}, 0, outcome.rangeText);
    CsvExportOptions options;
    options.SecondCurrencySymbol = std::string(secondCurrencySymbol);
    XlsxSheet sheet = GridXlsxSheet(list, options);
    sheet.sheetName = "Gewinne";
    sheet.title = "Gewinne";
    return sheet;
}

} // namespace gs
