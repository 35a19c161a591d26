#pragma once
// The two in-memory result tables of a statistics run: the document list KM (one row per
// document, shown in the list tab and printed) and the month table KMC (one row per month, shown as
// chart). Created empty with the window, emptied at the start of every run, never written anywhere.
//
// The rows hold values, not texts: amounts as the doubles the host computes (euros; a net value
// as the list shows it), dates as day numbers, the profit zone as an enumeration. Each output
// formats them once, at its own edge (app/ResultColumns.h for the list's cells and the host's
// whole-euro fields).
#include "base/Dates.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gs {

// The warning column "printp" of a document: the sign of its profit in whole euros.
enum class ProfitZone : std::uint8_t { Profit, None, Loss };

// "Gewinnzone", "kein Gewinn" or "Verlustzone", as the host writes the zone.
const char* ProfitZoneText(ProfitZone zone);
// The zone of a profit in whole euros.
ProfitZone ProfitZoneOf(int wholeProfit);

struct KmRow {
    int idOrder = 0;                   // ID_ORDER: document number
    std::optional<int> adressId;       // ADRESSID
    // The representative's name (Vertreter in EXTB) as an index into ResultTables::VertreterNames,
    // so that the row stays small: a few names stand for many documents.
    std::uint32_t vertreterName = 0;
    std::string adressName;            // ADRESSNAME: at most 100 characters
    std::optional<TDateTime> date;     // DATE
    // WW_NETTO as the list shows it: the stored net rounded to the cent, converted from the
    // second currency for documents kept in it (that conversion is not rounded again).
    double net = 0;
    double commission = 0;             // PROVISION: Vertreter_Provision as stored
    double profit = 0;                 // GEWINN: CurrentGewinn - Vertreter_Provision
    int vertreterId = 0;               // VertreterID in EXTB; 0: no representative
    ProfitZone zone = ProfitZone::None;
    std::uint8_t pot = 1;              // POT: 1 invoice, 5 credit note
};

struct KmcRow {
    std::optional<TDateTime> DATE;      // first day of the month
    // The host's whole-euro month sums (each document's amount rounded, then added); empty for a
    // month without documents. The chart draws these.
    std::optional<int> GEWINN_INT;
    std::optional<int> PROVISION_INT;
    std::optional<int> WW_NETTO_INT;
    // The exact sums of the month's documents, added as the totals add them (the net to the
    // cent as the list shows it), so that the months and the totals agree to the cent.
    int documents = 0;
    double net = 0;
    double commission = 0;
    double profit = 0;
};

// Field names in table order, as the list, the printout and the report name them.
inline constexpr const char* KmFieldNames[] = {"ID",         "ID_ORDER",  "ADRESSNAME",    "ADRESSID",
                                              "printp",     "DATE",      "GEWINN",        "GEWINN_INT",
                                              "PROVISION",  "PROVISION_INT", "WW_NETTO_INT", "WW_NETTO"};
inline constexpr const char* KmcFieldNames[] = {"DATE", "GEWINN_INT", "PROVISION_INT", "WW_NETTO_INT"};

struct ResultTables {
    std::vector<KmRow> KM;
    std::vector<KmcRow> KMC;
    // "Bereich: " + start + "-" + end of the last range built; kept when a run fails before it
    // builds its range, empty before the first run.
    std::string RangeText;
    // The first and last day of that range (0 before the first run), so that a view can tell a
    // month the range covers only in part.
    TDateTime RangeFirst = 0;
    TDateTime RangeLast = 0;
    // The representatives' names the rows point to (KmRow::vertreterName); the first is "".
    std::vector<std::string> VertreterNames;
    // Empties both tables and the names (RangeText stays).
    void clear()
    {
        KMC.clear();
        KM.clear();
        VertreterNames.clear();
    }
};

} // namespace gs
