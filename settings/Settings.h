#pragma once
// The in-memory copy of the host's settings (one process-wide instance, held by the application's Runtime),
// created with its construction values at program start, filled once from setup.ADT after
// connecting (LoadSettings) and read-only afterwards. It carries far more than this module reads,
// because the host's document, mail and print code shares the object; every value is loaded and
// held as the host defines it.
//
// Values without a name of their own carry their item number (Value904, List1500, Stream8101).
#include "base/Dates.h"
#include "base/Error.h"
#include "settings/PartsGroups.h"
#include "settings/AdressExtraGrid.h"
#include "settings/AutoActions.h"
#include "settings/PrinterDef.h"
#include "settings/SecondCurrency.h"
#include "settings/SettingsLists.h"
#include "settings/ValueTextTable.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gs {


// Bits of the two-bit item 12011.
inline constexpr std::uint8_t Item12011Bit1 = 1, Item12011Bit2 = 2;

class TSettings {
public:
    TSettings(); // construction values

    // --- database identity (SetDatabasePath) ---
    std::string DatabasePath;
    std::string DatabaseName; // at most 30 characters, safe for file names

    // --- currency and tax ---
    TAlterCurrencyInfo SecondCurrency;
    double TaxRateFull = 0;            // 949
    double TaxRateFullCurrent = 0;
    double TaxRateReduced = 0;         // 950
    double TaxRateReducedCurrent = 0;

    // --- document texts ---
    TDocumentTexts DocumentTexts{};    // 21002 ... 21007, [type - 1][slot - 1]
    THeaderCaptions HeaderCaptions{};  // 21009 ... 21013

    // --- lists with built-in defaults ---
    std::vector<std::string> DocumentTitleChoices; // 202
    std::array<std::string, 5> FreeTypeNames{};    // 201
    std::vector<std::string> Salutations;          // 1501, sorted
    std::vector<std::string> ContactGroups;        // 1506, sorted
    std::vector<std::string> DiscountTermTexts;    // 1507, at least 5 lines after loading
    std::vector<std::string> PaymentDueTexts;      // 1508, at least 69 lines after loading
    std::vector<std::string> AvailabilityTexts;    // 12018
    std::vector<std::string> NumberChoices;        // 12019
    std::vector<std::string> PriorityNames;        // 16045, index = priority value
    TArticleCaptions ArticleCaptions;              // 1512

    // --- plain text lists ---
    std::vector<std::string> List1500;
    std::vector<std::string> List1510;             // at least 81 lines after loading
    std::vector<std::string> List1502;             // sorted
    std::vector<std::string> List1505;             // sorted
    std::vector<std::string> List1509;
    std::vector<std::string> List16001, List16002, List16010, List16046;
    // 920: first character of each line and characters 2 to 51.
    std::vector<std::string> CodedTextCodes, CodedTexts;

    // --- spooler and send-target support ---
    TUserPrinterDef PrinterDef;                    // TOVIK.INI
    THTML HtmlMail;                                // 14500, 14501
    TAutoActionItems AutoActions;                  // 1511
    TAdressFieldRoles AdressFieldRoles;            // 2001 ... 2010, 3001 ... 3010
    TAdressExtraDataGrid AdressExtraGrid;          // 751 ... 754
    std::vector<TKonto> ParentTypes;               // 16011
    TPartsGroup PartsGroups;                       // 964, 219, 650, 651, 660 ... 663

    // --- number template (16009) ---
    std::string NumberPrefix;
    std::string NumberMask;
    std::string NumberSuffix;
    std::string NumberCurrent;

    // --- other carried values ---
    std::array<bool, 6> Flags1530{};
    std::uint8_t Value23001 = 0, Value23002 = 0, Value23003 = 0;
    std::string Value8201, Value8202, Value8203, Value16000;
    std::uint8_t Value904 = 0;
    std::uint8_t Value903 = 0;
    std::uint8_t Value250 = 0;
    int Value76 = 0;
    std::uint8_t Value10000 = 0;
    std::int16_t Value4999 = 0;
    std::string Value4997;
    std::int16_t Value4998 = 30;
    std::int16_t Value5000 = 10;
    std::int16_t Value5001 = 30;
    std::int16_t Value5002 = 50;
    double Value5021 = 20.0;
    std::uint8_t Value5022 = 0, Value5025 = 0, Value5026 = 0;
    std::uint8_t Value5023 = 1;
    TDateTime Value5024 = 0;
    std::string Stream8101, Stream8102, Stream8103; // Compressed streams, as inflated
    bool Flag4000 = false;
    std::uint8_t Value1400 = 0;
    std::uint8_t Value1401 = 0;
    std::uint8_t Value16003 = 1;
    bool Flag951 = false;
    std::uint8_t Value12000 = 0;
    std::uint8_t Value12010 = 0;
    std::uint8_t Value12011 = 0;                   // Item12011Bit1 | Item12011Bit2
    std::uint8_t Value12013 = 0;
    std::string Value212;                          // trimmed
    std::uint8_t Value12014 = 0;
    std::uint8_t Value213 = 0;
    std::string Value51003, Value51000, Value51002, Value51001;
    int Value51004 = -1;
    std::uint8_t Value214 = 1, Value9214 = 1;
    int Value9215 = 0;
    std::uint8_t Value215 = 0, Value218 = 0, Value216 = 0;
    std::uint8_t Value13031 = 1;
    std::int16_t Value13030Digit1 = 0;             // first character of 13030
    std::uint8_t Value13030Digit2 = 0;             // second character
    int Value15000 = 0;
    std::string Value15001 = "000000";             // six-digit number text
    double Value960 = 10.0;                        // plain decimal
    TVSOBJ ValueTexts;                             // 20
    TTextBlockLayout TextBlockLayout;              // 652

    // --- for the developer ---
    // The errors that guarded steps swallowed during the last LoadSettings, with the item each
    // guard reads ("setup.ADT item 1511: ..."); empty after a clean load. Nothing in the module
    // shows it: a value that kept its default can be told from a missing item here.
    ErrorTrace LoadTrace;
};

// The default document texts: at construction slot 3 reads "+Steuer: [ST1]%", at load
// "+Steuer [ST1]%:".
TDocumentTexts ConstructionDocumentTexts();
TDocumentTexts LoadDocumentTexts();
THeaderCaptions DefaultHeaderCaptions();
std::vector<std::string> DefaultDocumentTitleChoices();

// DatabasePath = path; DatabaseName = the last directory name of the path ("\" and "/" both
// separate), cut to 30 characters, every character that is unsafe in a file name replaced by "_".
void SetDatabasePath(TSettings& settings, const std::string& path);
// The short name SetDatabasePath derives from a path.
std::string DatabaseNameOfPath(std::string_view path);

// LookupParentType over the settings' parent types.
std::string LookupParentType(const TSettings& settings, std::string_view codeText, bool blankUnmatched);

// Rule of item 15001: above 900000 "900000"; empty "000000"; zeros appended to six characters;
// longer texts lose leading characters (characters 2 to 11 while longer than six).
std::string SixDigitNumberText(std::string text);

// Program start: creates the settings object with its construction values into runtime.settings
// and lets the number conversions take the second currency's rate and rounding from it.

} // namespace gs
