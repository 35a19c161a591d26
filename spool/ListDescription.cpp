#include "spool/ListDescription.h"

#include "base/Text.h"
#include "spool/TextToRtf.h"

#include <algorithm>

namespace gs {

namespace {

std::string RichText(const std::string& text, int size)
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

int TListDescription::leftStart() const { return wholeColumnRange ? 0 : 2; }

int TListDescription::rightEnd() const { return wholeColumnRange ? 0 : std::max(3, grid.shownColumnCount()); }

std::vector<TListColumnSpec> TListDescription::printedColumns() const
{
    std::vector<TListColumnSpec> printed;
    for (const TGridColumn& c : grid.columns)
        if (c.width > 0)
            printed.push_back({CaptionWithoutMarkup(c.title), c.width, c.titleAlignment, c.cellAlignment});
    return printed;
}

std::string TListDescription::richTitle() const { return RichText(title, textSize); }

std::string TListDescription::richFooter() const { return RichText(footer, textSize); }

} // namespace gs
