#include "settings/SettingsTable.h"

#include "base/Cp1252.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "db/BlobFields.h"

namespace gs {

namespace {

// Column values of the current row. A column the table lacks raises AdsError, which the load steps
// treat as any other read failure.
Field& StringItem(TAdsTable& table) { return table.FieldByName("StringItem"); }
Field& MemoItem(TAdsTable& table) { return table.FieldByName("memoItem"); }
Field& Logo(TAdsTable& table) { return table.FieldByName("Logo"); }

// A blob column's content as a Compressed stream.
std::string ReadCompressedColumn(Field& field)
{
    std::string content;
    ReadBlobField(field, content);
    return content;
}

} // namespace

std::vector<AdsFieldDef> SettingsTableFields()
{
    return {{"ID", TAdsFieldType::AutoInc},
            {"Ident", TAdsFieldType::Integer},
            {"MemoItem", TAdsFieldType::Memo},
            {"stringItem", TAdsFieldType::Char, 100},
            {"logo", TAdsFieldType::Binary}};
}

std::vector<AdsIndexDef> SettingsTableIndexes() { return {{"IDENT", "Ident", 0}}; }

// --- value kinds -----------------------------------------------------------------------------------

int SettingInteger(std::string_view text, int fallback) { return StrToIntDef(text, fallback); }

std::uint8_t SettingByte(std::string_view text, std::uint8_t fallback)
{
    return static_cast<std::uint8_t>(StrToIntDef(text, fallback));
}

std::int16_t SettingSmallInt(std::string_view text, std::int16_t fallback)
{
    return static_cast<std::int16_t>(StrToIntDef(text, fallback));
}

bool SettingFlag(std::string_view text, bool fallback) { return StrToIntDef(text, fallback ? 1 : 0) == 1; }

std::string NormalizeDecimalText(std::string_view text)
{
    std::string r = Trim(text);
    const char sep = CurrentFormats().decimalSeparator;
    for (char& c : r)
        if (c == '.' || c == ',')
            c = sep;
    return r;
}

double SettingDecimal(std::string_view text) { return ParseNumber(NormalizeDecimalText(text)); }

double SettingPlainDecimal(std::string_view text) { return ParseNumber(text); }

TDateTime SettingDate(std::string_view text)
{
    TDateTime d = 0;
    return TryTextToDate(text, d) ? d : 0;
}

std::vector<std::string> SettingLines(std::string_view text) { return SplitLines(text); }

// --- reading the table -----------------------------------------------------------------------------

bool FindSettingRow(TAdsTable& table, int ident)
{
    // SeekKey posts a pending edit (or cancels it when nothing was changed) before it seeks.
    return table.SeekKey(std::to_string(ident), true);
}

bool PrepareSettingsTable(TAdsTable& table)
{
    return HandleOrdinaryError([&] {
        if (!table.Active())
            table.Open();
        if (table.Filtered())
            table.SetFiltered(false);
        if (table.IndexName() != SettingsIndexName)
            table.SetIndexName(SettingsIndexName);
        return true;
    }, [](const std::exception& e) {
        ShowMessageBox(std::string("<B>Einstellungen Zugriffsfehler.</B><BR>") + e.what());
        return false;
    });
}

std::string CurrentSettingText(TAdsTable& table) { return StringItem(table).AsString(); }

std::vector<std::string> CurrentSettingLines(TAdsTable& table) { return SettingLines(MemoItem(table).AsString()); }

std::string CurrentSettingMemoText(TAdsTable& table) { return MemoItem(table).AsString(); }

std::string CurrentSettingMemoBytes(TAdsTable& table) { return MemoItem(table).AsBytes(); }

std::string CurrentSettingMemoStream(TAdsTable& table) { return ReadCompressedColumn(MemoItem(table)); }

bool ReadSettingText(TAdsTable& table, int ident, std::string& value, std::string_view defaultValue)
{
    if (!FindSettingRow(table, ident)) {
        value = defaultValue;
        return false;
    }
    value = CurrentSettingText(table);
    return true;
}

bool ReadSettingByte(TAdsTable& table, int ident, std::uint8_t& value, std::uint8_t defaultValue)
{
    if (!FindSettingRow(table, ident)) {
        value = defaultValue;
        return false;
    }
    value = SettingByte(CurrentSettingText(table), defaultValue);
    return true;
}

bool ReadSettingLines(TAdsTable& table, int ident, std::vector<std::string>& lines, bool clearIfMissing)
{
    if (!FindSettingRow(table, ident)) {
        if (clearIfMissing)
            lines.clear();
        return false;
    }
    lines = CurrentSettingLines(table);
    return true;
}

double ReadSettingFloat(TAdsTable& table) { return SettingDecimal(CurrentSettingText(table)); }

bool ReadLogo(TAdsTable& table, int ident, std::vector<std::string>& lines)
{
    std::string stream;
    const bool read = Guarded(SettingItemSite(ident), [&] {
        if (FindSettingRow(table, ident))
            stream = ReadCompressedColumn(Logo(table));
        lines = SettingLines(Cp1252ToUtf8(stream));
    });
    return read && !stream.empty();
}

} // namespace gs
