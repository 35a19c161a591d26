#include "spool/render/ListPages.h"

#include <algorithm>
#include <cmath>

namespace gs {

namespace {

long long Capacity(double space, double row)
{
    if (row <= 0)
        return 1;
    return std::max<long long>(1, static_cast<long long>(std::floor(space / row + 1e-9)));
}

} // namespace

PagePlan PlanListPages(long long rows, const ListHeights& h)
{
    PagePlan plan;
    rows = std::max<long long>(0, rows);
    plan.rowsFirstPage = Capacity(h.content - h.title - h.caption, h.row);
    plan.rowsPerPage = Capacity(h.content - h.caption, h.row);

    long long rowPages = 1;
    double usedOnLast = h.title + h.caption + static_cast<double>(rows) * h.row;
    if (rows > plan.rowsFirstPage) {
        const long long rest = rows - plan.rowsFirstPage;
        const long long further = (rest + plan.rowsPerPage - 1) / plan.rowsPerPage;
        rowPages = 1 + further;
        const long long onLast = rest - (further - 1) * plan.rowsPerPage;
        usedOnLast = h.caption + static_cast<double>(onLast) * h.row;
    }
    plan.footerOwnPage = h.footer > 0 && usedOnLast + h.footer > h.content + 1e-9;
    plan.pages = rowPages + (plan.footerOwnPage ? 1 : 0);
    return plan;
}

long long PagePlan::firstRowOfPage(long long page) const
{
    if (page <= 1)
        return 0;
    return rowsFirstPage + (page - 2) * rowsPerPage;
}

long long PagePlan::rowsOnPage(long long page, long long rows) const
{
    if (footerOwnPage && page == pages)
        return 0;
    const long long first = firstRowOfPage(page);
    const long long capacity = page <= 1 ? rowsFirstPage : rowsPerPage;
    return std::clamp<long long>(rows - first, 0, capacity);
}

} // namespace gs
