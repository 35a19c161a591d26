#pragma once
// Where an address keeps its send targets: the ten address-field roles (items 2001 to 2010 and
// 3001 to 3010) over the 20 text slots of an address's extra fields, and the layout of the address
// extra-data grid (items 751 to 754) whose cells may hold mail or fax targets.
#include "db/ComponentStream.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// One address-field role n (1 to 10).
struct AdressFieldRole {
    std::uint8_t PrimarySlot = 0;   // n - 1
    std::uint8_t SecondarySlot = 0; // n + 9
    std::string Caption;            // item 2000 + n
    std::uint8_t Kind = 0;          // item 3000 + n: 1 destination numbers, 2 preferred destination, 0 none
};

using TAdressFieldRoles = std::array<AdressFieldRole, 10>;

// The ten roles with their slot numbers, empty captions and kind 0.
TAdressFieldRoles DefaultAdressFieldRoles();
// The kind a stored text names: "1" gives 1, "2" gives 2, any other text 0.
std::uint8_t AdressFieldRoleKind(std::string_view text);

// One cell of the extra-data grid; a Gray text containing "mail" or "fax" marks a send target in
// cell Col of the address's extra-data line Row.
struct TAdressExCellInfo {
    int Col = 0;
    int Row = 0;
    std::string Gray;
    bool Readonly = false;

    bool operator==(const TAdressExCellInfo&) const = default;
};

using TAdressExCellInfos = std::vector<TAdressExCellInfo>;

struct TAdressExtraDataGrid {
    std::vector<std::string> List751, List752, List753; // items 751, 752, 753
    TAdressExCellInfos Cells;                              // item 754

    void Clear();
};

inline constexpr const char* AdressExCellInfosWrapperClass = "TAdressExCellInfosWrapper";
inline constexpr const char* AdressExCellInfosProperty = "AdressExCellInfos";

// The cells of a stored stream (empty bytes give none); anything malformed raises StreamError.
TAdressExCellInfos ReadAdressExCellInfos(std::string_view bytes);
std::string WriteAdressExCellInfos(const TAdressExCellInfos& cells);

} // namespace gs
