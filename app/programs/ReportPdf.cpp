#include "ReportPdf.h"

#include "GridPdf.h"
#include "app/ProfitListRows.h"
#include "spool/render/PdfOutput.h"

namespace gs {

RenderResult WriteReportPdf(const ResultTables& tables, const RunOutcome& outcome, TDateTime now,
                             const std::filesystem::path& file)
{
    // The list the list print spools, so that the file looks like the one the PDF processor makes
    // of the window's list; the title in the dialog's default size, without reading the user's.
    KmGridDataSet rows(tables);
    ListDescription list = ProfitListDescription(rows, SummenText(outcome.totals), now, tables.RangeText);
    list.textSize = 10;
    return WriteListDescriptionPdf(list, now, file);
}

} // namespace gs
