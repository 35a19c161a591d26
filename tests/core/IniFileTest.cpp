#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/IniFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace gs;
namespace fs = std::filesystem;

namespace {

ino_t Inode(const fs::path& p)
{
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_ino;
}

size_t FileCount(const fs::path& dir)
{
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++n;
    return n;
}

} // namespace

TEST(IniFile, ReadsSectionsAndKeysWithoutRegardToCase)
{
    test::TempDir dir;
    test::WriteFile(dir / "T.INI", "top=ignored\r\n"
                                   "[PRINTERS]\r\n"
                                   "DEFAULT=HP=LaserJet \r\n"
                                   " Copies = 0x1F\r\n"
                                   "; comment=1\r\n"
                                   "loose line\r\n"
                                   "Hex=0XfF\r\n"
                                   "Dollar=$10\r\n"
                                   "Bad=12a\r\n"
                                   "Empty=\r\n"
                                   "\x1A\r\n"
                                   "Neg=-3\r\n"
                                   "[printers]\r\n"
                                   "default=second\r\n"
                                   "late=1\n"
                                   "[ MODE ]\n"
                                   "On=1\rOff=0\r\n"
                                   "\x1A");
    IniFile ini(dir / "T.INI");
    EXPECT_EQ(ini.ReadString("printers", "default", "x"), "HP=LaserJet "); // first "=", value as written
    EXPECT_EQ(ini.ReadString("PRINTERS", "late", "x"), "1");              // a repeated section counts as one
    EXPECT_EQ(ini.ReadInteger("Printers", "COPIES", 5), 31);
    EXPECT_EQ(ini.ReadInteger("PRINTERS", "Hex", 5), 255);
    EXPECT_EQ(ini.ReadInteger("PRINTERS", "Dollar", 5), 16);
    EXPECT_EQ(ini.ReadInteger("PRINTERS", "Bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("PRINTERS", "Empty", 5), 5);
    EXPECT_EQ(ini.ReadInteger("PRINTERS", "Neg", 5), -3); // read past the end-of-file mark
    EXPECT_EQ(ini.ReadString("PRINTERS", "Empty", "x"), "");
    EXPECT_EQ(ini.ReadString("PRINTERS", "; comment", "x"), "x");
    EXPECT_EQ(ini.ReadString("PRINTERS", "loose line", "x"), "x");
    EXPECT_EQ(ini.ReadString("", "top", "x"), "x");
    EXPECT_EQ(ini.ReadString("NONE", "DEFAULT", "x"), "x");
    EXPECT_TRUE(ini.ReadBool("mode", "on", false));
    EXPECT_FALSE(ini.ReadBool("mode", "off", true));
    EXPECT_TRUE(ini.ReadBool("mode", "missing", true));
    EXPECT_TRUE(ini.ReadBool("printers", "Neg", false));
    EXPECT_FALSE(ini.ReadBool("printers", "Bad", false));
    EXPECT_TRUE(ini.SectionExists("Mode"));
    EXPECT_FALSE(ini.SectionExists("Nope"));
    EXPECT_TRUE(ini.ValueExists("PRINTERS", "copies"));
    EXPECT_EQ(ini.ReadSection("printers"),
              (std::vector<std::string>{"DEFAULT", "Copies", "Hex", "Dollar", "Bad", "Empty", "Neg", "late"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"PRINTERS", "MODE"}));
    EXPECT_FALSE(ini.modified());
}

TEST(IniFile, MissingFileIsEmptyAndIsNotCreatedByReading)
{
    test::TempDir dir;
    {
        IniFile ini(dir / "none.ini");
        EXPECT_EQ(ini.ReadString("A", "b", "def"), "def");
        EXPECT_EQ(ini.ReadInteger("A", "b", 7), 7);
    }
    EXPECT_FALSE(fs::exists(dir / "none.ini"));
    {
        IniFile ini(dir / "none.ini");
        ini.WriteBool("MODE", "TFGridPrinterClass.AutoSizeGridOff", true);
    }
    EXPECT_EQ(test::ReadFile(dir / "none.ini"), "[MODE]\r\nTFGridPrinterClass.AutoSizeGridOff=1\r\n");
}

TEST(IniFile, ExistingUnreadableFileRaises)
{
    test::TempDir dir;
    fs::create_directory(dir / "dir.ini");
    EXPECT_THROW(IniFile(dir / "dir.ini"), Error);
    if (::geteuid() != 0) {
        test::WriteFile(dir / "locked.ini", "[A]\r\nb=1\r\n");
        fs::permissions(dir / "locked.ini", fs::perms::none);
        EXPECT_THROW(IniFile(dir / "locked.ini"), Error);
    }
}

TEST(IniFile, WritesKeepEverythingElseInPlace)
{
    test::TempDir dir;
    test::WriteFile(dir / "T.INI", "; Einstellungen\n"
                                   "[V4]\n"
                                   "DBIN=\"C:\\Daten\"\n"
                                   "loose line\n"
                                   "\n"
                                   "[PDF]\n"
                                   "BackupDir = C:\\PDF\\\n"
                                   "\x1A\n");
    {
        IniFile ini(dir / "T.INI");
        ini.WriteString("v4", "UsePrinterDialog", "1");    // new key at the end of its section
        ini.WriteString("pdf", "backupdir", "D:\\PDF\\");  // the key keeps its spelling, the value changes
        ini.WriteInteger("EXTRA", "ClickSound", 0);        // new section before the end-of-file mark
        ini.WriteInteger("EXTRA", "AutoHis", -12);
        EXPECT_TRUE(ini.modified());
        ini.UpdateFile();
        EXPECT_FALSE(ini.modified());
    }
    EXPECT_EQ(test::ReadFile(dir / "T.INI"), "; Einstellungen\r\n"
                                             "[V4]\r\n"
                                             "DBIN=\"C:\\Daten\"\r\n"
                                             "loose line\r\n"
                                             "UsePrinterDialog=1\r\n"
                                             "\r\n"
                                             "[PDF]\r\n"
                                             "BackupDir =D:\\PDF\\\r\n"
                                             "[EXTRA]\r\n"
                                             "ClickSound=0\r\n"
                                             "AutoHis=-12\r\n"
                                             "\x1A\r\n");
    IniFile again(dir / "T.INI");
    EXPECT_EQ(again.ReadInteger("extra", "autohis", 0), -12);
    EXPECT_EQ(again.ReadString("V4", "DBIN", ""), "\"C:\\Daten\"");
}

TEST(IniFile, WritingTheStoredValueLeavesTheFileUntouched)
{
    test::TempDir dir;
    const fs::path file = dir / "UserMode.INI";
    test::WriteFile(file, "[MODE]\nA=1\nB=\"x\"\n");
    const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(24);
    fs::last_write_time(file, stamp);
    const ino_t inode = Inode(file);
    {
        IniFile ini(file);
        ini.WriteInteger("mode", "a", 1);
        ini.WriteBool("MODE", "A", true);
        ini.WriteString("Mode", "B", "\"x\"");
        EXPECT_FALSE(ini.modified());
    }
    EXPECT_EQ(test::ReadFile(file), "[MODE]\nA=1\nB=\"x\"\n"); // LF kept: never rewritten
    EXPECT_EQ(fs::last_write_time(file), stamp);
    EXPECT_EQ(Inode(file), inode);
    {
        IniFile ini(file);
        ini.WriteString("MODE", "B", "\"X\""); // values compare with case
        EXPECT_TRUE(ini.modified());
    }
    EXPECT_EQ(test::ReadFile(file), "[MODE]\r\nA=1\r\nB=\"X\"\r\n");
}

TEST(IniFile, Windows1252OnDiskUtf8InMemory)
{
    test::TempDir dir;
    const fs::path file = dir / "TOVIK.INI";
    test::WriteFile(file, "[Gr\xFC\xDF" "e]\r\nText=\xC4rger \x80 \x81\r\n");
    {
        IniFile ini(file);
        EXPECT_EQ(ini.ReadString("Gr\xC3\xBC\xC3\x9F" "e", "Text", ""), "\xC3\x84rger \xE2\x82\xAC \xC2\x81");
        ini.WriteString("Gr\xC3\xBC\xC3\x9F" "e", "Neu", "Stra\xC3\x9F" "e \xE2\x82\xAC \xE4\xB8\xAD");
    }
    EXPECT_EQ(test::ReadFile(file), "[Gr\xFC\xDF" "e]\r\nText=\xC4rger \x80 \x81\r\nNeu=Stra\xDF" "e \x80 ?\r\n");
}

TEST(IniFile, LineBreaksCannotInjectLines)
{
    test::TempDir dir;
    {
        IniFile ini(dir / "a.ini");
        ini.WriteString("S", "k", "a\r\n[X]\r\nb=c");
        ini.WriteString("S\n[Y]", "k\nz", "1");
    }
    IniFile ini(dir / "a.ini");
    EXPECT_FALSE(ini.SectionExists("X"));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "a  [X]  b=c");
    EXPECT_EQ(ini.ReadSections().size(), 2u);
}

TEST(IniFile, DeleteKeyAndEraseSection)
{
    test::TempDir dir;
    test::WriteFile(dir / "a.ini", "[A]\r\nx=1\r\ny=2\r\nx=3\r\n[B]\r\nz=1\r\n[a]\r\nw=4\r\n");
    {
        IniFile ini(dir / "a.ini");
        ini.DeleteKey("a", "X");
        EXPECT_FALSE(ini.ValueExists("A", "x")); // no duplicate comes to light
        ini.DeleteKey("A", "missing");
        ini.EraseSection("b");
        EXPECT_FALSE(ini.SectionExists("B"));
        ini.WriteString("A", "v", "5"); // into the first block of the section
    }
    EXPECT_EQ(test::ReadFile(dir / "a.ini"), "[A]\r\ny=2\r\nv=5\r\n[a]\r\nw=4\r\n");
}

TEST(IniFile, ChangesAreWrittenByTheDestructorOnlyWhenPossible)
{
    test::TempDir dir;
    const fs::path sub = dir / "sub";
    fs::create_directory(sub);
    {
        IniFile ini(sub / "x.ini");
        ini.WriteString("A", "b", "c");
        fs::remove_all(sub); // the directory vanishes before the write
        EXPECT_THROW(ini.UpdateFile(), Error);
        EXPECT_TRUE(ini.modified());
    } // the destructor swallows the same failure
    EXPECT_FALSE(fs::exists(sub));
}

TEST(IniFile, FailedWriteLeavesTheOldFileIntact)
{
    test::TempDir dir;
    const fs::path file = dir / "TOVIK.INI";
    const std::string old = "[PRINTERS]\r\nDEFAULT=HP\r\n";
    test::WriteFile(file, old);
    IniFile ini(file);
    ini.WriteString("PRINTERS", "DEFAULT", std::string(100000, 'x'));

    // A full disk: the process may not write files beyond 4 KiB.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        ini.UpdateFile();
    } catch (const Error&) {
        failed = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(failed);
    EXPECT_EQ(test::ReadFile(file), old);
    EXPECT_EQ(FileCount(dir.path()), 1u); // no temporary file left behind
    EXPECT_TRUE(ini.modified());
    ini.UpdateFile(); // with room again the change goes through
    EXPECT_EQ(IniFile(file).ReadString("PRINTERS", "DEFAULT", "").size(), 100000u);

    if (::geteuid() != 0) { // root writes into read-only directories anyway
        ini.WriteString("PRINTERS", "DEFAULT", "HP");
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(ini.UpdateFile(), Error);
        fs::permissions(dir.path(), fs::perms::owner_all);
        EXPECT_EQ(IniFile(file).ReadString("PRINTERS", "DEFAULT", "").size(), 100000u);
    }
}

TEST(AtomicFile, ReplacesKeepingModeAndSymbolicLinks)
{
    test::TempDir dir;
    const fs::path file = dir / "ZS.MNU";
    WriteFileAtomically(file, "eins");
    EXPECT_EQ(test::ReadFile(file), "eins");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteFileAtomically(file, "zwei");
    EXPECT_EQ(test::ReadFile(file), "zwei");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const fs::path link = dir / "link.mnu";
    fs::create_symlink(file, link);
    WriteFileAtomically(link, "drei");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::ReadFile(file), "drei");

    EXPECT_THROW(WriteFileAtomically(dir / "missing" / "x", "y"), Error);
    EXPECT_EQ(FileCount(dir.path()), 2u);
}

TEST(AtomicFile, AReadOnlyFileIsRefusedAndAnotherOwnerIsKept)
{
    test::TempDir dir;
    const fs::path file = dir / "ZS.MNU";
    WriteFileAtomically(file, "eins");
    // Read-only: no write permission for anyone; refused even for root, the file stays as it was.
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_THROW(WriteFileAtomically(file, "zwei"), Error);
    EXPECT_EQ(test::ReadFile(file), "eins");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(FileCount(dir.path()), 1u);

    // Another user's file: the replacement carries its owner and group over.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::group_write | fs::perms::others_read | fs::perms::others_write);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
        WriteFileAtomically(file, "drei");
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
        EXPECT_EQ(st.st_mode & 0777, 0666u);
        EXPECT_EQ(test::ReadFile(file), "drei");
    }
}
