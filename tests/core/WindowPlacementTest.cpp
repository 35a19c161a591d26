#include "app/WindowPlacement.h"
#include "settings/UserMode.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace gs;

namespace {

struct RestoreCase {
    const char* name;
    const char* stored;     // lines of section MODE
    int mode;
    WorkArea area;
    PlacementRect start;    // the window before restoring (its design size)
    PlacementRect expected;
};

constexpr WorkArea Desktop{0, 0, 1920, 1040};
constexpr PlacementRect Design{100, 100, 596, 385};
const SizeLimits DesignLimits{596, 385};

class RestorePlacementTest : public ::testing::TestWithParam<RestoreCase> {};

} // namespace

TEST_P(RestorePlacementTest, RestoresAndKeepsTheWindowInsideTheWorkArea)
{
    const RestoreCase& c = GetParam();
    test::TestRuntime rt;
    if (*c.stored)
        test::WriteFile(rt.dir() / "UserMode.INI", std::string("[MODE]\r\n") + c.stored);
    PlacementRect rect = c.start;
    RestorePlacement(rect, c.area, DesignLimits, {}, "TFOrderProfit1", c.mode, -1);
    EXPECT_EQ(rect.left, c.expected.left);
    EXPECT_EQ(rect.top, c.expected.top);
    EXPECT_EQ(rect.width, c.expected.width);
    EXPECT_EQ(rect.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestorePlacementTest,
    ::testing::Values(
        RestoreCase{"FirstStartTopLeft", "", 1, Desktop, Design, {0, 0, 596, 385}},
        RestoreCase{"FirstStartTopLeftOfAShiftedWorkArea", "", 1, {0, 40, 1920, 1080}, Design, {0, 40, 596, 385}},
        RestoreCase{"FirstStartCentred", "", 0, Desktop, Design, {662, 328, 596, 385}},
        RestoreCase{"FirstStartTopRight", "", 2, Desktop, Design, {1324, 0, 596, 385}},
        RestoreCase{"FirstStartBottomRight", "", 3, Desktop, Design, {1324, 655, 596, 385}},
        RestoreCase{"StoredPlacementInside", "TFOrderProfit1.Width=700\r\nTFOrderProfit1.Height=400\r\n"
                                             "TFOrderProfit1.Left=30\r\nTFOrderProfit1.Top=20\r\n",
                    1, Desktop, Design, {30, 20, 700, 400}},
        RestoreCase{"LeftFarRightMovesBack", "TFOrderProfit1.Left=5000\r\nTFOrderProfit1.Top=10\r\n", 1, Desktop,
                    Design, {1324, 10, 596, 385}},
        RestoreCase{"NegativeTopMovesDown", "TFOrderProfit1.Left=10\r\nTFOrderProfit1.Top=-200\r\n", 1, Desktop,
                    Design, {10, 0, 596, 385}},
        RestoreCase{"BelowTheBottomMovesUp", "TFOrderProfit1.Left=10\r\nTFOrderProfit1.Top=900\r\n", 1, Desktop,
                    Design, {10, 655, 596, 385}},
        RestoreCase{"TooWideShrinksAtTheLeftEdge", "TFOrderProfit1.Width=3000\r\nTFOrderProfit1.Left=50\r\n", 1,
                    Desktop, Design, {0, 0, 1920, 385}},
        RestoreCase{"TooHighShrinksAtTheTopEdge", "TFOrderProfit1.Height=2000\r\nTFOrderProfit1.Top=100\r\n", 1,
                    Desktop, Design, {0, 0, 596, 1040}},
        RestoreCase{"BelowTheMinimumIsRaised", "TFOrderProfit1.Width=100\r\nTFOrderProfit1.Height=50\r\n", 1,
                    Desktop, Design, {0, 0, 596, 385}},
        RestoreCase{"WorkAreaSmallerThanTheMinimumSticksOut", "TFOrderProfit1.Left=300\r\nTFOrderProfit1.Top=300\r\n",
                    1, {0, 0, 500, 300}, Design, {0, 0, 596, 385}},
        RestoreCase{"NotANumberTakesTheDefault", "TFOrderProfit1.Left=links\r\nTFOrderProfit1.Width=breit\r\n", 2,
                    Desktop, Design, {1324, 0, 596, 385}},
        RestoreCase{"CentredTruncatesTowardsZero", "", 0, {0, 0, 1001, 801}, {0, 0, 597, 387}, {202, 207, 597, 387}},
        // Extreme stored values: right and bottom edges must not wrap round past the int range.
        RestoreCase{"LargestLeft", "TFOrderProfit1.Left=2147483647\r\nTFOrderProfit1.Top=10\r\n", 1, Desktop, Design,
                    {1324, 10, 596, 385}},
        RestoreCase{"SmallestLeft", "TFOrderProfit1.Left=-2147483648\r\nTFOrderProfit1.Top=10\r\n", 1, Desktop,
                    Design, {0, 10, 596, 385}},
        RestoreCase{"LargestTop", "TFOrderProfit1.Left=10\r\nTFOrderProfit1.Top=2147483647\r\n", 1, Desktop, Design,
                    {10, 655, 596, 385}},
        RestoreCase{"SmallestTop", "TFOrderProfit1.Left=10\r\nTFOrderProfit1.Top=-2147483648\r\n", 1, Desktop,
                    Design, {10, 0, 596, 385}},
        RestoreCase{"LargestWidthAndHeight", "TFOrderProfit1.Width=2147483647\r\nTFOrderProfit1.Height=2147483647\r\n"
                                             "TFOrderProfit1.Left=50\r\nTFOrderProfit1.Top=50\r\n",
                    1, Desktop, Design, {0, 0, 1920, 1040}},
        RestoreCase{"SmallestWidthAndHeight", "TFOrderProfit1.Width=-2147483648\r\nTFOrderProfit1.Height=-2147483648\r\n",
                    1, Desktop, Design, {0, 0, 596, 385}},
        RestoreCase{"LargestEverything", "TFOrderProfit1.Width=2147483647\r\nTFOrderProfit1.Height=2147483647\r\n"
                                         "TFOrderProfit1.Left=2147483647\r\nTFOrderProfit1.Top=2147483647\r\n",
                    1, Desktop, Design, {0, 0, 1920, 1040}}),
    [](const ::testing::TestParamInfo<RestoreCase>& info) { return std::string(info.param.name); });

TEST(WindowPlacement, TheFrameCountsForTheWorkAreaButNotForTheStoredSize)
{
    test::TestRuntime rt;
    test::WriteFile(rt.dir() / "UserMode.INI", "[MODE]\r\nW.Top=1000\r\nW.Left=1500\r\n");
    PlacementRect rect = Design;
    RestorePlacement(rect, Desktop, DesignLimits, {}, "W", 1, -1, FrameExtent{10, 30});
    EXPECT_EQ(rect, (PlacementRect{1920 - 606, 1040 - 415, 596, 385}));
}

TEST(WindowPlacement, ExtraValueComesBackOrTheDefault)
{
    test::TestRuntime rt;
    PlacementRect rect = Design;
    EXPECT_EQ(RestorePlacement(rect, Desktop, DesignLimits, {}, "W", 1, -1), -1);
    SavePlacement(rect, {}, "W", false, 7);
    EXPECT_EQ(RestorePlacement(rect, Desktop, DesignLimits, {}, "W", 1, -1), 7);
}

TEST(WindowPlacement, SaveWritesFourEntriesInOrderAndNoExtraForMinusOne)
{
    test::TestRuntime rt;
    SavePlacement({12, 34, 600, 400}, {}, "TFOrderProfit1", false, -1);
    EXPECT_EQ(test::ReadFile(rt.dir() / "UserMode.INI"), "[MODE]\r\n"
                                                          "TFOrderProfit1.Width=600\r\n"
                                                          "TFOrderProfit1.Height=400\r\n"
                                                          "TFOrderProfit1.Left=12\r\n"
                                                          "TFOrderProfit1.Top=34\r\n");
}

TEST(WindowPlacement, ShiftedSaveMovesLeftAndTopByFifty)
{
    test::TestRuntime rt;
    test::TempDir other;
    SavePlacement({12, 34, 600, 400}, other.path().string(), "K", true, 3);
    EXPECT_EQ(ReadModeInteger("K.Left", 0, other.path().string()), 62);
    EXPECT_EQ(ReadModeInteger("K.Top", 0, other.path().string()), 84);
    EXPECT_EQ(ReadModeInteger("K.Width", 0, other.path().string()), 600);
    EXPECT_EQ(ReadModeInteger("K.Add0", -1, other.path().string()), 3);
    EXPECT_FALSE(std::filesystem::exists(rt.dir() / "UserMode.INI"));
}

TEST(WindowPlacement, KeepInsideFollowsTheOrderOfItsSteps)
{
    // Moved up first, then left, then right and down to the work area's edges, then shrunk.
    const WorkArea area{100, 50, 900, 650};
    EXPECT_EQ(KeepInsideWorkArea({800, 600, 300, 200}, area, {}), (PlacementRect{600, 450, 300, 200}));
    EXPECT_EQ(KeepInsideWorkArea({0, 0, 300, 200}, area, {}), (PlacementRect{100, 50, 300, 200}));
    EXPECT_EQ(KeepInsideWorkArea({0, 0, 1000, 700}, area, {}), (PlacementRect{100, 50, 800, 600}));
    EXPECT_EQ(KeepInsideWorkArea({0, 0, 1000, 700}, area, {900, 650}), (PlacementRect{100, 50, 900, 650}));
}

TEST(WindowPlacement, KeepInsideAndSaveAreSafeAtTheEndsOfTheIntRange)
{
    constexpr int Max = std::numeric_limits<int>::max();
    constexpr int Min = std::numeric_limits<int>::min();
    const WorkArea area{100, 50, 900, 650};
    EXPECT_EQ(KeepInsideWorkArea({Max, Max, 300, 200}, area, {}), (PlacementRect{600, 450, 300, 200}));
    EXPECT_EQ(KeepInsideWorkArea({Min, Min, 300, 200}, area, {}), (PlacementRect{100, 50, 300, 200}));
    EXPECT_EQ(KeepInsideWorkArea({Max, Max, Max, Max}, area, {}), (PlacementRect{100, 50, 800, 600}));
    EXPECT_EQ(KeepInsideWorkArea({Min, Min, Max, Max}, area, {}), (PlacementRect{100, 50, 800, 600}));

    test::TestRuntime rt;
    SavePlacement({Max, Max, 600, 400}, {}, "K", true, -1);
    EXPECT_EQ(ReadModeInteger("K.Left", 0, {}), Max);
    EXPECT_EQ(ReadModeInteger("K.Top", 0, {}), Max);
}
