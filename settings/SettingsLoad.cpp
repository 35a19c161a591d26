#include "settings/SettingsLoad.h"

#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/Runtime.h"
#include "base/Text.h"
#include "settings/Settings.h"
#include "settings/SettingsTable.h"

#include <optional>

namespace gs {

namespace {

using Lines = std::vector<std::string>;

// Totals-block slot items 1 to 8 and the header caption items 1 to 5.
constexpr int kSlotItems[8] = {21002, 29002, 21003, 21004, 21005, 29005, 21006, 21007};
constexpr int kCaptionItems[5] = {21009, 21010, 21011, 21012, 21013};

// --- reading one item; a missing row leaves the target as it is -------------------------------------

std::optional<std::string> ItemText(TAdsTable& t, int ident)
{
    if (!FindSettingRow(t, ident))
        return std::nullopt;
    return CurrentSettingText(t);
}

std::optional<Lines> ItemLines(TAdsTable& t, int ident)
{
    if (!FindSettingRow(t, ident))
        return std::nullopt;
    return CurrentSettingLines(t);
}

void ReadText(TAdsTable& t, int ident, std::string& v)
{
    if (auto x = ItemText(t, ident))
        v = std::move(*x);
}
void ReadByte(TAdsTable& t, int ident, std::uint8_t& v, std::uint8_t fallback)
{
    if (auto x = ItemText(t, ident))
        v = SettingByte(*x, fallback);
}
void ReadInteger(TAdsTable& t, int ident, int& v, int fallback)
{
    if (auto x = ItemText(t, ident))
        v = SettingInteger(*x, fallback);
}
void ReadSmallInt(TAdsTable& t, int ident, std::int16_t& v, std::int16_t fallback)
{
    if (auto x = ItemText(t, ident))
        v = SettingSmallInt(*x, fallback);
}
void ReadFlag(TAdsTable& t, int ident, bool& v, bool fallback)
{
    if (auto x = ItemText(t, ident))
        v = SettingFlag(*x, fallback);
}
void ReadDecimal(TAdsTable& t, int ident, double& v)
{
    if (FindSettingRow(t, ident))
        v = ReadSettingFloat(t);
}
void ReadLines(TAdsTable& t, int ident, Lines& v)
{
    if (auto x = ItemLines(t, ident))
        v = std::move(*x);
}
void ReadSortedLines(TAdsTable& t, int ident, Lines& v)
{
    if (auto x = ItemLines(t, ident)) {
        v = std::move(*x);
        SortLines(v);
    }
}

// --- steps -----------------------------------------------------------------------------------------

// Step 3: the values the load starts from.
void ResetForLoad(TSettings& s)
{
    s.ParentTypes.clear();
    s.PartsGroups.Groups.clear();
    s.List1500.clear();
    s.List1510.clear();
    s.List1502.clear();
    s.Salutations.clear();
    s.List1505.clear();
    s.ContactGroups.clear();
    s.AdressExtraGrid.Clear();
    for (size_t i = 0; i < s.FreeTypeNames.size(); ++i)
        s.FreeTypeNames[i] = "FREIER TYP " + std::to_string(i + 1);
    s.DocumentTitleChoices = DefaultDocumentTitleChoices();

    s.TaxRateFull = s.TaxRateFullCurrent = 0;
    s.TaxRateReduced = s.TaxRateReducedCurrent = 0;
    s.Flags1530.fill(false);
    s.Value23001 = 1;
    s.Value23002 = s.Value23003 = 0;
    s.Value904 = 0;
    s.Value250 = 0;
    s.Value76 = 1;
    s.Flag4000 = false;
    s.Value1400 = 0;
    s.Value1401 = 0;
    s.Value16003 = 1;
    s.Flag951 = true;
    s.Value12000 = 2;
    s.Value12010 = 0;
    s.Value12011 = Item12011Bit1 | Item12011Bit2;
    s.Value12013 = 2;
    s.Value212.clear();
    s.Value12014 = 2;
    s.Value213 = 0;
    s.Value51003.clear();
    s.Value51000.clear();
    s.Value51002.clear();
    s.Value51001.clear();
    s.Value51004 = -1;
    s.Value214 = s.Value9214 = 1;
    s.Value9215 = 0;
    s.Value215 = s.Value218 = s.Value216 = 0;
    s.Value13030Digit1 = 0;
    s.Value13030Digit2 = 0;
    s.Value15000 = 0;
    s.Value15001 = "000000";
}

// Step 5.
void ReadOptionFlags(TSettings& s, TAdsTable& t)
{
    s.Flags1530.fill(false);
    Lines lines;
    ReadSettingLines(t, 1530, lines, true);
    for (size_t k = 0; k < s.Flags1530.size() && k < lines.size(); ++k)
        s.Flags1530[k] = lines[k] == "1";
}

// Step 6: the slot text of type 1 from stringItem (when not empty), types 2 to 13 from the lines.
void ReadDocumentTexts(TSettings& s, TAdsTable& t)
{
    for (size_t slot = 0; slot < 8; ++slot) {
        Guarded([&] {
            if (!FindSettingRow(t, kSlotItems[slot]))
                return;
            const std::string first = CurrentSettingText(t);
            if (!first.empty())
                s.DocumentTexts[0][slot] = first;
            const Lines lines = CurrentSettingLines(t);
            for (size_t i = 0; i < lines.size() && i + 1 < s.DocumentTexts.size(); ++i)
                s.DocumentTexts[i + 1][slot] = lines[i];
        });
    }
    for (size_t c = 0; c < 5; ++c) {
        Guarded([&] {
            if (auto text = ItemText(t, kCaptionItems[c]); text && !text->empty())
                s.HeaderCaptions[c] = *text;
        });
    }
}

// Step 12, item 12011: two bits from the first two characters, missing characters count as "1".
std::uint8_t TwoBits(std::string text)
{
    while (text.size() < 2)
        text += '1';
    std::uint8_t bits = 0;
    if (text[0] == '1')
        bits |= Item12011Bit1;
    if (text[1] == '1')
        bits |= Item12011Bit2;
    return bits;
}

// Step 12: the single values.
void ReadSingleValues(TSettings& s, TAdsTable& t)
{
    ReadText(t, 8201, s.Value8201);
    ReadText(t, 8202, s.Value8202);
    ReadText(t, 8203, s.Value8203);
    ReadText(t, 16000, s.Value16000);
    ReadByte(t, 904, s.Value904, 0);
    ReadByte(t, 903, s.Value903, 0);
    ReadByte(t, 10000, s.Value10000, 0);
    ReadByte(t, 12000, s.Value12000, 2);
    ReadByte(t, 12010, s.Value12010, 0);
    if (auto x = ItemText(t, 12011))
        s.Value12011 = TwoBits(*x);
    ReadByte(t, 12013, s.Value12013, 2);
    if (auto x = ItemText(t, 212))
        s.Value212 = Trim(*x);
    ReadByte(t, 12014, s.Value12014, 2);
    ReadByte(t, 213, s.Value213, 0);
    ReadText(t, 51003, s.Value51003);
    ReadInteger(t, 51004, s.Value51004, -1);
    ReadText(t, 51000, s.Value51000);
    ReadText(t, 51002, s.Value51002);
    ReadText(t, 51001, s.Value51001);
    ReadByte(t, 214, s.Value214, 1);
    ReadByte(t, 9214, s.Value9214, 1);
    ReadInteger(t, 9215, s.Value9215, 0);
    ReadByte(t, 218, s.Value218, 0);
    ReadByte(t, 215, s.Value215, 0);
    ReadByte(t, 216, s.Value216, 0);
    Guarded([&] { ReadByte(t, 13031, s.Value13031, 1); });
    Guarded([&] {
        if (auto x = ItemText(t, 13030)) {
            std::string text = *x;
            while (text.size() < 2)
                text += ' ';
            s.Value13030Digit1 = SettingSmallInt(text.substr(0, 1), 0);
            s.Value13030Digit2 = SettingByte(text.substr(1, 1), 0);
        }
    });
    ReadInteger(t, 15000, s.Value15000, 0);
    ReadText(t, 15001, s.Value15001);
    s.Value15001 = SixDigitNumberText(s.Value15001);
}

// Step 13.
void ReadNumberTemplate(TSettings& s, TAdsTable& t)
{
    Guarded([&] {
        if (!FindSettingRow(t, 16009))
            return;
        s.NumberPrefix = CurrentSettingText(t);
        Lines lines = CurrentSettingLines(t);
        PadLines(lines, 3);
        s.NumberMask = lines[0];
        s.NumberSuffix = lines[1];
        s.NumberCurrent = lines[2];
    });
    NormalizeNumberTemplate(s.NumberPrefix, s.NumberMask, s.NumberSuffix, s.NumberCurrent);
}

// Step 16.
void ReadTitleChoicesAndTypeNames(TSettings& s, TAdsTable& t)
{
    Guarded([&] {
        ReadLines(t, 202, s.DocumentTitleChoices);
        Lines& l = s.DocumentTitleChoices;
        if (l.empty())
            l = DefaultDocumentTitleChoices();
        else if (!l.front().starts_with("Nicht ändern"))
            l.insert(l.begin(), "Nicht ändern");
    });
    Guarded([&] {
        if (FindSettingRow(t, 201)) {
            s.FreeTypeNames[0] = CurrentSettingText(t);
            const Lines lines = CurrentSettingLines(t);
            for (size_t i = 0; i < 4 && i < lines.size(); ++i)
                s.FreeTypeNames[i + 1] = lines[i];
        }
        for (size_t i = 0; i < s.FreeTypeNames.size(); ++i)
            if (s.FreeTypeNames[i].empty())
                s.FreeTypeNames[i] = "FREIER TYP " + std::to_string(i + 1);
    });
}

// Step 17.
void ReadFurtherValues(TSettings& s, TAdsTable& t)
{
    ReadFlag(t, 951, s.Flag951, true);
    ReadFlag(t, 4000, s.Flag4000, false);
    ReadByte(t, 1400, s.Value1400, 0);
    ReadByte(t, 1401, s.Value1401, 1);
    ReadByte(t, 16003, s.Value16003, 1);
    Guarded([&] {
        if (auto x = ItemText(t, 5024))
            s.Value5024 = SettingDate(*x);
    });
    ReadSmallInt(t, 4999, s.Value4999, 0);
    ReadSmallInt(t, 5000, s.Value5000, 0);
    ReadSmallInt(t, 4998, s.Value4998, 30);
    ReadText(t, 4997, s.Value4997);
    ReadSmallInt(t, 5001, s.Value5001, 0);
    ReadSmallInt(t, 5002, s.Value5002, 0);
    ReadByte(t, 5023, s.Value5023, 0);
    ReadDecimal(t, 5021, s.Value5021);
    ReadByte(t, 5022, s.Value5022, 0);
    ReadByte(t, 5025, s.Value5025, 0);
    ReadByte(t, 5026, s.Value5026, 0);
}

// Step 19.
void ReadAdressFieldRoles(TSettings& s, TAdsTable& t)
{
    for (size_t n = 0; n < s.AdressFieldRoles.size(); ++n)
        Guarded([&] { ReadText(t, 2001 + static_cast<int>(n), s.AdressFieldRoles[n].Caption); });
    for (size_t n = 0; n < s.AdressFieldRoles.size(); ++n)
        Guarded([&] {
            if (auto x = ItemText(t, 3001 + static_cast<int>(n)))
                s.AdressFieldRoles[n].Kind = AdressFieldRoleKind(*x);
        });
}

// Step 20.
void ReadCodedTexts(TSettings& s, TAdsTable& t)
{
    Guarded([&] {
        auto lines = ItemLines(t, 920);
        if (!lines)
            return;
        s.CodedTextCodes.clear();
        s.CodedTexts.clear();
        for (const std::string& line : *lines) {
            s.CodedTextCodes.push_back(Utf8Left(line, 1));
            s.CodedTexts.push_back(Utf8Mid(line, 1, 50));
        }
    });
}

// Step 22.
void ReadTextLists(TSettings& s, TAdsTable& t)
{
    Guarded([&] { ReadLines(t, 1500, s.List1500); });
    Guarded([&] {
        ReadLines(t, 1510, s.List1510);
        PadLines(s.List1510, 81);
    });
    Guarded([&] { ReadSortedLines(t, 1502, s.List1502); });
    Guarded([&] {
        if (FindSettingRow(t, 1501)) {
            s.Salutations = CurrentSettingLines(t);
            SortLines(s.Salutations);
        } else {
            s.Salutations = {"Sehr geehrte Frau,", "Sehr geehrter Herr,"};
        }
    });
    Guarded([&] { ReadSortedLines(t, 1506, s.ContactGroups); });
    Guarded([&] { ReadSortedLines(t, 1505, s.List1505); });
    Guarded([&] {
        s.List1509.clear();
        ReadLines(t, 1509, s.List1509);
    });
}

// Steps 24 and 26: a list cleared before reading that takes its defaults when the item is missing.
void ReadListOrDefaults(TAdsTable& t, int ident, Lines& list, const Lines& defaults)
{
    list.clear();
    Guarded([&] {
        if (FindSettingRow(t, ident))
            list = CurrentSettingLines(t);
        else
            list = defaults;
    });
}

// Step 27: a list cleared before reading.
void ReadClearedList(TAdsTable& t, int ident, Lines& list)
{
    list.clear();
    ReadLines(t, ident, list);
}

// Steps 4 to 30; an error raised here is one no step guards against.
void LoadSteps(TSettings& s, TAdsTable& t)
{
    ResetForLoad(s);                                           // 3
    s.DocumentTexts = LoadDocumentTexts();                     // 4
    s.HeaderCaptions = DefaultHeaderCaptions();
    ReadOptionFlags(s, t);                                     // 5
    ReadDocumentTexts(s, t);                                   // 6
    LoadSecondCurrency(s.SecondCurrency, s.DocumentTexts, s.HeaderCaptions, t); // 7
    Guarded([&] {                                              // 8
        std::string* streams[3] = {&s.Stream8101, &s.Stream8102, &s.Stream8103};
        for (int i = 0; i < 3; ++i)
            if (FindSettingRow(t, 8101 + i))
                *streams[i] = CurrentSettingMemoStream(t);
    });
    Guarded([&] {                                              // 9
        if (FindSettingRow(t, 20))
            s.ValueTexts.LoadFromCsv(CurrentSettingMemoText(t));
        else
            s.ValueTexts.Clear();
    });
    s.PriorityNames = {"Normal", "Wichtig", "Sehr Wichtig"};   // 10
    s.List16046.clear();
    s.HtmlMail.ClearParams();                                  // 11
    ReadLines(t, 14500, s.HtmlMail.Body);
    Guarded([&] {
        if (auto lines = ItemLines(t, 14501))
            s.HtmlMail.SetParams(*lines);
    });
    ReadSingleValues(s, t);                                    // 12
    ReadNumberTemplate(s, t);                                  // 13
    Guarded([&] {                                              // 14
        if (auto lines = ItemLines(t, 16011))
            s.ParentTypes = ParentTypesFromLines(*lines);
    });
    ReadByte(t, 23001, s.Value23001, 0);                       // 15
    ReadByte(t, 23002, s.Value23002, 0);
    ReadByte(t, 23003, s.Value23003, 0);
    ReadByte(t, 250, s.Value250, 0);
    ReadInteger(t, 76, s.Value76, 1);
    ReadTitleChoicesAndTypeNames(s, t);                        // 16
    ReadFurtherValues(s, t);                                   // 17
    Guarded([&] { LoadIniSettings(s); });                      // 18
    ReadAdressFieldRoles(s, t);                                // 19
    ReadCodedTexts(s, t);                                      // 20
    Guarded([&] { ReadDecimal(t, 949, s.TaxRateFull); });      // 21
    s.TaxRateFullCurrent = s.TaxRateFull;
    Guarded([&] { ReadDecimal(t, 950, s.TaxRateReduced); });
    s.TaxRateReducedCurrent = s.TaxRateReduced;
    ReadTextLists(s, t);                                       // 22
    s.AutoActions.Items.clear();                               // 23
    Guarded([&] {
        if (FindSettingRow(t, 1511))
            s.AutoActions.Items = ReadAutoActionItems(CurrentSettingMemoBytes(t));
    });
    s.AutoActions.PadToCount();
    ReadListOrDefaults(t, 1507, s.DiscountTermTexts,           // 24
                       {"bei Zahlung bis zum ", " erhalten Sie 3% Skonto, das entspricht: ", "bei Zahlung bis zum ",
                        " erhalten Sie 3% Skonto, das entspricht: ", "5"});
    s.ArticleCaptions = TArticleCaptions{};                    // 25
    Guarded([&] {
        if (auto lines = ItemLines(t, 1512))
            s.ArticleCaptions.Apply(std::move(*lines));
    });
    s.NumberChoices.clear();                                   // 26
    Guarded([&] { ReadLines(t, 12019, s.NumberChoices); });
    if (s.NumberChoices.empty())
        s.NumberChoices = {"5", "10", "15", "20", "25", "30"};
    s.AvailabilityTexts = {"lieferbar", "nicht lieferbar"};
    Guarded([&] { ReadLines(t, 12018, s.AvailabilityTexts); });
    ReadListOrDefaults(t, 1508, s.PaymentDueTexts,
                       {"Der Betrag ist bis zum ", " zu bezahlen.", "Der Betrag ist bis zum ", " zu bezahlen.", "14"});
    if (auto x = ItemText(t, 960))                             // 27
        s.Value960 = SettingPlainDecimal(*x);
    ReadClearedList(t, 16002, s.List16002);
    ReadClearedList(t, 16001, s.List16001);
    ReadClearedList(t, 16010, s.List16010);
    ReadLines(t, 16045, s.PriorityNames);
    ReadClearedList(t, 16046, s.List16046);
    LoadPartsGroups(s.PartsGroups, t);                         // 28
    s.TextBlockLayout = TTextBlockLayout{};                    // 29
    Guarded([&] {
        if (auto lines = ItemLines(t, 652))
            s.TextBlockLayout.Apply(*lines);
    });
    Guarded([&] {                                              // 30
        if (FindSettingRow(t, 754))
            s.AdressExtraGrid.Cells = ReadAdressExCellInfos(CurrentSettingMemoStream(t));
    });
    Guarded([&] { ReadLines(t, 751, s.AdressExtraGrid.List751); });
    Guarded([&] { ReadLines(t, 752, s.AdressExtraGrid.List752); });
    Guarded([&] { ReadLines(t, 753, s.AdressExtraGrid.List753); });
}

// Step 31.
void CloseLoad(TSettings& s, Runtime& rt, int savedThreeDecimals)
{
    rt.formats.threeDecimals = savedThreeDecimals;
    PadLines(s.PaymentDueTexts, 69);
    if (s.ContactGroups.empty())
        s.ContactGroups = {"Interessenten", "Kunden"};
    PadLines(s.DiscountTermTexts, 5);
}

} // namespace

void LoadSettings(TSettings& settings, TAdsTable& table)
{
    if (!PrepareSettingsTable(table))                         // 1
        return;
    Runtime& rt = Runtime::current();
    const int savedThreeDecimals = rt.formats.threeDecimals;  // 2
    rt.formats.threeDecimals = 0;
    try {
        try {
            LoadSteps(settings, table);
        } catch (const std::exception& e) {
            if (!isOrdinaryError(e))
                throw;
            ShowMessageBox(std::string("<B>Möglicher Fehler in der Datenbank:<BR></B>") + e.what() +
                           "<BR>Führen Sie das Datenbankdienstprogramm aus.");
        }
    } catch (...) {
        CloseLoad(settings, rt, savedThreeDecimals);
        throw;
    }
    CloseLoad(settings, rt, savedThreeDecimals);
}

} // namespace gs
