#include "orders/OrdersTable.h"

namespace gs {

const std::vector<AdsFieldDef>& OrdersTableFields()
{
    using T = TAdsFieldType;
    static const std::vector<AdsFieldDef> fields = {
        {"ID", T::AutoInc},
        {"ID_ORDER", T::Integer},
        {"Endtext", T::Memo},
        {"Footertext", T::Memo},
        {"Headertext", T::Memo},
        {"ColumnsFormat", T::Binary},
        {"Datas", T::Memo},
        {"ZZL", T::Char, 50},
        {"ZZR", T::Char, 50},
        {"ZZD", T::Date},
        {"POT", T::ShortInt},
        {"COT", T::ShortInt},
        {"Typ", T::Char, 50},
        {"GTyp", T::Char, 50},
        {"Status", T::ShortInt},
        {"Statustext", T::Char, 50},
        {"InternText", T::Memo},
        {"FromText", T::Char, 50},
        {"FromDate", T::Date},
        {"Date", T::Date},
        {"KNR", T::Char, 50},
        {"Adress", T::Memo},
        {"AdressName", T::Char, 50},
        {"AdressID", T::Integer},
        {"WW_NETTO", T::Double},
        {"WW_BRUTTO", T::Double},
        {"OPEN_", T::Double},
        {"Caption", T::Char, 30},
        {"PrintName", T::Char, 30},
        {"DataGrid", T::Logical},
        {"DataGrid_DM", T::Logical},
        {"InfoSumme", T::Logical},
        {"Summe", T::Logical},
        {"Header", T::Logical},
        {"Footer", T::Logical},
        {"Endt", T::Logical},
        {"ZZ", T::Logical},
        {"Enabled", T::Logical},
        {"data_netto", T::Logical},
        {"ParentName", T::Char, 30},
        {"Parenttype", T::ShortInt},
        {"protect", T::Logical},
        {"gridedit", T::Logical},
        {"dataingrid", T::Logical},
        {"steuer_low_set", T::Double},
        {"steuer_high_set", T::Double},
        {"GZS", T::Memo},
        {"MS", T::ShortInt},
        {"MD", T::Date},
        // Read by name although the window's stored definition does not list them.
        {"EXTB", T::Binary},
        {"ORDER2", T::Binary},
        {"PID", T::Integer},
        {"Info", T::Char, 100},
        {"INFO1", T::Char, 100},
        {"INFO2", T::Char, 100},
        {"INFO3", T::Char, 100},
        {"INFO4", T::Char, 100},
        {"INFO5", T::Char, 100},
    };
    return fields;
}

const std::vector<AdsIndexDef>& OrdersTableIndexes()
{
    static const std::vector<AdsIndexDef> indexes = {
        {"ID", "ID", ADS_UNIQUE},     {"ID_ORDER", "ID_ORDER", ADS_DESCENDING},
        {"STATUS", "STATUS", 0},      {"ADRESSID", "ADRESSID", 0},
        {"GTYP", "GTYP", 0},          {"OPEN_", "OPEN_", 0},
        {"DATE", "DATE", ADS_DESCENDING},
    };
    return indexes;
}

namespace {

constexpr std::array<const char*, DocTypeCount> kDocTypeNames = {
    "RECHNUNG",    "ANGEBOT",     "BESTELLUNG",  "BRIEF",       "GUTSCHRIFT",  "LIEFERSCHEIN", "AUFTRAGSBESTÄTIGUNG",
    "FREIER TYP1", "FREIER TYP2", "FREIER TYP3", "FREIER TYP4", "FREIER TYP5", "MULTI"};

// DataGrid, InfoSumme, Summe, Header, Footer, Endt, ZZ, Enabled.
constexpr DocTypeSwitches Switches(int g, int i, int s, int h, int f, int e, int z, int en)
{
    DocTypeSwitches t;
    t.DataGrid = g;
    t.InfoSumme = i;
    t.Summe = s;
    t.Header = h;
    t.Footer = f;
    t.Endt = e;
    t.ZZ = z;
    t.Enabled = en;
    return t;
}

constexpr std::array<DocTypeSwitches, DocTypeCount> kDocTypeSwitches = {
    Switches(1, 1, 1, 1, 1, 1, 1, 1), // RECHNUNG
    Switches(1, 1, 1, 1, 1, 1, 0, 1), // ANGEBOT
    Switches(1, 1, 1, 1, 1, 1, 0, 1), // BESTELLUNG
    Switches(0, 0, 0, 1, 0, 0, 0, 1), // BRIEF
    Switches(1, 1, 1, 1, 1, 1, 0, 1), // GUTSCHRIFT
    Switches(1, 1, 1, 1, 1, 0, 0, 1), // LIEFERSCHEIN
    Switches(1, 1, 1, 1, 1, 1, 0, 1), // AUFTRAGSBESTÄTIGUNG
    Switches(1, 0, 1, 1, 1, 1, 0, 1), // FREIER TYP1
    Switches(1, 0, 1, 1, 1, 1, 0, 0), // FREIER TYP2
    Switches(1, 0, 1, 1, 1, 1, 0, 0), // FREIER TYP3
    Switches(1, 0, 1, 1, 1, 1, 0, 0), // FREIER TYP4
    Switches(1, 0, 1, 1, 1, 1, 0, 0), // FREIER TYP5
    Switches(1, 0, 1, 1, 1, 1, 0, 1), // MULTI
};

} // namespace

std::string DocTypeName(int docType)
{
    if (docType < 1 || docType > DocTypeCount)
        return {};
    return kDocTypeNames[static_cast<size_t>(docType - 1)];
}

const DocTypeSwitches& DocTypeDefaults(int docType)
{
    if (docType < 1 || docType > DocTypeCount)
        docType = 1;
    return kDocTypeSwitches[static_cast<size_t>(docType - 1)];
}

const std::array<const char*, 8> StatusTexts = {"Unfertig", "Abgeschlossen", "Unbezahlt", "-",
                                                "Bezahlt",  "Duplikat",      "Storniert", "Stornovermerk"};

const std::array<const char*, 12> PaymentKindTexts = {
    "-",          "Überweisung", "Bankeinzug",      "Bar",                  "keine Zahlung",   "storniert",
    "Gutschrift", "Vorkasse/Einzug", "Vorkasse/Überweisung", "Nachnahme", "Bar/Kreditkarte", "Standardtext"};

const std::array<const char*, 12> PaymentConditionTexts = {
    "Normales Zahlungsziel",
    "Betrag Bitte überweisen.",
    "Betrag wird per Lastschrift eingezogen.",
    "Betrag bar bezahlt.",
    "",
    "",
    "",
    "Vorkasse/Betrag wird per Lastschrift eingezogen.",
    "Vorkasse/Betrag Bitte überweisen.",
    "Betrag wird per Nachnahme erhoben.",
    "Betrag bar per Kreditkarte bezahlt.",
    "Zahlbar sofort nach Erhalt."};

const std::array<const char*, 5> CommissionModeTexts = {
    "Inaktiv.", "Nur Provision auf bestimmte Artikel möglich.", "Provision in % auf Umsatz.",
    "Provision in % auf Gewinn.", "Feste Provision in aktueller Währung."};

} // namespace gs
