#include "ReportPdf.h"

#include "app/OutputFiles.h"
#include "app/ProfitListRows.h"
#include "spool/render/PdfOutput.h"

namespace gs {

namespace {

// The rows of the list's grid, each row's cell texts made only when the renderer asks for it.
class GridRowSource : public ListRowSource {
public:
    explicit GridRowSource(const GridDescription& grid) : grid_(grid) {}
    long long RowCount() override { return grid_.dataSet->RecordCount(); }
    bool NextRow(std::vector<std::string>& cells) override
    {
        if (next_ >= grid_.dataSet->RecordCount())
            return false;
        for (const GridColumn& c : grid_.columns)
            if (c.width > 0)
                cells.push_back(grid_.dataSet->FieldText(next_, c.fieldName).value_or(std::string()));
        ++next_;
        return true;
    }

private:
    const GridDescription& grid_;
    int next_ = 0;
};

} // namespace

RenderResult WriteReportPdf(const ResultTables& tables, const RunOutcome& outcome, TDateTime now,
                             const std::filesystem::path& file)
{
    // The list the list print spools, so that the file looks like the one the PDF processor makes
    // of the window's list; the title in the dialog's default size, without reading the user's.
    KmGridDataSet rows(tables);
    ListDescription list = ProfitListDescription(rows, SummenText(outcome.totals), now, tables.RangeText);
    list.textSize = 10;
    GridRowSource source(list.grid);
    if (IsStandardOutput(file))
        return WriteListPdfToStream(list, {DateTimeToText(now), "Gewinne"}, source, 1, StandardOutputName);
    return WriteListPdf(list, {DateTimeToText(now), "Gewinne"}, source, file);
}

} // namespace gs
