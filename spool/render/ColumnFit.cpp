#include "spool/render/ColumnFit.h"

#include "base/Text.h"
#include "spool/render/ListRenderer.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

namespace gs {

namespace {

// The longest texts of a column by characters, the candidates for its widest on paper: measuring
// every cell of a long list would cost more than drawing it.
class WidestTexts {
public:
    void add(std::string text)
    {
        const size_t length = Utf8Length(text);
        if (length + Slack < longest_)
            return;
        longest_ = std::max(longest_, length);
        if (texts_.size() >= Kept) {
            std::erase_if(texts_, [this](const std::string& t) { return Utf8Length(t) + Slack < longest_; });
            if (texts_.size() >= Kept)
                return;
        }
        texts_.push_back(std::move(text));
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
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return needs[a] < needs[b]; });
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

} // namespace gs
