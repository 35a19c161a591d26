#pragma once
// The settings table setup.ADT of the demo database: the items of a small German trading company's
// installation (document texts, the second currency, tax rates, parts groups, mail template, number
// template, address roles, text lists, automatic actions, the address extra-data grid, the list
// layouts 31 and 32). New items go into DemoSetupItems() (DemoSetup.cpp).
#include "settings/SettingsTable.h"
#include "settings/SettingsTableWriter.h"

#include <filesystem>
#include <string>
#include <vector>

namespace gs {
class TAdsConnection;
}

namespace gs::demo {

inline constexpr const char* SetupTableName = SettingsTableName;

// The items in the order they are written.
std::vector<SettingItem> DemoSetupItems();

// Creates setup.ADT in the directory and writes the items.
void WriteDemoSetup(const std::filesystem::path& dir);
// The same on a connected database of either kind.
void WriteDemoSetup(TAdsConnection& connection);

// A TOVIK.INI of the same installation (Windows-1252 bytes, CR LF), for programs and benchmarks
// that want one beside them.
std::string DemoPrinterIni(const std::string& pdfDirectory = {});

// The option files of a demo installation beside the program (TOVIK.INI, ALTEURO.INI in euro mode),
// each written only when it is missing, so that a user's own files stay untouched.
void WriteDemoProgramFiles(const std::filesystem::path& programDir);

} // namespace gs::demo
