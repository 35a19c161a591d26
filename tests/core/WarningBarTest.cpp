#include "app/WarningBar.h"

#include <gtest/gtest.h>

using namespace gs;

namespace {

struct BarCase {
    const char* name;
    std::optional<int> profit, net;
    int width;
    WarningBarGeometry expected;
};

class WarningBarTest : public ::testing::TestWithParam<BarCase> {};

constexpr unsigned Green = WarningBarProfitColor, Red = WarningBarLossColor, Grey = WarningBarNoProfitColor;

} // namespace

TEST_P(WarningBarTest, ColourAndLength)
{
    const BarCase& c = GetParam();
    const WarningBarGeometry bar = ComputeWarningBar(c.profit, c.net, c.width);
    EXPECT_EQ(bar.color, c.expected.color);
    EXPECT_EQ(bar.length, c.expected.length);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WarningBarTest,
    ::testing::Values(BarCase{"QuarterProfit", 250, 1000, 80, {Green, 20}},
                      BarCase{"QuarterLoss", -250, 1000, 80, {Red, 20}},
                      BarCase{"NetZeroFillsTheCellInTheProfitsColour", 100, 0, 77, {Green, 77}},
                      BarCase{"NegativeNetFillsTheCell", -100, -500, 77, {Red, 77}},
                      BarCase{"NegativeNetWithProfit", 10, -500, 77, {Green, 77}},
                      BarCase{"ProfitZeroIsAFullGreyCell", 0, 1000, 77, {Grey, 77}},
                      BarCase{"ProfitZeroWithoutNet", 0, 0, 77, {Grey, 77}},
                      BarCase{"EmptyFieldsCountAsZero", std::nullopt, std::nullopt, 77, {Grey, 77}},
                      BarCase{"EmptyNet", 5, std::nullopt, 77, {Green, 77}},
                      BarCase{"LossLargerThanNetIsClipped", -2000, 1000, 77, {Red, 77}},
                      BarCase{"ProfitLargerThanNetIsClipped", 3000, 1000, 77, {Green, 77}},
                      BarCase{"HalfRoundsDownToEven", 1, 154, 77, {Green, 0}},
                      BarCase{"OneAndAHalfRoundsUpToEven", 3, 154, 77, {Green, 2}},
                      BarCase{"TwoAndAHalfRoundsDownToEven", -5, 154, 77, {Red, 2}},
                      BarCase{"ThirtyEightAndAHalf", 1, 2, 77, {Green, 38}},
                      BarCase{"AboveAHalfRoundsUp", 1, 3, 77, {Green, 26}},
                      BarCase{"LargeValuesDoNotOverflow", 2147483647, 2147483647, 77, {Green, 77}},
                      BarCase{"MostNegativeProfit", -2147483647 - 1, 2147483647, 77, {Red, 77}},
                      BarCase{"ZeroWidth", 250, 1000, 0, {Green, 0}}),
    [](const ::testing::TestParamInfo<BarCase>& info) { return std::string(info.param.name); });
