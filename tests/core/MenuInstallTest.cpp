#include "base/Cp1252.h"
#include "app/MenuInstall.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

using namespace gs;
using gs::test::ReadFile;
using gs::test::WriteFile;

namespace {

const char* kInstalled =
    "Gewinnstatistik. Das Programm wurde installiert. Starten Sie das Programm über zusätzlich > Gewinnstatistik.";

struct MenuCase {
    const char* name;
    const char* before;   // nullptr: no ZS.MNU
    const char* after;    // with %P for the program file
};

std::string Expand(std::string text, const std::string& program)
{
    for (size_t p = text.find("%P"); p != std::string::npos; p = text.find("%P", p + program.size()))
        text.replace(p, 2, program);
    return text;
}

} // namespace

TEST(SplitAtChar, SplitsAtTheFirstCharacterAndTrimsTheRight)
{
    std::string left = "old", right = "old";
    SplitAtChar("no separator", ';', left, right);
    EXPECT_EQ(left, "old");
    EXPECT_EQ(right, "old");
    SplitAtChar(" a ;  b;c \t", ';', left, right);
    EXPECT_EQ(left, " a ");
    EXPECT_EQ(right, "b;c");
    SplitAtChar("x;" + std::string(300, 'y'), ';', left, right);
    EXPECT_EQ(right.size(), 200u);
}

TEST(MenuInstall, WritesOrRefreshesTheModuleLine)
{
    const MenuCase cases[] = {
        {"no file", nullptr, "%P;Gewinnstatistik.\r\n"},
        {"moved module keeps its place", "C:\\A\\x.exe;Andere\r\nC:\\OLD\\gs.exe;Gewinnstatistik.\r\nC:\\B\\y.exe;Noch eins\r\n",
         "C:\\A\\x.exe;Andere\r\n%P;Gewinnstatistik.\r\nC:\\B\\y.exe;Noch eins\r\n"},
        {"blanks around the entry text", "old;  Gewinnstatistik.  \r\n", "%P;Gewinnstatistik.\r\n"},
        {"other case is another entry", "old;gewinnstatistik.\r\n", "old;gewinnstatistik.\r\n%P;Gewinnstatistik.\r\n"},
        {"without full stop", "old;Gewinnstatistik\r\n", "old;Gewinnstatistik\r\n%P;Gewinnstatistik.\r\n"},
        {"only the first ; splits", "a;b;Gewinnstatistik.\r\n", "a;b;Gewinnstatistik.\r\n%P;Gewinnstatistik.\r\n"},
        {"line without ;", "Gewinnstatistik.\r\n", "Gewinnstatistik.\r\n%P;Gewinnstatistik.\r\n"},
        {"only the first of two", "a;Gewinnstatistik.\r\nb;Gewinnstatistik.\r\n",
         "%P;Gewinnstatistik.\r\nb;Gewinnstatistik.\r\n"},
        {"LF-only file and umlauts", "C:\\Büro\\m.exe;Menü\nlast", "C:\\Büro\\m.exe;Menü\r\nlast\r\n%P;Gewinnstatistik.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestRuntime rt;
        const auto program = rt.dir() / "gewinnstatistik";
        if (c.before)
            WriteFile(rt.dir() / "ZS.MNU", Utf8ToCp1252(c.before));
        EXPECT_TRUE(InstallMenuEntry(program, false));
        EXPECT_EQ(Cp1252ToUtf8(ReadFile(rt.dir() / "ZS.MNU")), Expand(c.after, program.string()));
        ASSERT_EQ(rt.dialogs().messages.size(), 1u);
        EXPECT_EQ(rt.dialogs().messages[0].text, kInstalled);
    }
}

TEST(MenuInstall, SilentShowsNothingOnSuccessAndFindsTheFileInAnyCase)
{
    test::TestRuntime rt;
    WriteFile(rt.dir() / "zs.mnu", "x;Andere\r\n");
    EXPECT_TRUE(InstallMenuEntry(rt.dir() / "gs", true));
    EXPECT_TRUE(rt.dialogs().messages.empty());
    EXPECT_EQ(ReadFile(rt.dir() / "zs.mnu"), "x;Andere\r\n" + (rt.dir() / "gs").string() + ";Gewinnstatistik.\r\n");
    EXPECT_FALSE(std::filesystem::exists(rt.dir() / "ZS.MNU"));
}

TEST(MenuInstall, FailedWriteKeepsTheOldFileAndReportsEvenWhenSilent)
{
    test::TestRuntime rt;
    const std::string old = "C:\\A\\x.exe;Andere\r\n" + std::string(8000, 'z') + "\r\n";
    WriteFile(rt.dir() / "ZS.MNU", old);
    // A file size limit makes the write fail as a full disk would.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool ok = InstallMenuEntry(rt.dir() / "gs", true);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadFile(rt.dir() / "ZS.MNU"), old);
    ASSERT_EQ(rt.dialogs().messages.size(), 1u);
    EXPECT_EQ(rt.dialogs().messages[0].text.rfind("Gewinnstatistik.: Installation fehlgeschlagen: Fehler: ", 0), 0u);
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(rt.dir()))
        ++files;
    EXPECT_EQ(files, 1u) << "no temporary file left behind";
}

TEST(MenuInstall, AReadOnlyMenuFileIsAFailureAndStaysAsItWas)
{
    test::TestRuntime rt;
    const std::string old = "C:\\A\\x.exe;Andere\r\n";
    WriteFile(rt.dir() / "ZS.MNU", old);
    namespace fs = std::filesystem;
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    fs::permissions(rt.dir() / "ZS.MNU", readOnly);
    EXPECT_FALSE(InstallMenuEntry(rt.dir() / "gs", true));
    EXPECT_EQ(ReadFile(rt.dir() / "ZS.MNU"), old);
    EXPECT_EQ(fs::status(rt.dir() / "ZS.MNU").permissions(), readOnly);
    ASSERT_EQ(rt.dialogs().messages.size(), 1u);
    EXPECT_EQ(rt.dialogs().messages[0].text.rfind("Gewinnstatistik.: Installation fehlgeschlagen: Fehler: ", 0), 0u);
    EXPECT_NE(rt.dialogs().messages[0].text.find("ZS.MNU"), std::string::npos);
}
