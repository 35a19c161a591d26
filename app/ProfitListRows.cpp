#include "app/ProfitListRows.h"

#include "app/ProfitGroups.h"
#include "base/Text.h"

#include "app/ResultColumns.h"
#include "spool/ListCellText.h"

namespace gs {

namespace {

// The typed value of a KM field in the workbook, or nullopt for the fields written as the list's text.
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

std::string DocumentCountText(int documents)
{
    return std::to_string(documents) + (documents == 1 ? " Dokument" : " Dokumente");
}

std::optional<XlsxCell> ListTotalCell(std::string_view field, const RunTotals& totals)
{
    if (EqualsNoCase(field, "WW_NETTO"))
        return XlsxCell::Money(totals.net);
    if (EqualsNoCase(field, "GEWINN"))
        return XlsxCell::Money(totals.profit);
    if (EqualsNoCase(field, "PROVISION"))
        return XlsxCell::Money(totals.commission);
    if (EqualsNoCase(field, "ADRESSNAME"))
        return XlsxCell::Of(DocumentCountText(totals.documents));
    return std::nullopt;
}

std::optional<std::string> KmGridDataSet::FieldText(int row, std::string_view field) const
{
    if (row < 0 || row >= RecordCount())
        return std::nullopt;
    return KmFieldText(tables_.KM[static_cast<size_t>(row)], field);
}

GridDescription ResultListGrid(GridDataSet& rows)
{
    GridDescription grid;
    grid.dataSet = &rows;
    for (const ResultColumn& c : ResultListColumns) {
        if (!c.shownByDefault)
            continue;
        // Cells stand as the list shows them (host alignment codes: 0 left, 1 right).
        const int cellAlignment = c.alignment == ListCellAlignment::Right ? 1 : 0;
        grid.columns.push_back({c.field, c.title, c.width, 0, cellAlignment});
    }
    return grid;
}

std::string ListPrintTitle(TDateTime now) { return "Gewinne, erstellt " + DateTimeToText(now); }

ListDescription ProfitListDescription(GridDataSet& rows, const std::string& totalsText, TDateTime now,
                                      const std::string& rangeText)
{
    ListDescription list;
    list.name = "GEWINN";
    // The printed list says which period it shows.
    list.title = rangeText.empty() ? ListPrintTitle(now) : ListPrintTitle(now) + "\r\n" + rangeText;
    list.footer = totalsText;
    list.fileStem = "GEWINN-" + DateTimeToText(now) + "-";
    list.grid = ResultListGrid(rows);
    list.landscape = true;
    list.cellMode = CellModeOrderList;
    list.xlsxSubject = rangeText;
    if (const auto* km = dynamic_cast<const KmGridDataSet*>(&rows)) {
        const ResultTables* tables = &km->tables();
        list.xlsxValue = [tables](const GridRecord& record, std::string_view field) {
            return KmValue(tables->KM[static_cast<size_t>(record.row())], field);
        };
        list.xlsxTotal = [totals = TotalsOf(*tables)](std::string_view field) { return ListTotalCell(field, totals); };
    }
    return list;
}

} // namespace gs
