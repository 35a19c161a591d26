#pragma once
// The host's orders table Auftraege.ADT (one row per document) and the vocabulary of its codes:
// document types with their default layout switches, status codes, payment kinds and conditions,
// commission modes.
#include "db/AdsTypes.h"

#include <array>
#include <string>
#include <vector>

namespace gs {

inline constexpr const char* OrdersTableName = "Auftraege.ADT";

// Every column of the orders table in the host's order, including the columns the module reads by
// name although the statistics window's stored table definition lacks them (EXTB, ORDER2, PID,
// Info, INFO1 to INFO5).
const std::vector<AdsFieldDef>& OrdersTableFields();
// The index tags: ID (unique), ID_ORDER (descending), STATUS, ADRESSID, GTYP, OPEN_, DATE
// (descending; the statistics walk the table on it).
const std::vector<AdsIndexDef>& OrdersTableIndexes();

// Document types (column POT).
inline constexpr int DocTypeCount = 13;
enum TDocType : int {
    dtRechnung = 1,
    dtAngebot = 2,
    dtBestellung = 3,
    dtBrief = 4,
    dtGutschrift = 5,
    dtLieferschein = 6,
    dtAuftragsbestaetigung = 7,
    dtFreierTyp1 = 8,
    dtFreierTyp2 = 9,
    dtFreierTyp3 = 10,
    dtFreierTyp4 = 11,
    dtFreierTyp5 = 12,
    dtMulti = 13
};

// The layout switches the host gives a new document of a type (1 = on).
struct DocTypeSwitches {
    bool DataGrid = false;
    bool InfoSumme = false;
    bool Summe = false;
    bool Header = false;
    bool Footer = false;
    bool Endt = false;
    bool ZZ = false;
    bool Enabled = false;
    bool DataGrid_DM = false; // off for every type
    bool data_netto = true;   // on for every type
};

// "RECHNUNG" ... "MULTI" for 1 to 13; empty for any other number.
std::string DocTypeName(int docType);
// The switches of a type 1 to 13; those of type 1 for any other number.
const DocTypeSwitches& DocTypeDefaults(int docType);

// Status codes (column Status). A new document has status 3.
enum TOrderStatus : int {
    stUnfertig = 0,
    stAbgeschlossen = 1,
    stUnbezahlt = 2,
    stNeu = 3, // shown as "-"
    stBezahlt = 4,
    stDuplikat = 5,
    stStorniert = 6,
    stStornovermerk = 7
};
// "Unfertig", "Abgeschlossen", "Unbezahlt", "-", "Bezahlt", "Duplikat", "Storniert", "Stornovermerk".
extern const std::array<const char*, 8> StatusTexts;

// Payment kinds by ZConditionIndex 0 to 11 ("-", "Überweisung", ...).
extern const std::array<const char*, 12> PaymentKindTexts;
// Condition texts by ZConditionIndex; empty for 4, 5 and 6, which have none.
extern const std::array<const char*, 12> PaymentConditionTexts;
// True for the payment condition indexes a document can carry: 0 to 3 and 7 to 11.
constexpr bool IsValidConditionIndex(long long index)
{
    return (index >= 0 && index <= 3) || (index >= 7 && index <= 11);
}

// Commission modes of a sales representative, 0 to 4, and the labels of their values.
extern const std::array<const char*, 5> CommissionModeTexts;
inline constexpr const char* CommissionPercentLabel = "In %:";      // modes 2 and 3
inline constexpr const char* CommissionFixedLabel = "Fester Wert:"; // mode 4

} // namespace gs
