// TOVIK.INI options: defaults, presets, limits and rules when loading; the groups and reversed
// conversions when saving; the PDF directory choice.
#include "app/Runtime.h"
#include "app/ProcessObjects.h"
#include "base/IniFile.h"
#include "settings/PrinterDef.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace gs;
using namespace gs::test;

namespace {

TUserPrinterDef LoadFrom(const std::filesystem::path& file)
{
    TUserPrinterDef def;
    def.BackupDir = "vorher"; // everything is set again
    LoadIniSettings(def, file);
    return def;
}

} // namespace

TEST(PrinterDef, MissingFileGivesTheDefaults)
{
    TempDir dir;
    const TUserPrinterDef d = LoadFrom(dir / "TOVIK.INI");
    EXPECT_TRUE(d.LayoutDataGridCanChange);
    EXPECT_EQ(d.UserFontSizeDatagrid, 1);
    EXPECT_TRUE(d.PRIVATCONTACTMANDANTUSE);
    EXPECT_EQ(d.QuoteAnswercontact, "");
    EXPECT_FALSE(d.QuoteAutoAnswercontact);
    EXPECT_EQ(d.QuoteAnswercontactVS, "");
    EXPECT_EQ(d.DefaultArtikelFontcolor, 128u);      // clBlack is 0, which becomes 128
    EXPECT_EQ(d.DefaultArtikelLagercolor, 16775914u);
    EXPECT_EQ(d.DefaultFontRTF, (FontDef{"ARIAL", 10, 0, clBlack}));
    EXPECT_EQ(d.MaxLinks, 199);
    EXPECT_EQ(d.Copies_Count_op[13], 1);
    EXPECT_EQ(d.SoundexLevels, SoundexLevel1 | SoundexLevel2 | SoundexLevel3);
    EXPECT_DOUBLE_EQ(d.SchedulerDayTime, EncodeTime(9, 0, 0, 0));
    EXPECT_EQ(d.Default_SoftReturn_Char, "¬");
    EXPECT_EQ(d.BackupDir, "");
    EXPECT_EQ(d.CashGrayTextPart, "Noch offener Betrag: [OPEN] , gezahlt: [IN]");
    EXPECT_FALSE(d.SystemLanguageName.empty());
}

TEST(PrinterDef, AnUnreadableFileLeavesThePresets)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "TOVIK.INI"); // exists, but cannot be read as a file
    const TUserPrinterDef d = LoadFrom(dir / "TOVIK.INI");
    EXPECT_EQ(d.QuoteAnswercontact, "------------- Ihre Nachricht ---------------");
    EXPECT_EQ(d.QuoteAnswercontactVS, "---- Antwort vom  ----");
    EXPECT_TRUE(d.QuoteAutoAnswercontact);
    EXPECT_FALSE(d.LayoutDataGridCanChange);
    EXPECT_FALSE(d.PRIVATCONTACTMANDANTUSE);
    EXPECT_EQ(d.UserFontSizeDatagrid, 0);
    EXPECT_EQ(d.DefaultArtikelFontcolor, 65480u);
    EXPECT_EQ(d.DefaultArtikelLagercolor, 8422504u);
    EXPECT_EQ(d.BackupDir, "");
}

TEST(PrinterDef, KeysLimitsAndRules)
{
    TempDir dir;
    WriteFile(dir / "TOVIK.INI",
              "[MaxLinks]\r\nValue=5000\r\n"
              "[CanChangeCloseOrder]\r\nValue=-4\r\n"
              "[TimeColorsCount]\r\nValue=viele\r\n"
              "[Datagrid]\r\nUserFontSizeDatagrid=7\r\nDatagridHeigth=0x1F\r\n"
              "[OrderBrowser]\r\nUserFirstFocusControlOrder=3\r\n"
              "[EF]\r\nDefaultArtikelFontcolor=clBlack\r\nDefaultArtikelLagercolor=clRed\r\n"
              "DefaultFontRTF_Name=Tahoma\r\nDefaultFontRTF_Size=12\r\nDefaultFontRTF_style=fsbold fsUnderline fsitalic \r\n"
              "DefaultFontRTF_color=$00FF0000\r\n"
              "[PRINTERS]\r\nCopies_Count_op3=0\r\nCopies_Count_op4=150\r\nCopies_Caption_op2=Original|Kopie\r\n"
              "DEFAULT=Laser\r\nDuplexType=2\r\n"
              "[V4]\r\nDBIN=\"C:\\Programme\\Drucker\"\r\nUsePrinterDialog=1\r\n"
              "[SECOND]\r\ndefaultprinterBinName2=\"\"\r\nBinFirstPrinterPage2_Name=\"Fach 1\"\r\n"
              "[PDF]\r\nBackupDir=C:\\PDF\r\n"
              "[QuoteAnswercontact]\r\nValue=Zeile 1$$%%$$Zeile 2\r\n"
              "[SchedulerDayTime]\r\nValue=7:30\r\n"
              "[Default_SoftReturn_Char]\r\nValue=1\r\n"
              "[SOUNDEX]\r\nLEVEL2=0\r\n"
              "[ExAdressFinder]\r\nsharpness=5\r\nUseOnlySoundex=nein\r\n"
              "[MAIL]\r\nmailMAPI=1\r\nmailMAPI_Profil=Outlook\r\n"
              "[InsertDateByHTMLMail]\r\nUSE=0\r\n");
    const TUserPrinterDef d = LoadFrom(dir / "TOVIK.INI");
    EXPECT_EQ(d.MaxLinks, 2000);
    EXPECT_EQ(d.CanChangeCloseOrder, 0);
    EXPECT_EQ(d.TimeColorsCount, 99); // no number: the default, then limited
    EXPECT_EQ(d.UserFontSizeDatagrid, 0); // out of range: the preset
    EXPECT_EQ(d.DatagridHeigth, 300);     // 0x1F is 31, limited to 300
    EXPECT_EQ(d.UserFirstFocusControlOrder, 3);
    EXPECT_EQ(d.DefaultArtikelFontcolor, 128u);
    EXPECT_EQ(d.DefaultArtikelLagercolor, clRed);
    EXPECT_EQ(d.DefaultFontRTF, (FontDef{"Tahoma", 12, fsBold | fsItalic, 0x00FF0000}));
    EXPECT_EQ(d.Copies_Count_op[3], 1);
    EXPECT_EQ(d.Copies_Count_op[4], 99);
    EXPECT_EQ(d.Copies_Caption_op[2], "Original\r\nKopie");
    EXPECT_EQ(d.DEFAULT, "Laser");
    EXPECT_EQ(d.DuplexType, 2);
    EXPECT_EQ(d.DBIN, "C:\\Programme\\Drucker");
    EXPECT_TRUE(d.UsePrinterDialog);
    EXPECT_EQ(d.defaultprinterBinName2, "");
    EXPECT_EQ(d.BinFirstPrinterPage2_Name, "Fach 1");
    EXPECT_EQ(d.BackupDir, "C:\\PDF\\");
    EXPECT_EQ(d.QuoteAnswercontact, "Zeile 1\r\nZeile 2");
    EXPECT_DOUBLE_EQ(d.SchedulerDayTime, EncodeTime(7, 30, 0, 0));
    EXPECT_EQ(d.Default_SoftReturn_Char, "¶");
    EXPECT_EQ(d.SoundexLevels, SoundexLevel1 | SoundexLevel3);
    EXPECT_EQ(d.sharpness, 10);
    EXPECT_TRUE(d.UseOnlySoundex); // not a number: the default
    EXPECT_TRUE(d.mailMAPI);
    EXPECT_EQ(d.mailMAPI_Profil, "Outlook");
    EXPECT_FALSE(d.InsertDateByHTMLMail);
}

TEST(PrinterDef, OddValuesKeepTheirRules)
{
    TempDir dir;
    WriteFile(dir / "TOVIK.INI",
              "[EF]\r\nDefaultArtikelFontcolor=keine Farbe\r\n"
              "[SchedulerDayTime]\r\nValue=25:00\r\n"
              "[Default_SoftReturn_Char]\r\nValue=2\r\n"
              "[Datagrid]\r\nUserFontSizeDatagrid=2\r\n"
              "[PDF]\r\nBackupDir=/srv/pdf\r\n");
    const TUserPrinterDef d = LoadFrom(dir / "TOVIK.INI");
    EXPECT_EQ(d.DefaultArtikelFontcolor, 128u); // unreadable colour: the default clBlack, then the rule
    EXPECT_DOUBLE_EQ(d.SchedulerDayTime, EncodeTime(9, 0, 0, 0));
    EXPECT_EQ(d.Default_SoftReturn_Char, "¬"); // other numbers leave the preset
    EXPECT_EQ(d.UserFontSizeDatagrid, 2);
    EXPECT_EQ(d.BackupDir, "/srv/pdf/");
}

TEST(PrinterDef, SaveWritesOnlyTheChosenGroupsWithReversedConversions)
{
    TempDir dir;
    const auto file = dir / "TOVIK.INI";
    WriteFile(file, "[OTHER]\r\nGLOBAL1=Kvelt\r\n[MaxLinks]\r\nValue=300\r\n");
    TUserPrinterDef d = LoadFrom(file);
    d.BackupDir = "C:\\PDF\\";
    d.AttachFolder = "C:\\Anhang";
    d.MaxLinks = 500;
    SaveIniSettings(d, file, pdgFolders);
    {
        IniFile ini(file);
        EXPECT_EQ(ini.ReadString("PDF", "BackupDir", ""), "C:\\PDF\\");
        EXPECT_EQ(ini.ReadString("V41", "AttachFolder", ""), "C:\\Anhang");
        EXPECT_EQ(ini.ReadInteger("MaxLinks", "Value", 0), 300); // group 4 not written
        EXPECT_EQ(ini.ReadString("OTHER", "GLOBAL1", ""), "Kvelt");
        EXPECT_FALSE(ini.SectionExists("MAIL"));
    }

    d.Copies_Caption_op[0] = "Original\r\nKopie";
    d.QuoteAnswercontactVS = "a\r\nb";
    d.CanChangeCloseOrder = 500;
    d.Default_SoftReturn_Char = "¶";
    d.DBIN = "C:\\Bin";
    d.DefaultFontRTF = {"Verdana", 9, fsBold | fsUnderline, clNavy};
    d.DefaultArtikelLagercolor = 0x00123456;
    d.SoundexLevels = SoundexLevel2;
    d.SchedulerDayTime = EncodeTime(18, 15, 0, 0);
    SaveIniSettings(d, file, pdgGeneral | pdgScheduler);
    {
        IniFile ini(file);
        EXPECT_EQ(ini.ReadString("PRINTERS", "Copies_Caption_op0", ""), "Original|Kopie");
        EXPECT_EQ(ini.ReadString("QuoteAnswercontactVS", "Value", ""), "a$$%%$$b");
        EXPECT_EQ(ini.ReadInteger("CanChangeCloseOrder", "Value", 0), 300);
        EXPECT_EQ(ini.ReadInteger("Default_SoftReturn_Char", "Value", 9), 1);
        EXPECT_EQ(ini.ReadString("V4", "DBIN", ""), "\"C:\\Bin\"");
        EXPECT_EQ(ini.ReadString("EF", "DefaultFontRTF_style", ""), "fsbold fsunderline ");
        EXPECT_EQ(ini.ReadString("EF", "DefaultFontRTF_color", ""), "clNavy");
        EXPECT_EQ(ini.ReadString("EF", "DefaultArtikelLagercolor", ""), "$00123456");
        EXPECT_EQ(ini.ReadString("SchedulerDayTime", "Value", ""), "18:15:00");
        EXPECT_EQ(ini.ReadInteger("MaxLinks", "Value", 0), 500);
        EXPECT_FALSE(ini.ValueExists("ExAdressFinder", "sharpness")); // group 32
        EXPECT_FALSE(ini.ValueExists("FullFilterStayOnTop", "Value")); // group 1
    }
    // What was written reads back as it was.
    TUserPrinterDef back = LoadFrom(file);
    EXPECT_EQ(back.Copies_Caption_op[0], d.Copies_Caption_op[0]);
    EXPECT_EQ(back.QuoteAnswercontactVS, d.QuoteAnswercontactVS);
    EXPECT_EQ(back.DBIN, d.DBIN);
    EXPECT_EQ(back.DefaultFontRTF, d.DefaultFontRTF);
    EXPECT_EQ(back.DefaultArtikelLagercolor, d.DefaultArtikelLagercolor);
    EXPECT_EQ(back.SoundexLevels, d.SoundexLevels);
    EXPECT_EQ(back.Default_SoftReturn_Char, "¶");
    EXPECT_EQ(back.CanChangeCloseOrder, 300);
    EXPECT_DOUBLE_EQ(back.SchedulerDayTime, d.SchedulerDayTime);
}

TEST(PrinterDef, SaveIntoAnUnreadableFileRaisesAndChangesNothing)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "TOVIK.INI");
    TUserPrinterDef d;
    EXPECT_THROW(SaveIniSettings(d, dir / "TOVIK.INI", pdgFolders), Error);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "TOVIK.INI"));
}

TEST(PrinterDef, EnsurePdfDirectory)
{
    TestRuntime rt;
    CreateSettings(rt.runtime());
    TSettings& st = *rt.runtime().settings;

    st.PrinterDef.BackupDir = rt.dir().string() + "/";
    EXPECT_TRUE(EnsurePdfDirectory(st));
    EXPECT_TRUE(rt.dialogs().folderTitles.empty()); // an existing directory: no question

    st.PrinterDef.BackupDir = (rt.dir() / "fehlt").string();
    rt.dialogs().folderAnswers.push_back(std::nullopt);
    EXPECT_FALSE(EnsurePdfDirectory(st));
    ASSERT_EQ(rt.dialogs().folderTitles.size(), 1u);
    EXPECT_EQ(rt.dialogs().folderTitles[0], "Standardverzeichnis für PDF-Dateien");

    const auto chosen = rt.dir() / "pdf";
    std::filesystem::create_directory(chosen);
    rt.dialogs().folderAnswers.push_back(chosen.string());
    EXPECT_TRUE(EnsurePdfDirectory(st));
    EXPECT_EQ(st.PrinterDef.BackupDir, chosen.string() + "/");
    IniFile ini(rt.runtime().besideProgram("TOVIK.INI"));
    EXPECT_EQ(ini.ReadString("PDF", "BackupDir", ""), chosen.string() + "/");
}

TEST(PrinterDef, SystemLanguageNameComesFromTheEnvironment)
{
    const char* saved[4] = {};
    const char* names[4] = {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"};
    std::string keep[4];
    for (int i = 0; i < 4; ++i) {
        saved[i] = std::getenv(names[i]);
        if (saved[i])
            keep[i] = saved[i];
        unsetenv(names[i]);
    }
    EXPECT_EQ(SystemLanguageName(), "C");
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(SystemLanguageName(), "de_DE.UTF-8");
    setenv("LC_ALL", std::string(300, 'x').c_str(), 1);
    EXPECT_EQ(SystemLanguageName().size(), 128u);
    for (int i = 0; i < 4; ++i) {
        if (saved[i])
            setenv(names[i], keep[i].c_str(), 1);
        else
            unsetenv(names[i]);
    }
}
