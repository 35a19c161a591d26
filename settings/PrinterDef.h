#pragma once
// The options of TOVIK.INI that the maker's programs share on one installation: printers and
// copies, the mail transport, send options, editor and grid defaults. LoadIniSettings fills
// TUserPrinterDef (PrinterDef of the settings object); SaveIniSettings writes groups of it back.
//
// Every field has a Default (the value when its key is missing) and a Preset (the value set just
// before reading, which remains only when TOVIK.INI exists but cannot be read). Where the section
// is named after the field, the key is "Value" in that section.
#include "base/Dates.h"
#include "base/HostColors.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace gs {

class TSettings;

inline constexpr const char* PrinterDefIniName = "TOVIK.INI";

// Font styles as bits.
enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

struct FontDef {
    std::string Name = "ARIAL";
    int Size = 10;
    std::uint8_t Style = 0; // TFontStyle bits
    HostColor Color = 0;
    bool operator==(const FontDef&) const = default;
};

// Soundex levels as bits (SOUNDEX/LEVEL1..LEVEL3).
inline constexpr std::uint8_t SoundexLevel1 = 1, SoundexLevel2 = 2, SoundexLevel3 = 4;

struct TUserPrinterDef {
    // Group 8: mail transport (section MAIL).
    bool mailMAPI = false;
    std::string mailMAPI_Index;
    int mailMAPI_Kind = 0;
    std::string mailMAPI_Profil;
    std::string mailMAPI_ProfilePassword;

    int UserListDefaultID = -1;
    int TimeColorsCount = 99;            // 5 ... 99
    bool LayoutDataGridCanChange = false; // default true
    bool LayoutZZSKAfterSumme = true;
    int MaxLinks = 199;                  // 199 ... 2000
    // Group 2: scheduler.
    bool SchedulerWakeup = false;
    TDateTime SchedulerDayTime = 9.0 / 24; // 09:00:00
    bool DefaultExPage = false;
    bool NoneTaxUser = false;
    int InternMemoMaxCount = 20;         // 20 ... 100
    // Group 1: full filter.
    bool FullFilterHasExtableLeftOffset = true;
    bool FullFilterStayOnTop = false;
    std::string CashGrayText = "Rechnung wurde bezahlt.";
    std::string CashGrayTextPart = "Noch offener Betrag: [OPEN] , gezahlt: [IN]";
    std::string CashRechnungIdent = "BAR";
    int ForceNewOrderAdressChanger = 0;
    int SoftReturn_MaxLines = 10;
    std::string Default_SoftReturn_Char = "¬"; // "¬" (stored 0) or "¶" (stored 1)
    bool AdressSecondGray = false;
    int CanChangeCloseOrder = 15;        // 0 ... 300
    bool InCludeAdressGroupSelector = true;
    bool InCludeNumbernSelector = true;
    bool InCludePartsNoSelector = false;
    std::uint8_t SoundexLevels = SoundexLevel1 | SoundexLevel2 | SoundexLevel3;

    // Section PRINTERS.
    int DuplexType = 0;
    std::array<std::string, 14> Copies_Caption_op{}; // "|" in the file is a line break
    std::array<int, 14> Copies_Count_op{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}; // 1 ... 99
    std::string DEFAULT;                 // default printer
    // Group 16: folders.
    std::string AttachFolder;            // V41
    std::string BackupDir;               // PDF: directory for PDF files, with a trailing delimiter
    // Section V4.
    std::string DBIN;                    // stored in double quotes
    bool UsePrinterDialog = false;
    std::string DefaultMailtypeprivat = "txt";
    // Section SECOND (stored in double quotes).
    std::string defaultprinterBinName2;
    std::string BinFirstPrinterPage2_Name;
    std::string BinSecondPrinterPage2_Name;

    std::string SystemLanguageName;      // from the operating system, at most 128 characters

    std::string FAX;                     // PRINTERS: fax printer
    std::string SCRIPT;                  // PRINTERS
    std::string QuoteAnswercontact = "------------- Ihre Nachricht ---------------"; // "$$%%$$" is a line break
    bool QuoteAutoAnswercontact = true;
    int QuoteCharCount = 80;
    std::string QuoteAnswercontactVS = "---- Antwort vom  ----";
    bool QuoteAutoAnswercontactVS = true;
    // Group 32: address finder.
    bool UseOnlySoundex = true;
    int sharpness = 70;                  // 10 ... 100
    int DoublecheckAdress_Sharpness = 66;
    int List = 1;                        // COPIES: copies of a printed list
    // Section EXTRA.
    bool ClickSound = false;
    bool PayInAutoIntern = false;
    bool AutoHis = false;
    bool NewArtlager = true;
    std::uint8_t UserFirstFocusControlOrder = 5; // 0 ... 5, others leave the preset
    std::uint8_t UserFontSizeDatagrid = 0;       // 0 ... 2, others leave the preset; default 1
    int DatagridSecondHeigth = 60;       // 30 ... 100
    int DatagridHeigth = 600;            // 300 ... 1200
    int RTFHeigth = 100;                 // 100 ... 600
    // Section EF.
    FontDef DefaultFontRTF;
    HostColor DefaultArtikelFontcolor = 65480;   // 0 becomes 128
    HostColor DefaultArtikelLagercolor = 8422504; // 0 becomes 16775914
    bool UseDefaultFontByTextBlock = false;
    bool UseAutoInsertBriefanrede = true;
    bool UseAutoFormatBriefanrede = true;
    bool MessageAfterPrint = false;
    std::string CONTACTMAILSUBJECT = "INFO";
    std::string PRIVATCONTACTMAILSUBJECT = "INFO";
    bool PRIVATCONTACTSEND = true;
    bool PRIVATCONTACTMANDANTUSE = false; // default true
    bool InsertDateByHTMLMail = true;

    // Every field to its Preset (the construction values above).
    void SetPresets() { *this = TUserPrinterDef{}; }
};

// Groups of SaveIniSettings (bits).
enum PrinterDefGroup : int {
    pdgFullFilter = 1,  // FullFilterHasExtableLeftOffset, FullFilterStayOnTop
    pdgScheduler = 2,   // SchedulerDayTime, SchedulerWakeup
    pdgGeneral = 4,     // every other field except SystemLanguageName
    pdgMail = 8,        // the five MAIL keys
    pdgFolders = 16,    // AttachFolder, BackupDir
    pdgAddressFinder = 32 // UseOnlySoundex, sharpness
};

// The system's language name as the environment reports it (LC_ALL, LC_MESSAGES, LANG, LANGUAGE
// in that order; "C" when none is set), at most 128 characters.
std::string SystemLanguageName();

// Presets, the system language, then every key of the file with its Default and rule. A missing
// file gives the Defaults; a file that cannot be read leaves the Presets. Never raises for the
// file's content.
void LoadIniSettings(TUserPrinterDef& def, const std::filesystem::path& iniFile);
// Writes the chosen groups back (atomically); raises gs::Error when the file cannot be read or
// written (it is then left as it was).
void SaveIniSettings(const TUserPrinterDef& def, const std::filesystem::path& iniFile, int groups);

// The same on the settings object of the current runtime and TOVIK.INI beside the program.
void LoadIniSettings(TSettings& settings);
void SaveIniSettings(const TSettings& settings, int groups);

// True at once when BackupDir names an existing directory; otherwise asks for a folder ("Standard-
// verzeichnis für PDF-Dateien"): cancelled gives false; chosen sets BackupDir with a trailing
// delimiter, saves group 16 and gives true.
bool EnsurePdfDirectory(TSettings& settings);

} // namespace gs
