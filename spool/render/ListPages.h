#pragma once
// How a list falls onto pages, from heights alone: every row is one line high (a cell never wraps;
// too long texts are cut), so the page count is known before the first row is read and the rows
// can be drawn in one pass, page after page.
//
// A page's content area lies between the top margin and the page footer (date, page number).
// The first page holds the title, then the captions and rows; every further page with rows starts
// with the captions; the footer text follows the last row, on a page of its own when it does not fit
// below it. Every page with rows holds at least one row, however tall the title.
//
// Pure arithmetic in any one length unit; never raises.
namespace gs {

struct ListHeights {
    double content = 0;   // usable height of a page above the page footer
    double title = 0;     // title block with its gap below; 0 without title
    double caption = 0;   // caption band
    double row = 1;       // one row
    double footer = 0;    // footer block with its gap above; 0 without footer
};

struct PagePlan {
    long long pages = 1;
    long long rowsFirstPage = 0;   // capacity of the first page
    long long rowsPerPage = 0;     // capacity of every further page
    bool footerOwnPage = false;    // the footer text starts a page of its own (the last)
    // Rows drawn on page (1-based); 0 for the footer page.
    long long rowsOnPage(long long page, long long rows) const;
    // Index of the first row of the page.
    long long firstRowOfPage(long long page) const;
};

PagePlan PlanListPages(long long rows, const ListHeights& h);

} // namespace gs
