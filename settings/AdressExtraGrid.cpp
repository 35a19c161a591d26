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
        c.Col = static_cast<int>(s.Integer("Col", 0));
        c.Row = static_cast<int>(s.Integer("Row", 0));
        c.Gray = s.Text("Gray");
        c.Readonly = s.Boolean("Readonly", false);
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
        s.Add("Col", StreamValue::Integer(c.Col));
        s.Add("Row", StreamValue::Integer(c.Row));
        s.Add("Gray", StreamValue::Text(c.Gray));
        s.Add("Readonly", StreamValue::Boolean(c.Readonly));
        out.push_back(std::move(s));
    }
    return WriteCollectionComponent(AdressExCellInfosWrapperClass, AdressExCellInfosProperty, out);
}

} // namespace gs
