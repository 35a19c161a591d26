// The history of a search box and its switch in SearchAutoHistory.INI.
#include "base/IniFile.h"
#include "settings/SearchHistory.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gs;
using namespace gs::test;

TEST(SearchHistory, NewestFirstAtMost21AndSavedAtOnce)
{
    TempDir dir;
    SearchHistory h(dir.path(), "Kunde");
    EXPECT_TRUE(h.Entries().empty());
    for (int i = 1; i <= 25; ++i)
        h.Add("Suche " + std::to_string(i));
    ASSERT_EQ(h.Entries().size(), 21u);
    EXPECT_EQ(h.Entries().front(), "Suche 25");
    EXPECT_EQ(h.Entries().back(), "Suche 5");
    h.Add("suche 24"); // already there (without regard to case)
    h.Add("");
    EXPECT_EQ(h.Entries().size(), 21u);
    EXPECT_EQ(h.Entries().front(), "Suche 25");

    h.Add("Müller");
    const SearchHistory again(dir.path(), "Kunde");
    EXPECT_EQ(again.Entries(), h.Entries());
    EXPECT_EQ(again.Entries().front(), "Müller");
    EXPECT_EQ(ReadFile(h.HistoryFile()).substr(0, 8), "M\xFCller\r\n"); // Windows-1252 on disk
}

TEST(SearchHistory, TheSwitchDecidesWhatIsRecorded)
{
    TempDir dir;
    SearchHistory h(dir.path(), "Artikel");
    EXPECT_TRUE(h.AutoHistory());
    h.Record("eins");
    h.ToggleAutoHistory();
    EXPECT_FALSE(h.AutoHistory());
    h.Record("zwei");
    EXPECT_EQ(h.Entries(), std::vector<std::string>{"eins"});
    IniFile ini(dir / "SearchAutoHistory.INI");
    EXPECT_EQ(ini.ReadString("AUTO", "Artikel", ""), "0");
    h.ToggleAutoHistory();
    EXPECT_TRUE(h.AutoHistory());
}

TEST(SearchHistory, UnreadableFilesGiveTheDefaults)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "SearchAutoHistory.INI");
    SearchHistory h(dir.path(), "Box");
    std::filesystem::create_directory(h.HistoryFile());
    SearchHistory h2(dir.path(), "Box");
    EXPECT_TRUE(h2.AutoHistory());
    h2.ToggleAutoHistory(); // cannot be stored: swallowed
    h2.Add("x");            // cannot be saved: kept in memory
    EXPECT_EQ(h2.Entries(), std::vector<std::string>{"x"});
}
