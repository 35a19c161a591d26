// The margin's figure and its text: percent of the net, none where the net is 0, one decimal in the
// German number format.
#include "app/Margin.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gs;

TEST(MarginTest, PercentAndText)
{
    test::TestRuntime rt;
    struct Case {
        double profit, net;
        const char* text;
    };
    const Case cases[] = {
        {214, 1000, "21,4 %"},
        {-30, -200, "15,0 %"},       // a credit note: both negative
        {-40, 500, "-8,0 %"},        // a loss
        {1, 3, "33,3 %"},
        {0.0005, 0.01, "5,0 %"},     // a cent of net still has a margin
        {25000, 1000, "2.500,0 %"},
        {0.125, 100, "0,1 %"},
        {5, 0, ""},                  // no net
        {5, 0.004, ""},              // less than half a cent is no net
        {5, -0.004, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MarginText(MarginPercent(c.profit, c.net)), c.text);
    }
    EXPECT_DOUBLE_EQ(*MarginPercent(214, 1000), 21.4);
}
