#include "settings/AdressExtraGrid.h"

namespace gs {

TAdressFieldRoles DefaultAdressFieldRoles()
{
    TAdressFieldRoles roles;
    for (size_t i = 0; i < roles.size(); ++i) {
        roles[i].PrimarySlot = static_cast<std::uint8_t>(i);
        roles[i].SecondarySlot = static_cast<std::uint8_t>(i + 10);
    }
    return roles;
}

std::uint8_t AdressFieldRoleKind(std::string_view text)
{
    if (text == "1")
        return 1;
    if (text == "2")
        return 2;
    return 0;
}

void TAdressExtraDataGrid::Clear()
{
    List751.clear();
    List752.clear();
    List753.clear();
    Cells.clear();
}

TAdressExCellInfos ReadAdressExCellInfos(std::string_view bytes)
{
    TAdressExCellInfos cells;
    for (const StreamItem& s : ReadCollectionProperty(bytes, AdressExCellInfosProperty)) {
        TAdressExCellInfo c;
        c.Col = static_cast<int>(s.integer("Col", 0));
        c.Row = static_cast<int>(s.integer("Row", 0));
        c.Gray = s.text("Gray");
        c.Readonly = s.boolean("Readonly", false);
        cells.push_back(std::move(c));
    }
    return cells;
}

std::string WriteAdressExCellInfos(const TAdressExCellInfos& cells)
{
    std::vector<StreamItem> out;
    out.reserve(cells.size());
    for (const TAdressExCellInfo& c : cells) {
        StreamItem s;
        s.add("Col", StreamValue::Integer(c.Col));
        s.add("Row", StreamValue::Integer(c.Row));
        s.add("Gray", StreamValue::Text(c.Gray));
        s.add("Readonly", StreamValue::Boolean(c.Readonly));
        out.push_back(std::move(s));
    }
    return WriteCollectionComponent(AdressExCellInfosWrapperClass, AdressExCellInfosProperty, out);
}

} // namespace gs
