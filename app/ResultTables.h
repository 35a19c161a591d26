#pragma once
// The two in-memory result tables of a statistics run: the document list KM (one row per
// document, shown in the list tab and printed) and the month table KMC (one row per month, shown as
// chart). Created empty with the window, emptied at the start of every run, never written anywhere.
// An empty field is std::nullopt.
#include "base/Dates.h"

#include <optional>
#include <string>
#include <vector>

namespace gs {

struct KmRow {
    std::optional<int> ID;              // never filled
    std::optional<int> ID_ORDER;        // document number
    std::string ADRESSNAME;             // at most 100 characters
    std::optional<int> ADRESSID;
    std::string printp;                 // zone: "Gewinnzone", "kein Gewinn" or "Verlustzone" (at most 50)
    std::optional<TDateTime> DATE;
    std::string GEWINN;                 // money display text (at most 20)
    std::optional<int> GEWINN_INT;
    std::string PROVISION;              // money display text (at most 100)
    std::optional<int> PROVISION_INT;
    std::optional<int> WW_NETTO_INT;
    std::string WW_NETTO;               // money display text (at most 20)
};

struct KmcRow {
    std::optional<TDateTime> DATE;      // first day of the month
    std::optional<int> GEWINN_INT;
    std::optional<int> PROVISION_INT;
    std::optional<int> WW_NETTO_INT;
};

// Field names in table order, as the list, the printout and the report name them.
inline constexpr const char* KmFieldNames[] = {"ID",         "ID_ORDER",  "ADRESSNAME",    "ADRESSID",
                                              "printp",     "DATE",      "GEWINN",        "GEWINN_INT",
                                              "PROVISION",  "PROVISION_INT", "WW_NETTO_INT", "WW_NETTO"};
inline constexpr const char* KmcFieldNames[] = {"DATE", "GEWINN_INT", "PROVISION_INT", "WW_NETTO_INT"};

struct TResultTables {
    std::vector<KmRow> KM;
    std::vector<KmcRow> KMC;
    // "Bereich: " + start + "-" + end of the last range built; kept when a run fails before it
    // builds its range, empty before the first run.
    std::string RangeText;
    // Empties both tables (RangeText stays).
    void clear()
    {
        KMC.clear();
        KM.clear();
    }
};

} // namespace gs
