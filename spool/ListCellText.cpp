#include "spool/ListCellText.h"

#include "base/Error.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "orders/OrdersTable.h"
#include "settings/SecondCurrency.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace gs {

namespace {

// A field of the row that a rule needs; its absence is the rule's failure.
std::string RequiredField(const GridRecord& record, std::string_view name)
{
    std::optional<std::string> v = record.field(name);
    if (!v)
        throw Error("Spalte nicht gefunden: " + std::string(name));
    return *v;
}

bool IsTrueText(const std::string& text)
{
    const std::string t = Trim(text);
    return EqualsNoCase(t, "true") || (t != "0" && StrToIntDef(t, 0) != 0);
}

const TSettings& Required(const TSettings* settings)
{
    if (!settings)
        throw Error("Einstellungen fehlen");
    return *settings;
}

// The amount in the money format with the row's currency: the second currency's symbol for rows
// kept in it (field DM), the money suffix otherwise. The amount itself is not converted.
std::string Money(const GridRecord& record, double amount, const TSettings* settings)
{
    if (IsTrueText(RequiredField(record, "DM")))
        return FormatFloat(MoneyFormat(), amount) + SecondCurrencySymbol(Required(settings).SecondCurrency);
    return FormatFloat(MoneyFormat() + MoneySuffix(), amount);
}

std::string MovementText(int value)
{
    return value >= 0 && value <= 6 ? MovementTexts[value] : "";
}

void OrderListRules(const GridRecord& record, const std::string& key, std::string_view field, std::string& text,
                    const TSettings* settings)
{
    if (key == "EU_") {
        const double n = ParseNumber(text);
        const double tax = ParseNumber(RequiredField(record, "STEUER"));
        text = Money(record, n, settings) + " / " + Money(record, n + tax, settings);
    } else if (key == "EKEU" || key == "VKEU" || key == "STEUER") {
        text = Money(record, ParseNumber(text), settings);
    } else if (key == "DEZ") {
        text = LookupParentType(Required(settings), text, false);
    } else if (key == "GRUP") {
        const auto number = static_cast<std::int16_t>(StrToIntDef(Trim(text), 0));
        text = PartGroupName(Required(settings).PartsGroups, number);
    } else if (key == "WIN") {
        const int own = StrToIntDef(Trim(RequiredField(record, field)), -1);
        if (own == 2 && StrToIntDef(Trim(RequiredField(record, "ZA")), -1) == 6)
            text = "Verrechnung";
        else
            text = MovementText(StrToIntDef(Trim(text), 6));
    } else if (key == "STK" || key == "EINH") {
        if (StrToIntDef(Trim(RequiredField(record, "WIN")), -1) == 5)
            text = ".";
    } else if (key == "ZA") {
        const int kind = StrToIntDef(Trim(text), 0);
        text = kind >= 0 && kind < static_cast<int>(PaymentKindTexts.size()) ? PaymentKindTexts[static_cast<size_t>(kind)]
                                                                            : "";
    }
}

} // namespace

bool ListCellTextApplies(std::string_view field, int cellMode)
{
    static constexpr std::string_view keys[] = {"EU_", "EKEU", "VKEU", "STEUER", "DEZ", "GRUP", "WIN", "STK", "EINH", "ZA"};
    return cellMode == CellModeOrderList &&
           std::any_of(std::begin(keys), std::end(keys), [&](std::string_view k) { return EqualsNoCase(k, field); });
}

void ListCellText(const GridRecord& record, std::string_view field, std::string& text, int cellMode,
                  const TSettings* settings)
{
    if (!ListCellTextApplies(field, cellMode))
        return; // most columns of a list have no rule: the text stays, without a copy
    const std::string key = UpperAscii(field);
    std::string result = text;
    try {
        OrderListRules(record, key, field, result, settings);
        text = std::move(result);
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
    }
}

} // namespace gs
