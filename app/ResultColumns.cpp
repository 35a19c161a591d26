#include "app/ResultColumns.h"

namespace gs {

namespace {

std::string IntText(const std::optional<int>& v) { return v ? std::to_string(*v) : std::string(); }

} // namespace

int WarningBarColumn()
{
    for (size_t i = 0; i < ResultListColumns.size(); ++i)
        if (ResultListColumns[i].font == ListCellFont::WarningBar)
            return static_cast<int>(i);
    return -1;
}

std::optional<std::string> KmFieldText(const KmRow& row, std::string_view field)
{
    if (field == "ID")
        return IntText(row.ID);
    if (field == "ID_ORDER")
        return IntText(row.ID_ORDER);
    if (field == "ADRESSNAME")
        return row.ADRESSNAME;
    if (field == "ADRESSID")
        return IntText(row.ADRESSID);
    if (field == "printp")
        return row.printp;
    if (field == "DATE")
        return row.DATE ? DateToText(*row.DATE) : std::string();
    if (field == "GEWINN")
        return row.GEWINN;
    if (field == "GEWINN_INT")
        return IntText(row.GEWINN_INT);
    if (field == "PROVISION")
        return row.PROVISION;
    if (field == "PROVISION_INT")
        return IntText(row.PROVISION_INT);
    if (field == "WW_NETTO_INT")
        return IntText(row.WW_NETTO_INT);
    if (field == "WW_NETTO")
        return row.WW_NETTO;
    return std::nullopt;
}

} // namespace gs
