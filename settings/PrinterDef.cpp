#include "settings/PrinterDef.h"

#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/ProcessContext.h"
#include "base/Text.h"
#include "settings/HostPath.h"
#include "base/IniFile.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <variant>

namespace gs {

namespace {

using Def = TUserPrinterDef;

// Keys read and written the plain way: a Boolean, a limited integer or a text.
struct BoolKey {
    bool Def::*field;
    const char* section;
    const char* key;
    bool defaultValue;
    int group;
};
struct IntKey {
    int Def::*field;
    const char* section;
    const char* key;
    int defaultValue;
    int min, max;
    int group;
};
struct TextKey {
    std::string Def::*field;
    const char* section;
    const char* key;
    const char* defaultValue;
    int group;
};

constexpr int kNoLimit = 0x7FFFFFFF;

const BoolKey kBoolKeys[] = {
    {&Def::mailMAPI, "MAIL", "mailMAPI", false, pdgMail},
    {&Def::LayoutDataGridCanChange, "LayoutDataGridCanChange", "Value", true, pdgGeneral},
    {&Def::LayoutZZSKAfterSumme, "LayoutZZSKAfterSumme", "Value", true, pdgGeneral},
    {&Def::SchedulerWakeup, "SchedulerWakeup", "Value", false, pdgScheduler},
    {&Def::DefaultExPage, "DefaultExPage", "Value", false, pdgGeneral},
    {&Def::NoneTaxUser, "NoneTaxUser", "Value", false, pdgGeneral},
    {&Def::FullFilterHasExtableLeftOffset, "FullFilterHasExtableLeftOffset", "Value", true, pdgFullFilter},
    {&Def::FullFilterStayOnTop, "FullFilterStayOnTop", "Value", false, pdgFullFilter},
    {&Def::AdressSecondGray, "AdressSecondGray", "Value", false, pdgGeneral},
    {&Def::InCludeAdressGroupSelector, "InCludeAdressGroupSelector", "Value", true, pdgGeneral},
    {&Def::InCludeNumbernSelector, "InCludeNumbernSelector", "Value", true, pdgGeneral},
    {&Def::InCludePartsNoSelector, "InCludePartsNoSelector", "Value", false, pdgGeneral},
    {&Def::UsePrinterDialog, "V4", "UsePrinterDialog", false, pdgGeneral},
    {&Def::QuoteAutoAnswercontact, "QuoteAutoAnswercontact", "Value", false, pdgGeneral},
    {&Def::QuoteAutoAnswercontactVS, "QuoteAutoAnswercontactVS", "Value", false, pdgGeneral},
    {&Def::UseOnlySoundex, "ExAdressFinder", "UseOnlySoundex", true, pdgAddressFinder},
    {&Def::ClickSound, "EXTRA", "ClickSound", false, pdgGeneral},
    {&Def::PayInAutoIntern, "EXTRA", "PayInAutoIntern", false, pdgGeneral},
    {&Def::AutoHis, "EXTRA", "AutoHis", false, pdgGeneral},
    {&Def::NewArtlager, "EXTRA", "NewArtlager", true, pdgGeneral},
    {&Def::UseDefaultFontByTextBlock, "EF", "UseDefaultFontByTextBlock", false, pdgGeneral},
    {&Def::UseAutoInsertBriefanrede, "EF", "UseAutoInsertBriefanrede", true, pdgGeneral},
    {&Def::UseAutoFormatBriefanrede, "EF", "UseAutoFormatBriefanrede", true, pdgGeneral},
    {&Def::MessageAfterPrint, "EF", "MessageAfterPrint", false, pdgGeneral},
    {&Def::PRIVATCONTACTSEND, "PRIVATCONTACTSEND", "HEADER", true, pdgGeneral},
    {&Def::PRIVATCONTACTMANDANTUSE, "PRIVATCONTACTMANDANTUSE", "USE", true, pdgGeneral},
    {&Def::InsertDateByHTMLMail, "InsertDateByHTMLMail", "USE", true, pdgGeneral},
};

const IntKey kIntKeys[] = {
    {&Def::mailMAPI_Kind, "MAIL", "mailMAPI_Kind", 0, -kNoLimit, kNoLimit, pdgMail},
    {&Def::UserListDefaultID, "UserListDefaultID", "Value", -1, -kNoLimit, kNoLimit, pdgGeneral},
    {&Def::TimeColorsCount, "TimeColorsCount", "Value", 99, 5, 99, pdgGeneral},
    {&Def::MaxLinks, "MaxLinks", "Value", 199, 199, 2000, pdgGeneral},
    {&Def::InternMemoMaxCount, "InternMemoMaxCount", "Value", 20, 20, 100, pdgGeneral},
    {&Def::ForceNewOrderAdressChanger, "ForceNewOrderAdressChanger", "Value", 0, -kNoLimit, kNoLimit, pdgGeneral},
    {&Def::SoftReturn_MaxLines, "SoftReturn_MaxLines", "Value", 10, -kNoLimit, kNoLimit, pdgGeneral},
    {&Def::CanChangeCloseOrder, "CanChangeCloseOrder", "Value", 15, 0, 300, pdgGeneral},
    {&Def::DuplexType, "PRINTERS", "DuplexType", 0, -kNoLimit, kNoLimit, pdgGeneral},
    {&Def::QuoteCharCount, "QuoteCharCount", "Value", 80, -kNoLimit, kNoLimit, pdgGeneral},
    {&Def::sharpness, "ExAdressFinder", "sharpness", 70, 10, 100, pdgAddressFinder},
    {&Def::DoublecheckAdress_Sharpness, "DoublettenCheck", "DoublecheckAdress_Sharpness", 66, -kNoLimit, kNoLimit,
     pdgGeneral},
    {&Def::List, "COPIES", "List", 1, -kNoLimit, kNoLimit, pdgGeneral},
    {&Def::DatagridSecondHeigth, "TABLESECONDLINE", "DatagridSecondHeigth", 60, 30, 100, pdgGeneral},
    {&Def::DatagridHeigth, "Datagrid", "DatagridHeigth", 600, 300, 1200, pdgGeneral},
    {&Def::RTFHeigth, "RTFX", "RTFHeigth", 100, 100, 600, pdgGeneral},
};

const TextKey kTextKeys[] = {
    {&Def::mailMAPI_Index, "MAIL", "mailMAPI_Index", "", pdgMail},
    {&Def::mailMAPI_Profil, "MAIL", "mailMAPI_Profil", "", pdgMail},
    {&Def::mailMAPI_ProfilePassword, "MAIL", "mailMAPI_ProfilePassword", "", pdgMail},
    {&Def::CashGrayText, "CashGrayText", "Value", "Rechnung wurde bezahlt.", pdgGeneral},
    {&Def::CashGrayTextPart, "CashGrayTextPart", "Value", "Noch offener Betrag: [OPEN] , gezahlt: [IN]", pdgGeneral},
    {&Def::CashRechnungIdent, "CashRechnungIdent", "Value", "BAR", pdgGeneral},
    {&Def::DEFAULT, "PRINTERS", "DEFAULT", "", pdgGeneral},
    {&Def::AttachFolder, "V41", "AttachFolder", "", pdgFolders},
    {&Def::DefaultMailtypeprivat, "V4", "DefaultMailtypeprivat", "txt", pdgGeneral},
    {&Def::FAX, "PRINTERS", "FAX", "", pdgGeneral},
    {&Def::SCRIPT, "PRINTERS", "SCRIPT", "", pdgGeneral},
    {&Def::CONTACTMAILSUBJECT, "CONTACTMAILSUBJECT", "SUBJECT", "INFO", pdgGeneral},
    {&Def::PRIVATCONTACTMAILSUBJECT, "PRIVATCONTACTMAILSUBJECT", "SUBJECT", "INFO", pdgGeneral},
};

// Texts kept in double quotes in the file.
const TextKey kQuotedKeys[] = {
    {&Def::DBIN, "V4", "DBIN", "", pdgGeneral},
    {&Def::defaultprinterBinName2, "SECOND", "defaultprinterBinName2", "", pdgGeneral},
    {&Def::BinFirstPrinterPage2_Name, "SECOND", "BinFirstPrinterPage2_Name", "", pdgGeneral},
    {&Def::BinSecondPrinterPage2_Name, "SECOND", "BinSecondPrinterPage2_Name", "", pdgGeneral},
};

// Texts whose line breaks the file writes as a marker.
struct MultiLineKey {
    std::string Def::*field;
    const char* section;
};
const MultiLineKey kQuoteTemplates[] = {
    {&Def::QuoteAnswercontact, "QuoteAnswercontact"},
    {&Def::QuoteAnswercontactVS, "QuoteAnswercontactVS"},
};
constexpr const char* kQuoteLineBreak = "$$%%$$";

const char* const kSoundexKeys[3] = {"LEVEL1", "LEVEL2", "LEVEL3"};

constexpr const char* kSoftReturnChars[2] = {"¬", "¶"};

constexpr const char* kDefaultColor = "clBlack";

// Line breaks (CR LF, lone CR or LF) become the marker; the marker becomes CR LF.
std::string LineBreaksToMarker(std::string_view text, std::string_view marker)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += marker;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string MarkerToLineBreaks(std::string text, std::string_view marker)
{
    ReplaceAllText(text, marker, "\r\n");
    return text;
}

HostColor ReadColor(const IniFile& ini, std::string_view section, std::string_view key)
{
    const std::string text = ini.ReadString(section, key, kDefaultColor);
    // A text that names no colour counts as the default colour rather than ending the whole load.
    return ParseHostColor(Trim(text)).value_or(clBlack);
}

std::uint8_t FontStyleFromText(std::string_view text)
{
    std::uint8_t style = 0;
    if (text.find("fsbold") != std::string_view::npos)
        style |= fsBold;
    if (text.find("fsitalic") != std::string_view::npos)
        style |= fsItalic;
    if (text.find("fsunderline") != std::string_view::npos)
        style |= fsUnderline;
    return style;
}

std::string FontStyleText(std::uint8_t style)
{
    std::string r;
    if (style & fsBold)
        r += "fsbold ";
    if (style & fsItalic)
        r += "fsitalic ";
    if (style & fsUnderline)
        r += "fsunderline ";
    return r;
}

std::string CopiesKey(const char* stem, size_t n) { return stem + std::to_string(n); }

void ReadKeys(TUserPrinterDef& def, const IniFile& ini)
{
    for (const BoolKey& k : kBoolKeys)
        def.*k.field = ini.ReadBool(k.section, k.key, k.defaultValue);
    for (const IntKey& k : kIntKeys)
        def.*k.field = std::clamp(ini.ReadInteger(k.section, k.key, k.defaultValue), k.min, k.max);
    for (const TextKey& k : kTextKeys)
        def.*k.field = ini.ReadString(k.section, k.key, k.defaultValue);
    for (const TextKey& k : kQuotedKeys)
        def.*k.field = Unquote(ini.ReadString(k.section, k.key, k.defaultValue));
    for (const MultiLineKey& k : kQuoteTemplates)
        def.*k.field = MarkerToLineBreaks(ini.ReadString(k.section, "Value", ""), kQuoteLineBreak);

    TDateTime time = 0;
    def.SchedulerDayTime = TryTextToTime(ini.ReadString("SchedulerDayTime", "Value", "09:00:00"), time)
                               ? time
                               : EncodeTime(9, 0, 0, 0);

    const int softReturn = ini.ReadInteger("Default_SoftReturn_Char", "Value", 0);
    if (softReturn == 0 || softReturn == 1)
        def.Default_SoftReturn_Char = kSoftReturnChars[softReturn];

    def.SoundexLevels = 0;
    for (int i = 0; i < 3; ++i)
        if (ini.ReadBool("SOUNDEX", kSoundexKeys[i], true))
            def.SoundexLevels |= static_cast<std::uint8_t>(1u << i);

    for (size_t n = 0; n < def.Copies_Caption_op.size(); ++n) {
        def.Copies_Caption_op[n] = MarkerToLineBreaks(ini.ReadString("PRINTERS", CopiesKey("Copies_Caption_op", n), ""), "|");
        def.Copies_Count_op[n] = std::clamp(ini.ReadInteger("PRINTERS", CopiesKey("Copies_Count_op", n), 1), 1, 99);
    }

    def.BackupDir = WithTrailingDelimiter(ini.ReadString("PDF", "BackupDir", ""));

    const int focus = ini.ReadInteger("OrderBrowser", "UserFirstFocusControlOrder", 5);
    if (focus >= 0 && focus <= 5)
        def.UserFirstFocusControlOrder = static_cast<std::uint8_t>(focus);
    const int fontSize = ini.ReadInteger("Datagrid", "UserFontSizeDatagrid", 1);
    if (fontSize >= 0 && fontSize <= 2)
        def.UserFontSizeDatagrid = static_cast<std::uint8_t>(fontSize);

    def.DefaultFontRTF.Name = ini.ReadString("EF", "DefaultFontRTF_Name", "ARIAL");
    def.DefaultFontRTF.Size = ini.ReadInteger("EF", "DefaultFontRTF_Size", 10);
    def.DefaultFontRTF.Style = FontStyleFromText(ini.ReadString("EF", "DefaultFontRTF_style", ""));
    def.DefaultFontRTF.Color = ReadColor(ini, "EF", "DefaultFontRTF_color");
    def.DefaultArtikelFontcolor = ReadColor(ini, "EF", "DefaultArtikelFontcolor");
    if (def.DefaultArtikelFontcolor == 0)
        def.DefaultArtikelFontcolor = 128;
    def.DefaultArtikelLagercolor = ReadColor(ini, "EF", "DefaultArtikelLagercolor");
    if (def.DefaultArtikelLagercolor == 0)
        def.DefaultArtikelLagercolor = 16775914;
}

void WriteKeys(const TUserPrinterDef& def, IniFile& ini, int groups)
{
    auto chosen = [groups](int group) { return (groups & group) != 0; };
    for (const BoolKey& k : kBoolKeys)
        if (chosen(k.group))
            ini.WriteBool(k.section, k.key, def.*k.field);
    for (const IntKey& k : kIntKeys)
        if (chosen(k.group))
            ini.WriteInteger(k.section, k.key, std::clamp(def.*k.field, k.min, k.max));
    for (const TextKey& k : kTextKeys)
        if (chosen(k.group))
            ini.WriteString(k.section, k.key, def.*k.field);
    if (chosen(pdgFolders))
        ini.WriteString("PDF", "BackupDir", def.BackupDir);
    if (chosen(pdgScheduler))
        ini.WriteString("SchedulerDayTime", "Value", TimeToText(def.SchedulerDayTime));
    if (!chosen(pdgGeneral))
        return;

    for (const TextKey& k : kQuotedKeys)
        ini.WriteString(k.section, k.key, Quote(def.*k.field));
    for (const MultiLineKey& k : kQuoteTemplates)
        ini.WriteString(k.section, "Value", LineBreaksToMarker(def.*k.field, kQuoteLineBreak));
    ini.WriteInteger("Default_SoftReturn_Char", "Value", def.Default_SoftReturn_Char == kSoftReturnChars[0] ? 0 : 1);
    for (int i = 0; i < 3; ++i)
        ini.WriteBool("SOUNDEX", kSoundexKeys[i], (def.SoundexLevels & (1u << i)) != 0);
    for (size_t n = 0; n < def.Copies_Caption_op.size(); ++n) {
        ini.WriteString("PRINTERS", CopiesKey("Copies_Caption_op", n), LineBreaksToMarker(def.Copies_Caption_op[n], "|"));
        ini.WriteInteger("PRINTERS", CopiesKey("Copies_Count_op", n), def.Copies_Count_op[n]);
    }
    ini.WriteInteger("OrderBrowser", "UserFirstFocusControlOrder", def.UserFirstFocusControlOrder);
    ini.WriteInteger("Datagrid", "UserFontSizeDatagrid", def.UserFontSizeDatagrid);
    ini.WriteString("EF", "DefaultFontRTF_Name", def.DefaultFontRTF.Name);
    ini.WriteInteger("EF", "DefaultFontRTF_Size", def.DefaultFontRTF.Size);
    ini.WriteString("EF", "DefaultFontRTF_style", FontStyleText(def.DefaultFontRTF.Style));
    ini.WriteString("EF", "DefaultFontRTF_color", ColorToText(def.DefaultFontRTF.Color));
    ini.WriteString("EF", "DefaultArtikelFontcolor", ColorToText(def.DefaultArtikelFontcolor));
    ini.WriteString("EF", "DefaultArtikelLagercolor", ColorToText(def.DefaultArtikelLagercolor));
}

std::filesystem::path PrinterDefIni() { return ProcessContext::current().besideProgram(PrinterDefIniName); }

} // namespace

std::string SystemLanguageName()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return Utf8Left(value, 128);
    }
    return "C";
}

void LoadIniSettings(TUserPrinterDef& def, const std::filesystem::path& iniFile)
{
    def.SetPresets();
    def.SystemLanguageName = SystemLanguageName();
    std::optional<IniFile> ini;
    if (!Guarded("TOVIK.INI", [&] { ini.emplace(iniFile); }))
        return; // present but unreadable: the presets stay
    ReadKeys(def, *ini);
}

void SaveIniSettings(const TUserPrinterDef& def, const std::filesystem::path& iniFile, int groups)
{
    IniFile ini(iniFile);
    WriteKeys(def, ini, groups);
    ini.UpdateFile();
}

void LoadIniSettings(TSettings& settings) { LoadIniSettings(settings.PrinterDef, PrinterDefIni()); }

void SaveIniSettings(const TSettings& settings, int groups) { SaveIniSettings(settings.PrinterDef, PrinterDefIni(), groups); }

bool EnsurePdfDirectory(TSettings& settings)
{
    std::string& dir = settings.PrinterDef.BackupDir;
    std::error_code ec;
    if (!dir.empty() && std::filesystem::is_directory(dir, ec))
        return true;
    const std::optional<std::string> chosen =
        ProcessContext::current().dialogs().chooseFolder("Standardverzeichnis für PDF-Dateien", dir);
    if (!chosen || chosen->empty())
        return false;
    dir = WithTrailingDelimiter(*chosen);
    SaveIniSettings(settings, pdgFolders);
    return true;
}

} // namespace gs
