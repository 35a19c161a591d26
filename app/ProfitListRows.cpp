#include "app/ProfitListRows.h"

#include "app/ResultColumns.h"
#include "spool/ListCellText.h"

namespace gs {

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
    return list;
}

} // namespace gs
