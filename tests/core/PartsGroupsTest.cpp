// Parts groups: loading from the settings table, sort keys and names, cleaning of modifiers and
// formulas.
#include "settings/PartsGroups.h"
#include "settings/SettingsTable.h"
#include "support/SettingsTestSupport.h"

#include <gtest/gtest.h>

using namespace gs;
using namespace gs::test;

namespace {

using Lines = std::vector<std::string>;

std::vector<int> Numbers(const TPartsGroup& pg)
{
    std::vector<int> n;
    for (const TPartGroup& g : pg.Groups)
        n.push_back(g.Number);
    return n;
}

Lines Names(const TPartsGroup& pg)
{
    Lines n;
    for (const TPartGroup& g : pg.Groups)
        n.push_back(g.Name);
    return n;
}

} // namespace

TEST(PartsGroups, LoadingSortingAndNaming)
{
    SettingsDb s;
    ASSERT_TRUE(PrepareSettingsTable(s.table));

    TPartsGroup pg;
    pg.Value661 = "alt";
    LoadPartsGroups(pg, s.table); // no items at all
    ASSERT_EQ(pg.Groups.size(), 1u);
    EXPECT_EQ(pg.Groups[0].Name, "Alle");
    EXPECT_EQ(pg.Groups[0].Modifier, "2");
    EXPECT_EQ(pg.Groups[0].Number, 0);
    EXPECT_EQ(PartGroupName(pg, 0), "Alle");
    EXPECT_EQ(PartGroupName(pg, 1), "");
    EXPECT_EQ(pg.Value964, "2");
    EXPECT_EQ(pg.Value661, "");
    EXPECT_EQ(pg.Value662, "benutzer");

    s.put(650, "", Lines{"#12Werkzeug", "Zubehör", "#3Schrauben", "#", "zubehör"});
    s.put(651, "", Lines{"10 %", "-5.5"});
    s.put(660, "", Lines{"vk * 1,2", "", "vkek-vk"});
    s.put(663, "", Lines{"eins\tzwei", "", "", "x"});
    s.put(661, " +1.5 ");
    s.put(964, "3");
    s.put(219, "300");
    LoadPartsGroups(pg, s.table);
    // Keys 000012, Zubehör, 000003, 000000, zubehör: the equal keys sort together.
    const std::vector<int> order = Numbers(pg);
    ASSERT_EQ(order.size(), 5u);
    EXPECT_EQ((std::vector<int>{order[0], order[1], order[2]}), (std::vector<int>{3, 2, 0}));
    EXPECT_TRUE((order[3] == 1 && order[4] == 4) || (order[3] == 4 && order[4] == 1));
    EXPECT_EQ(PartGroupName(pg, 3), "3"); // "#" alone: the number as name
    EXPECT_EQ(PartGroupName(pg, 2), "Schrauben");
    EXPECT_EQ(PartGroupName(pg, 0), "Werkzeug");
    EXPECT_EQ(PartGroupName(pg, 1), "Zubehör");
    EXPECT_EQ(PartGroupName(pg, 65536), "Werkzeug"); // compared as 16-bit numbers
    const TPartGroup& tools = pg.Groups[2];
    EXPECT_EQ(tools.StoredName, "#12Werkzeug");
    EXPECT_EQ(tools.Modifier, "*10");
    EXPECT_EQ(tools.Formula, "VK * 1,2");
    EXPECT_EQ(tools.Lines, (Lines{"eins", "zwei"}));
    EXPECT_EQ(pg.Groups[1].Formula, "VKEK-VK");     // group 2
    EXPECT_EQ(pg.Groups[1].Modifier, "");
    EXPECT_EQ(pg.Value661, "+1,5");
    EXPECT_EQ(pg.Value964, "3");
    EXPECT_EQ(pg.Value219, 44);
    const auto accessories = std::find_if(pg.Groups.begin(), pg.Groups.end(), [](auto& g) { return g.Number == 1; });
    EXPECT_EQ(accessories->Modifier, "-5,5");
    EXPECT_EQ(accessories->Formula, "VKEK");

    // A single group keeps its stored name.
    s.put(650, "", Lines{"#7Kabel"});
    LoadPartsGroups(pg, s.table);
    EXPECT_EQ(Names(pg), Lines{"#7Kabel"});
}

TEST(PartsGroups, SortKeys)
{
    TestRuntime rt;
    struct Case {
        const char* stored;
        int number;
        const char *key, *name;
    };
    const Case cases[] = {
        {"#12Werkzeug", 0, "000012", "Werkzeug"}, {"#3Schrauben", 2, "000003", "Schrauben"},
        {"#", 5, "000000", "5"},                   {"#1234567Groß", 1, "1234567", "Groß"},
        {"Zubehör", 1, "Zubehör", "Zubehör"},      {"", 4, "4", "4"},
        {"#x", 6, "000000", "x"},                  {"#007", 7, "000007", "7"},
    };
    for (const Case& c : cases) {
        const PartGroupKey k = PartGroupSortKey(c.stored, c.number);
        EXPECT_EQ(k.key, c.key) << c.stored;
        EXPECT_EQ(k.displayName, c.name) << c.stored;
    }
}

TEST(PartsGroups, CleaningModifiersAndFormulas)
{
    TestRuntime rt;
    struct Case {
        const char *text, *cleaned;
    };
    for (const Case& c : {Case{"10 %", "*10"}, Case{"-5,5", "-5,5"}, Case{"+2,5", "+2,5"}, Case{"abc", ""},
                          Case{"1,2,3", "*1,23"}, Case{"-", "-"}, Case{"+-3", "-3"}})
        EXPECT_EQ(CleanModifierText(c.text, true), c.cleaned) << c.text;
    EXPECT_EQ(CleanModifierText("-5,5", false), "5,5");
    EXPECT_EQ(CleanModifierText(NormalizeDecimalText("+2.5"), true), "+2,5");

    for (const Case& c : {Case{"vk * 1,2", "VK * 1,2"}, Case{"1,5", "VKEK1,5"}, Case{"vkek-vk", "VKEK-VK"},
                          Case{"{vk}", "VK"}, Case{"VK/(2+x)", "VK/(2+)"}, Case{"", "VKEK"}, Case{"vKeK", "VKEK"}})
        EXPECT_EQ(CleanFormulaText(c.text), c.cleaned) << c.text;
    rt.runtime().formats.decimalSeparator = '.';
    EXPECT_EQ(CleanFormulaText("vk * 1.2"), "VK * 1.2");
    EXPECT_EQ(CleanModifierText("2.5%", true), "*2.5");
}

TEST(PartsGroups, AFormulaWithADecimalPointKeepsItsSeparator)
{
    SettingsDb s;
    s.put(650, "", Lines{"A"});
    s.put(660, "", Lines{"vk*1.2"});
    ASSERT_TRUE(PrepareSettingsTable(s.table));
    TPartsGroup pg;
    LoadPartsGroups(pg, s.table);
    EXPECT_EQ(pg.Groups[0].Formula, "VK*1,2");
}
