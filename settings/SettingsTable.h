#pragma once
// The host's settings table setup.ADT: one row per numbered item (column Ident), the value in
// stringItem (one line, 100 characters), MemoItem (lines or a binary stream) or logo (binary).
// The module only reads it. Every read seeks the item on the index of Ident; a missing row is
// never an error: the caller's value stays as it was.
//
// Value kinds and how their texts read:
// - Text: stringItem as stored.
// - Integer: decimal integer text; a text that is no integer gives the item's fallback.
// - Byte: as Integer, kept in 8 bits (256 gives 0).
// - Flag (= 1): as Integer, true exactly when the value is 1.
// - Decimal: trimmed, every "." and "," turned into the process decimal separator, then read as
//   a number; anything unreadable gives 0 (so 7,5 and 7.5 give 7.5, while 1.234,50 gives 0).
// - Plain decimal: read with the process decimal separator, no replacement; unreadable gives 0.
// - Date: day.month.year; unreadable gives day 0.
// - Lines: MemoItem split at CR LF, lone CR or lone LF; empty lines included.
// - Compressed stream: MemoItem or logo, a zlib stream inflated, anything else as stored.
// - Component stream: MemoItem holding one component whose collection property has the items.
// - Table stream: MemoItem holding rows of a small table (see TVSOBJ).
#include "base/Dates.h"
#include "base/Error.h"
#include "db/AdsTable.h"
#include "db/AdsTypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// Column and index names of setup.ADT (columns match without regard to case).
inline constexpr const char* SettingsTableName = "setup.ADT";
inline constexpr const char* SettingsIndexName = "Ident";

// The table layout as the host creates it: ID (auto-increment), Ident (integer), MemoItem (memo),
// stringItem (100 characters), logo (binary); one index IDENT on Ident.
std::vector<AdsFieldDef> SettingsTableFields();
std::vector<AdsIndexDef> SettingsTableIndexes();

// The guard site of one item, as a trace of a swallowed error names it ("setup.ADT item 21003");
// load steps run under Guarded (base/Error.h) with it.
inline GuardSite SettingItemSite(int ident) { return {"setup.ADT item ", ident}; }

// --- value kinds of a stored text ------------------------------------------------------------------
int SettingInteger(std::string_view text, int fallback);
std::uint8_t SettingByte(std::string_view text, std::uint8_t fallback);
std::int16_t SettingSmallInt(std::string_view text, std::int16_t fallback);
bool SettingFlag(std::string_view text, bool fallback);
// Trim, then "." and "," become the process decimal separator.
std::string NormalizeDecimalText(std::string_view text);
double SettingDecimal(std::string_view text);
double SettingPlainDecimal(std::string_view text);
TDateTime SettingDate(std::string_view text);
std::vector<std::string> SettingLines(std::string_view text);

// --- reading the table -----------------------------------------------------------------------------
// Posts (or cancels, when nothing changed) a pending edit, then seeks the item's number exactly on
// the current index. True when the row exists; the table is then on it. After false no column of
// the current row may be read.
bool FindSettingRow(TAdsTable& table, int ident);

// Opens the table when it is closed, switches off a filter the table carries and makes Ident the
// current index. On an ordinary error shows "<B>Einstellungen Zugriffsfehler.</B><BR>" with the
// error text and returns false.
bool PrepareSettingsTable(TAdsTable& table);

// Found: value = stringItem, true. Missing: value = defaultValue, false.
bool ReadSettingText(TAdsTable& table, int ident, std::string& value, std::string_view defaultValue);
// Found: stringItem read as Byte with defaultValue as fallback. Missing: value = defaultValue.
bool ReadSettingByte(TAdsTable& table, int ident, std::uint8_t& value, std::uint8_t defaultValue);
// Found: the list becomes the Lines of MemoItem, true. Missing: the list is emptied when
// clearIfMissing is set and left as it was otherwise, false.
bool ReadSettingLines(TAdsTable& table, int ident, std::vector<std::string>& lines, bool clearIfMissing);
// The stringItem of the current row (the caller has found it) read as Decimal.
double ReadSettingFloat(TAdsTable& table);

// Values of the current row (the caller has found it).
std::string CurrentSettingText(TAdsTable& table);
std::vector<std::string> CurrentSettingLines(TAdsTable& table);
// MemoItem as text.
std::string CurrentSettingMemoText(TAdsTable& table);
// MemoItem as stored (Windows-1252 text or binary stream bytes).
std::string CurrentSettingMemoBytes(TAdsTable& table);
// MemoItem as a Compressed stream: inflated when it is a zlib stream, as stored otherwise.
std::string CurrentSettingMemoStream(TAdsTable& table);

// An empty stream; when the row exists its logo column is read as a Compressed stream; then the
// list is cleared and filled with the stream's text lines. True when the stream was not empty.
// Ordinary errors are swallowed and give false (with the list as far as it got).
bool ReadLogo(TAdsTable& table, int ident, std::vector<std::string>& lines);

} // namespace gs
