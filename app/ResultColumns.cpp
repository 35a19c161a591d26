#include "app/ResultColumns.h"

#include "app/Margin.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace gs {

namespace {

// A money field as the list shows it, cut to the field's length in the host's table.
std::string MoneyText(double amount, size_t length) { return Utf8Left(FormatFloat(MoneyDisplayFormat(), amount), length); }

} // namespace

int WarningBarColumn()
{
    for (size_t i = 0; i < ResultListColumns.size(); ++i)
        if (ResultListColumns[i].font == ListCellFont::WarningBar)
            return static_cast<int>(i);
    return -1;
}

int WholeEuros(double amount) { return static_cast<int>(RoundHalfEven(amount)); }

std::optional<std::string> KmFieldText(const KmRow& row, std::string_view field)
{
    if (field == "ID")
        return std::string(); // never filled
    if (field == "ID_ORDER")
        return std::to_string(row.idOrder);
    if (field == "ADRESSNAME")
        return row.adressName;
    if (field == "ADRESSID")
        return row.adressId ? std::to_string(*row.adressId) : std::string();
    if (field == "printp")
        return std::string(ProfitZoneText(row.zone));
    if (field == "DATE")
        return row.date ? DateToText(*row.date) : std::string();
    if (field == "GEWINN")
        return MoneyText(row.profit, 20);
    if (field == "GEWINN_INT")
        return std::to_string(WholeEuros(row.profit));
    if (field == "PROVISION")
        return MoneyText(row.commission, 100);
    if (field == "PROVISION_INT")
        return std::to_string(WholeEuros(row.commission));
    if (field == "WW_NETTO_INT")
        return std::to_string(WholeEuros(row.net));
    if (field == "WW_NETTO")
        return MoneyText(row.net, 20);
    if (field == "MARGE")
        return MarginText(Margin(row));
    return std::nullopt;
}

} // namespace gs
