#include "GridPdf.h"

#include "app/OutputFiles.h"
#include "spool/render/ColumnFit.h"
#include "spool/render/PdfOutput.h"

namespace gs {

namespace {

// The rows of a grid, each row's cell texts made only when the renderer asks for it.
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

RenderResult WriteListDescriptionPdf(const ListDescription& list, TDateTime now, const std::filesystem::path& file)
{
    ListDescription fitted = list;
    FitColumnsToTexts(fitted);
    GridRowSource source(fitted.grid);
    if (IsStandardOutput(file))
        return WriteListPdfToStream(fitted, {DateTimeToText(now), "Gewinne"}, source, 1, StandardOutputName);
    return WriteListPdf(fitted, {DateTimeToText(now), "Gewinne"}, source, file);
}

RenderResult WriteGridPdf(const GridDescription& grid, const std::string& title, const std::string& footer,
                          TDateTime now, const std::filesystem::path& file)
{
    ListDescription list;
    list.name = "GEWINN";
    list.title = title;
    list.footer = footer;
    list.textSize = 10;
    list.grid = grid;
    list.landscape = true;
    return WriteListDescriptionPdf(list, now, file);
}

} // namespace gs
