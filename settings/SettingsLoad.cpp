#include "settings/SettingsLoad.h"

#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/ProcessContext.h"
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

// The values the load starts from: lists emptied, the load defaults set, so that a missing row
// leaves the load value and not what a previous load or the construction put there.
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

// Item 1530: the six option flags; line k of the memo is flag k, a missing line counts as false.
void ReadOptionFlags(TSettings& s, TAdsTable& t)
{
    s.Flags1530.fill(false);
    Lines lines;
    ReadSettingLines(t, 1530, lines, true);
    for (size_t k = 0; k < s.Flags1530.size() && k < lines.size(); ++k)
        s.Flags1530[k] = lines[k] == "1";
}

// Items 21002 to 21013, each under its own guard: the slot text of type 1 from stringItem (when
// not empty), types 2 to 13 from the lines; then the header captions.
void ReadDocumentTexts(TSettings& s, TAdsTable& t)
{
    for (size_t slot = 0; slot < 8; ++slot) {
        Guarded(SettingItemSite(kSlotItems[slot]), [&] {
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
        Guarded(SettingItemSite(kCaptionItems[c]), [&] {
            if (auto text = ItemText(t, kCaptionItems[c]); text && !text->empty())
                s.HeaderCaptions[c] = *text;
        });
    }
}

// Items 8101 to 8103 into the three stored streams; an error skips the rest of them.
void ReadStoredStreams(TSettings& s, TAdsTable& t)
{
    Guarded("setup.ADT items 8101 to 8103", [&] {
        std::string* streams[3] = {&s.Stream8101, &s.Stream8102, &s.Stream8103};
        for (int i = 0; i < 3; ++i)
            if (FindSettingRow(t, 8101 + i))
                *streams[i] = CurrentSettingMemoStream(t);
    });
}

// Item 20: the value text table; emptied when the item is missing.
void ReadValueTexts(TSettings& s, TAdsTable& t)
{
    Guarded(SettingItemSite(20), [&] {
        if (FindSettingRow(t, 20))
            s.ValueTexts.LoadFromCsv(CurrentSettingMemoText(t));
        else
            s.ValueTexts.Clear();
    });
}

// The HTML mail template: body lines (item 14500, no guard of its own) and the six parameters
// (item 14501, guarded), which start from 0.
void ReadHtmlMail(TSettings& s, TAdsTable& t)
{
    s.HtmlMail.ClearParams();
    ReadLines(t, 14500, s.HtmlMail.Body);
    Guarded(SettingItemSite(14501), [&] {
        if (auto lines = ItemLines(t, 14501))
            s.HtmlMail.SetParams(*lines);
    });
}

// Item 12011: two bits from the first two characters, missing characters count as "1".
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

// The single values in the host's order; only 13031 and 13030 carry a guard of their own.
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
    Guarded(SettingItemSite(13031), [&] { ReadByte(t, 13031, s.Value13031, 1); });
    Guarded(SettingItemSite(13030), [&] {
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

// Item 16009: the number template, normalised also when the item is missing or unreadable.
void ReadNumberTemplate(TSettings& s, TAdsTable& t)
{
    Guarded(SettingItemSite(16009), [&] {
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

// Item 16011: the names of parent record types.
void ReadParentTypes(TSettings& s, TAdsTable& t)
{
    Guarded(SettingItemSite(16011), [&] {
        if (auto lines = ItemLines(t, 16011))
            s.ParentTypes = ParentTypesFromLines(*lines);
    });
}

// Items 23001 to 23003, 250 and 76 (no guard of their own).
void ReadDocumentNumberValues(TSettings& s, TAdsTable& t)
{
    ReadByte(t, 23001, s.Value23001, 0);
    ReadByte(t, 23002, s.Value23002, 0);
    ReadByte(t, 23003, s.Value23003, 0);
    ReadByte(t, 250, s.Value250, 0);
    ReadInteger(t, 76, s.Value76, 1);
}

// Items 202 (document title choices, always led by "Nicht ändern") and 201 (free type names,
// an empty one gets its default), each under its own guard.
void ReadTitleChoicesAndTypeNames(TSettings& s, TAdsTable& t)
{
    Guarded(SettingItemSite(202), [&] {
        ReadLines(t, 202, s.DocumentTitleChoices);
        Lines& l = s.DocumentTitleChoices;
        if (l.empty())
            l = DefaultDocumentTitleChoices();
        else if (!l.front().starts_with("Nicht ändern"))
            l.insert(l.begin(), "Nicht ändern");
    });
    Guarded(SettingItemSite(201), [&] {
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

// Items 951 to 5026 in the host's order; only 5024 carries a guard of its own.
void ReadFurtherValues(TSettings& s, TAdsTable& t)
{
    ReadFlag(t, 951, s.Flag951, true);
    ReadFlag(t, 4000, s.Flag4000, false);
    ReadByte(t, 1400, s.Value1400, 0);
    ReadByte(t, 1401, s.Value1401, 1);
    ReadByte(t, 16003, s.Value16003, 1);
    Guarded(SettingItemSite(5024), [&] {
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

// The printer definitions from TOVIK.INI; any error there is ignored.
void ReadPrinterDefinitions(TSettings& s)
{
    Guarded("TOVIK.INI printer definitions", [&] { LoadIniSettings(s); });
}

// Items 2001 to 2010 (captions), then 3001 to 3010 (kinds), each under its own guard.
void ReadAdressFieldRoles(TSettings& s, TAdsTable& t)
{
    for (size_t n = 0; n < s.AdressFieldRoles.size(); ++n) {
        const int caption = 2001 + static_cast<int>(n);
        Guarded(SettingItemSite(caption), [&] { ReadText(t, caption, s.AdressFieldRoles[n].Caption); });
    }
    for (size_t n = 0; n < s.AdressFieldRoles.size(); ++n) {
        const int kind = 3001 + static_cast<int>(n);
        Guarded(SettingItemSite(kind), [&] {
            if (auto x = ItemText(t, kind))
                s.AdressFieldRoles[n].Kind = AdressFieldRoleKind(*x);
        });
    }
}

// Item 920: the coded texts; both lists are emptied first when the item exists.
void ReadCodedTexts(TSettings& s, TAdsTable& t)
{
    Guarded(SettingItemSite(920), [&] {
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

// Items 949 and 950: the tax rates, each followed by its working copy.
void ReadTaxRates(TSettings& s, TAdsTable& t)
{
    Guarded(SettingItemSite(949), [&] { ReadDecimal(t, 949, s.TaxRateFull); });
    s.TaxRateFullCurrent = s.TaxRateFull;
    Guarded(SettingItemSite(950), [&] { ReadDecimal(t, 950, s.TaxRateReduced); });
    s.TaxRateReducedCurrent = s.TaxRateReduced;
}

// The text lists 1500, 1510 (padded to 81 lines), 1502, 1501, 1506, 1505 and 1509, each under its
// own guard; the sorted ones compare without regard to case.
void ReadTextLists(TSettings& s, TAdsTable& t)
{
    Guarded(SettingItemSite(1500), [&] { ReadLines(t, 1500, s.List1500); });
    Guarded(SettingItemSite(1510), [&] {
        ReadLines(t, 1510, s.List1510);
        PadLines(s.List1510, 81);
    });
    Guarded(SettingItemSite(1502), [&] { ReadSortedLines(t, 1502, s.List1502); });
    Guarded(SettingItemSite(1501), [&] {
        if (FindSettingRow(t, 1501)) {
            s.Salutations = CurrentSettingLines(t);
            SortLines(s.Salutations);
        } else {
            s.Salutations = {"Sehr geehrte Frau,", "Sehr geehrter Herr,"};
        }
    });
    Guarded(SettingItemSite(1506), [&] { ReadSortedLines(t, 1506, s.ContactGroups); });
    Guarded(SettingItemSite(1505), [&] { ReadSortedLines(t, 1505, s.List1505); });
    Guarded(SettingItemSite(1509), [&] {
        s.List1509.clear();
        ReadLines(t, 1509, s.List1509);
    });
}

// Item 1511: the automatic actions, emptied, read as stored and padded to 14 items.
void ReadAutoActions(TSettings& s, TAdsTable& t)
{
    s.AutoActions.Items.clear();
    Guarded(SettingItemSite(1511), [&] {
        if (FindSettingRow(t, 1511))
            s.AutoActions.Items = ReadAutoActionItems(CurrentSettingMemoBytes(t));
    });
    s.AutoActions.PadToCount();
}

// A list cleared before reading that takes its defaults when the item is missing.
void ReadListOrDefaults(TAdsTable& t, int ident, Lines& list, const Lines& defaults)
{
    list.clear();
    Guarded(SettingItemSite(ident), [&] {
        if (FindSettingRow(t, ident))
            list = CurrentSettingLines(t);
        else
            list = defaults;
    });
}

// Item 1512: the article captions, from their defaults.
void ReadArticleCaptions(TSettings& s, TAdsTable& t)
{
    s.ArticleCaptions = TArticleCaptions{};
    Guarded(SettingItemSite(1512), [&] {
        if (auto lines = ItemLines(t, 1512))
            s.ArticleCaptions.Apply(std::move(*lines));
    });
}

// The choice lists: number choices (12019), availability texts (12018) and the payment due
// texts (1508), each with its defaults and under its own guard.
void ReadChoiceLists(TSettings& s, TAdsTable& t)
{
    s.NumberChoices.clear();
    Guarded(SettingItemSite(12019), [&] { ReadLines(t, 12019, s.NumberChoices); });
    if (s.NumberChoices.empty())
        s.NumberChoices = {"5", "10", "15", "20", "25", "30"};
    s.AvailabilityTexts = {"lieferbar", "nicht lieferbar"};
    Guarded(SettingItemSite(12018), [&] { ReadLines(t, 12018, s.AvailabilityTexts); });
    ReadListOrDefaults(t, 1508, s.PaymentDueTexts,
                       {"Der Betrag ist bis zum ", " zu bezahlen.", "Der Betrag ist bis zum ", " zu bezahlen.", "14"});
}

// A list cleared before reading.
void ReadClearedList(TAdsTable& t, int ident, Lines& list)
{
    list.clear();
    ReadLines(t, ident, list);
}

// Item 960 and the lists 16002, 16001, 16010, 16045 (priority names) and 16046; none of them has a
// guard of its own, so an error here ends the load.
void ReadUnguardedLists(TSettings& s, TAdsTable& t)
{
    if (auto x = ItemText(t, 960))
        s.Value960 = SettingPlainDecimal(*x);
    ReadClearedList(t, 16002, s.List16002);
    ReadClearedList(t, 16001, s.List16001);
    ReadClearedList(t, 16010, s.List16010);
    ReadLines(t, 16045, s.PriorityNames);
    ReadClearedList(t, 16046, s.List16046);
}

// Item 652: the text block layout, from its defaults.
void ReadTextBlockLayout(TSettings& s, TAdsTable& t)
{
    s.TextBlockLayout = TTextBlockLayout{};
    Guarded(SettingItemSite(652), [&] {
        if (auto lines = ItemLines(t, 652))
            s.TextBlockLayout.Apply(*lines);
    });
}

// The address extra-data grid: cells (item 754), then the lists 751, 752 and 753, each under its
// own guard.
void ReadAdressExtraGrid(TSettings& s, TAdsTable& t)
{
    Guarded(SettingItemSite(754), [&] {
        if (FindSettingRow(t, 754))
            s.AdressExtraGrid.Cells = ReadAdressExCellInfos(CurrentSettingMemoStream(t));
    });
    Guarded(SettingItemSite(751), [&] { ReadLines(t, 751, s.AdressExtraGrid.List751); });
    Guarded(SettingItemSite(752), [&] { ReadLines(t, 752, s.AdressExtraGrid.List752); });
    Guarded(SettingItemSite(753), [&] { ReadLines(t, 753, s.AdressExtraGrid.List753); });
}

// Everything between preparing the table and the closing, in the host's order (later items
// build on earlier ones: the second currency starts from the document texts, the priority names
// and payment texts from their defaults). An error raised here is one no step guards against.
void LoadSteps(TSettings& s, TAdsTable& t)
{
    ResetForLoad(s);
    s.DocumentTexts = LoadDocumentTexts();
    s.HeaderCaptions = DefaultHeaderCaptions();
    ReadOptionFlags(s, t);
    ReadDocumentTexts(s, t);
    LoadSecondCurrency(s.SecondCurrency, s.DocumentTexts, s.HeaderCaptions, t);
    ReadStoredStreams(s, t);
    ReadValueTexts(s, t);
    s.PriorityNames = {"Normal", "Wichtig", "Sehr Wichtig"}; // item 16045 may replace them later
    s.List16046.clear();
    ReadHtmlMail(s, t);
    ReadSingleValues(s, t);
    ReadNumberTemplate(s, t);
    ReadParentTypes(s, t);
    ReadDocumentNumberValues(s, t);
    ReadTitleChoicesAndTypeNames(s, t);
    ReadFurtherValues(s, t);
    ReadPrinterDefinitions(s);
    ReadAdressFieldRoles(s, t);
    ReadCodedTexts(s, t);
    ReadTaxRates(s, t);
    ReadTextLists(s, t);
    ReadAutoActions(s, t);
    ReadListOrDefaults(t, 1507, s.DiscountTermTexts,
                       {"bei Zahlung bis zum ", " erhalten Sie 3% Skonto, das entspricht: ", "bei Zahlung bis zum ",
                        " erhalten Sie 3% Skonto, das entspricht: ", "5"});
    ReadArticleCaptions(s, t);
    ReadChoiceLists(s, t);
    ReadUnguardedLists(s, t);
    LoadPartsGroups(s.PartsGroups, t);
    ReadTextBlockLayout(s, t);
    ReadAdressExtraGrid(s, t);
}

// The closing, which runs however the load ended: the three-decimals switch restored, the list
// paddings and the contact group defaults.
void CloseLoad(TSettings& s, ProcessContext& rt, int savedThreeDecimals)
{
    rt.formats.threeDecimals = savedThreeDecimals;
    PadLines(s.PaymentDueTexts, 69);
    if (s.ContactGroups.empty())
        s.ContactGroups = {"Interessenten", "Kunden"};
    PadLines(s.DiscountTermTexts, 5);
}

// On a database server every item read is a round trip (two with its memo): the items come in one
// statement instead, and the reads find them in memory.
void ReadSettingsAtOnce(TAdsTable& table)
{
    if (!table.Remote())
        return;
    table.SetRowColumns({table.FindField("Ident"), table.FindField("stringItem"), table.FindField("memoItem")});
    table.ReadAllRows();
}

} // namespace

void LoadSettings(TSettings& settings, TAdsTable& table)
{
    settings.LoadTrace.Clear();
    ErrorTraceScope trace(settings.LoadTrace);
    if (!PrepareSettingsTable(table))
        return;
    // Decimal items read without the three-decimal switch; the closing restores it.
    ProcessContext& rt = ProcessContext::current();
    const int savedThreeDecimals = rt.formats.threeDecimals;
    rt.formats.threeDecimals = 0;
    try {
        // All items from one snapshot of the table, under one lock: the settings agree with each
        // other whatever the host commits meanwhile, and the many small reads share one transaction.
        TAdsTable::ReadScope snapshot(table);
        HandleOrdinaryError(
            [&] {
                ReadSettingsAtOnce(table);
                LoadSteps(settings, table);
            },
            [](const std::exception& e) {
                ShowMessageBox(std::string("<B>Möglicher Fehler in der Datenbank:<BR></B>") + e.what() +
                               "<BR>Führen Sie das Datenbankdienstprogramm aus.");
            });
    } catch (...) {
        CloseLoad(settings, rt, savedThreeDecimals);
        throw;
    }
    CloseLoad(settings, rt, savedThreeDecimals);
}

} // namespace gs
