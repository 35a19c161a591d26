#include "app/ReportXlsx.h"

#include "app/ProfitListRows.h"
#include "base/Text.h"
#include "spool/ListCellText.h"

namespace gs {

namespace {

// The typed value of a KM field, or nullopt for the fields written as the list's text.
std::optional<XlsxCell> KmValue(const KmRow& row, std::string_view field)
{
    if (EqualsNoCase(field, "ID_ORDER"))
        return XlsxCell::Number(row.idOrder);
    if (EqualsNoCase(field, "DATE"))
        return row.date ? XlsxCell::Date(*row.date) : XlsxCell{};
    if (EqualsNoCase(field, "WW_NETTO"))
        return XlsxCell::Money(row.net);
    if (EqualsNoCase(field, "GEWINN"))
        return XlsxCell::Money(row.profit);
    if (EqualsNoCase(field, "PROVISION"))
        return XlsxCell::Money(row.commission);
    return std::nullopt;
}

} // namespace

XlsxSheet ReportXlsxSheet(const ResultTables& tables, const RunOutcome& outcome, std::string_view secondCurrencySymbol)
{
    KmGridDataSet rows(tables);
    const ListDescription list = ProfitListDescription(rows, {}, 0);
    const GridDescription& grid = list.grid;
    CsvExportOptions options;
    options.SecondCurrencySymbol = std::string(secondCurrencySymbol);
    XlsxSheet sheet = GridXlsxSheet(list, options, [&tables](const GridRecord& record, std::string_view field) {
        return KmValue(tables.KM[static_cast<size_t>(record.row())], field);
    });
    sheet.sheetName = "Gewinne";
    sheet.title = "Gewinne";
    sheet.subject = outcome.rangeText;

    const RunTotals& t = outcome.totals;
    sheet.totals.resize(sheet.captions.size());
    bool labelled = false;
    for (size_t c = 0; c < grid.columns.size() && c < sheet.captions.size(); ++c) {
        const std::string& field = grid.columns[c].fieldName;
        if (EqualsNoCase(field, "WW_NETTO"))
            sheet.totals[c] = XlsxCell::Money(t.net);
        else if (EqualsNoCase(field, "GEWINN"))
            sheet.totals[c] = XlsxCell::Money(t.profit);
        else if (EqualsNoCase(field, "PROVISION"))
            sheet.totals[c] = XlsxCell::Money(t.commission);
        else if (EqualsNoCase(field, "ADRESSNAME"))
            sheet.totals[c] = XlsxCell::Of(std::to_string(t.documents) + (t.documents == 1 ? " Beleg" : " Belege"));
        else if (!labelled) {
            sheet.totals[c] = XlsxCell::Of("Summe");
            labelled = true;
        }
    }
    return sheet;
}

} // namespace gs
