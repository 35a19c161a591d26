#include "base/Text.h"
#include "base/HostColors.h"
#include "appearance/SkinFile.h"
#include "appearance/SkinRules.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>

using namespace gs;

TEST(SkinColors, IdentifiersAndIntegers)
{
    struct Case {
        const char* text;
        std::optional<HostColor> expected;
    };
    const Case cases[] = {
        {"clRed", 0x0000FF},           {"CLRED", 0x0000FF},         {"clwhite", 0xFFFFFF},
        {"clTeal", 0x808000},          {"clScrollBar", 0x80000000}, {"clBtnFace", 0x8000000F},
        {"clInactiveCaptionText", 0x80000013}, {"cl3DDkShadow", 0x80000015}, {"clInfoBk", 0x80000018},
        {"clNone", 0x1FFFFFFF},        {"$0000FF00", 0x00FF00},     {"$8000000F", 0x8000000F},
        {"255", 255},                  {"16744576", 0xFF8080},      {"-1", 0xFFFFFFFF},
        {"red", std::nullopt},         {"", std::nullopt},          {"$", std::nullopt},
        {"12px", std::nullopt},        {"clRedd", std::nullopt},    {"#FF0000", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseHostColor(c.text), c.expected) << c.text;
}

TEST(SkinIntegers, MinusOneAndNonIntegersAreAbsent)
{
    EXPECT_EQ(ParseSkinInteger("2"), 2);
    EXPECT_EQ(ParseSkinInteger("0"), 0);
    EXPECT_EQ(ParseSkinInteger("$10"), 16);
    EXPECT_EQ(ParseSkinInteger("-2"), -2);
    EXPECT_EQ(ParseSkinInteger("-1"), std::nullopt);
    EXPECT_EQ(ParseSkinInteger("$FFFFFFFF"), std::nullopt); // the same -1 in hexadecimal
    EXPECT_EQ(ParseSkinInteger("zwei"), std::nullopt);
    EXPECT_EQ(ParseSkinInteger(""), std::nullopt);
}

TEST(SkinFileTest, KeysWithoutCaseFirstLineWinsAndLinesWithoutEqualsIgnored)
{
    const SkinFile skin = SkinFile::FromBytes("just a comment\r\n"
                                              "TFlatButton_Color=clRed\r\n"
                                              "tflatbutton_color=clBlue\r\n"
                                              "FOrderProfit1.fgo|Color=$0000FF00\n"
                                              "Odd=a=b\r\n"
                                              "Umlaut=Gr\xFC\xDF" "e\r\n");
    ASSERT_NE(skin.find("TFLATBUTTON_COLOR"), nullptr);
    EXPECT_EQ(*skin.find("TFLATBUTTON_COLOR"), "clRed");
    EXPECT_EQ(*skin.find("forderprofit1.FGO|color"), "$0000FF00");
    EXPECT_EQ(*skin.find("Odd"), "a=b");
    EXPECT_EQ(*skin.find("Umlaut"), "Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_EQ(skin.find("just a comment"), nullptr);
    EXPECT_FALSE(skin.wantsDebugOutput());
}

TEST(SkinFileTest, DebugOutputOnlyForTheExactFirstLine)
{
    EXPECT_TRUE(SkinFile::FromBytes("DEBUGOUTPUT\r\nTPanel_Color=clRed\r\n").wantsDebugOutput());
    EXPECT_FALSE(SkinFile::FromBytes("debugoutput\r\n").wantsDebugOutput());
    EXPECT_FALSE(SkinFile::FromBytes("TPanel_Color=clRed\r\nDEBUGOUTPUT\r\n").wantsDebugOutput());
    EXPECT_FALSE(SkinFile::FromBytes("").wantsDebugOutput());
}

TEST(SkinFileTest, FileNameIsTheProgramFileWithSkmAppended)
{
    test::TempDir dir;
    Runtime runtime(dir / "stat.exe");
    EXPECT_EQ(SkinFilePath(runtime), dir / "stat.exe.SKM");
    test::WriteFile(dir / "stat.exe.skm", "TPanel_Color=clRed\r\n");
    EXPECT_EQ(SkinFilePath(runtime), dir / "stat.exe.skm"); // found without regard to case
    EXPECT_EQ(*SkinFile::Load(SkinFilePath(runtime)).find("TPanel_Color"), "clRed");
}

TEST(SkinFileTest, MissingOrUnreadableFileIsEmpty)
{
    test::TempDir dir;
    EXPECT_TRUE(SkinFile::Load(dir / "none.SKM").empty());
    std::filesystem::create_directory(dir / "dir.SKM");
    EXPECT_TRUE(SkinFile::Load(dir / "dir.SKM").empty());
    test::WriteFile(dir / "empty.SKM", "");
    EXPECT_TRUE(SkinFile::Load(dir / "empty.SKM").empty());
}

namespace {
std::string Describe(const std::vector<SkinSetting>& settings)
{
    std::string r;
    for (const SkinSetting& s : settings) {
        r += s.property + "=";
        r += s.kind == SkinValueKind::Color ? std::to_string(s.color) : std::to_string(s.integer);
        r += ";";
    }
    return r;
}
} // namespace

TEST(SkinRulesTest, ClassesMatchByExactName)
{
    ASSERT_NE(FindSkinRow("TFlatButton"), nullptr);
    EXPECT_EQ(FindSkinRow("TFlatButton")->classKey, "TFlatButton");
    EXPECT_EQ(FindSkinRow("tflatbutton"), nullptr);
    EXPECT_EQ(FindSkinRow("TFlatButtonEx"), nullptr);
    EXPECT_EQ(FindSkinRow("QPushButton"), nullptr);
    EXPECT_EQ(FindSkinRow("TDCComboBox")->classKey, "TDCCustomChoiceEdit");
    EXPECT_EQ(FindSkinRow("TAdvStringGrid")->classKey, "TI_DBGrid");
    EXPECT_EQ(FindSkinRow("TOrderBrowser")->properties.size(), 3u);
}

TEST(SkinRulesTest, PerControlValueWinsAndInvalidValuesFallBackToTheClass)
{
    struct Case {
        const char* name;
        const char* skin;
        const char* className;
        const char* prefix;
        const char* expected;
    };
    const Case cases[] = {
        {"class key", "TFlatButton_Color=clRed", "TFlatButton", "FOrderProfit1.fgo", "Color=255;"},
        {"per control wins", "TFlatButton_Color=clRed\nFOrderProfit1.fgo|Color=$0000FF00", "TFlatButton",
         "FOrderProfit1.fgo", "Color=65280;"},
        {"other control keeps the class", "TFlatButton_Color=clRed\nFOrderProfit1.fgo|Color=$0000FF00",
         "TFlatButton", "FOrderProfit1.fprint", "Color=255;"},
        {"invalid per control falls back", "TFlatButton_Color=clRed\nFOrderProfit1.fgo|Color=rot", "TFlatButton",
         "FOrderProfit1.fgo", "Color=255;"},
        {"invalid everywhere", "TFlatButton_Color=rot", "TFlatButton", "FOrderProfit1.fgo", ""},
        {"minus one is absent", "TPanel_BevelOuter=-1", "TPanel", "FOrderProfit1.Panel1", ""},
        {"integer per control", "FOrderProfit1.Panel1|BevelOuter=1\nTPanel_BevelInner=$2", "TPanel",
         "FOrderProfit1.Panel1", "BevelInner=2;BevelOuter=1;"},
        {"visible has no class key", "TPanel_Visible=0", "TPanel", "FOrderProfit1.Panel1", ""},
        {"visible per control", "FOrderProfit1.Panel1|Visible=0", "TPanel", "FOrderProfit1.Panel1", "Visible=0;"},
        {"arrow names the property", "TFlatButton_ROUND=6\nFOrderProfit1.fgo|Margin=3", "TFlatButton",
         "FOrderProfit1.fgo", "Round=6;Margin=3;"},
        {"colour into another property", "TFlatSpinEditInteger_Color=clAqua", "TFlatSpinEditInteger", "F.x",
         "ColorFlat=16776960;"},
        {"table order", "TFlatButton_ColorShadow=1\nTFlatButton_Color=2\nF.b|Visible=1", "TFlatButton", "F.b",
         "Visible=1;Color=2;ColorShadow=1;"},
        {"page control only visible", "TPageControl_Visible=0\nF.PageControl1|Visible=0", "TPageControl",
         "F.PageControl1", "Visible=0;"},
    };
    for (const Case& c : cases) {
        const SkinFile skin = SkinFile::FromBytes(c.skin);
        const SkinRow* row = FindSkinRow(c.className);
        ASSERT_NE(row, nullptr) << c.name;
        EXPECT_EQ(Describe(ResolveSkinSettings(skin, *row, c.prefix)), c.expected) << c.name;
    }
}

TEST(SkinRulesTest, WindowRowUsesTheWindowNameAndForm)
{
    EXPECT_EQ(Describe(ResolveSkinSettings(SkinFile::FromBytes("Form_Color=clSilver"), FormSkinRow(), "FSB_BOX")),
              "Color=12632256;");
    EXPECT_EQ(Describe(ResolveSkinSettings(SkinFile::FromBytes("Form_Color=clSilver\nFSB_BOX|Color=clWhite"),
                                           FormSkinRow(), "FSB_BOX")),
              "Color=16777215;");
}

TEST(SkinDebugList, WritesTheNamesBesideTheProgram)
{
    test::TempDir dir;
    WriteSkinDebugList(dir.path() / "a" / "b", "FOrderProfit1", {"fgo", "Panel1", "\xC3\xBC"});
    EXPECT_EQ(test::ReadFile(dir / "a/b/DEBUGSKIN/FOrderProfit1-DEBUG.DAT"),
              "FOrderProfit1.\r\nfgo\r\nPanel1\r\n\xFC\r\n");
}
