#include "ReportPdf.h"

#include "app/ReportSpool.h"
#include "base/Cp1252.h"
#include "base/Text.h"
#include "spool/TextToRtf.h"
#include "spool/render/PdfOutput.h"

namespace gs {

namespace {

// The rows of the list's grid, each row's cell texts made only when the renderer asks for it.
class GridRowSource : public TListRowSource {
public:
    explicit GridRowSource(const TGridDescription& grid) : grid_(grid) {}
    long long RowCount() override { return grid_.dataSet->RecordCount(); }
    bool NextRow(std::vector<std::string>& cells) override
    {
        if (next_ >= grid_.dataSet->RecordCount())
            return false;
        for (const TGridColumn& c : grid_.columns)
            if (c.width > 0)
                cells.push_back(grid_.dataSet->FieldText(next_, c.fieldName).value_or(std::string()));
        ++next_;
        return true;
    }

private:
    const TGridDescription& grid_;
    int next_ = 0;
};

} // namespace

std::string ListPrintTitle(TDateTime now) { return "Gewinne, erstellt " + DateTimeToText(now); }

TRenderResult WriteReportPdf(const TResultTables& tables, const RunOutcome& outcome, TDateTime now,
                             const std::filesystem::path& file)
{
    // The same grid, title and footer the list print spools, so that the file looks like the one
    // the PDF processor makes of the window's list.
    KmGridDataSet data(tables);
    const TGridDescription grid = ResultListGrid(data);
    TListJob job;
    job.title = Utf8ToCp1252(TextToRtfWithSize(ListPrintTitle(now), 10));
    job.footer = Utf8ToCp1252(TextToRtfWithSize(SummenText(outcome.totals), 10));
    job.landscape = true;
    job.printDate = DateTimeToText(now);
    job.documentName = "Gewinne";
    for (const TGridColumn& c : grid.columns) {
        if (c.width <= 0)
            continue;
        std::string caption = c.title;
        ReplaceAllText(caption, "/b", "");
        job.columns.push_back({caption, c.width, c.titleAlignment, c.cellAlignment});
    }
    GridRowSource rows(grid);
    return WriteListPdf(job, rows, file);
}

} // namespace gs
