#include "ReportPdf.h"

#include "app/ReportOutput.h"
#include "app/ResultColumns.h"
#include "base/Cp1252.h"
#include "spool/render/PdfOutput.h"

#include <string_view>

namespace gs {

namespace {

// A grid caption without the grid's bold markup "/b" (any letter case), as the spooler stores it.
std::string CaptionWithoutMarkup(std::string_view title)
{
    std::string out;
    for (size_t i = 0; i < title.size(); ++i) {
        if (title[i] == '/' && i + 1 < title.size() && (title[i + 1] == 'b' || title[i + 1] == 'B')) {
            ++i;
            continue;
        }
        out += title[i];
    }
    return out;
}

// KM's rows, each turned into its cell texts only when the renderer asks for it.
class KmRowSource : public TListRowSource {
public:
    explicit KmRowSource(const std::vector<KmRow>& rows) : rows_(rows) {}
    long long RowCount() override { return static_cast<long long>(rows_.size()); }
    bool NextRow(std::vector<std::string>& cells) override
    {
        if (next_ >= rows_.size())
            return false;
        const KmRow& row = rows_[next_++];
        for (const ResultColumn& c : ResultListColumns)
            cells.push_back(KmFieldText(row, c.field).value_or(std::string()));
        return true;
    }

private:
    const std::vector<KmRow>& rows_;
    size_t next_ = 0;
};

} // namespace

std::string ListPrintTitle(TDateTime now) { return "Gewinne, erstellt " + DateTimeToText(now); }

TRenderResult WriteReportPdf(const TResultTables& tables, const RunOutcome& outcome, TDateTime now,
                             const std::filesystem::path& file)
{
    TListJob job;
    job.title = Utf8ToCp1252(ListPrintTitle(now));
    job.footer = Utf8ToCp1252(outcome.summen);
    job.landscape = true; // the list print is always landscape
    job.printDate = DateTimeToText(now);
    job.documentName = "Gewinne";
    for (const ResultColumn& c : ResultListColumns) {
        TListColumnSpec col;
        col.caption = CaptionWithoutMarkup(c.title);
        col.width = c.width;
        // The list shows the document number on the right, every other column on the left.
        col.cellAlignment = std::string_view(c.field) == "ID_ORDER" ? ListAlignRight : ListAlignLeft;
        job.columns.push_back(col);
    }
    KmRowSource rows(tables.KM);
    return WriteListPdf(job, rows, file);
}

} // namespace gs
