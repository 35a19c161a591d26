#include "ReportPdf.h"

#include "GridPdf.h"
#include "app/GroupColumns.h"
#include "app/ProfitListRows.h"
#include "spool/render/PdfOutput.h"

namespace gs {

RenderResult WriteReportPdf(const ReportView& view, TDateTime now, const std::filesystem::path& file)
{
    const ResultTables& tables = view.tables();
    const RunOutcome& outcome = view.outcome();
    const std::string range = tables.RangeText.empty() ? std::string() : "\r\n" + tables.RangeText;
    if (view.groupBy()) {
        GroupGridDataSet rows(view.groups(), *view.groupBy());
        return WriteGridPdf(ProfitGroupGrid(rows),
                            GroupPrintTitle(*view.groupBy(), view.filterText(), DateTimeToText(now)) + range,
                            GroupTotalsText(outcome.totals), now, file);
    }
    const PreviousYearRun* previous = view.previous();
    const bool compared = previous && !previous->outcome.error && outcome.completed();
    const std::string totals = SummenText(outcome.totals, compared ? &previous->outcome.totals : nullptr);
    // The list the list print spools, so that the file looks like the one the PDF processor makes
    // of the window's list; the title in the dialog's default size, without reading the user's.
    KmGridDataSet rows(tables);
    ListDescription list = ProfitListDescription(rows, totals, now, tables.RangeText);
    if (view.filter())
        list.title = FilteredListTitle(view.filterText(), DateTimeToText(now)) + range;
    list.textSize = 10;
    return WriteListDescriptionPdf(list, now, file);
}

} // namespace gs
