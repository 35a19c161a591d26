#pragma once
// Draws a list (its description, what the print adds, and its rows) onto pages of a paged paint device: a PDF writer or a
// printer. The host's own report layouts (the job's RPT and DATAGRIDDATA fields) have no published
// format, so the list is drawn in this renderer's own layout (and the column range of
// LeftStartSecond/RightEndSecond, which belongs to that host layout, is not used: every printed
// column is drawn, on one line per row):
//
//   - A4, portrait or landscape as the job says, margins of 15 mm at the sides and 12 mm at top and
//     bottom;
//   - the title (HTEXT) at the top of the first page (cut to 200 lines and 20,000 characters, and
//     to 40 % of the page's height);
//   - the column captions, bold on a grey band, at the top of every page that holds rows;
//   - one line per row, column widths in proportion to the stored screen widths across the whole
//     page width, captions and cells aligned as stored; a text wider than its column is cut with an
//     ellipsis; a cell holding a lone carriage return is empty;
//   - the footer text (FTEXT) after the last row;
//   - at the foot of every page the print date on the left and "Seite p von n" on the right.
//
// The page count is known before the first row (every row is one line), so the rows are read once,
// in order, and each page is handed to the device as soon as it is full: memory does not grow with
// the number of rows.
//
// Used by the output processors and the report command. Needs a QGuiApplication (fonts). Raises
// gs::Error when painting cannot start on the device or when the row source fails or gives fewer
// rows than it announced.
#include "spool/render/ListJob.h"
#include "spool/render/ListPages.h"

#include <memory>
#include <string>

class QPagedPaintDevice;

namespace gs {

struct RenderResult {
    long long pages = 0;
    long long rows = 0;
};

// Sets the device's page layout (A4, orientation, margins), then draws.
RenderResult RenderList(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                         QPagedPaintDevice& device);

// The text drawn for a stored cell: a lone carriage return is empty; line breaks and tabs become
// blanks; trailing blanks (fixed-width fields) go; more than 400 characters (more than the widest
// column shows) are cut, ending in "…". The stored cell is not changed.
std::string ListCellDisplayText(const std::string& stored);

// "Seite 3 von 12"
std::string PageNumberText(long long page, long long pages);

// Measures as this layout draws: for a caller that fits a list's column widths (which count as
// proportions) to its texts before it draws the list. All in points.
class ListTextMeasure {
public:
    ListTextMeasure();
    ~ListTextMeasure();
    // The width a column needs to show the cell text (as ListCellDisplayText gives it) or the
    // caption whole, padding included.
    double cellWidth(const std::string& text) const;
    double captionWidth(const std::string& text) const;
    // The width the columns share on a page.
    static double contentWidth(bool landscape);

private:
    struct Fonts;
    std::unique_ptr<Fonts> fonts_;
};

} // namespace gs
