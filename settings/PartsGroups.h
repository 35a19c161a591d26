#pragma once
// The parts groups of the host's articles: numbered groups with a name, a price modifier, a price
// formula and free text lines, kept in the settings table (items 650, 651, 660, 663 and the further
// values 964, 219, 661, 662). The settings load rebuilds them at every start; the cell texts of
// spooled order lists turn a group number into its name.
#include "db/AdsTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct TPartGroup {
    std::string Name = "Alle";       // display name
    std::string StoredName = "Alle"; // the name as stored in the settings
    std::string Modifier = "2";      // cleaned price modifier
    std::string Formula;             // cleaned price formula
    std::int16_t Number = 0;         // position in the stored lists, counted from 0
    std::vector<std::string> Lines;  // free lines of the group
};

struct TPartsGroup {
    std::vector<TPartGroup> Groups;
    std::string Value964 = "2";
    std::uint8_t Value219 = 0;
    std::string Value661;             // cleaned as a modifier
    std::string Value662 = "benutzer";

    // Drops the groups and resets the four values to their defaults.
    void Clear();
};

// Rebuilds the groups and the four values from the settings table (which must be prepared). An
// error raised while reading still leaves the groups read so far sorted, then passes on.
void LoadPartsGroups(TPartsGroup& partsGroups, TAdsTable& table);

// The Name of the first group with that number (compared as 16-bit values); empty when none.
std::string PartGroupName(const TPartsGroup& partsGroups, int number);

// Sort key and display name of a stored name: "#<digits><rest>" gives the digits as a number of at
// least six digits (no digits: "000000") and the rest as the name; any other text is both. An empty
// key or name becomes the decimal text of the group number.
struct PartGroupKey {
    std::string key;
    std::string displayName;
};
PartGroupKey PartGroupSortKey(std::string_view storedName, int number);

// Sorts by the keys (without regard to case), setting every group's Name to its display name.
void SortPartGroups(std::vector<TPartGroup>& groups);

// Keeps the digits and the first decimal separator; with sign puts "-" in front when the text
// contains "-", otherwise "+" when it contains "+", otherwise "*" when the rest is not empty.
std::string CleanModifierText(std::string_view text, bool withSign);
// Upper case; "VKEK" and "VK" kept, of the rest only blanks, ( ) * + - / digits and the decimal
// separator; "VKEK" put in front when neither "VKEK" nor "VK" remains.
std::string CleanFormulaText(std::string_view text);

} // namespace gs
