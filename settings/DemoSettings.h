#pragma once
// A realistic set of settings items as a small German trading company's host installation holds
// them: document texts, second-currency texts (the currency switched off), mail template, number
// template, parent types, address roles, text lists, automatic actions, parts groups, the address
// extra-data grid and the list layouts 31 and 32. The demo database and the benchmarks write it.
#include "settings/SettingsTableWriter.h"

#include <string>
#include <vector>

namespace gs {

std::vector<SettingItem> DemoSettingItems();

// A TOVIK.INI of the same installation (Windows-1252 bytes, CR LF).
std::string DemoPrinterIni();

} // namespace gs
