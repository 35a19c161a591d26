#include "GridPdf.h"

#include "base/Cp1252.h"
#include "base/Text.h"
#include "spool/TextToRtf.h"
#include "spool/render/PdfOutput.h"

namespace gs {

TRenderResult WriteGridPdf(const TGridDescription& grid, const std::string& title, const std::string& footer,
                           TDateTime now, const std::filesystem::path& file)
{
    TListJob job;
    job.title = Utf8ToCp1252(TextToRtfWithSize(title, 10));
    job.footer = Utf8ToCp1252(TextToRtfWithSize(footer, 10));
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
    std::vector<std::vector<std::string>> rows;
    const int count = grid.dataSet->RecordCount();
    rows.reserve(static_cast<size_t>(count));
    for (int r = 0; r < count; ++r) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (const TGridColumn& c : grid.columns)
            if (c.width > 0)
                cells.push_back(grid.dataSet->FieldText(r, c.fieldName).value_or(std::string()));
    }
    TVectorRowSource source(std::move(rows));
    return WriteListPdf(job, source, file);
}

} // namespace gs
