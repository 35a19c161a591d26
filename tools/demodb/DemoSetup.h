#pragma once
// The settings table setup.ADT of the demo database: its layout and the items it holds. New items
// go into DemoSetupItems() (DemoSetup.cpp).
#include "db/AdsTypes.h"

#include <filesystem>
#include <string>
#include <vector>

namespace gs::demo {

inline constexpr const char* SetupTableName = "setup.ADT";

// ID AUTOINC, Ident INTEGER, MemoItem MEMO, stringItem CHAR(100), logo BINARY; index IDENT on Ident.
const std::vector<TAdsFieldDef>& SetupTableFields();
const std::vector<TAdsIndexDef>& SetupTableIndexes();

// One settings item: its number and what its row holds (empty parts stay NULL).
struct SetupItem {
    int ident = 0;
    std::string stringItem;
    std::vector<std::string> memoLines; // MemoItem: each line followed by CR LF
    std::string logo;                   // bytes of the logo column
};

std::vector<SetupItem> DemoSetupItems();

// Creates setup.ADT in the directory and writes the items.
void WriteDemoSetup(const std::filesystem::path& dir);

} // namespace gs::demo
