#include "DemoSetup.h"

#include "app/TextUtil.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"

namespace gs::demo {

const std::vector<TAdsFieldDef>& SetupTableFields()
{
    using T = TAdsFieldType;
    static const std::vector<TAdsFieldDef> fields = {
        {"ID", T::AutoInc}, {"Ident", T::Integer}, {"MemoItem", T::Memo}, {"stringItem", T::Char, 100}, {"logo", T::Binary}};
    return fields;
}

const std::vector<TAdsIndexDef>& SetupTableIndexes()
{
    static const std::vector<TAdsIndexDef> indexes = {{"IDENT", "Ident", 0}};
    return indexes;
}

std::vector<SetupItem> DemoSetupItems()
{
    std::vector<SetupItem> items;
    auto text = [&](int ident, std::string value) { items.push_back(SetupItem{ident, std::move(value), {}, {}}); };
    auto lines = [&](int ident, std::vector<std::string> value) { items.push_back(SetupItem{ident, {}, std::move(value), {}}); };
    // Texts by type: stringItem for type 1, memo lines for the types 2 to 13.
    auto byType = [&](int ident, std::string type1, const std::string& others) {
        items.push_back(SetupItem{ident, std::move(type1), std::vector<std::string>(12, others), {}});
    };

    // Second currency: in use, the old national currency.
    text(20012, "1");
    text(20010, "1,95583");
    text(200011, " DM");
    text(200030, "0");
    text(200031, "0");

    // Tax rates: full and reduced.
    text(949, "19");
    text(950, "7");

    // Totals-block texts of the documents (slots 1 to 8) and the header captions.
    byType(21002, "Warenwert:", "Warenwert:");
    byType(29002, "Zwischensumme:", "Zwischensumme:");
    byType(21003, "+Steuer [ST1]%:", "+MwSt. [ST1]%:");
    byType(21004, "Rechnungsbetrag:", "Gesamtbetrag:");
    byType(21005, "Warenwert:", "Warenwert:");
    byType(29005, "Zwischensumme:", "Zwischensumme:");
    byType(21006, "enthaltene Steuer [ST1]%:", "enthaltene MwSt. [ST1]%:");
    byType(21007, "Rechnungsbetrag:", "Gesamtbetrag:");
    text(21009, "Nr:");
    text(21010, "Datum ");
    text(21011, "Kundennummer ");
    text(21012, "Auftrag ");
    text(21013, "vom ");
    // The same in the second currency.
    byType(20004, "Warenwert DM:", "Warenwert DM:");
    byType(20007, "Rechnungsbetrag DM:", "Gesamtbetrag DM:");
    text(31009, "Nr:");
    text(31010, "Datum ");

    // Parts groups: names (a "#" number sets the order), price modifiers, formulas, text lines.
    lines(650, {"#10Werkzeug", "#20Befestigung", "#30Elektro", "#40Sanitär & Heizung", "Dienstleistung",
                "#5Zubehör"});
    lines(651, {"10 %", "*15", "+2,5", "-5,5", "", "12"});
    lines(660, {"vk * 1,2", "VKEK*1,35", "1,5", "vkek-vk", "", "VK+2"});
    lines(663, {"Handwerkzeug\tElektrowerkzeug", "Schrauben\tDübel\tNägel", "Kabel\tSchalter", "Rohre\tArmaturen",
                "Montage\tBeratung", "Kleinteile"});
    text(964, "2");
    text(219, "0");
    text(661, "5");
    text(662, "benutzer");

    // Free document type names and a few options of the host.
    items.push_back(SetupItem{201, "Kostenvoranschlag", {"Reparaturauftrag", "Wartung", "Mahnung", "Musterrechnung"}, {}});
    lines(202, {"Nicht ändern", "LIEFERSCHEIN", "AUFTRAGSBESTÄTIGUNG", "PROFORMA-RECHNUNG"});
    lines(16011, {"1", "Kunde", "2", "Lieferant", "3", "Interessent"});
    lines(1501, {"Sehr geehrte Damen und Herren,", "Sehr geehrte Frau,", "Sehr geehrter Herr,"});
    return items;
}

void WriteDemoSetup(const std::filesystem::path& dir)
{
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(dir.string());
    conn.Connect();
    TAdsTable t(&conn, SetupTableName);
    t.CreateTable(SetupTableFields(), SetupTableIndexes());
    t.Open();
    TField& ident = t.FieldByName("Ident");
    TField& memo = t.FieldByName("MemoItem");
    TField& text = t.FieldByName("stringItem");
    TField& logo = t.FieldByName("logo");
    conn.BeginTransaction();
    for (const SetupItem& item : DemoSetupItems()) {
        t.Append();
        ident.SetInteger(item.ident);
        if (!item.stringItem.empty())
            text.SetString(item.stringItem);
        if (!item.memoLines.empty())
            memo.SetString(JoinLinesCrLf(item.memoLines));
        if (!item.logo.empty())
            logo.SetBytes(item.logo);
        t.Post();
    }
    conn.Commit();
}

} // namespace gs::demo
