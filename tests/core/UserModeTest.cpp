#include "settings/UserMode.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

using namespace gs;
namespace fs = std::filesystem;

namespace {

class UserModeTest : public ::testing::Test {
protected:
    test::TestRuntime rt;
    fs::path file() const { return rt.dir() / "UserMode.INI"; }
};

} // namespace

TEST_F(UserModeTest, MissingFileGivesDefaultsAndCreatesNothing)
{
    EXPECT_TRUE(ReadModeBool("TFGridPrinterClass2", true));
    EXPECT_FALSE(ReadModeBool("TFGridPrinterClass1", false));
    EXPECT_EQ(ReadModeInteger("TFOrderProfit1.Width", 596), 596);
    EXPECT_EQ(ReadModeText("TCSVCustomExportClass.GEWINN", "leer"), "leer");
    EXPECT_FALSE(fs::exists(file()));
}

TEST_F(UserModeTest, TextsAreStoredQuotedWithInnerQuotesDoubledAndReadBackUnquoted)
{
    WriteModeText("TCSVCustomExportClass.GEWINN", "C:\\Daten\\\"Gewinn\" 2006.csv");
    EXPECT_EQ(test::ReadFile(file()),
              "[MODE]\r\nTCSVCustomExportClass.GEWINN=\"C:\\Daten\\\"\"Gewinn\"\" 2006.csv\"\r\n");
    EXPECT_EQ(ReadModeText("TCSVCustomExportClass.GEWINN", ""), "C:\\Daten\\\"Gewinn\" 2006.csv");
}

TEST_F(UserModeTest, StoredTextsAreUnquotedOnlyWhenTheyAreQuoted)
{
    test::WriteFile(file(), "[MODE]\r\nPlain=ohne Anf\xFC" "hrung\r\nOpen=\"nicht geschlossen\r\nInner=a\"b\r\n"
                            "Empty=\"\"\r\nTail=\"x\"rest\r\n");
    EXPECT_EQ(ReadModeText("Plain", ""), "ohne Anführung");
    EXPECT_EQ(ReadModeText("Open", ""), "\"nicht geschlossen");
    EXPECT_EQ(ReadModeText("Inner", ""), "a\"b");
    EXPECT_EQ(ReadModeText("Empty", "default"), "");
    EXPECT_EQ(ReadModeText("Tail", ""), "x");
}

TEST_F(UserModeTest, TextsAreWindows1252OnTheDisk)
{
    WriteModeText("Shell.External.Editor", "Größe");
    EXPECT_NE(test::ReadFile(file()).find("\"Gr\xF6\xDF" "e\""), std::string::npos);
    EXPECT_EQ(ReadModeText("Shell.External.Editor", ""), "Größe");
}

TEST_F(UserModeTest, WriteBackOnReadCreatesTheKeyWithItsDefault)
{
    EXPECT_TRUE(ReadModeBool("TFGridPrinterClass.AutoSizeGridOff", true, {}, true));
    EXPECT_EQ(ReadModeInteger("TFGridPrinterClass.Text2RtfSize.Size", 10, {}, true), 10);
    EXPECT_EQ(ReadModeText("Shell.External.Editor", "NOTEPAD.EXE", {}, true), "NOTEPAD.EXE");
    EXPECT_FALSE(ReadModeBool("TFGridPrinterClass4", false)); // no write back: stays absent
    EXPECT_EQ(test::ReadFile(file()), "[MODE]\r\n"
                                      "TFGridPrinterClass.AutoSizeGridOff=1\r\n"
                                      "TFGridPrinterClass.Text2RtfSize.Size=10\r\n"
                                      "Shell.External.Editor=\"NOTEPAD.EXE\"\r\n");
    // A stored value is read, not the default, and written back unchanged.
    test::WriteFile(file(), "[MODE]\r\nTFGridPrinterClass.Text2RtfSize.Size=14\r\n");
    EXPECT_EQ(ReadModeInteger("TFGridPrinterClass.Text2RtfSize.Size", 10, {}, true), 14);
    EXPECT_EQ(test::ReadFile(file()), "[MODE]\r\nTFGridPrinterClass.Text2RtfSize.Size=14\r\n");
}

TEST_F(UserModeTest, BooleansAndIntegersRoundTrip)
{
    WriteModeBool("TFGridPrinterClass1", true);
    WriteModeInteger("TFOrderProfit1.Left", -12);
    EXPECT_TRUE(ReadModeBool("TFGridPrinterClass1", false));
    EXPECT_EQ(ReadModeInteger("TFOrderProfit1.Left", 0), -12);
    test::WriteFile(file(), "[mode]\r\nx=7\r\ny=kein\r\n");
    EXPECT_TRUE(ReadModeBool("X", false));             // keys and sections without regard to case
    EXPECT_EQ(ReadModeInteger("y", 3), 3);              // no integer: the default
}

TEST_F(UserModeTest, EmptyKeyDoesNothing)
{
    WriteModeText("", "x");
    WriteModeInteger("", 1);
    WriteModeBool("", true);
    EXPECT_EQ(ReadModeInteger("", 5, {}, true), 5);
    EXPECT_TRUE(ReadModeBool("", true, {}, true));
    EXPECT_EQ(ReadModeText("", "d", {}, true), "d");
    EXPECT_FALSE(fs::exists(file()));
}

TEST_F(UserModeTest, DirectoryArgumentSelectsTheFileFoundWithoutRegardToCase)
{
    test::TempDir other;
    test::WriteFile(other / "usermode.ini", "[MODE]\r\nK=4\r\n");
    EXPECT_EQ(ReadModeInteger("K", 0, other.path().string()), 4);
    WriteModeInteger("K", 9, other.path().string());
    EXPECT_EQ(test::ReadFile(other / "usermode.ini"), "[MODE]\r\nK=9\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(other.path()), fs::directory_iterator()), 1); // no second file
    EXPECT_FALSE(fs::exists(file()));
}

TEST_F(UserModeTest, AnUnreadableFileGivesDefaultsAndSwallowsWrites)
{
    fs::create_directory(file()); // exists, but cannot be read as a file
    EXPECT_EQ(ReadModeInteger("K", 3, {}, true), 3);
    EXPECT_EQ(ReadModeText("T", "d"), "d");
    EXPECT_NO_THROW(WriteModeText("T", "x"));
    EXPECT_TRUE(fs::is_directory(file()));
}
