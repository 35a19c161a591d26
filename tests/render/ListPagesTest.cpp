// Page arithmetic of the list renderer: how many pages, how many rows where, when the footer text
// needs a page of its own.
#include "spool/render/ListPages.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

TEST(ListPages, PlansPagesFromHeights)
{
    // content 100: first page title 20 + captions 10 leaves 70 = 7 rows of 10; later pages 9 rows.
    const ListHeights h{100, 20, 10, 10, 25};
    struct Case {
        long long rows, pages, rowsOnLastRowPage;
        bool footerOwnPage;
    } cases[] = {
        {0, 1, 0, false},   // title, captions, footer on one page
        {4, 1, 4, false},   // 30 + 40 + 25 = 95 fits
        {5, 2, 5, true},    // 30 + 50 + 25 = 105: the footer moves on
        {7, 2, 7, true},
        {8, 2, 1, false},   // 7 + 1; the second page has room for the footer
        {16, 3, 9, true},   // 7 + 9 fills page 2; the footer takes page 3
        {17, 3, 1, false},
        {300, 34, 5, false},
    };
    for (const auto& c : cases) {
        const PagePlan plan = PlanListPages(c.rows, h);
        const long long lastRowPage = plan.pages - (plan.footerOwnPage ? 1 : 0);
        EXPECT_EQ(plan.pages, c.pages) << c.rows;
        EXPECT_EQ(plan.footerOwnPage, c.footerOwnPage) << c.rows;
        EXPECT_EQ(plan.rowsOnPage(lastRowPage, c.rows), c.rowsOnLastRowPage) << c.rows;
        long long sum = 0;
        for (long long p = 1; p <= plan.pages; ++p) {
            if (plan.rowsOnPage(p, c.rows) > 0) {
                EXPECT_EQ(plan.firstRowOfPage(p), sum) << c.rows << " page " << p;
            }
            sum += plan.rowsOnPage(p, c.rows);
        }
        EXPECT_EQ(sum, c.rows) << "every row on exactly one page, " << c.rows;
    }
}

TEST(ListPages, HugeTitleStillLeavesARowPerPage)
{
    const PagePlan plan = PlanListPages(3, ListHeights{100, 500, 10, 10, 0});
    EXPECT_EQ(plan.rowsFirstPage, 1);
    EXPECT_EQ(plan.pages, 1 + 1);  // 1 row, then the other 2 on page 2
    EXPECT_EQ(plan.rowsOnPage(2, 3), 2);
}

TEST(ListPages, WithoutFooterNoExtraPage)
{
    const PagePlan plan = PlanListPages(16, ListHeights{100, 20, 10, 10, 0});
    EXPECT_EQ(plan.pages, 2);
    EXPECT_FALSE(plan.footerOwnPage);
}

} // namespace
} // namespace gs
