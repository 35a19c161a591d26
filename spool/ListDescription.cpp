#include "spool/ListDescription.h"

#include "base/Text.h"
#include "spool/TextToRtf.h"

#include <algorithm>

namespace gs {

namespace {

std::string AsRichText(const std::string& text, int size)
{
    if (text.empty() || IsRtfText(text))
        return text; // no title: nothing to wrap
    return size > 0 ? TextToRtfWithSize(text, size) : TextToRtf(text);
}

} // namespace

std::string CaptionWithoutMarkup(std::string title)
{
    ReplaceAllText(title, "/b", "");
    return title;
}

int ListDescription::leftStart() const { return wholeColumnRange ? 0 : 2; }

int ListDescription::rightEnd() const { return wholeColumnRange ? 0 : std::max(3, grid.shownColumnCount()); }

std::vector<ListColumnSpec> ListDescription::printedColumns() const
{
    std::vector<ListColumnSpec> printed;
    for (const GridColumn& c : grid.columns)
        if (c.width > 0)
            printed.push_back({CaptionWithoutMarkup(c.title), c.width, c.titleAlignment, c.cellAlignment});
    return printed;
}

std::string ListDescription::richTitle() const { return AsRichText(title, textSize); }

std::string ListDescription::richFooter() const { return AsRichText(footer, textSize); }

} // namespace gs
