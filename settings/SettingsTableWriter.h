#pragma once
// Writing items into a settings table the way the host stores them. The module itself never
// writes setup.ADT; the demo database, the tests and the benchmarks build their tables with this.
#include "db/AdsTable.h"

#include <optional>
#include <string>
#include <vector>

namespace gs {

struct SettingItem {
    int ident = 0;
    std::string text;                     // stringItem
    std::optional<std::string> memo;      // MemoItem as text (UTF-8 here, Windows-1252 stored)
    std::optional<std::string> memoBytes; // MemoItem as raw bytes (streams); wins over memo
    std::optional<std::string> logo;      // logo bytes
};

// Lines as a memo text (each line followed by CR LF).
std::string MemoOfLines(const std::vector<std::string>& lines);

// Creates the table file (layout of SettingsTableFields) for a table object that has its
// connection and name, and opens it.
void CreateSettingsTable(TAdsTable& table);

// Inserts the item, or replaces the row of its ident. The table must be open.
void PutSettingItem(TAdsTable& table, const SettingItem& item);
void PutSettingItems(TAdsTable& table, const std::vector<SettingItem>& items);

} // namespace gs
