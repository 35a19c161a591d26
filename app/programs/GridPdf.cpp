#include "GridPdf.h"

#include "app/OutputFiles.h"
#include "base/Text.h"
#include "spool/render/ListRenderer.h"
#include "spool/render/PdfOutput.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

// The longest texts of a column by characters, the candidates for its widest on paper: measuring
// every cell of a long list would cost more than drawing it.
class WidestTexts {
public:
    void add(const std::string& text)
    {
        const size_t length = Utf8Length(text);
        if (length + Slack < longest_)
            return;
        longest_ = std::max(longest_, length);
        if (texts_.size() >= Kept) {
            // Keep the longer half.
            std::erase_if(texts_, [this](const std::string& t) { return Utf8Length(t) + Slack < longest_; });
            if (texts_.size() >= Kept)
                return;
        }
        texts_.push_back(text);
    }
    const std::vector<std::string>& texts() const { return texts_; }

private:
    static constexpr size_t Slack = 4; // a few wide letters outweigh a few more narrow ones
    static constexpr size_t Kept = 64;
    size_t longest_ = 0;
    std::vector<std::string> texts_;
};

} // namespace

std::vector<double> FitColumnWidths(const std::vector<double>& needs, double pageWidth)
{
    if (std::accumulate(needs.begin(), needs.end(), 0.0) <= pageWidth)
        return needs;
    std::vector<size_t> order(needs.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return needs[a] < needs[b]; });
    std::vector<double> widths(needs.size());
    double left = pageWidth;
    for (size_t i = 0; i < order.size(); ++i) {
        const double share = left / static_cast<double>(order.size() - i);
        if (needs[order[i]] <= share) {
            widths[order[i]] = needs[order[i]];
            left -= needs[order[i]];
            continue;
        }
        for (size_t j = i; j < order.size(); ++j)
            widths[order[j]] = share;
        break;
    }
    return widths;
}

void FitColumnsToTexts(ListDescription& list)
{
    GridDescription& grid = list.grid;
    if (!grid.dataSet)
        return;
    std::vector<GridColumn*> shown;
    for (GridColumn& c : grid.columns)
        if (c.width > 0)
            shown.push_back(&c);
    std::vector<WidestTexts> widest(shown.size());
    for (int row = 0; row < grid.dataSet->RecordCount(); ++row)
        for (size_t c = 0; c < shown.size(); ++c)
            widest[c].add(grid.dataSet->FieldText(row, shown[c]->fieldName).value_or(std::string()));
    const ListTextMeasure measure;
    const std::vector<ListColumnSpec> printed = list.printedColumns();
    std::vector<double> needs;
    for (size_t c = 0; c < shown.size(); ++c) {
        double need = c < printed.size() ? measure.captionWidth(printed[c].caption) : 0;
        for (const std::string& text : widest[c].texts())
            need = std::max(need, measure.cellWidth(text));
        needs.push_back(need + 1); // a point to spare for the pair kerning of the drawn text
    }
    const std::vector<double> widths = FitColumnWidths(needs, ListTextMeasure::contentWidth(list.landscape));
    // Tenths of a point as the stored widths: only their proportions count on paper.
    for (size_t c = 0; c < shown.size(); ++c)
        shown[c]->width = std::max(1, static_cast<int>(std::lround(widths[c] * 10)));
}

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
